#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "face/face_fit.h"

namespace {

TEST(FaceFit, WidthFitScalesTheHeightToTheSurfaceWidth) {
  struct Case {
    int32_t fontHeight, textWidth, textHeight, surfaceWidth, expected;
  };
  const Case cases[] = {
      {-11, 31, 13, 1920, 805},            // first rendering: 8-point font, 13 * 1920 div 31
      {805, 1931, 805, 1920, 800},         // truncates toward zero
      {100, 250, 100, 152, 60},            // preview size
      {100, 250, 100, 0, 0},               // no width: height 0, the system's default size
      {100, 0, 100, 1920, 100},            // no text width: height unchanged, no division
      {100, 250, 0, 1920, 0},              // no text height gives 0 like any product
      {7, 3, 65536, 65536, 0},             // 2^32 keeps its low 32 bits: 0
      {7, 1, 65536, 32768, INT32_MIN},     // 2^31 wraps to the minimum
      {7, -1, 65536, 32768, INT32_MIN},    // minimum div -1 wraps to itself
      {7, 2, -7, 1, -3},                   // negative quotients truncate toward zero
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WidthFitHeight(c.fontHeight, c.textWidth, c.textHeight, c.surfaceWidth), c.expected)
        << c.textHeight << " * " << c.surfaceWidth << " div " << c.textWidth;
  }
}

TEST(FaceFit, SecondAdjustmentTakesTheWidthAtSurfaceHeightOnlyWhenSmaller) {
  struct Case {
    int32_t fontHeight, textWidth, textHeight, surfaceHeight, expected;
  };
  const Case cases[] = {
      {805, 1920, 805, 1080, 805},     // 16:9: Q = 2575, larger, kept
      {1610, 3840, 1610, 1080, 1610},  // 32:9 with a 2.4 ratio: Q = 2575 is still larger
      {3000, 7680, 3000, 1080, 2764},  // wider than r squared: Q = 7680 * 1080 div 3000
      {60, 150, 60, 0, 0},             // no height: Q = 0
      {60, 150, 0, 112, 60},           // no text height: unchanged, no division
      {60, 150, 60, 112, 60},          // equal is not smaller
      {60, 65536, 1, 65536, 0},        // the product wraps to 0, which is smaller
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SecondAdjustment(c.fontHeight, c.textWidth, c.textHeight, c.surfaceHeight), c.expected)
        << c.textWidth << " * " << c.surfaceHeight << " div " << c.textHeight;
  }
}

TEST(FaceFit, CentredStartOverhangsEquallyWhenTheTextIsLarger) {
  EXPECT_EQ(CenteredStart(1080, 805), 137);
  EXPECT_EQ(CenteredStart(1080, 806), 137);
  EXPECT_EQ(CenteredStart(100, 131), -15);  // truncates toward zero, not down
  EXPECT_EQ(CenteredStart(0, 13), -6);
  EXPECT_EQ(CenteredStart(INT32_MIN, 1), 1073741823);  // the difference wraps
}

TEST(FaceFit, InkInsideRowsKeepsTheTopAndBottomRowsClear) {
  struct Case {
    InkExtent ink;
    int32_t surfaceHeight;
    bool inside;
  };
  const Case cases[] = {
      {{100, 20, 90}, 100, true},   // y = 0: rows 20 .. 89
      {{100, 0, 90}, 100, false},   // ink on row 0
      {{100, 1, 99}, 100, true},    // rows 1 .. 98, exactly H - 2
      {{100, 1, 100}, 100, false},  // reaches the bottom row
      {{120, 30, 110}, 100, false}, // y = -10: ink on rows 20 .. 99
      {{120, 30, 109}, 100, true},
      {{120, 12, 109}, 100, true},  // first inked row is row 2
      {{120, 10, 109}, 100, false},
      {{50, 0, 0}, 100, true},      // no ink at all
      {{10, 0, 10}, 3, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InkInsideRows(c.ink, c.surfaceHeight), c.inside)
        << "cell " << c.ink.CellHeight << " ink " << c.ink.InkTop << ".." << c.ink.InkBottom << " in "
        << c.surfaceHeight;
  }
}

// A font whose metrics are proportional to the height with pixel rounding, like a scaled
// outline font: cell = height, ink from topRatio to bottomRatio of it.
struct ModelFont {
  double topRatio;
  double bottomRatio;
  int measurements = 0;
  InkExtent operator()(int32_t height) {
    ++measurements;
    return {height, static_cast<int32_t>(std::floor(topRatio * height)),
            static_cast<int32_t>(std::ceil(bottomRatio * height))};
  }
};

TEST(FaceFit, InkFittingHeightFindsTheLargestFittingHeight) {
  struct Case {
    double topRatio, bottomRatio;
    int32_t fitted, surfaceHeight;
  };
  const Case cases[] = {
      {0.18, 0.99, 2200, 1080},  // ink reaches below the cell's bottom once centred
      {0.18, 0.99, 2900, 1440},
      {0.18, 0.99, 4000, 1080},  // cut off at top and bottom
      {0.02, 0.80, 3000, 1080},  // ink high in the cell: the top limits
      {0.18, 0.99, 300, 112},
      {0.18, 0.99, 12, 3},       // one row only
      {0.5, 1.5, 5000, 200},     // ink beyond the cell
  };
  for (const Case& c : cases) {
    ModelFont font{c.topRatio, c.bottomRatio};
    const int32_t mended = InkFittingHeight(c.fitted, c.surfaceHeight, std::ref(font));
    ModelFont check{c.topRatio, c.bottomRatio};
    int32_t largest = c.fitted;
    while (largest > 1 && !InkInsideRows(check(largest), c.surfaceHeight)) --largest;
    EXPECT_EQ(mended, largest) << c.fitted << " in " << c.surfaceHeight;
    EXPECT_LE(font.measurements, 6) << c.fitted << " in " << c.surfaceHeight << ": settled from one estimate";
  }
}

TEST(FaceFit, InkFittingHeightLeavesFittingAndUnmendableHeightsAlone) {
  struct Case {
    int32_t fitted, surfaceHeight, measurements;
  };
  const Case cases[] = {
      {805, 1080, 1},  // ink already inside: one look, no change
      {0, 1080, 0},    // the system's default size
      {-11, 1080, 0},  // a character height, not a cell height
      {1, 1080, 0},
      {805, 2, 0},     // no row between top and bottom
      {805, 0, 0},
  };
  for (const Case& c : cases) {
    ModelFont font{0.18, 0.99};
    EXPECT_EQ(InkFittingHeight(c.fitted, c.surfaceHeight, std::ref(font)), c.fitted)
        << c.fitted << " in " << c.surfaceHeight;
    EXPECT_EQ(font.measurements, c.measurements) << c.fitted << " in " << c.surfaceHeight;
  }
}

TEST(FaceFit, InkFittingHeightStaysBoundedForAnUnevenFont) {
  // Metrics that jump about with the height (heavy hinting): the search still ends with a
  // height whose ink is inside, in about log2(height) measurements.
  int measurements = 0;
  const auto uneven = [&](int32_t height) {
    ++measurements;
    const int32_t wobble = (height * 7919) % 13;
    return InkExtent{height, height / 6 - wobble, height + wobble};
  };
  const int32_t mended = InkFittingHeight(6000, 1080, uneven);
  EXPECT_LT(mended, 6000);
  EXPECT_TRUE(InkInsideRows(uneven(mended), 1080));
  EXPECT_LE(measurements, 20);
}

}  // namespace
