#pragma once
#include <windows.h>

#include <cstdint>

// A colour value as the system takes it for text, backgrounds and the colour chooser: a negative
// value names a system colour (its low byte is the index), any other is 0x00BBGGRR as it stands.
inline COLORREF ColorToRGB(int32_t color) {
  return color < 0 ? GetSysColor(static_cast<int>(color & 0xFF)) : static_cast<COLORREF>(color);
}
