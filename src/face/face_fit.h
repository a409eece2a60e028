#pragma once
#include <cstdint>
#include <functional>

// The arithmetic that fits the clock's font to its surface. Everything is 32-bit signed with the
// machine's wraparound: products keep their low 32 bits and division truncates toward zero. A
// measured text width or height of 0 leaves the font height as it was rather than dividing by it.

// Font height that makes the text as wide as the surface: textHeight * surfaceWidth div textWidth.
int32_t WidthFitHeight(int32_t fontHeight, int32_t textWidth, int32_t textHeight, int32_t surfaceWidth);

// The second adjustment: Q := textWidth * surfaceHeight div textHeight, taken when it is smaller
// than the font height.
int32_t SecondAdjustment(int32_t fontHeight, int32_t textWidth, int32_t textHeight, int32_t surfaceHeight);

// Where a text of this extent starts so that it is centred: (surface - text) div 2; negative when
// the text is the larger, so that it overhangs both edges equally.
int32_t CenteredStart(int32_t surface, int32_t text);

// Where the ink of the text lies, at one font height: the cell height, and the first inked row
// and the row after the last inked one, both counted from the top of the cell.
struct InkExtent {
  int32_t CellHeight = 0;
  int32_t InkTop = 0;
  int32_t InkBottom = 0;
};

// Whether text centred by its cell leaves the top and bottom rows of the surface without ink.
bool InkInsideRows(const InkExtent& ink, int32_t surfaceHeight);

// The largest font height, at most fittedHeight, at which the ink of the centred text stays in
// rows 1 .. surfaceHeight - 2; fittedHeight itself when its ink is already inside. measure gives
// the extent at a font height. Only positive cell heights are mended, and only on surfaces with
// at least one row between the top and bottom ones.
int32_t InkFittingHeight(int32_t fittedHeight, int32_t surfaceHeight,
                         const std::function<InkExtent(int32_t fontHeight)>& measure);
