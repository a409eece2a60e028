#include "setup/setup_dialog_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <string>
#include <utility>

#include "app/application_win.h"
#include "app/dpi_win.h"
#include "app/system_error_win.h"
#include "settings/ix_settings.h"
#include "setup/chooser_placement_win.h"
#include "setup/setup_libraries_win.h"

namespace {

constexpr wchar_t kClassName[] = L"TSetupDialog";
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 257;
constexpr int kClientHeight = 162;
constexpr int kFontHeight = -11;  // Tahoma 8 pt at 96 dpi

// Places and sizes at 96 dpi; each monitor's dpi scales them.
struct Place {
  int id;
  int left;
  int top;
  int width;
  int height;
};
constexpr Place kPlaces[] = {
    {TSetupDialog::kLabel1, 25, 8, 207, 13},      {TSetupDialog::kBtnOk, 51, 125, 75, 25},
    {TSetupDialog::kBtnCancel, 132, 125, 75, 25}, {TSetupDialog::kBtnFont, 9, 32, 240, 25},
    {TSetupDialog::kBtnFontColor, 9, 63, 240, 25}, {TSetupDialog::kBtnBGColor, 9, 94, 240, 25},
};

int Scale(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), 96); }

SIZE WindowSizeForDpi(UINT dpi) {
  RECT r = {0, 0, Scale(kClientWidth, dpi), Scale(kClientHeight, dpi)};
  AdjustWindowRectForDpi(r, kStyle, kExStyle, dpi);
  return {r.right - r.left, r.bottom - r.top};
}

std::wstring WindowTextOf(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* caption, DWORD style, int id) {
  HWND child = CreateWindowExW(0, className, caption, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                               nullptr);
  if (!child) RaiseOutOfResources();
  return child;
}

}  // namespace

TSetupDialog::TSetupDialog() {
  // The chooser converts the height with the screen's pixels per inch, so 8 points stay 8 points.
  ReleaseDcOnExit screen(nullptr);
  FontDialog1.Font.lfHeight = -MulDiv(8, screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96, 72);
  FontDialog1.Font.lfWeight = FW_NORMAL;
  FontDialog1.Font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(FontDialog1.Font.lfFaceName, L"Tahoma", LF_FACESIZE);
  FontDialog1.Color = GetSysColor(COLOR_WINDOWTEXT);

  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = ApplicationIcon();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);  // fails harmlessly when a previous dialog registered it

  const SIZE size = WindowSizeForDpi(DpiForSystem());
  CreateWindowExW(kExStyle, kClassName, L"Setup", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, size.cx, size.cy,
                  ApplicationWindow(), nullptr, wc.hInstance, this);
  if (!hwnd_) RaiseOutOfResources();
  try {
    CreateControls();
    const UINT dpi = DpiForWindow(hwnd_);
    ApplyDpi(dpi);
    const SIZE scaled = WindowSizeForDpi(dpi);
    SetWindowPos(hwnd_, nullptr, 0, 0, scaled.cx, scaled.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  } catch (...) {
    // A dialog without its controls cannot be used. Its window must not outlive this object,
    // which it points to.
    DestroyWindow(hwnd_);
    throw;
  }
  // Settings that cannot be loaded are reported, and the dialog opens all the same.
  GuardedCall([this] { FormCreate(); return 0; }, 0);
}

TSetupDialog::~TSetupDialog() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void TSetupDialog::Show() {
  focused_ = btnOk;
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetFocus(btnOk);
  UpdateWindow(hwnd_);
}

int TSetupDialog::ShowModal() {
  modal_result_ = 0;
  Show();
  MSG msg;
  while (!modal_result_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave the quit request to the outer loop
      modal_result_ = IDCANCEL;
      break;
    }
    if (got == -1) break;
    if (DialogKey(msg)) continue;
    if (!IsDialogMessageW(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  ShowWindow(hwnd_, SW_HIDE);
  return modal_result_;
}

// Enter clicks the focused push button, or btnOk; Esc clicks btnCancel; both only without
// Shift, Ctrl or Alt. The dialog manager would act on them whatever the modifiers, so it never
// sees them.
bool TSetupDialog::DialogKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  if (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE) return false;
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  if (GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
  }
  HWND target = btnCancel;
  if (msg.wParam == VK_RETURN) {
    HWND focus = GetFocus();
    const bool focusIsPushButton =
        focus && IsChild(hwnd_, focus) &&
        (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
    target = focusIsPushButton ? focus : btnOk;
  }
  if (IsWindowEnabled(target)) {
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(target), BN_CLICKED),
                 reinterpret_cast<LPARAM>(target));
  }
  return true;
}

void TSetupDialog::CreateControls() {
  // Creation order is the tab order.
  btnOk = CreateChild(hwnd_, WC_BUTTONW, L" &Ok", WS_TABSTOP | BS_DEFPUSHBUTTON, kBtnOk);
  btnCancel = CreateChild(hwnd_, WC_BUTTONW, L"&Cancel", WS_TABSTOP | BS_PUSHBUTTON, kBtnCancel);
  btnFont = CreateChild(hwnd_, WC_BUTTONW, L"Font", WS_TABSTOP | BS_PUSHBUTTON, kBtnFont);
  btnFontColor = std::make_unique<TButtonColor>(hwnd_, kBtnFontColor, L"Font Color", 0, 0);
  btnBGColor = std::make_unique<TButtonColor>(hwnd_, kBtnBGColor, L"Back Ground Color", 0, 0);
  Label1 = CreateChild(hwnd_, WC_STATICW, L"Brackwater Talvane Dez003", SS_LEFT, kLabel1);
}

void TSetupDialog::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  for (const Place& p : kPlaces) {
    SetWindowPos(GetDlgItem(hwnd_, p.id), nullptr, Scale(p.left, dpi), Scale(p.top, dpi), Scale(p.width, dpi),
                 Scale(p.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  DeleteObjectOnExit<HFONT> font(CreateFontW(Scale(kFontHeight, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
  if (!font) RaiseOutOfResources();
  for (const Place& p : kPlaces) {
    SendMessageW(GetDlgItem(hwnd_, p.id), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  }
  // The controls use the new font now, so the old one can go.
  font_ = std::move(font);
}

void TSetupDialog::FormCreate() {
  Settings = std::make_unique<TIxSettings>();
  SetWindowTextW(btnFont, Settings->FontName.c_str());
  btnFontColor->SetSymbolColor(Settings->FontColor);
  btnBGColor->SetSymbolColor(Settings->BGColor);
}

void TSetupDialog::FormClose() { btnCancelClick(); }

void TSetupDialog::btnFontClick() {
  const std::wstring face = WindowTextOf(btnFont);
  if (!face.empty()) lstrcpynW(FontDialog1.Font.lfFaceName, face.c_str(), LF_FACESIZE);
  // The chooser writes into its font while the user browses, so it gets a copy that is kept
  // only when the user confirms.
  LOGFONTW font = FontDialog1.Font;
  CHOOSEFONTW chooser = {};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = hwnd_;
  chooser.lpLogFont = &font;
  chooser.Flags = CF_SCREENFONTS | CF_ENABLEHOOK | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
  chooser.rgbColors = FontDialog1.Color;
  chooser.lpfnHook = PlaceChooserHook;
  if (!Choosers().ChooseFontW(&chooser)) return;
  FontDialog1.Font = font;
  FontDialog1.Color = chooser.rgbColors;
  SetWindowTextW(btnFont, font.lfFaceName);
}

void TSetupDialog::btnOkClick() {
  // Without a record (its loading failed when the dialog was created) OK tries to load it again.
  if (!Settings) Settings = std::make_unique<TIxSettings>();
  Settings->FontName = WindowTextOf(btnFont);
  Settings->FontColor = btnFontColor->SymbolColor();
  Settings->BGColor = btnBGColor->SymbolColor();
  Settings->Save();  // on an error the dialog stays open with the user's choices
  Settings.reset();
  modal_result_ = IDOK;
}

void TSetupDialog::btnCancelClick() {
  Settings.reset();
  modal_result_ = IDCANCEL;
}

LRESULT TSetupDialog::WMActivate(WPARAM wParam, LPARAM) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) focused_ = focus;
  } else if (!HIWORD(wParam)) {
    // Back from a chooser or another program: the focus returns to the control that had it.
    SetFocus(focused_ && IsChild(hwnd_, focused_) ? focused_ : btnOk);
  }
  return 0;
}

LRESULT TSetupDialog::WMDpiChanged(WPARAM wParam, LPARAM lParam) {
  const auto* suggested = reinterpret_cast<const RECT*>(lParam);
  ApplyDpi(HIWORD(wParam));
  const SIZE size = WindowSizeForDpi(dpi_);
  SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

LRESULT TSetupDialog::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
          case kBtnOk: btnOkClick(); return 0;
          case kBtnCancel: btnCancelClick(); return 0;
          case kBtnFont: btnFontClick(); return 0;
        }
      }
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(kBtnOk, DC_HASDEFID);
    case WM_CLOSE:
      FormClose();
      return 0;
    case WM_ACTIVATE:
      return WMActivate(wParam, lParam);
    case kWmDpiChanged:
      return WMDpiChanged(wParam, lParam);
    case WM_WINDOWPOSCHANGED:
      if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) {
        SyncApplicationWindow();
      }
      break;
    case WM_DESTROY:
      SyncApplicationWindow(hwnd_);
      break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK TSetupDialog::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<TSetupDialog*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TSetupDialog*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  return GuardedCall([&] { return self->Dispatch(msg, wParam, lParam); }, LRESULT{0});
}
