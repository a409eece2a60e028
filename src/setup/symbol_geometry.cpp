#include "setup/symbol_geometry.h"

#include <algorithm>

BoxRect SwatchRect(int width, int height, int32_t symbolWidth, bool captionEmpty) {
  const int q = height / 4;
  int sw = symbolWidth;
  if (sw == 0) sw = captionEmpty ? 0 : 19;
  if (sw != 0) return {width - sw, height - 3 * q, width - 6, height - q};
  const int a = std::max(width / 8, 4);
  return {a, height - 3 * q, width - a, height - q};
}

BoxPoint ChooserPosition(const BoxRect& monitor, int width, int height) {
  const int monitorWidth = monitor.right - monitor.left;
  const int monitorHeight = monitor.bottom - monitor.top;
  return {monitor.left + (monitorWidth - width) / 2, monitor.top + (monitorHeight - height) / 3};
}
