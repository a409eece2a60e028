#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "setup/symbol_geometry.h"

namespace {

TEST(SwatchRect, FollowsTheButtonSizeCaptionAndSymbolWidth) {
  struct Case {
    int width, height;
    int32_t symbolWidth;
    bool captionEmpty;
    BoxRect expected;
  };
  const Case cases[] = {
      {240, 25, 0, false, {221, 7, 234, 19}},  // the setup dialog's colour buttons
      {75, 25, 0, false, {56, 7, 69, 19}},     // the button's own default size
      {360, 38, 0, false, {341, 11, 354, 29}}, // the dialog's buttons at 144 dpi
      {240, 25, 40, false, {200, 7, 234, 19}}, // a chosen width wins over the automatic one
      {240, 25, 40, true, {200, 7, 234, 19}},
      {240, 25, 0, true, {30, 7, 210, 19}},    // no caption: a bar an eighth in from each side
      {20, 25, 0, true, {4, 7, 16, 19}},       // ... but at least 4 pixels in
      {75, 3, 0, false, {56, 3, 69, 3}},       // too low for a quarter: an empty swatch
  };
  for (const Case& c : cases) {
    const BoxRect r = SwatchRect(c.width, c.height, c.symbolWidth, c.captionEmpty);
    EXPECT_EQ((std::array<int, 4>{r.left, r.top, r.right, r.bottom}),
              (std::array<int, 4>{c.expected.left, c.expected.top, c.expected.right, c.expected.bottom}))
        << c.width << "x" << c.height << " symbolWidth " << c.symbolWidth << " captionEmpty " << c.captionEmpty;
  }
}

TEST(ChooserPosition, CentresAcrossAndPlacesAThirdDown) {
  struct Case {
    BoxRect monitor;
    int width, height;
    BoxPoint expected;
  };
  const Case cases[] = {
      {{0, 0, 1920, 1080}, 300, 300, {810, 260}},
      {{0, 0, 1920, 1080}, 301, 301, {809, 259}},        // halves and thirds round toward zero
      {{-1280, -200, 0, 824}, 400, 100, {-840, 108}},    // a monitor left of and above the origin
      {{0, 0, 640, 480}, 800, 600, {-80, -40}},          // a chooser larger than the monitor
  };
  for (const Case& c : cases) {
    const BoxPoint p = ChooserPosition(c.monitor, c.width, c.height);
    EXPECT_EQ(p.x, c.expected.x) << c.width << "x" << c.height << " on monitor left " << c.monitor.left;
    EXPECT_EQ(p.y, c.expected.y) << c.width << "x" << c.height << " on monitor top " << c.monitor.top;
  }
}

}  // namespace
