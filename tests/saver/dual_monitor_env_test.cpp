// The two-monitor desktop that with-wine sets up with TALVANE_SCREENS=dual: a 1920x1080 primary
// and a 1280x1024 monitor left of it. The tests of the per-monitor saver windows stand on this
// layout, so it is checked here on its own, through the same calls the saver makes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/gdi_win.h"
#include "support/win_test_support.h"

namespace {

using testing_support::CaptureScreen;
using testing_support::PumpUntil;

struct SeenMonitor {
  HMONITOR handle;
  RECT rect;
  bool primary;
};

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    reinterpret_cast<std::vector<SeenMonitor>*>(data)->push_back(
        {monitor, info.rcMonitor, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return TRUE;
}

std::vector<SeenMonitor> Monitors() {
  std::vector<SeenMonitor> monitors;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

// Rectangles are compared as text, so that a failure prints both.
std::string Text(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

// In the order EnumDisplayMonitors reports them.
struct ExpectedMonitor {
  RECT rect;
  bool primary;
};
const ExpectedMonitor kExpected[] = {
    {{0, 0, 1920, 1080}, true},
    {{-1280, 0, 0, 1024}, false},
};

TEST(DualMonitorEnvironment, ReportsBothMonitorsWithTheSecondLeftOfThePrimary) {
  const std::vector<SeenMonitor> monitors = Monitors();
  ASSERT_EQ(monitors.size(), std::size(kExpected));
  for (size_t i = 0; i < monitors.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "monitor " << i);
    EXPECT_EQ(Text(monitors[i].rect), Text(kExpected[i].rect));
    EXPECT_EQ(monitors[i].primary, kExpected[i].primary);
  }
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
  EXPECT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), -1280);
  EXPECT_EQ(GetSystemMetrics(SM_YVIRTUALSCREEN), 0);
  EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 3200);
  EXPECT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), 1080);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
}

// A popup that paints itself in the colour passed at creation.
LRESULT CALLBACK SolidWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
      break;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(hwnd, &client);
      DeleteObjectOnExit<HBRUSH> brush(
          CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))));
      FillRect(reinterpret_cast<HDC>(wParam), &client, brush.get());
      return 1;
    }
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class SolidWindow {
 public:
  explicit SolidWindow(COLORREF colour) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = SolidWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TalvaneDualMonitorTestWindow";
    RegisterClassW(&wc);  // fails harmlessly when an earlier window registered it
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP, 0, 0, 100, 100, nullptr,
                            nullptr, wc.hInstance, reinterpret_cast<void*>(static_cast<uintptr_t>(colour)));
  }
  ~SolidWindow() { DestroyWindow(hwnd_); }
  SolidWindow(const SolidWindow&) = delete;
  SolidWindow& operator=(const SolidWindow&) = delete;
  HWND get() const { return hwnd_; }

 private:
  HWND hwnd_;
};

// Colours as the screen read-back gives them (0x00RRGGBB); COLORREF is 0x00BBGGRR.
constexpr uint32_t kPrimaryColour = 0x2060C0;
constexpr uint32_t kLeftColour = 0xC08020;
COLORREF AsColorref(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// How many pixels of a capture of the virtual screen inside `area` differ from `colour`.
size_t PixelsNotOfColour(const std::vector<uint32_t>& screen, const RECT& virtualScreen, const RECT& area,
                         uint32_t colour) {
  const auto width = static_cast<size_t>(virtualScreen.right - virtualScreen.left);
  size_t wrong = 0;
  for (LONG y = area.top; y < area.bottom; ++y) {
    for (LONG x = area.left; x < area.right; ++x) {
      const auto index = static_cast<size_t>(y - virtualScreen.top) * width + static_cast<size_t>(x - virtualScreen.left);
      if (screen[index] != colour) ++wrong;
    }
  }
  return wrong;
}

TEST(DualMonitorEnvironment, TopMostPopupCoversEachMonitorExactly) {
  const std::vector<SeenMonitor> monitors = Monitors();
  ASSERT_EQ(monitors.size(), 2u);
  const uint32_t colours[] = {kPrimaryColour, kLeftColour};

  std::vector<std::unique_ptr<SolidWindow>> windows;
  for (size_t i = 0; i < monitors.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "monitor " << i);
    const RECT& r = monitors[i].rect;
    windows.push_back(std::make_unique<SolidWindow>(AsColorref(colours[i])));
    HWND hwnd = windows.back()->get();
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(SetWindowPos(hwnd, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                             SWP_SHOWWINDOW));
    UpdateWindow(hwnd);
    RECT placed;
    GetWindowRect(hwnd, &placed);
    EXPECT_EQ(Text(placed), Text(r));
    EXPECT_EQ(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONULL), monitors[i].handle);
    EXPECT_NE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  }

  const RECT virtualScreen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                              GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                              GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  // Both heads show their window, to the last pixel of each monitor.
  std::vector<uint32_t> screen;
  const auto bothShown = [&] {
    screen = CaptureScreen(virtualScreen);
    return PixelsNotOfColour(screen, virtualScreen, monitors[0].rect, colours[0]) == 0 &&
           PixelsNotOfColour(screen, virtualScreen, monitors[1].rect, colours[1]) == 0;
  };
  PumpUntil(bothShown, 5000);
  for (size_t i = 0; i < monitors.size(); ++i) {
    EXPECT_EQ(PixelsNotOfColour(screen, virtualScreen, monitors[i].rect, colours[i]), 0u) << "monitor " << i;
  }
  EXPECT_TRUE(testing_support::SaveScreenPicture(virtualScreen, "dual-monitor-env.png"));
}

}  // namespace
