#include "face/ix_painter.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string>
#include <utility>

#include "app/colors_win.h"
#include "app/system_error_win.h"
#include "app/time_text_win.h"
#include "face/face_fit.h"
#include "settings/ix_settings.h"

namespace {

TIxPainter::BitmapMaker g_bitmapMaker = CreateCompatibleBitmap;

template <class Handle>
Handle Checked(Handle handle) {
  if (!handle) RaiseOutOfResources();
  return handle;
}

// The fresh surface's font: the dialog face at 8 points, everything else the system's default.
LOGFONTW FreshFont() {
  ReleaseDcOnExit screen(nullptr);
  LOGFONTW font = {};
  font.lfHeight = -MulDiv(8, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  wcscpy(font.lfFaceName, L"MS Shell Dlg 2");
  return font;
}

SIZE TextExtent(HDC dc, const std::wstring& text) {
  SIZE extent = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  return extent;
}

// The rows the text's ink covers, from the outlines' black boxes: as exact as drawing it, and
// far cheaper than drawing trial bitmaps.
InkExtent MeasureInk(HDC dc, const std::wstring& text) {
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  InkExtent ink;
  ink.CellHeight = TextExtent(dc, text).cy;
  ink.InkTop = INT32_MAX;
  ink.InkBottom = INT32_MIN;
  const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  for (const wchar_t c : text) {
    GLYPHMETRICS glyph = {};
    if (GetGlyphOutlineW(dc, c, GGO_METRICS, &glyph, 0, nullptr, &identity) == GDI_ERROR) continue;
    const int32_t top = metrics.tmAscent - glyph.gmptGlyphOrigin.y;
    ink.InkTop = std::min(ink.InkTop, top);
    ink.InkBottom = std::max(ink.InkBottom, top + static_cast<int32_t>(glyph.gmBlackBoxY));
  }
  if (ink.InkBottom < ink.InkTop) ink.InkTop = ink.InkBottom = 0;  // no outlines: nothing to mend
  return ink;
}

// Every glyph the face can show: the ten digits and the locale's time separator.
std::wstring FaceGlyphs() { return L"0123456789" + TimeSeparator(); }

}  // namespace

TIxPainter::TIxPainter() : canvas_(Checked(CreateCompatibleDC(nullptr))) {
  UseFont(FreshFont());
  brush_ = DeleteObjectOnExit<HBRUSH>(Checked(CreateSolidBrush(brushColor_)));
}

TIxPainter::~TIxPainter() = default;

void TIxPainter::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width != width_ || height != height_) {
    DeleteObjectOnExit<HBITMAP> resized;
    if (width > 0 && height > 0) {
      ReleaseDcOnExit screen(nullptr);
      resized.reset(Checked(g_bitmapMaker(screen.get(), width, height)));
    }
    bitmapSelection_.reset();
    bitmap_ = std::move(resized);
    if (bitmap_) bitmapSelection_.emplace(canvas_.get(), bitmap_.get());
    width_ = width;
    height_ = height;
  }
  DrawBackground();
}

void TIxPainter::DrawBackground() {
  if (!Settings) return;
  const HDC dc = canvas_.get();
  const int32_t w = width_;
  const int32_t h = height_;
  const bool hasPixels = bitmap_ && w > 0 && h > 0;

  const COLORREF background = ColorToRGB(Settings->BGColor);
  UseBrush(background);
  LOGFONTW font = logFont_;
  if (!Settings->FontName.empty()) {
    const size_t length = std::min<size_t>(Settings->FontName.size(), LF_FACESIZE - 1);
    std::fill(std::begin(font.lfFaceName), std::end(font.lfFaceName), L'\0');
    std::copy_n(Settings->FontName.begin(), length, font.lfFaceName);
  }
  UseFont(font);
  SetTextColor(dc, ColorToRGB(Settings->FontColor));
  if (hasPixels) {
    const RECT all = {0, 0, w, h};
    FillRect(dc, &all, brush_.get());
  }

  const std::wstring text = CurrentTimeText(L"hh:nn");
  // Fitting again from the height it left can move the height by a pixel or two each time (the
  // measurements round), and on some surfaces back again at the next fit: the digits of an
  // unchanged surface would change size from one rendering, or one minute, to the next. So the
  // fit is kept while the surface, the face, the glyphs it can show and the text's extent stay;
  // the ink limit covers all of those glyphs, so every minute's ink stays inside at that height.
  FitInputs inputs{w, h, TextExtent(dc, text), font.lfFaceName, FaceGlyphs()};
  if (inputs != lastFit_) {
    Fit(font, text, inputs.glyphs);
    inputs.extent = TextExtent(dc, text);
  }
  lastFit_ = std::move(inputs);
  if (!hasPixels) return;

  const SIZE& extent = lastFit_.extent;
  SetBkColor(dc, background);
  SetBkMode(dc, OPAQUE);
  ExtTextOutW(dc, CenteredStart(w, extent.cx), CenteredStart(h, extent.cy), 0, nullptr, text.c_str(),
              static_cast<UINT>(text.size()), nullptr);
}

// Steps the font height to the surface: as wide as the surface, then the second adjustment,
// then, where that lets the digits run off a very wide surface, down until their ink is inside.
// That last step measures every glyph the face can show rather than the text of this minute:
// round digits reach above and below flat ones, and a height fitted to one minute's ink would
// have to shrink at a later minute.
void TIxPainter::Fit(LOGFONTW font, const std::wstring& text, const std::wstring& glyphs) {
  const HDC dc = canvas_.get();
  const auto useHeight = [&](int32_t height) {
    font.lfHeight = height;
    UseFont(font);
  };
  SIZE extent = TextExtent(dc, text);
  useHeight(WidthFitHeight(font.lfHeight, extent.cx, extent.cy, width_));
  extent = TextExtent(dc, text);
  useHeight(SecondAdjustment(font.lfHeight, extent.cx, extent.cy, height_));
  useHeight(InkFittingHeight(font.lfHeight, height_, [&](int32_t height) {
    useHeight(height);
    return MeasureInk(dc, glyphs);
  }));
}

void TIxPainter::SetBitmapMaker(BitmapMaker maker) { g_bitmapMaker = maker ? maker : CreateCompatibleBitmap; }

void TIxPainter::Paint(HDC canvas) const {
  if (!bitmap_) return;
  BitBlt(canvas, 0, 0, width_, height_, canvas_.get(), 0, 0, SRCCOPY);
}

int TIxPainter::Width() const { return width_; }
int TIxPainter::Height() const { return height_; }
HBITMAP TIxPainter::Bitmap() const { return bitmap_.get(); }
HDC TIxPainter::Canvas() const { return canvas_.get(); }
int TIxPainter::FontHeight() const { return logFont_.lfHeight; }

// Fonts are made only when the face or height changes: a rendering often ends at the height it
// started from.
void TIxPainter::UseFont(const LOGFONTW& font) {
  if (font_ && font.lfHeight == logFont_.lfHeight && wcscmp(font.lfFaceName, logFont_.lfFaceName) == 0) return;
  DeleteObjectOnExit<HFONT> created(Checked(CreateFontIndirectW(&font)));
  fontSelection_.reset();
  font_ = std::move(created);
  fontSelection_.emplace(canvas_.get(), font_.get());
  logFont_ = font;
}

void TIxPainter::UseBrush(COLORREF color) {
  if (color == brushColor_) return;
  brush_.reset(Checked(CreateSolidBrush(color)));
  brushColor_ = color;
}
