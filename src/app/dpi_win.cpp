#include "app/dpi_win.h"

#include "app/gdi_win.h"

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForSystemFunction = UINT(WINAPI*)();
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
constexpr int kMdtEffectiveDpi = 0;
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

// user32 is always loaded; shcore is loaded only where GetDpiForWindow is missing, and stays.
FARPROC SystemLookup(const wchar_t* module, const char* name) {
  HMODULE handle = GetModuleHandleW(module);
  if (!handle) handle = LoadLibraryW(module);
  return handle ? GetProcAddress(handle, name) : nullptr;
}

FunctionLookup g_lookup = SystemLookup;

template <class Function>
Function Find(const wchar_t* module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(g_lookup(module, name)));
}

struct LaterFunctions {
  GetDpiForWindowFunction GetDpiForWindow = nullptr;
  GetDpiForSystemFunction GetDpiForSystem = nullptr;
  AdjustWindowRectExForDpiFunction AdjustWindowRectExForDpi = nullptr;
  GetDpiForMonitorFunction GetDpiForMonitor = nullptr;
  bool found = false;
};
LaterFunctions g_functions;

const LaterFunctions& Functions() {
  if (!g_functions.found) {
    g_functions.GetDpiForWindow = Find<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
    g_functions.GetDpiForSystem = Find<GetDpiForSystemFunction>(L"user32.dll", "GetDpiForSystem");
    g_functions.AdjustWindowRectExForDpi =
        Find<AdjustWindowRectExForDpiFunction>(L"user32.dll", "AdjustWindowRectExForDpi");
    // Only where GetDpiForWindow is missing, so Windows 10 never loads shcore.
    if (!g_functions.GetDpiForWindow) {
      g_functions.GetDpiForMonitor = Find<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
    }
    g_functions.found = true;
  }
  return g_functions;
}

UINT ScreenDpi() {
  ReleaseDcOnExit screen(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace

UINT DpiForWindow(HWND hwnd) {
  const LaterFunctions& functions = Functions();
  if (functions.GetDpiForWindow) return functions.GetDpiForWindow(hwnd);
  const HMONITOR monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
  UINT x = 0, y = 0;
  if (functions.GetDpiForMonitor && SUCCEEDED(functions.GetDpiForMonitor(monitor, kMdtEffectiveDpi, &x, &y)) && y > 0) {
    return y;
  }
  return ScreenDpi();
}

UINT DpiForSystem() {
  if (const auto function = Functions().GetDpiForSystem) return function();
  return ScreenDpi();
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) {
  if (const auto function = Functions().AdjustWindowRectExForDpi) {
    function(&rect, style, FALSE, exStyle, dpi);
  } else {
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  }
}

void SetFunctionLookup(FunctionLookup lookup) {
  g_lookup = lookup ? lookup : SystemLookup;
  g_functions = {};
}
