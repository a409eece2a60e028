#include "saver/saver_run_win.h"

#include <windows.h>

#include <cstdint>
#include <memory>

#include "app/application_win.h"
#include "app/main_routine_win.h"
#include "saver/form_main_win.h"
#include "saver/monitors_win.h"

namespace {

HWND PreviewHost() { return reinterpret_cast<HWND>(static_cast<intptr_t>(PreviewParent)); }

// A preview normally ends when its window is destroyed with the host, but the host can go unseen:
// destroyed while the preview window was being made, or together with its process. Checking for
// it keeps a preview from outliving its host.
void CALLBACK CheckPreviewHost(HWND, UINT, UINT_PTR, DWORD) {
  if (!IsWindow(PreviewHost())) PostQuitMessage(0);
}

constexpr UINT kHostCheckInterval = 250;

}  // namespace

void RunSaver() {
  // A preview whose host is already gone has nothing to draw into: the run ends at once.
  if (PreviewParent != 0 && !IsWindow(PreviewHost())) return;
  MonitorList();  // taken once, when the run starts
  auto mainForm = GuardedCall([] { return std::make_unique<TFormMain>(); }, std::unique_ptr<TFormMain>());
  if (!mainForm) return;
  UINT_PTR hostCheck = 0;
  if (PreviewParent != 0) {
    ShowWindow(mainForm->Handle(), SW_SHOWNORMAL);
    hostCheck = SetTimer(nullptr, 0, kHostCheckInterval, CheckPreviewHost);
  }

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (hostCheck) KillTimer(nullptr, hostCheck);
  mainForm.reset();
}
