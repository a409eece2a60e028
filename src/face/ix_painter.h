#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "app/gdi_win.h"

class TIxSettings;

// Draws the clock face into an off-screen bitmap the size of its window and copies it to the
// window when asked. Rendering happens only on a new size or a new minute; painting is a copy.
class TIxPainter {
 public:
  TIxPainter();   // Create: an empty (0 x 0) bitmap
  ~TIxPainter();  // Destroy: frees the bitmap, never the settings
  TIxPainter(const TIxPainter&) = delete;
  TIxPainter& operator=(const TIxPainter&) = delete;

  // Borrowed; must be set before the first SetSize or DrawBackground.
  TIxSettings* Settings = nullptr;

  void SetSize(int width, int height);
  void DrawBackground();
  void Paint(HDC canvas) const;

  int Width() const;
  int Height() const;
  HBITMAP Bitmap() const;  // nullptr while the surface has no pixels
  HDC Canvas() const;  // the memory DC the bitmap is drawn through
  int FontHeight() const;  // the surface font's height, which the next fit starts from

  // Tests make the system refuse the bitmap, as it does when GDI objects run out; nullptr
  // restores CreateCompatibleBitmap.
  using BitmapMaker = HBITMAP(WINAPI*)(HDC screen, int width, int height);
  static void SetBitmapMaker(BitmapMaker maker);

 private:
  // What the font fit depends on: the surface, the face, the text's extent at the font the last
  // fit left and the glyphs whose ink the fit keeps inside (the separator is the locale's).
  struct FitInputs {
    int width = -1;
    int height = -1;
    SIZE extent = {-1, -1};
    std::wstring face;
    std::wstring glyphs;
    bool operator!=(const FitInputs& other) const {
      return width != other.width || height != other.height || extent.cx != other.extent.cx ||
             extent.cy != other.extent.cy || face != other.face || glyphs != other.glyphs;
    }
  };

  void Fit(LOGFONTW font, const std::wstring& text, const std::wstring& glyphs);
  void UseFont(const LOGFONTW& font);
  void UseBrush(COLORREF color);

  // Declared before the selections, so that every object is selected out before it is deleted
  // and the DC goes last.
  DeleteDcOnExit canvas_;
  DeleteObjectOnExit<HBITMAP> bitmap_;  // none while the surface has no pixels
  DeleteObjectOnExit<HFONT> font_;
  DeleteObjectOnExit<HBRUSH> brush_;
  std::optional<RestoreObjectOnExit> bitmapSelection_;
  std::optional<RestoreObjectOnExit> fontSelection_;
  LOGFONTW logFont_ = {};
  COLORREF brushColor_ = RGB(255, 255, 255);
  int width_ = 0;
  int height_ = 0;
  FitInputs lastFit_;
};
