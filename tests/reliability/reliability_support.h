#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "support/win_test_support.h"

namespace reliability {

// Process ids of every talvane.scr that runs now, whoever started it.
std::vector<DWORD> TalvaneProcesses();

// A visible top-level window of the process with that class, or nullptr when none shows in time.
HWND WaitForWindowOf(const testing_support::ChildProcess& child, const wchar_t* className, DWORD timeoutMs = 15000);
// The full-screen window, once it is shown and placed on the primary monitor.
HWND WaitForSaverWindow(const testing_support::ChildProcess& saver);
// The setup dialog, once it shows and has painted.
HWND WaitForSetupDialog(const testing_support::ChildProcess& setup);
// Esc, as the user would press it in the setup dialog.
void PressEsc(HWND dialog);
// The dialog's button with that caption.
HWND ButtonOf(HWND dialog, const wchar_t* caption);

// A window of the test's own, standing in for the Screen Saver Settings dialog's preview area.
class PreviewHost {
 public:
  PreviewHost();
  ~PreviewHost();
  PreviewHost(const PreviewHost&) = delete;
  PreviewHost& operator=(const PreviewHost&) = delete;

  HWND Handle() const { return hwnd_; }
  // The command line that asks for a preview inside this host.
  std::wstring PreviewArguments() const;
  // The preview window inside the host, once it is shown and fills the host.
  HWND WaitForPreview(DWORD timeoutMs = 15000) const;
  void Destroy();

 private:
  HWND hwnd_ = nullptr;
};

std::wstring HandleText(HWND hwnd);
// The process's top-level windows (class, text, visible or not), for a failure message.
std::string WindowsText(const testing_support::ChildProcess& child);

}  // namespace reliability
