#include "chooser_script.h"

#include "support/win_test_support.h"

#include <utility>

namespace setup_testing {

namespace {

DialogScript* g_current = nullptr;

BOOL CALLBACK FindVisibleDialog(HWND hwnd, LPARAM param) {
  if (IsWindowVisible(hwnd) && testing_support::ClassName(hwnd) == L"#32770") {
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND FindDialogOfThisThread() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindVisibleDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

DialogScript::DialogScript(std::function<void(HWND)> script) : script_(std::move(script)) {
  g_current = this;
  timer_ = SetTimer(nullptr, 0, 50, Tick);
}

DialogScript::~DialogScript() {
  KillTimer(nullptr, timer_);
  g_current = nullptr;
}

void CALLBACK DialogScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
  DialogScript* self = g_current;
  if (!self) return;
  HWND dialog = FindDialogOfThisThread();
  if (!dialog) return;
  if (!self->ran_) {
    self->ran_ = true;
    self->script_(dialog);
  } else if (++self->ticks_after_ > 100) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  }
}

void PressDialogButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace setup_testing
