#pragma once
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

// Common controls and the system choosers serve only the setup dialog. They are loaded when the
// dialog first needs them instead of being imported, so a saver run, which may last for hours,
// never maps them (about 2 MiB, and part of its start-up). Each getter loads its library once
// and raises OutOfResourcesError when it or a function is missing.
struct CommonControlsLibrary {
  decltype(&::InitCommonControlsEx) InitCommonControlsEx;
  decltype(&::SetWindowSubclass) SetWindowSubclass;
  decltype(&::DefSubclassProc) DefSubclassProc;
  decltype(&::RemoveWindowSubclass) RemoveWindowSubclass;
};
const CommonControlsLibrary& CommonControls();

struct ChoosersLibrary {
  decltype(&::ChooseColorW) ChooseColorW;
  decltype(&::ChooseFontW) ChooseFontW;
};
const ChoosersLibrary& Choosers();

// Tests refuse a library, as the system would without it, to see how the failure is handled;
// nullptr restores the system's LoadLibraryW. A library once loaded stays loaded.
using LibraryLoader = HMODULE(WINAPI*)(const wchar_t* name);
void SetLibraryLoader(LibraryLoader loader);
