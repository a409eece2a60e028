#pragma once
#include <windows.h>

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
  HBITMAP Bitmap() const;
  HDC Canvas() const;  // the memory DC the bitmap is drawn through
};
