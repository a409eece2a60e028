#pragma once
#include <windows.h>

// Moves a system chooser (font or colour) to its place on the primary monitor: centred across
// and a third down its full rectangle. Size, stacking order and activation stay as they are.
// The setup run has no main window whose monitor could be used instead.
void PlaceChooserOnPrimaryMonitor(HWND chooser);

// The hook procedure of both choosers: places the chooser when it opens. Its TRUE from
// WM_INITDIALOG lets the chooser give the focus to its first control as usual.
UINT_PTR CALLBACK PlaceChooserHook(HWND chooser, UINT msg, WPARAM wParam, LPARAM lParam);
