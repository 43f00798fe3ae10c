// One conversion run as the window sees it, and the bounds of the state.

#include <gtest/gtest.h>

#include "conversiontesting.h"

namespace {

TEST(ConversionRun, ShowsTheListingAfterClearingAndEnabling) {
  quillomat::ConversionState state;
  holdFile(state, pixelGrid(20, 12, [](std::size_t x, std::size_t y) { return x == y; }));
  RecordingView view;
  quillomat::DoShowGprint(state, view);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"clear", "enable", "clear", "show"}));
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(view.listingText, quillomat::ListingText(state));
  EXPECT_EQ(state.AnzahlZeilen, 3);
  EXPECT_EQ(state.Zeile(3), "");
}

TEST(ConversionRun, ConvertsTheHeldBytesAgainInAnotherForm) {
  quillomat::ConversionState state;
  holdFile(state, {"X.X.", ".X.X"});
  RecordingView view;
  quillomat::DoShowGprint(state, view);
  EXPECT_EQ(view.listingText, "GPRINT \"01020102\"\r\r\r\r");
  state.Mode = quillomat::SyntaxDefb;
  quillomat::DoShowGprint(state, view);
  EXPECT_EQ(view.listingText, "DEFB &01,&02,&01,&02\r\r\r\r");
  EXPECT_EQ(state.Zeile(1), "DEFB &01,&02,&01,&02");
}

TEST(ConversionRun, UnknownModeStillCountsTheBands) {
  quillomat::ConversionState state;
  state.Mode = -1;
  holdFile(state, pixelGrid(5, 17, [](auto, auto) { return true; }));
  RecordingView view;
  quillomat::DoShowGprint(state, view);
  EXPECT_EQ(state.AnzahlZeilen, 4);
  for (std::int64_t k = 1; k <= 20; ++k) EXPECT_EQ(state.Zeile(k), "");
  EXPECT_EQ(view.listingText, "");
  EXPECT_TRUE(view.messages.empty());
}

TEST(ConversionRun, NewStateHoldsNothing) {
  const quillomat::ConversionState state;
  EXPECT_EQ(state.Mode, 0);
  EXPECT_EQ(state.AnzahlZeilen, 0);
  EXPECT_EQ(state.DruckSeiten, 0);
  EXPECT_TRUE(state.OutputSharp.empty());
  EXPECT_FALSE(state.DecodedPicture.has_value());
  for (const auto& statement : state.Zeile) EXPECT_EQ(statement, "");
  EXPECT_EQ(quillomat::StatementArray::size(), 21U);
}

TEST(ConversionRun, ArraysNeverGrowPastTheirUpperBound) {
  quillomat::ConversionState state;
  state.Zeile(20) = "last";
  state.OutPutString(20) = "page";
  EXPECT_EQ(state.Zeile(20), "last");
  EXPECT_THROW(state.Zeile(21), std::out_of_range);
  EXPECT_THROW(state.OutPutString(21) = "x", std::out_of_range);
  EXPECT_THROW(state.Zeile(-1), std::out_of_range);
  EXPECT_EQ(std::distance(state.Zeile.begin(), state.Zeile.end()), 21);
  EXPECT_EQ(state.OutPutString(20), "page");
}

}  // namespace
