#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "app/errors.h"
#include "app/gdi_win.h"
#include "app/time_text_win.h"
#include "face/face_fit.h"
#include "face/ix_painter.h"
#include "settings/ix_settings.h"
#include "support/win_test_support.h"

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kDarkGrey = 0x202020;
constexpr uint32_t kSentinel = 0x00FF00FF;

ClockTime AfternoonClock() { return {13, 7}; }
ClockTime MidnightClock() { return {0, 0}; }

// A clock the test moves from minute to minute, and minutes that between them show every digit.
ClockTime g_testClock;
ClockTime TestClock() { return g_testClock; }
const ClockTime kEveryDigit[] = {{13, 8}, {20, 46}, {18, 59}, {0, 0}, {13, 7}};

// 0x00BBGGRR as the DIB stores it, 0x00RRGGBB.
uint32_t DibColor(COLORREF c) {
  return (uint32_t{GetRValue(c)} << 16) | (uint32_t{GetGValue(c)} << 8) | GetBValue(c);
}

// A 32-bit top-down DIB section with its own DC, filled with one colour.
class DibSurface {
 public:
  DibSurface(int width, int height, uint32_t fill) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<uint32_t*>(bits);
    std::fill(bits_, bits_ + Count(), fill);
    selection_.emplace(dc_.get(), bitmap_.get());
  }
  HDC dc() const { return dc_.get(); }
  std::vector<uint32_t> Pixels() const {
    GdiFlush();
    std::vector<uint32_t> pixels(bits_, bits_ + Count());
    for (uint32_t& p : pixels) p &= 0x00FFFFFF;
    return pixels;
  }

 private:
  size_t Count() const { return static_cast<size_t>(width_) * static_cast<size_t>(height_); }
  int width_;
  int height_;
  uint32_t* bits_ = nullptr;
  DeleteDcOnExit dc_{CreateCompatibleDC(nullptr)};
  DeleteObjectOnExit<HBITMAP> bitmap_;
  std::optional<RestoreObjectOnExit> selection_;
};

// What the painter shows, read back through Paint into a DIB section.
std::vector<uint32_t> FacePixels(const TIxPainter& painter) {
  DibSurface surface(painter.Width(), painter.Height(), kSentinel);
  painter.Paint(surface.dc());
  return surface.Pixels();
}

// Right and bottom exclusive.
struct Box {
  int left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
  bool Empty() const { return right <= left; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  void Add(int x, int y) {
    left = std::min(left, x);
    top = std::min(top, y);
    right = std::max(right, x + 1);
    bottom = std::max(bottom, y + 1);
  }
};

std::ostream& operator<<(std::ostream& out, const Box& b) {
  return out << "(" << b.left << "," << b.top << ")-(" << b.right << "," << b.bottom << ")";
}

Box InkBox(const std::vector<uint32_t>& pixels, int width, uint32_t background) {
  Box box;
  for (size_t i = 0; i < pixels.size(); ++i) {
    if (pixels[i] != background) box.Add(static_cast<int>(i % width), static_cast<int>(i / width));
  }
  return box;
}

// The boxes of the glyphs as drawn: runs of columns with ink, separated by clean columns.
std::vector<Box> GlyphBoxesSeen(const std::vector<uint32_t>& pixels, int width, int height, uint32_t background) {
  std::vector<Box> glyphs;
  bool inGlyph = false;
  for (int x = 0; x < width; ++x) {
    Box column;
    for (int y = 0; y < height; ++y) {
      if (pixels[static_cast<size_t>(y) * width + x] != background) column.Add(x, y);
    }
    if (column.Empty()) {
      inGlyph = false;
      continue;
    }
    if (!inGlyph) glyphs.emplace_back();
    inGlyph = true;
    glyphs.back().Add(column.left, column.top);
    glyphs.back().Add(column.right - 1, column.bottom - 1);
  }
  return glyphs;
}

// The boxes of the glyphs of text drawn with the DC's font, its cell centred as the face places it.
std::vector<Box> GlyphBoxesFromMetrics(HDC dc, const std::wstring& text, int width, int height) {
  SIZE extent = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  int pen = (width - extent.cx) / 2;
  const int baseline = (height - extent.cy) / 2 + metrics.tmAscent;
  std::vector<Box> glyphs;
  for (const wchar_t c : text) {
    GLYPHMETRICS glyph = {};
    EXPECT_NE(GetGlyphOutlineW(dc, c, GGO_METRICS, &glyph, 0, nullptr, &identity), GDI_ERROR);
    Box box;
    box.left = pen + glyph.gmptGlyphOrigin.x;
    box.right = box.left + static_cast<int>(glyph.gmBlackBoxX);
    box.top = baseline - glyph.gmptGlyphOrigin.y;
    box.bottom = box.top + static_cast<int>(glyph.gmBlackBoxY);
    glyphs.push_back(box);
    pen += glyph.gmCellIncX;
  }
  return glyphs;
}

Box Union(const std::vector<Box>& boxes) {
  Box all;
  for (const Box& b : boxes) {
    all.Add(b.left, b.top);
    all.Add(b.right - 1, b.bottom - 1);
  }
  return all;
}

// Boxes seen in pixels may differ from the outline's box by a pixel of smoothing or rounding.
void ExpectNearBox(const Box& seen, const Box& expected, const std::string& what) {
  EXPECT_NEAR(seen.left, expected.left, 1) << what << ": seen " << seen << ", expected " << expected;
  EXPECT_NEAR(seen.top, expected.top, 1) << what << ": seen " << seen << ", expected " << expected;
  EXPECT_NEAR(seen.right, expected.right, 1) << what << ": seen " << seen << ", expected " << expected;
  EXPECT_NEAR(seen.bottom, expected.bottom, 1) << what << ": seen " << seen << ", expected " << expected;
}

// The font height that the fitting steps alone give a fresh surface, before any ink mend.
int StepsHeight(const wchar_t* face, const std::wstring& text, int width, int height) {
  DeleteDcOnExit dc(CreateCompatibleDC(nullptr));
  LOGFONTW font = {};
  font.lfHeight = -MulDiv(8, GetDeviceCaps(dc.get(), LOGPIXELSY), 72);
  font.lfWeight = FW_NORMAL;
  wcscpy(font.lfFaceName, face);
  const auto extentAt = [&](LONG fontHeight) {
    font.lfHeight = fontHeight;
    DeleteObjectOnExit<HFONT> f(CreateFontIndirectW(&font));
    RestoreObjectOnExit selected(dc.get(), f.get());
    SIZE extent = {};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return extent;
  };
  SIZE extent = extentAt(font.lfHeight);
  const int32_t fitted = WidthFitHeight(font.lfHeight, extent.cx, extent.cy, width);
  extent = extentAt(fitted);
  return SecondAdjustment(fitted, extent.cx, extent.cy, height);
}

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

class IxPainterTest : public testing::Test {
 protected:
  IxPainterTest() {
    settings.FontName = L"Tahoma";
    settings.FontColor = 2105376;
    settings.BGColor = 0;
    painter.Settings = &settings;
    RefreshTimeSeparator();
    SetClockSource(AfternoonClock);
  }
  ~IxPainterTest() override { SetClockSource(nullptr); }

  TIxSettings settings;
  TIxPainter painter;
};

TEST_F(IxPainterTest, FullHdFaceSpansTheWidthAndCentresItsCell) {
  painter.SetSize(1920, 1080);
  const std::vector<uint32_t> pixels = FacePixels(painter);

  // Background black, digits 0x202020 with smoothed edges blending the two.
  size_t solid = 0;
  size_t stray = 0;
  for (const uint32_t p : pixels) {
    if (p == kDarkGrey) ++solid;
    if ((p >> 16) > 0x20 || ((p >> 8) & 0xFF) > 0x20 || (p & 0xFF) > 0x20) ++stray;
  }
  EXPECT_EQ(stray, 0u) << "pixels neither background, digit colour nor a blend of them";
  EXPECT_GT(solid, pixels.size() / 20);

  const Box ink = InkBox(pixels, 1920, kBlack);
  const double widthPercent = 100.0 * ink.Width() / 1920;
  std::printf("1920x1080: font height %d, inked box %d x %d px at %s, %.1f%% of the width\n", painter.FontHeight(),
              ink.Width(), ink.Height(), testing::PrintToString(ink).c_str(), widthPercent);
  EXPECT_GE(widthPercent, 90.0);
  EXPECT_EQ(painter.FontHeight(), StepsHeight(L"Tahoma", L"13:07", 1920, 1080));

  // Where the outlines say the ink of a cell centred at ((W - cx) div 2, (H - cy) div 2) lands.
  const std::vector<Box> expected = GlyphBoxesFromMetrics(painter.Canvas(), L"13:07", 1920, 1080);
  ExpectNearBox(ink, Union(expected), "inked box");
  std::printf("ink margins: top %d, bottom %d, left %d, right %d\n", ink.top, 1080 - ink.bottom, ink.left,
              1920 - ink.right);

  EXPECT_TRUE(testing_support::SavePicture(pixels, 1920, 1080, "face-1920x1080.png"));
}

TEST_F(IxPainterTest, PreviewSizeKeepsTheProportions) {
  painter.SetSize(1920, 1080);
  const Box large = InkBox(FacePixels(painter), 1920, kBlack);
  painter.SetSize(152, 112);
  const std::vector<uint32_t> pixels = FacePixels(painter);
  const Box small = InkBox(pixels, 152, kBlack);
  ASSERT_FALSE(small.Empty());
  std::printf("152x112: font height %d, inked box %s, %.1f%% of the width\n", painter.FontHeight(),
              testing::PrintToString(small).c_str(), 100.0 * small.Width() / 152);

  EXPECT_NEAR(double(small.Width()) / 152, double(large.Width()) / 1920, 0.03);
  EXPECT_NEAR(double(small.Height()) / small.Width(), double(large.Height()) / large.Width(), 0.1);
  EXPECT_NEAR((small.top + small.bottom) / 2.0 / 112, (large.top + large.bottom) / 2.0 / 1080, 0.03);
  ExpectNearBox(small, Union(GlyphBoxesFromMetrics(painter.Canvas(), L"13:07", 152, 112)), "inked box");
}

TEST_F(IxPainterTest, RenderingTwiceGivesTheSameBitmap) {
  const SIZE sizes[] = {{152, 112}, {1920, 1080}, {5120, 1440}};
  for (const SIZE& size : sizes) {
    painter.SetSize(size.cx, size.cy);
    const std::vector<uint32_t> first = FacePixels(painter);
    const int height = painter.FontHeight();
    painter.DrawBackground();
    EXPECT_EQ(painter.FontHeight(), height) << size.cx << "x" << size.cy;
    EXPECT_TRUE(FacePixels(painter) == first) << size.cx << "x" << size.cy;
  }
}

// The minute changes a saver window sees after it has been placed: its digits keep their size.
// Fitting again from the height the last fit left can move it by a pixel or two, which some of
// the sizes here show with this face: a fit repeated at every minute would change the digits'
// size once, or on some surfaces back and forth every minute.
TEST_F(IxPainterTest, NewMinutesKeepTheFittedHeight) {
  const SIZE sizes[] = {{1920, 1080}, {1280, 1024}, {2560, 1440}, {3840, 2160}, {1080, 1920}, {152, 112}};
  SetClockSource(TestClock);
  bool aRefitWouldMove = false;
  for (const SIZE& size : sizes) {
    g_testClock = {13, 7};
    TIxPainter placed;
    placed.Settings = &settings;
    placed.SetSize(491, 395);
    placed.SetSize(size.cx, 395);
    placed.SetSize(size.cx, size.cy);
    const int height = placed.FontHeight();
    SIZE extent = {};
    GetTextExtentPoint32W(placed.Canvas(), L"13:07", 5, &extent);
    aRefitWouldMove |= WidthFitHeight(height, extent.cx, extent.cy, size.cx) != height;
    for (const ClockTime& minute : kEveryDigit) {
      g_testClock = minute;
      placed.DrawBackground();
      EXPECT_EQ(placed.FontHeight(), height) << size.cx << "x" << size.cy << " at " << minute.Hour << ":"
                                             << minute.Minute;
    }
  }
  EXPECT_TRUE(aRefitWouldMove) << "no size here shows the fault";
}

// A saver started at a minute with flat digits (1, 4) and one started at a minute with round
// digits (0, 3, 5, 6, 8, 9 reach above and below the flat ones) run through every minute of a
// day. Each surface keeps one digit height whatever the minute and whichever the start, and no
// minute puts ink on the top or bottom row. On the very wide surfaces, where the ink sets the
// height, a height fitted to one minute's ink shrinks at the first minute whose digits reach
// further.
TEST_F(IxPainterTest, EveryMinuteOfTheDayKeepsOneHeightAndTheInkInside) {
  struct Case {
    SIZE size;
    int height;  // the fitted height, where the ink limit leaves it alone; 0 where it lowers it
  };
  const Case cases[] = {
      {{1920, 1080}, 924}, {{2560, 1080}, 1232}, {{3840, 1080}, 0},
      {{5120, 1440}, 0},   {{1080, 1920}, 520},  {{152, 112}, 73},
  };
  const ClockTime starts[] = {{14, 41}, {8, 38}};
  SetClockSource(TestClock);
  for (const Case& c : cases) {
    const ULONGLONG began = GetTickCount64();
    const int w = c.size.cx;
    const int h = c.size.cy;
    std::optional<int> surfaceHeight;
    int closest = INT32_MAX;  // the fewest rows any minute's ink leaves before row 1 or row H - 2
    for (const ClockTime& start : starts) {
      g_testClock = start;
      TIxPainter face;
      face.Settings = &settings;
      face.SetSize(w, h);
      const int startHeight = face.FontHeight();
      if (!surfaceHeight) surfaceHeight = startHeight;
      std::string moves;
      int inkOnEdgeRows = 0;
      for (int i = 0; i < 24 * 60; ++i) {
        const int minute = (start.Hour * 60 + start.Minute + i) % (24 * 60);
        g_testClock = {minute / 60, minute % 60};
        const int before = face.FontHeight();
        if (i > 0) face.DrawBackground();
        const std::wstring text = CurrentTimeText(L"hh:nn");
        if (face.FontHeight() != before) {
          moves += " " + Narrow(text) + ": " + std::to_string(before) + " -> " + std::to_string(face.FontHeight());
        }
        // The rows themselves from the bitmap; how near the ink comes to them from the outlines,
        // which is as exact and far cheaper than reading whole bitmaps of these sizes.
        const auto clean = [](const std::vector<uint32_t>& row) {
          return std::all_of(row.begin(), row.end(), [](uint32_t p) { return p == kBlack; });
        };
        if (!clean(testing_support::ReadPixels(face.Canvas(), {0, 0, w, 1})) ||
            !clean(testing_support::ReadPixels(face.Canvas(), {0, h - 1, w, h}))) {
          ++inkOnEdgeRows;
        }
        const Box ink = Union(GlyphBoxesFromMetrics(face.Canvas(), text, w, h));
        closest = std::min({closest, ink.top - 1, h - 1 - ink.bottom});
      }
      const std::string what = std::to_string(w) + "x" + std::to_string(h) + " from " +
                               std::to_string(start.Hour) + ":" + std::to_string(start.Minute);
      std::printf("%s: font height %d at the start, %d at the end;%s\n", what.c_str(), startHeight,
                  face.FontHeight(), moves.empty() ? " never moved" : (" moved at" + moves).c_str());
      EXPECT_TRUE(moves.empty()) << what << " moved at" << moves;
      EXPECT_EQ(startHeight, *surfaceHeight) << what << ": another height than from the other start";
      EXPECT_EQ(inkOnEdgeRows, 0) << what << ": minutes with ink on the top or bottom row";
    }
    std::printf("%dx%d: the ink comes within %d rows of rows 1 .. H - 2; two days rendered in %llu ms\n", w, h,
                closest, GetTickCount64() - began);
    if (c.height != 0) {
      EXPECT_EQ(*surfaceHeight, c.height) << w << "x" << h;
    } else {
      // As large as the rows allow: the ink of some minute lies (almost) against its limit.
      EXPECT_LE(closest, 2) << w << "x" << h;
    }
  }
}

TEST_F(IxPainterTest, DrawsTheClockText) {
  struct Case {
    ClockSource clock;
    const wchar_t* separator;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {MidnightClock, L":", L"00:00"},
      {AfternoonClock, L":", L"13:07"},
      {AfternoonClock, L".", L"13.07"},
  };
  painter.SetSize(960, 540);
  for (const Case& c : cases) {
    testing_support::LocaleSeparator locale(c.separator);
    ASSERT_TRUE(locale.ok());
    RefreshTimeSeparator();
    SetClockSource(c.clock);
    painter.DrawBackground();
    const std::vector<uint32_t> pixels = FacePixels(painter);
    const std::vector<Box> seen = GlyphBoxesSeen(pixels, 960, 540, kBlack);
    const std::vector<Box> expected = GlyphBoxesFromMetrics(painter.Canvas(), c.expected, 960, 540);
    ASSERT_EQ(seen.size(), expected.size()) << Narrow(c.expected);
    for (size_t i = 0; i < seen.size(); ++i) {
      ExpectNearBox(seen[i], expected[i], Narrow(c.expected) + " glyph " + std::to_string(i));
    }
  }
}

TEST_F(IxPainterTest, VeryWideSurfacesKeepTheInkOffTheTopAndBottomRows) {
  const SIZE sizes[] = {{3840, 1080}, {5120, 1440}, {5760, 1080}, {7680, 1080}};
  SetClockSource(TestClock);
  for (const SIZE& size : sizes) {
    const int w = size.cx;
    const int h = size.cy;
    g_testClock = {13, 7};
    TIxPainter wide;
    wide.Settings = &settings;
    wide.SetSize(w, h);
    const std::vector<uint32_t> pixels = FacePixels(wide);
    const Box ink = InkBox(pixels, w, kBlack);
    const int steps = StepsHeight(L"Tahoma", L"13:07", w, h);
    std::printf("%dx%d: font height %d (the fit alone: %d), ink rows %d..%d, %.1f%% of the width\n", w, h,
                wide.FontHeight(), steps, ink.top, ink.bottom - 1, 100.0 * ink.Width() / w);
    EXPECT_LT(wide.FontHeight(), steps) << w << "x" << h;
    EXPECT_GE(ink.top, 1) << w << "x" << h;
    EXPECT_LE(ink.bottom, h - 1) << w << "x" << h;
    // As large as the rows allow: one side of the ink of the glyphs the face can show sits
    // (almost) against its limit.
    const Box glyphs = Union(GlyphBoxesFromMetrics(wide.Canvas(), L"0123456789" + TimeSeparator(), w, h));
    EXPECT_LE(std::min(glyphs.top - 1, h - 1 - glyphs.bottom), 2) << w << "x" << h;
    ExpectNearBox(ink, Union(GlyphBoxesFromMetrics(wide.Canvas(), L"13:07", w, h)), "inked box");
    // Other digits, drawn without a new fit while the text's extent stays, keep their ink inside too.
    for (const ClockTime& minute : kEveryDigit) {
      g_testClock = minute;
      wide.DrawBackground();
      const Box later = InkBox(FacePixels(wide), w, kBlack);
      EXPECT_GE(later.top, 1) << w << "x" << h << " at " << minute.Hour << ":" << minute.Minute;
      EXPECT_LE(later.bottom, h - 1) << w << "x" << h << " at " << minute.Hour << ":" << minute.Minute;
    }
  }
}

TEST_F(IxPainterTest, SurfacesWhereTheInkFitsKeepTheFittedHeight) {
  const SIZE sizes[] = {{1920, 1080}, {3440, 1440}, {1080, 1920}, {1280, 1024}, {2560, 1600}};
  for (const SIZE& size : sizes) {
    TIxPainter fitted;
    fitted.Settings = &settings;
    fitted.SetSize(size.cx, size.cy);
    EXPECT_EQ(fitted.FontHeight(), StepsHeight(L"Tahoma", L"13:07", size.cx, size.cy))
        << size.cx << "x" << size.cy;
  }
}

TEST_F(IxPainterTest, EmptySurfacesDrawAndCopyNothing) {
  // A fresh surface: no pixels, the dialog face at 8 points.
  EXPECT_EQ(painter.Bitmap(), nullptr);
  EXPECT_EQ(painter.Width(), 0);
  EXPECT_EQ(painter.FontHeight(), -MulDiv(8, 96, 72));
  LOGFONTW fresh = {};
  GetObjectW(GetCurrentObject(painter.Canvas(), OBJ_FONT), sizeof fresh, &fresh);
  EXPECT_EQ(std::wstring(fresh.lfFaceName), L"MS Shell Dlg 2");

  const SIZE sizes[] = {{0, 1080}, {1920, 0}, {0, 0}, {-5, 100}};
  for (const SIZE& size : sizes) {
    painter.SetSize(size.cx, size.cy);
    EXPECT_EQ(painter.Bitmap(), nullptr) << size.cx << "x" << size.cy;
    EXPECT_EQ(painter.FontHeight(), 0) << size.cx << "x" << size.cy;  // the system's default size
    painter.DrawBackground();
    DibSurface target(64, 64, kSentinel);
    painter.Paint(target.dc());
    const std::vector<uint32_t> pixels = target.Pixels();
    EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](uint32_t p) { return p == kSentinel; }))
        << size.cx << "x" << size.cy;
  }
  // Without settings a surface is sized but left undrawn, as a window sized before it has them.
  TIxPainter unset;
  unset.SetSize(100, 50);
  EXPECT_NE(unset.Bitmap(), nullptr);
  EXPECT_EQ(unset.FontHeight(), -MulDiv(8, 96, 72));

  // From the default size the next fit starts again and draws the whole face.
  painter.SetSize(320, 200);
  const Box ink = InkBox(FacePixels(painter), 320, kBlack);
  EXPECT_GE(ink.Width(), 288);
}

TEST_F(IxPainterTest, PaintCopiesTheBitmapAtTheOriginOnly) {
  painter.SetSize(152, 112);
  const std::vector<uint32_t> face = testing_support::ReadPixels(painter.Canvas(), {0, 0, 152, 112});
  DibSurface target(200, 150, kSentinel);
  painter.Paint(target.dc());
  const std::vector<uint32_t> pixels = target.Pixels();
  size_t mismatches = 0;
  for (int y = 0; y < 150; ++y) {
    for (int x = 0; x < 200; ++x) {
      const uint32_t want = x < 152 && y < 112 ? face[static_cast<size_t>(y) * 152 + x] : kSentinel;
      if (pixels[static_cast<size_t>(y) * 200 + x] != want) ++mismatches;
    }
  }
  EXPECT_EQ(mismatches, 0u);
}

TEST_F(IxPainterTest, FaceNamesAreTakenAsTheSystemMapsThem) {
  painter.SetSize(640, 360);
  wchar_t face[LF_FACESIZE] = {};

  settings.FontName = L"Talvane Has No Such Face";
  EXPECT_NO_THROW(painter.DrawBackground());
  EXPECT_GE(InkBox(FacePixels(painter), 640, kBlack).Width(), 576) << "a substitute font draws the digits";

  // An empty name keeps the face the surface has.
  settings.FontName = L"Courier New";
  painter.DrawBackground();
  GetTextFaceW(painter.Canvas(), LF_FACESIZE, face);
  const std::wstring courierMapped = face;
  settings.FontName = L"";
  painter.DrawBackground();
  GetTextFaceW(painter.Canvas(), LF_FACESIZE, face);
  EXPECT_EQ(std::wstring(face), courierMapped);

  // Longer names are cut to the 31 characters a font can carry.
  settings.FontName = std::wstring(40, L'T');
  painter.DrawBackground();
  LOGFONTW font = {};
  GetObjectW(GetCurrentObject(painter.Canvas(), OBJ_FONT), sizeof font, &font);
  EXPECT_EQ(std::wstring(font.lfFaceName), std::wstring(31, L'T'));
  EXPECT_EQ(font.lfWeight, FW_NORMAL);
  EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(font.lfQuality, DEFAULT_QUALITY);
  EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
}

TEST_F(IxPainterTest, NegativeColoursAreSystemColours) {
  struct Case {
    int32_t text, background;
  };
  const Case cases[] = {
      {static_cast<int32_t>(0x80000000u | COLOR_HIGHLIGHT), static_cast<int32_t>(0x80000000u | COLOR_WINDOW)},
      {static_cast<int32_t>(0xFF000000u | COLOR_WINDOWTEXT), 0x00336699},
      {0x000000FF, static_cast<int32_t>(0x80000000u | COLOR_BTNFACE)},
  };
  painter.SetSize(320, 200);
  for (const Case& c : cases) {
    settings.FontColor = c.text;
    settings.BGColor = c.background;
    painter.DrawBackground();
    const auto system = [](int32_t value) {
      return DibColor(value < 0 ? GetSysColor(value & 0xFF) : static_cast<COLORREF>(value));
    };
    const std::vector<uint32_t> pixels = FacePixels(painter);
    EXPECT_EQ(pixels.front(), system(c.background)) << std::hex << c.background;
    EXPECT_NE(std::find(pixels.begin(), pixels.end(), system(c.text)), pixels.end()) << std::hex << c.text;
  }
}

TEST_F(IxPainterTest, RefusedBitmapRaisesOutOfResourcesAndKeepsTheFace) {
  painter.SetSize(152, 112);
  const std::vector<uint32_t> before = FacePixels(painter);
  try {
    painter.SetSize(60000, 60000);
    ADD_FAILURE() << "a 60000 x 60000 bitmap was made";
  } catch (const OutOfResourcesError& e) {
    EXPECT_FALSE(e.Message().empty());
  }
  EXPECT_EQ(painter.Width(), 152);
  EXPECT_TRUE(FacePixels(painter) == before);
}

TEST(IxPainter, ThousandRendersAtAlternatingSizesLeakNothing) {
  SetClockSource(AfternoonClock);
  TIxSettings settings;
  const int before = gdi_count::Live();
  {
    TIxPainter painter;
    painter.Settings = &settings;
    painter.SetSize(152, 112);
    painter.SetSize(320, 200);
    const int settled = gdi_count::Live();
    const ULONGLONG start = GetTickCount64();
    for (int i = 0; i < 1000; ++i) {
      if (i % 2 == 0) {
        painter.SetSize(152, 112);
      } else {
        painter.SetSize(320, 200);
      }
      if (i % 100 == 0) settings.BGColor = i;  // a new brush now and then
    }
    std::printf("1000 renders in %llu ms\n", GetTickCount64() - start);
    EXPECT_EQ(gdi_count::Live(), settled);
  }
  EXPECT_EQ(gdi_count::Live(), before);
  SetClockSource(nullptr);
}

}  // namespace
