#include <gtest/gtest.h>

#include "platform/ui/draw/CoordinateMapping.h"

namespace {

using ui::CoordinateMapping;
using ui::MappingMode;
using ui::Point;

TEST(CoordinateMapping, TextModeShiftsByTheOriginsOnly) {
  CoordinateMapping m;
  m.SetWindowOrigin({-40, -120});
  EXPECT_TRUE(m.SetWindowExtent({10, 10}));  // ignored in text mode
  EXPECT_EQ(m.ToDevice({0, 0}), (Point{40, 120}));
  EXPECT_EQ(m.ToLogical({40, 120}), (Point{0, 0}));
  m.SetViewportOrigin({5, 5});
  EXPECT_EQ(m.ToDevice({0, 0}), (Point{45, 125}));
}

TEST(CoordinateMapping, AnisotropicScalesEachAxisAndFlipsY) {
  CoordinateMapping m;
  m.SetMode(MappingMode::Anisotropic);
  ASSERT_TRUE(m.SetWindowExtent({1000, 100}));
  ASSERT_TRUE(m.SetViewportExtent({600, -400}));
  m.SetViewportOrigin({0, 400});
  EXPECT_EQ(m.ToDevice({0, 0}), (Point{0, 400}));
  EXPECT_EQ(m.ToDevice({1000, 100}), (Point{600, 0}));
  EXPECT_EQ(m.ToDevice({500, 50}), (Point{300, 200}));
  EXPECT_EQ(m.ToLogical({300, 200}), (Point{500, 50}));
  EXPECT_EQ(m.RectToDevice({0, 0, 1000, 100}), (ui::Rect{0, 400, 600, 0}));
  EXPECT_EQ(m.WidthToDevice(10), 6);
}

TEST(CoordinateMapping, RoundsToTheNearestWithHalvesAwayFromZero) {
  CoordinateMapping m;
  m.SetMode(MappingMode::Anisotropic);
  ASSERT_TRUE(m.SetWindowExtent({4, 4}));
  ASSERT_TRUE(m.SetViewportExtent({2, 2}));
  EXPECT_EQ(m.ToDevice({1, -1}), (Point{1, -1}));  // 0.5 and -0.5
  EXPECT_EQ(m.ToDevice({3, -3}), (Point{2, -2}));  // 1.5 and -1.5
  EXPECT_EQ(m.ToDevice({5, 2}), (Point{3, 1}));    // 2.5, exact 1
}

TEST(CoordinateMapping, IsotropicKeepsEqualScalesWithTheSmallerOne) {
  CoordinateMapping m;
  m.SetMode(MappingMode::Isotropic);
  ASSERT_TRUE(m.SetWindowExtent({100, 100}));
  ASSERT_TRUE(m.SetViewportExtent({600, -400}));
  EXPECT_EQ(m.ViewportExtent(), (ui::Size{400, -400}));
  EXPECT_EQ(m.ToDevice({100, 100}), (Point{400, -400}));

  ASSERT_TRUE(m.SetViewportExtent({200, 800}));
  EXPECT_EQ(m.ViewportExtent(), (ui::Size{200, 200}));
}

TEST(CoordinateMapping, ZeroExtentsAreRefusedAndTextModeReportsUnitExtents) {
  CoordinateMapping m;
  m.SetMode(MappingMode::Anisotropic);
  ASSERT_TRUE(m.SetWindowExtent({10, 20}));
  EXPECT_FALSE(m.SetWindowExtent({0, 5}));
  EXPECT_FALSE(m.SetViewportExtent({5, 0}));
  EXPECT_EQ(m.WindowExtent(), (ui::Size{10, 20}));
  m.SetMode(MappingMode::Text);
  EXPECT_EQ(m.WindowExtent(), (ui::Size{1, 1}));
  m.SetMode(MappingMode::Anisotropic);
  EXPECT_EQ(m.WindowExtent(), (ui::Size{10, 20}));
}

}  // namespace
