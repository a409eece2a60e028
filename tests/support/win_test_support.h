#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// Dispatches this thread's messages until done() holds or the timeout runs out; returns done().
// Waits with MsgWaitForMultipleObjects, never with a bare Sleep.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
void PumpFor(DWORD ms);

// The folder of the running test executable; talvane.scr is built into the same folder.
std::wstring BinDir();
std::wstring TalvaneScrPath();

// A program started by a test; killed if it is still running when the object goes.
class ChildProcess {
 public:
  ChildProcess(const std::wstring& exePath, const std::wstring& arguments);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return info_.hProcess != nullptr; }
  DWORD Id() const { return info_.dwProcessId; }
  HANDLE Handle() const { return info_.hProcess; }
  // Waits (pumping this thread's messages) for the process to end; returns its exit code,
  // or STILL_ACTIVE when it did not end in time.
  DWORD WaitForExit(DWORD timeoutMs);
  bool Running() const;

 private:
  PROCESS_INFORMATION info_ = {};
};

// Top-level windows of a process, in the system's Z order.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);
std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);

// Waits for a message box of this or another process with the given caption (class "#32770"),
// reads its text, and closes it. Meant to run on a helper thread while the box is modal.
struct SeenBox {
  bool found = false;
  std::wstring text;
};
SeenBox CloseMessageBox(const std::wstring& caption, DWORD timeoutMs);
// Closes every such box, one after the other, until none has shown for quietMs after the last
// (or after firstTimeoutMs when none shows at all); returns their texts.
std::vector<std::wstring> CloseMessageBoxes(const std::wstring& caption, DWORD firstTimeoutMs, DWORD quietMs);

// A plain visible pop-up window with a white background, standing in for the host window that
// the Screen Saver Settings hand to a preview.
HWND CreateHostWindow(int x, int y, int width, int height);

// Sets the user's time separator in the test prefix; puts the old one back (and re-reads it)
// when it goes.
class LocaleSeparator {
 public:
  explicit LocaleSeparator(const wchar_t* separator);
  ~LocaleSeparator();
  LocaleSeparator(const LocaleSeparator&) = delete;
  LocaleSeparator& operator=(const LocaleSeparator&) = delete;
  bool ok() const { return ok_; }

 private:
  wchar_t saved_[8] = {};
  bool ok_ = false;
};

// Real input, through SendInput, to whichever window the system routes it to.
void SendKey(WORD key);
void SendKeyChord(WORD modifier, WORD key);
void SendClickAt(int x, int y);
void SendMouseMove(int dx, int dy);

// Pixels (0x00RRGGBB, top to bottom) of a device context's area, read back through a 32-bit DIB.
std::vector<uint32_t> ReadPixels(HDC dc, const RECT& area);
// What the screen shows in an area of the virtual screen.
std::vector<uint32_t> CaptureScreen(const RECT& area);
// Saves pixels, or a screen area, as a PNG in the build tree's "pictures" folder (beside bin/),
// for the README.
bool SavePicture(const std::vector<uint32_t>& pixels, int width, int height, const std::string& fileName);
bool SaveScreenPicture(const RECT& area, const std::string& fileName);

}  // namespace testing_support
