#include "setup/button_color_win.h"

#include <commdlg.h>

#include "app/colors_win.h"
#include "setup/chooser_placement_win.h"
#include "setup/setup_libraries_win.h"

#include <cstdint>

namespace {

TButtonColor::CustomColorSet& CustomColorStore() {
  static TButtonColor::CustomColorSet store = [] {
    TButtonColor::CustomColorSet empty;
    empty.fill(0xFFFFFFFF);
    return empty;
  }();
  return store;
}

}  // namespace

const TButtonColor::CustomColorSet& TButtonColor::CustomColors() { return CustomColorStore(); }

void TButtonColor::Click() {
  const int32_t old = SymbolColor();
  // The chooser writes into its custom colours as the user adds them, so it works on a copy
  // that reaches the shared store only when the user confirms.
  CustomColorSet custom = CustomColorStore();
  CHOOSECOLORW chooser = {};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = GetAncestor(Handle(), GA_ROOT);
  chooser.rgbResult = ColorToRGB(old);
  chooser.lpCustColors = custom.data();
  chooser.Flags = CC_RGBINIT | CC_ENABLEHOOK | (full_open_ ? CC_FULLOPEN : 0);
  chooser.lpfnHook = PlaceChooserHook;
  int32_t result = old;
  if (Choosers().ChooseColorW(&chooser)) {
    CustomColorStore() = custom;
    result = static_cast<int32_t>(chooser.rgbResult);
  }
  if (result == old) return;
  SetSymbolColor(result);
  UpdateWindow(Handle());
  TSymbolButton::Click();
}
