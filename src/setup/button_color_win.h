#pragma once
#include <windows.h>

#include <array>

#include "setup/symbol_button_win.h"

// A symbol button whose press lets the user pick its colour with the system's colour chooser.
// The click notification reaches the parent only when the colour changes.
class TButtonColor : public TSymbolButton {
 public:
  using TSymbolButton::TSymbolButton;

  bool FullOpen() const { return full_open_; }
  void SetFullOpen(bool value) { full_open_ = value; }

  // The 16 custom colours the choosers of every colour button in the process share; kept in
  // memory only. An empty slot holds 0xFFFFFFFF.
  using CustomColorSet = std::array<COLORREF, 16>;
  static const CustomColorSet& CustomColors();

 protected:
  void Click() override;

 private:
  bool full_open_ = true;
};
