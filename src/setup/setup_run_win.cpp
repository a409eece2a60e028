#include "setup/setup_run_win.h"

#include <windows.h>
#include <commctrl.h>

#include "app/application_win.h"
#include "setup/setup_dialog_win.h"
#include "setup/setup_libraries_win.h"

void RunSetup() {
  // A dialog that cannot be made is reported, and the run ends.
  GuardedCall(
      [] {
        // Only the dialog uses common controls; a saver run never loads them.
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
        CommonControls().InitCommonControlsEx(&controls);
        TSetupDialog dialog;
        return dialog.ShowModal();
      },
      0);
}
