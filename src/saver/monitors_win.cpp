#include "saver/monitors_win.h"

#include <windows.h>

#include <utility>

namespace {

std::vector<MonitorRect> g_monitors;

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    reinterpret_cast<std::vector<MonitorRect>*>(param)->push_back(
        {r.left, r.top, r.right - r.left, r.bottom - r.top});
  }
  return TRUE;
}

}  // namespace

const std::vector<MonitorRect>& MonitorList() {
  if (g_monitors.empty()) {
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&g_monitors));
    // Never leave the saver without a window to show: fall back to the primary screen.
    if (g_monitors.empty()) {
      g_monitors.push_back({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    }
  }
  return g_monitors;
}

void SetMonitorList(std::vector<MonitorRect> monitors) { g_monitors = std::move(monitors); }
