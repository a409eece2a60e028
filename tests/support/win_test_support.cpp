#include "support/win_test_support.h"

#include "support/png_writer.h"

#include "app/time_text_win.h"

#include <cstdint>

namespace testing_support {

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    const DWORD wait = static_cast<DWORD>(deadline - now < 20 ? deadline - now : 20);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
  }
}

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

std::wstring BinDir() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, n);
  return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

std::wstring TalvaneScrPath() { return BinDir() + L"talvane.scr"; }

ChildProcess::ChildProcess(const std::wstring& exePath, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + exePath + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info_)) {
    info_ = {};
  }
}

ChildProcess::~ChildProcess() {
  if (!info_.hProcess) return;
  if (Running()) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool ChildProcess::Running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD ChildProcess::WaitForExit(DWORD timeoutMs) {
  if (!info_.hProcess) return STILL_ACTIVE;
  PumpUntil([this] { return !Running(); }, timeoutMs);
  if (Running()) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

namespace {

struct WindowsOfProcess {
  DWORD processId;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
  auto* state = reinterpret_cast<WindowsOfProcess*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == state->processId) state->windows.push_back(hwnd);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
  WindowsOfProcess state{processId, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
  return state.windows;
}

std::wstring WindowText(HWND hwnd) {
  wchar_t text[1024] = {};
  GetWindowTextW(hwnd, text, 1024);
  return text;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

namespace {

// Finds a message box, reads its text and closes it; returns the box, or nullptr.
HWND CloseOneBox(const std::wstring& caption, DWORD timeoutMs, SeenBox& seen) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  HWND box = nullptr;
  while (!box && GetTickCount64() < deadline) {
    box = FindWindowW(L"#32770", caption.c_str());
    if (!box) Sleep(20);  // a helper thread with no windows of its own: nothing to pump
  }
  if (!box) return nullptr;
  seen.found = true;
  // The message text is the static control with id 0xFFFF.
  wchar_t text[1024] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 1024);
  seen.text = text;
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  return box;
}

}  // namespace

SeenBox CloseMessageBox(const std::wstring& caption, DWORD timeoutMs) {
  SeenBox seen;
  CloseOneBox(caption, timeoutMs, seen);
  return seen;
}

std::vector<std::wstring> CloseMessageBoxes(const std::wstring& caption, DWORD firstTimeoutMs, DWORD quietMs) {
  std::vector<std::wstring> texts;
  for (DWORD wait = firstTimeoutMs;; wait = quietMs) {
    SeenBox seen;
    HWND box = CloseOneBox(caption, wait, seen);
    if (!box) return texts;
    texts.push_back(seen.text);
    // The closed box must be gone before the next is looked for, or it would count twice.
    for (int i = 0; i < 250 && IsWindow(box); ++i) Sleep(20);
  }
}

std::vector<uint32_t> ReadPixels(HDC dc, const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return {};
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, width, height, dc, area.left, area.top, SRCCOPY);
  GdiFlush();
  const auto* p = static_cast<const uint32_t*>(bits);
  std::vector<uint32_t> pixels(p, p + static_cast<size_t>(width) * static_cast<size_t>(height));
  for (uint32_t& px : pixels) px &= 0x00FFFFFF;
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(dib);
  return pixels;
}

std::vector<uint32_t> CaptureScreen(const RECT& area) {
  HDC screen = GetDC(nullptr);
  std::vector<uint32_t> pixels = ReadPixels(screen, area);
  ReleaseDC(nullptr, screen);
  return pixels;
}

bool SavePicture(const std::vector<uint32_t>& pixels, int width, int height, const std::string& fileName) {
  std::wstring dir = BinDir() + L"..\\pictures";
  CreateDirectoryW(dir.c_str(), nullptr);
  char path[MAX_PATH * 3] = {};
  WideCharToMultiByte(CP_ACP, 0, (dir + L"\\").c_str(), -1, path, sizeof path, nullptr, nullptr);
  return WritePng(std::string(path) + fileName, pixels, width, height);
}

bool SaveScreenPicture(const RECT& area, const std::string& fileName) {
  return SavePicture(CaptureScreen(area), area.right - area.left, area.bottom - area.top, fileName);
}

HWND CreateHostWindow(int x, int y, int width, int height) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = L"TalvaneTestHost";
  RegisterClassW(&wc);
  return CreateWindowExW(0, wc.lpszClassName, L"Screen Saver Settings", WS_POPUP | WS_VISIBLE, x, y, width,
                         height, nullptr, nullptr, wc.hInstance, nullptr);
}

LocaleSeparator::LocaleSeparator(const wchar_t* separator) {
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, saved_, 8);
  ok_ = SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, separator) != 0;
}

LocaleSeparator::~LocaleSeparator() {
  SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, saved_);
  RefreshTimeSeparator();
}

void SendKey(WORD key) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
}

void SendKeyChord(WORD modifier, WORD key) {
  INPUT input[4] = {};
  for (INPUT& i : input) i.type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[3].ki.wVk = modifier;
  input[1].ki.wVk = input[2].ki.wVk = key;
  input[2].ki.dwFlags = input[3].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(4, input, sizeof(INPUT));
}

void SendClickAt(int x, int y) {
  SetCursorPos(x, y);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
}

void SendMouseMove(int dx, int dy) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = MOUSEEVENTF_MOVE;
  SendInput(1, &input, sizeof(INPUT));
}

}  // namespace testing_support
