// The floor the saver is measured against: what any program that covers the monitors with a
// top-most window and ticks a 100 ms timer costs on this platform, and nothing more.
//   empty_window COLOUR           one borderless top-most window per monitor
//   empty_window COLOUR /p HWND   one child window filling the host window
// COLOUR (decimal 0x00BBGGRR) fills the windows, so a watcher can see the first paint.
#include <windows.h>

#include <cstdint>
#include <cwchar>

namespace {

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_TIMER:
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

BOOL CALLBACK CoverMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  GetMonitorInfoW(monitor, &info);
  const RECT& r = info.rcMonitor;
  HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, L"EmptyWindow", L"EmptyWindow", WS_POPUP | WS_VISIBLE, r.left,
                              r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  SetTimer(hwnd, 1, 100, nullptr);
  return TRUE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (__argc < 2) return 2;
  const auto colour = static_cast<COLORREF>(wcstoul(__wargv[1], nullptr, 10));
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hbrBackground = CreateSolidBrush(colour);
  wc.lpszClassName = L"EmptyWindow";
  RegisterClassExW(&wc);

  if (__argc >= 4 && _wcsicmp(__wargv[2], L"/p") == 0) {
    const auto host = reinterpret_cast<HWND>(static_cast<intptr_t>(wcstol(__wargv[3], nullptr, 10)));
    RECT r;
    if (!GetClientRect(host, &r)) return 1;
    HWND hwnd = CreateWindowExW(0, L"EmptyWindow", L"EmptyWindow", WS_CHILD | WS_VISIBLE | WS_DISABLED, 0, 0,
                                r.right, r.bottom, host, nullptr, instance, nullptr);
    SetTimer(hwnd, 1, 100, nullptr);
  } else {
    EnumDisplayMonitors(nullptr, nullptr, CoverMonitor, 0);
  }

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
