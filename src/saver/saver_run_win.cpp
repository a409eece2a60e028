#include "saver/saver_run_win.h"

#include <windows.h>

void RunSaver() {}
