#pragma once
#include <windows.h>

// The dpi functions of Windows later than Vista. The program runs on every Windows from Vista
// on, so it imports none of them: each is looked up once at run time, and where it is missing
// the answer comes the way the earlier Windows gives it.

// Sent to a per-monitor aware window when its dpi changes (Windows 8.1 and later).
constexpr UINT kWmDpiChanged = 0x02E0;

// The dpi a window is shown at: GetDpiForWindow (Windows 10 1607), else its monitor's
// effective dpi (GetDpiForMonitor, Windows 8.1), else the screen's, the one dpi of Vista to 8.
UINT DpiForWindow(HWND hwnd);
// The system dpi: GetDpiForSystem (Windows 10 1607), else the screen's.
UINT DpiForSystem();
// The outer rectangle of a window whose client area is rect, at a dpi: AdjustWindowRectExForDpi
// (Windows 10 1607), else AdjustWindowRectEx, whose frame is the system dpi's, the only one
// before.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);

// How a function of a later Windows is found: the module's file name and the function's name,
// nullptr when it is not there. Tests take functions away to see the earlier Windows' paths;
// nullptr restores the system's own look-up.
using FunctionLookup = FARPROC (*)(const wchar_t* module, const char* name);
void SetFunctionLookup(FunctionLookup lookup);
