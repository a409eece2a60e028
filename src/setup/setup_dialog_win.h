#pragma once
#include <windows.h>

#include <memory>

#include "app/gdi_win.h"
#include "setup/button_color_win.h"

class TIxSettings;

// The modal dialog of the setup run: shows the three settings, lets the user change them with
// the system's font chooser and two colour buttons, and writes them to the settings file on OK.
class TSetupDialog {
 public:
  // Control ids; OK and Cancel carry the ids the dialog manager gives Enter and Esc.
  static constexpr int kLabel1 = 100;
  static constexpr int kBtnOk = IDOK;
  static constexpr int kBtnCancel = IDCANCEL;
  static constexpr int kBtnFont = 101;
  static constexpr int kBtnFontColor = 102;
  static constexpr int kBtnBGColor = 103;

  // Creates the hidden dialog, owned by the application window, and its controls; FormCreate
  // loads the settings. Raises OutOfResourcesError, leaving no window, when the dialog or a
  // control cannot be created.
  TSetupDialog();
  ~TSetupDialog();
  TSetupDialog(const TSetupDialog&) = delete;
  TSetupDialog& operator=(const TSetupDialog&) = delete;

  HWND Handle() const { return hwnd_; }
  // Shows the dialog with btnOk focused, without waiting.
  void Show();
  // Shows the dialog and serves its messages until OK, Cancel or the close box ends it; the
  // dialog is hidden again and the result (IDOK or IDCANCEL) returned.
  int ShowModal();
  // IDOK or IDCANCEL once the dialog has been ended, 0 while it is open.
  int ModalResult() const { return modal_result_; }

  HWND Label1 = nullptr;
  HWND btnOk = nullptr;
  HWND btnCancel = nullptr;
  HWND btnFont = nullptr;
  std::unique_ptr<TButtonColor> btnFontColor;
  std::unique_ptr<TButtonColor> btnBGColor;

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

  void CreateControls();
  void ApplyDpi(UINT dpi);
  bool DialogKey(const MSG& msg);

  void FormCreate();
  void FormClose();
  void btnFontClick();
  void btnOkClick();
  void btnCancelClick();
  LRESULT WMActivate(WPARAM wParam, LPARAM lParam);
  LRESULT WMDpiChanged(WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;
  DeleteObjectOnExit<HFONT> font_;
  HWND focused_ = nullptr;  // the control to give the focus back to on reactivation
  int modal_result_ = 0;
  std::unique_ptr<TIxSettings> Settings;

  // The font chooser's own font and colour; what the user picks stays here as the starting
  // point of the next opening while the dialog lives.
  struct FontDialog {
    LOGFONTW Font;
    COLORREF Color;
  } FontDialog1 = {};
};
