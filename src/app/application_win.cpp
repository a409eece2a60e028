#include "app/application_win.h"

#include "app/app_title.h"
#include "app/time_text_win.h"

namespace {

constexpr wchar_t kClassName[] = L"TalvaneApplication";

HWND g_window = nullptr;
std::wstring g_title;

std::wstring ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

LRESULT CALLBACK ApplicationWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_TIMECHANGE:
      ForgetLocalTime();
      break;
    case WM_SETTINGCHANGE:
      ForgetLocalTime();
      if (lParam != 0 && lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam), L"intl") == 0) {
        RefreshTimeSeparator();
      }
      break;
    case WM_CLOSE:
      // The taskbar's Close, or a polite kill. The default would destroy this window and every
      // window it owns, and leave the process running without any: the run ends instead, as its
      // own close would end it (the setup dialog's modal loop takes the quit as Cancel).
      PostQuitMessage(0);
      return 0;
    case WM_ENDSESSION:
      // The session ends: the run ends without saving anything.
      if (wParam) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

BOOL CALLBACK CountVisibleOwned(HWND hwnd, LPARAM param) {
  auto* state = reinterpret_cast<std::pair<HWND, bool>*>(param);
  if (hwnd != state->first && GetWindow(hwnd, GW_OWNER) == g_window && IsWindowVisible(hwnd)) {
    state->second = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HICON ApplicationIcon() {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, 0, 0,
                                       LR_DEFAULTSIZE | LR_SHARED));
}

HWND CreateApplicationWindow() {
  if (g_window) return g_window;
  g_title = ApplicationTitleFromPath(ExecutablePath());
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = ApplicationWndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = ApplicationIcon();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
  g_window = CreateWindowExW(0, kClassName, g_title.c_str(),
                             WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                             x, y, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
  return g_window;
}

HWND ApplicationWindow() { return g_window; }

const std::wstring& ApplicationTitle() { return g_title; }

void SyncApplicationWindow(HWND leaving) {
  if (!g_window) return;
  std::pair<HWND, bool> state{leaving, false};
  EnumThreadWindows(GetCurrentThreadId(), CountVisibleOwned, reinterpret_cast<LPARAM>(&state));
  const bool shown = IsWindowVisible(g_window) != FALSE;
  if (state.second != shown) {
    SetWindowPos(g_window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (state.second ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  }
}

void ShowErrorBox(const std::wstring& message) {
  HWND owner = GetActiveWindow();
  MessageBoxW(owner ? owner : g_window, ErrorBoxText(message).c_str(), g_title.c_str(),
              MB_OK | MB_ICONERROR);
}
