// The full-screen saver on the two-monitor desktop: a 1920x1080 primary and a 1280x1024 monitor
// left of it, at negative coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "support/win_test_support.h"

namespace {

using testing_support::ChildProcess;
using testing_support::PumpFor;
using testing_support::PumpUntil;

const RECT kMonitors[] = {{0, 0, 1920, 1080}, {-1280, 0, 0, 1024}};

std::string Text(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

std::vector<HWND> SaverWindows(DWORD pid) {
  std::vector<HWND> windows;
  for (HWND hwnd : testing_support::TopLevelWindowsOf(pid)) {
    if (testing_support::ClassName(hwnd) == L"TFormMain" && IsWindowVisible(hwnd)) windows.push_back(hwnd);
  }
  return windows;
}

RECT WindowRect(HWND hwnd) {
  RECT r = {};
  GetWindowRect(hwnd, &r);
  return r;
}

// Both windows shown and each placed exactly on a monitor.
std::vector<HWND> WaitForPlacedWindows(const ChildProcess& saver) {
  std::vector<HWND> windows;
  PumpUntil(
      [&] {
        windows = SaverWindows(saver.Id());
        if (windows.size() != 2) return false;
        for (const RECT& m : kMonitors) {
          if (std::none_of(windows.begin(), windows.end(),
                           [&](HWND w) { return Text(WindowRect(w)) == Text(m); })) {
            return false;
          }
        }
        return true;
      },
      15000);
  return windows;
}

HWND WindowOn(const std::vector<HWND>& windows, const RECT& monitor) {
  for (HWND w : windows) {
    if (Text(WindowRect(w)) == Text(monitor)) return w;
  }
  return nullptr;
}

struct Ink {
  size_t background = 0, digits = 0;
  RECT box = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
};

Ink InkOf(const RECT& area) {
  const std::vector<uint32_t> pixels = testing_support::CaptureScreen(area);
  const int width = area.right - area.left;
  Ink ink;
  for (size_t i = 0; i < pixels.size(); ++i) {
    if (pixels[i] == 0) {
      ++ink.background;
      continue;
    }
    ++ink.digits;
    const int x = static_cast<int>(i % static_cast<size_t>(width));
    const int y = static_cast<int>(i / static_cast<size_t>(width));
    ink.box = {std::min<LONG>(ink.box.left, x), std::min<LONG>(ink.box.top, y), std::max<LONG>(ink.box.right, x + 1),
               std::max<LONG>(ink.box.bottom, y + 1)};
  }
  return ink;
}

TEST(MonitorFanOut, CoversEachMonitorWithItsOwnFittedFace) {
  ChildProcess saver(testing_support::TalvaneScrPath(), L"/s");
  const std::vector<HWND> windows = WaitForPlacedWindows(saver);
  ASSERT_EQ(windows.size(), 2u);
  HWND primary = WindowOn(windows, kMonitors[0]);
  HWND secondary = WindowOn(windows, kMonitors[1]);
  ASSERT_TRUE(primary && secondary);
  EXPECT_EQ(GetWindow(secondary, GW_OWNER), primary) << "the further window is owned by the first";
  for (HWND w : windows) EXPECT_TRUE(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);

  PumpFor(1000);
  for (const RECT& monitor : kMonitors) {
    const Ink ink = InkOf(monitor);
    const int width = monitor.right - monitor.left;
    const int inkWidth = ink.box.right - ink.box.left;
    std::printf("monitor %s: digits span %d of %d pixels (%.1f%%), rows %ld..%ld\n", Text(monitor).c_str(),
                inkWidth, width, 100.0 * inkWidth / width, ink.box.top, ink.box.bottom - 1);
    EXPECT_GT(ink.background, ink.digits) << Text(monitor);
    EXPECT_GE(inkWidth * 10, width * 9) << "digits as wide as this monitor: " << Text(monitor);
    EXPECT_LE(inkWidth, width);
    EXPECT_GT(ink.box.top, 0) << Text(monitor);
    EXPECT_LT(ink.box.bottom, monitor.bottom - monitor.top) << Text(monitor);
  }
  const RECT everything = {-1280, 0, 1920, 1080};
  testing_support::SaveScreenPicture(everything, "saver-two-monitors.png");

  PostMessageW(primary, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(saver.WaitForExit(5000), 0u);
}

TEST(MonitorFanOut, InputInTheSecondMonitorsWindowEndsTheWholeRun) {
  struct Case {
    const char* what;
    void (*send)();
  };
  const Case cases[] = {
      {"click", [] { testing_support::SendClickAt(-640, 512); }},
      {"key", [] { testing_support::SendKey(VK_TAB); }},
      {"late mouse move", [] {
         SetCursorPos(-640, 300);
         PumpFor(1200);
         testing_support::SendMouseMove(25, 40);
       }},
  };
  for (const Case& c : cases) {
    SetCursorPos(-900, 200);
    ChildProcess saver(testing_support::TalvaneScrPath(), L"/s");
    const std::vector<HWND> windows = WaitForPlacedWindows(saver);
    ASSERT_EQ(windows.size(), 2u) << c.what;
    HWND secondary = WindowOn(windows, kMonitors[1]);
    PumpUntil([&] { return GetForegroundWindow() == secondary; }, 2000);
    EXPECT_EQ(GetForegroundWindow(), secondary) << "the last window shown is the active one";
    c.send();
    EXPECT_EQ(saver.WaitForExit(5000), 0u) << c.what;
    for (HWND w : windows) EXPECT_FALSE(IsWindow(w)) << c.what << ": every window goes";
  }
}

}  // namespace
