#include <ostream>
#include <string>

#include <QPoint>
#include <QSize>

#include <gtest/gtest.h>

#include "windowcentring.h"

namespace {

struct CentringCase {
  std::string name;
  QSize screen;
  QSize window;
  QPoint expected;
};

void PrintTo(const CentringCase& c, std::ostream* out) { *out << c.name; }

class WindowCentringTable : public testing::TestWithParam<CentringCase> {};

TEST_P(WindowCentringTable, CentresTruncatingTowardZero) {
  const CentringCase& c = GetParam();
  EXPECT_EQ(centredWindowPosition(c.screen, c.window), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, WindowCentringTable,
    testing::Values(
        CentringCase{"FullHd", {1920, 1080}, {690, 432}, {615, 324}},
        CentringCase{"OddWidthHalfDropped", {1365, 768}, {690, 432}, {337, 168}},
        CentringCase{"NarrowScreenTowardZero", {599, 1080}, {690, 432}, {-45, 324}},
        CentringCase{"HalfPixelAboveTopIsZero", {1920, 431}, {690, 432}, {615, 0}},
        CentringCase{"WindowFillsScreen", {690, 432}, {690, 432}, {0, 0}}),
    [](const testing::TestParamInfo<CentringCase>& row) { return row.param.name; });

}  // namespace
