#pragma once
#include <windows.h>

#include <functional>

namespace setup_testing {

// The visible dialog (class "#32770") that this thread shows, or nullptr.
HWND FindDialogOfThisThread();

// Runs a script on the next dialog this thread opens, from a thread timer that fires inside
// the dialog's own modal loop. A dialog the script leaves open is cancelled after a few
// seconds, so a failing test cannot hang.
class DialogScript {
 public:
  explicit DialogScript(std::function<void(HWND)> script);
  ~DialogScript();
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

  bool Ran() const { return ran_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);

  std::function<void(HWND)> script_;
  UINT_PTR timer_ = 0;
  bool ran_ = false;
  int ticks_after_ = 0;
};

// Presses a button of a dialog by its id, as a click would.
void PressDialogButton(HWND dialog, int id);

}  // namespace setup_testing
