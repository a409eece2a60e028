#include "setup/setup_run_win.h"

#include <windows.h>

void RunSetup() {}
