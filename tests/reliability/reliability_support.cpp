#include "reliability_support.h"

#include <tlhelp32.h>

#include <cstdint>

namespace reliability {

using testing_support::ClassName;
using testing_support::PumpFor;
using testing_support::PumpUntil;
using testing_support::TopLevelWindowsOf;

namespace {

constexpr int kHostWidth = 152;
constexpr int kHostHeight = 112;

HWND FocusOf(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus ? info.hwndFocus : window;
}

}  // namespace

std::vector<DWORD> TalvaneProcesses() {
  std::vector<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, L"talvane.scr") == 0) ids.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return ids;
}

HWND WaitForWindowOf(const testing_support::ChildProcess& child, const wchar_t* className, DWORD timeoutMs) {
  HWND found = nullptr;
  PumpUntil(
      [&] {
        for (HWND hwnd : TopLevelWindowsOf(child.Id())) {
          if (ClassName(hwnd) == className && IsWindowVisible(hwnd)) {
            found = hwnd;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

HWND WaitForSaverWindow(const testing_support::ChildProcess& saver) {
  const RECT monitor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  HWND window = nullptr;
  PumpUntil(
      [&] {
        window = WaitForWindowOf(saver, L"TFormMain", 0);
        RECT r;
        return window && GetWindowRect(window, &r) && EqualRect(&r, &monitor);
      },
      15000);
  return window;
}

HWND WaitForSetupDialog(const testing_support::ChildProcess& setup) {
  HWND dialog = WaitForWindowOf(setup, L"TSetupDialog");
  PumpFor(300);
  return dialog;
}

void PressEsc(HWND dialog) { PostMessageW(FocusOf(dialog), WM_KEYDOWN, VK_ESCAPE, 1); }

HWND ButtonOf(HWND dialog, const wchar_t* caption) { return FindWindowExW(dialog, nullptr, L"Button", caption); }

PreviewHost::PreviewHost() : hwnd_(testing_support::CreateHostWindow(300, 200, kHostWidth, kHostHeight)) {}

PreviewHost::~PreviewHost() { Destroy(); }

void PreviewHost::Destroy() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

std::wstring PreviewHost::PreviewArguments() const { return L"/p " + HandleText(hwnd_); }

HWND PreviewHost::WaitForPreview(DWORD timeoutMs) const {
  HWND child = nullptr;
  PumpUntil(
      [&] {
        child = FindWindowExW(hwnd_, nullptr, L"TFormMainPreview", nullptr);
        RECT r;
        return child && IsWindowVisible(child) && GetWindowRect(child, &r) && r.right - r.left == kHostWidth &&
               r.bottom - r.top == kHostHeight;
      },
      timeoutMs);
  return child;
}

std::wstring HandleText(HWND hwnd) {
  return std::to_wstring(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(hwnd)));
}

std::string WindowsText(const testing_support::ChildProcess& child) {
  std::string text;
  for (HWND hwnd : TopLevelWindowsOf(child.Id())) {
    const std::wstring line = ClassName(hwnd) + L" \"" + testing_support::WindowText(hwnd) + L"\"" +
                              (IsWindowVisible(hwnd) ? L" visible" : L" hidden");
    char narrow[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
    text += std::string(narrow) + "; ";
  }
  return text.empty() ? "no windows" : text;
}

}  // namespace reliability
