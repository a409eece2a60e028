#include "setup/setup_run_win.h"

#include "app/application_win.h"
#include "setup/setup_dialog_win.h"

void RunSetup() {
  GuardedCall(
      [] {
        TSetupDialog dialog;
        return dialog.ShowModal();
      },
      0);
}
