#pragma once
#include <cstdint>

// A monitor's full rectangle in physical pixels of the virtual screen.
struct MonitorRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
};
