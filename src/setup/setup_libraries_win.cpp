#include "setup/setup_libraries_win.h"

#include "app/system_error_win.h"

namespace {

LibraryLoader g_loader = LoadLibraryW;

// The library stays loaded for the rest of the process, like an imported one.
HMODULE Load(const wchar_t* name) {
  HMODULE module = g_loader(name);
  if (!module) RaiseOutOfResources();
  return module;
}

template <class Function>
void Resolve(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  if (!function) RaiseOutOfResources();
}

}  // namespace

const CommonControlsLibrary& CommonControls() {
  static const CommonControlsLibrary library = [] {
    // Under the program's manifest this is version 6, the themed controls.
    const HMODULE module = Load(L"comctl32.dll");
    CommonControlsLibrary l;
    Resolve(module, "InitCommonControlsEx", l.InitCommonControlsEx);
    Resolve(module, "SetWindowSubclass", l.SetWindowSubclass);
    Resolve(module, "DefSubclassProc", l.DefSubclassProc);
    Resolve(module, "RemoveWindowSubclass", l.RemoveWindowSubclass);
    return l;
  }();
  return library;
}

const ChoosersLibrary& Choosers() {
  static const ChoosersLibrary library = [] {
    const HMODULE module = Load(L"comdlg32.dll");
    ChoosersLibrary l;
    Resolve(module, "ChooseColorW", l.ChooseColorW);
    Resolve(module, "ChooseFontW", l.ChooseFontW);
    return l;
  }();
  return library;
}

void SetLibraryLoader(LibraryLoader loader) { g_loader = loader ? loader : LoadLibraryW; }
