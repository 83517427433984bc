#include <gtest/gtest.h>

#include "platform/ui/draw/CoordinateMapping.h"

namespace {

using ui::CoordinateMapping;
using ui::MappingMode;
using ui::Point;

TEST(CoordinateMapping, TextModeShiftsByTheOriginsOnly) {
  CoordinateMapping m;
  m.SetWindowOrigin({-40, -120});
  m.SetViewportOrigin({5, 5});
  EXPECT_TRUE(m.SetWindowExtent({10, 10}));  // kept, but not used in text mode
  EXPECT_EQ(m.WindowExtent(), (ui::Size{1, 1}));
  EXPECT_EQ(m.ToDevice({0, 0}), (Point{45, 125}));
  EXPECT_EQ(m.ToLogical({45, 125}), (Point{0, 0}));
}

TEST(CoordinateMapping, AnisotropicScalesEachAxisFlipsYAndRoundsHalvesAwayFromZero) {
  CoordinateMapping m;
  m.SetMode(MappingMode::Anisotropic);
  ASSERT_TRUE(m.SetWindowExtent({1000, 100}));
  ASSERT_TRUE(m.SetViewportExtent({600, -400}));
  m.SetViewportOrigin({0, 400});
  EXPECT_EQ(m.ToDevice({1000, 100}), (Point{600, 0}));
  EXPECT_EQ(m.ToDevice({500, 50}), (Point{300, 200}));
  EXPECT_EQ(m.ToLogical({300, 200}), (Point{500, 50}));
  EXPECT_EQ(m.WidthToDevice(10), 6);
  EXPECT_FALSE(m.SetWindowExtent({0, 5}));
  EXPECT_FALSE(m.SetViewportExtent({5, 0}));

  ASSERT_TRUE(m.SetWindowExtent({4, 4}));
  ASSERT_TRUE(m.SetViewportExtent({2, 2}));
  m.SetViewportOrigin({0, 0});
  EXPECT_EQ(m.ToDevice({1, -1}), (Point{1, -1}));  // 0.5 and -0.5
  EXPECT_EQ(m.ToDevice({3, -3}), (Point{2, -2}));  // 1.5 and -1.5

  // Far-off points stay far off, in a range whose differences still fit an int.
  ASSERT_TRUE(m.SetViewportExtent({1000000, 1000000}));
  const Point far = m.ToDevice({2000000000, -2000000000});
  EXPECT_GT(far.x, 1000000000);
  EXPECT_LT(far.y, -1000000000);
  EXPECT_GT(far.x - far.y, 0);
}

TEST(CoordinateMapping, IsotropicKeepsEqualScalesWithTheSmallerOne) {
  CoordinateMapping m;
  m.SetMode(MappingMode::Isotropic);
  ASSERT_TRUE(m.SetWindowExtent({100, 100}));
  ASSERT_TRUE(m.SetViewportExtent({600, -400}));
  EXPECT_EQ(m.ViewportExtent(), (ui::Size{400, -400}));
  ASSERT_TRUE(m.SetViewportExtent({200, 800}));
  EXPECT_EQ(m.ViewportExtent(), (ui::Size{200, 200}));
}

}  // namespace
