#include "setup/chooser_placement_win.h"

#include "setup/symbol_geometry.h"

void PlaceChooserOnPrimaryMonitor(HWND chooser) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info)) return;
  RECT window;
  if (!GetWindowRect(chooser, &window)) return;
  const RECT& m = info.rcMonitor;
  const BoxPoint place = ChooserPosition({m.left, m.top, m.right, m.bottom},
                                         window.right - window.left, window.bottom - window.top);
  SetWindowPos(chooser, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

UINT_PTR CALLBACK PlaceChooserHook(HWND chooser, UINT msg, WPARAM, LPARAM) {
  if (msg != WM_INITDIALOG) return 0;
  PlaceChooserOnPrimaryMonitor(chooser);
  return TRUE;
}
