#include <gtest/gtest.h>

#include "conversion.h"

TEST(BoundedArray, IndexPastUpperBoundThrows) {
  quillomat::ConversionState state;
  state.Zeile(20) = "x";
  EXPECT_EQ(state.Zeile(20), "x");
  EXPECT_THROW(state.Zeile(21), std::out_of_range);
}
