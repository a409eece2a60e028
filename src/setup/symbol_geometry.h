#pragma once
#include <cstdint>

// Plain rectangle (left, top, right, bottom) so the geometry needs no Win32 headers.
struct BoxRect {
  int left;
  int top;
  int right;
  int bottom;
};

// The colour value that means "no colour": a symbol button holding it draws no swatch.
constexpr int32_t kNoSymbolColor = 0x1FFFFFFF;

// Where a symbol button of the given client size draws its swatch. A symbol width of 0 picks
// 19 pixels for a button with a caption; a button without caption gets a centred bar instead.
BoxRect SwatchRect(int width, int height, int32_t symbolWidth, bool captionEmpty);

// Top-left corner for a chooser of the given size on a monitor: centred across, a third down.
struct BoxPoint {
  int x;
  int y;
};
BoxPoint ChooserPosition(const BoxRect& monitor, int width, int height);
