#include "saver/saver_run_win.h"

#include <windows.h>

#include <memory>

#include "app/application_win.h"
#include "app/main_routine_win.h"
#include "saver/form_main_win.h"
#include "saver/monitors_win.h"

void RunSaver() {
  // A preview whose host is already gone has nothing to draw into: the run ends at once.
  if (PreviewParent != 0 && !IsWindow(reinterpret_cast<HWND>(static_cast<intptr_t>(PreviewParent)))) {
    return;
  }
  MonitorList();  // taken once, when the run starts
  auto mainForm = GuardedCall([] { return std::make_unique<TFormMain>(); }, std::unique_ptr<TFormMain>());
  if (!mainForm) return;
  if (PreviewParent != 0) ShowWindow(mainForm->Handle(), SW_SHOWNORMAL);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  mainForm.reset();
}
