#include <cstdint>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "previewgeometry.h"

namespace {

struct GeometryCase {
  std::string name;
  int W;
  int H;
  std::int64_t Einpassen;
  bool drawsPicture;
  double targetWidth;
  double targetHeight;
  double sourceWidth;
  double sourceHeight;
  std::int64_t Faktor;
  double GW = 436.0;
  double GH = 146.0;
};

void PrintTo(const GeometryCase& c, std::ostream* out) { *out << c.name; }

class PreviewGeometryTable : public testing::TestWithParam<GeometryCase> {};

TEST_P(PreviewGeometryTable, DrawsWhatThePaintDraws) {
  const GeometryCase& c = GetParam();
  const PreviewGeometry g = previewGeometry(c.W, c.H, c.GW, c.GH, c.Einpassen);
  EXPECT_EQ(g.Faktor, c.Faktor);
  ASSERT_EQ(g.drawsPicture, c.drawsPicture);
  if (!c.drawsPicture) {
    return;
  }
  EXPECT_DOUBLE_EQ(g.target.x(), 51.0);
  EXPECT_DOUBLE_EQ(g.target.y(), 37.0);
  EXPECT_DOUBLE_EQ(g.target.width(), c.targetWidth);
  EXPECT_DOUBLE_EQ(g.target.height(), c.targetHeight);
  EXPECT_DOUBLE_EQ(g.source.x(), 0.0);
  EXPECT_DOUBLE_EQ(g.source.y(), 0.0);
  EXPECT_DOUBLE_EQ(g.source.width(), c.sourceWidth);
  EXPECT_DOUBLE_EQ(g.source.height(), c.sourceHeight);
}

std::string caseName(const testing::TestParamInfo<GeometryCase>& row) { return row.param.name; }

constexpr std::int64_t Original = ViewOriginal;
constexpr std::int64_t Fit = ViewFitToScreen;

INSTANTIATE_TEST_SUITE_P(
    LayoutSize, PreviewGeometryTable,
    testing::Values(
        // The worked table at the canvas's layout size.
        GeometryCase{"Max_Fit_TopLeftQuarterUnscaled", 624, 128, Fit, true, 312, 64, 312, 64, 2},
        GeometryCase{"Max_Original_CanvasSizeOverFaktor", 624, 128, Original, true, 312, 64, 218, 73, 2},
        GeometryCase{"Wide_Fit_HalfThePicture", 200, 100, Fit, true, 312, 64, 100, 50, 2},
        GeometryCase{"W157_Original_WideBranch", 157, 8, Original, true, 312, 64, 218, 73, 2},
        GeometryCase{"W156H32_Original_Doubled", 156, 32, Original, true, 312, 64, 156, 32, 2},
        GeometryCase{"W156H32_Fit_Faktor2", 156, 32, Fit, true, 312, 64, 156, 32, 2},
        GeometryCase{"Small_Original_Doubled", 100, 20, Original, true, 200, 40, 100, 20, 2},
        GeometryCase{"H20_Fit_Faktor3", 100, 20, Fit, true, 300, 60, 100, 20, 3},
        GeometryCase{"H24_Fit_Faktor2", 100, 24, Fit, true, 200, 48, 100, 24, 2},
        GeometryCase{"H8_Fit_Faktor8_PastTheArea", 100, 8, Fit, true, 800, 64, 100, 8, 8},
        GeometryCase{"H33_Fit_NothingDrawn", 100, 33, Fit, false, 0, 0, 0, 0, 2},
        // Boundaries of the four tests.
        GeometryCase{"W157_Fit_SourceNotRounded", 157, 8, Fit, true, 312, 64, 78.5, 4, 2},
        GeometryCase{"W157H33_Fit_WideBranchIgnoresHeight", 157, 33, Fit, true, 312, 64, 78.5, 16.5, 2},
        GeometryCase{"W156H33_Fit_NothingDrawn", 156, 33, Fit, false, 0, 0, 0, 0, 2},
        GeometryCase{"W156H33_Original_PastTheArea", 156, 33, Original, true, 312, 66, 156, 33, 2},
        GeometryCase{"H11_Fit_FaktorTruncatedNotRounded", 10, 11, Fit, true, 50, 55, 10, 11, 5},
        GeometryCase{"H31_Fit_Faktor2", 10, 31, Fit, true, 20, 62, 10, 31, 2},
        GeometryCase{"H1_Fit_Faktor64", 1, 1, Fit, true, 64, 64, 1, 1, 64}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    OtherCanvasSizes, PreviewGeometryTable,
    testing::Values(
        // Faktor comes from the canvas width each time, truncated.
        GeometryCase{"GW467_Faktor2", 624, 128, Fit, true, 312, 64, 312, 64, 2, 467, 146},
        GeometryCase{"GW468_Faktor3", 624, 128, Fit, true, 312, 64, 208, 128.0 / 3.0, 3, 468, 146},
        GeometryCase{"GW500_Original_SourceInDoubles", 624, 128, Original, true, 312, 64, 500.0 / 3.0,
                     200.0 / 3.0, 3, 500, 200},
        // No factor to divide by: the wide branches draw nothing.
        GeometryCase{"GW155_Wide_NothingDrawn", 624, 128, Original, false, 0, 0, 0, 0, 0, 155, 146},
        GeometryCase{"GW155_Small_StillDoubled", 10, 10, Original, true, 20, 20, 10, 10, 0, 155, 146}),
    caseName);

}  // namespace
