#include "saver/saver_input.h"

void CountDownGrace(int32_t& timer_count1, bool& EnableInput, int32_t interval) {
  if (timer_count1 >= 1) {
    timer_count1 -= interval;
    if (timer_count1 <= 0) EnableInput = true;
  }
}

bool MouseMoveEndsRun(bool EnableInput, int32_t x, int32_t y, int32_t mouse_x, int32_t mouse_y) {
  return EnableInput && (x != mouse_x || y != mouse_y);
}
