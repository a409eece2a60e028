#include <windows.h>

#include "app/main_routine_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return MainRoutine(GetCommandLineW()); }
