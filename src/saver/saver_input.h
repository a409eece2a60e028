#pragma once
#include <cstdint>

// The input rules of a full-screen saver window, kept free of Win32 so they can be tested alone.

// The window's timer ticks every kTimerInterval ms; a mouse movement ends the run only once
// kGraceMilliseconds of ticks have run down.
constexpr int32_t kTimerInterval = 100;
constexpr int32_t kGraceMilliseconds = 500;

// One tick of the grace countdown: while it runs, the interval is subtracted; when it reaches
// zero or below, input starts to count. Once run out it stays where it ended.
void CountDownGrace(int32_t& timer_count1, bool& EnableInput, int32_t interval);

// A mouse move ends the run only after the grace and only when it reports a new position.
bool MouseMoveEndsRun(bool EnableInput, int32_t x, int32_t y, int32_t mouse_x, int32_t mouse_y);
