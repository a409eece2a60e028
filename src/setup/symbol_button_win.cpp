#include "setup/symbol_button_win.h"

#include <commctrl.h>

#include "app/application_win.h"
#include "app/gdi_win.h"
#include "app/system_error_win.h"
#include "setup/setup_libraries_win.h"
#include "setup/symbol_geometry.h"

namespace {
constexpr UINT_PTR kButtonSubclassId = 1;
}

TSymbolButton::TSymbolButton(HWND parent, int id, const wchar_t* caption, int x, int y, int width,
                             int height)
    : parent_(parent) {
  handle_ = CreateWindowExW(0, WC_BUTTONW, caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                            x, y, width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
  if (!handle_) RaiseOutOfResources();
  const CommonControlsLibrary& controls = CommonControls();
  controls.SetWindowSubclass(handle_, ButtonProc, kButtonSubclassId, reinterpret_cast<DWORD_PTR>(this));
  // The parent hears of a press through this button first, so Click() can decide on it.
  controls.SetWindowSubclass(parent_, ParentProc, reinterpret_cast<UINT_PTR>(this),
                             reinterpret_cast<DWORD_PTR>(this));
}

TSymbolButton::~TSymbolButton() {
  if (handle_) DestroyWindow(handle_);
}

void TSymbolButton::SetSymbolColor(int32_t value) {
  if (value == symbol_color_) return;
  symbol_color_ = value;
  if (handle_) InvalidateRect(handle_, nullptr, FALSE);
}

void TSymbolButton::SetSymbolVisible(bool value) {
  if (value == symbol_visible_) return;
  symbol_visible_ = value;
  if (handle_) InvalidateRect(handle_, nullptr, FALSE);
}

void TSymbolButton::SetSymbolWidth(int32_t value) {
  if (value == symbol_width_) return;
  symbol_width_ = value;
  if (handle_) InvalidateRect(handle_, nullptr, FALSE);
}

void TSymbolButton::PaintSymbol(HDC dc) const {
  if (!handle_ || !IsWindowEnabled(handle_) || !symbol_visible_ || symbol_color_ == kNoSymbolColor) return;
  RECT client;
  GetClientRect(handle_, &client);
  const BoxRect box = SwatchRect(client.right, client.bottom, symbol_width_, GetWindowTextLengthW(handle_) == 0);
  // The low 24 bits are the colour as stored; a system-colour value is deliberately not resolved here.
  DeleteObjectOnExit<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
  DeleteObjectOnExit<HBRUSH> brush(CreateSolidBrush(static_cast<COLORREF>(symbol_color_) & 0x00FFFFFF));
  if (!pen || !brush) return;
  RestoreObjectOnExit selectPen(dc, pen.get());
  RestoreObjectOnExit selectBrush(dc, brush.get());
  Rectangle(dc, box.left, box.top, box.right, box.bottom);
}

void TSymbolButton::Click() {
  notifying_ = true;
  SendMessageW(parent_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(handle_), BN_CLICKED),
               reinterpret_cast<LPARAM>(handle_));
  notifying_ = false;
}

void TSymbolButton::RepaintSymbol() const {
  if (!IsWindowVisible(handle_)) return;
  ReleaseDcOnExit dc(handle_);
  if (dc) PaintSymbol(dc.get());
}

LRESULT TSymbolButton::WMPaint(UINT msg, WPARAM wParam, LPARAM lParam) {
  // The system draws the button into the DC it is given; the swatch then goes on top of it.
  if (msg == WM_PRINTCLIENT || wParam) {
    const LRESULT result = CommonControls().DefSubclassProc(handle_, msg, wParam, lParam);
    PaintSymbol(reinterpret_cast<HDC>(wParam));
    return result;
  }
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(handle_, &ps);
  CommonControls().DefSubclassProc(handle_, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  PaintSymbol(dc);
  EndPaint(handle_, &ps);
  return 0;
}

void TSymbolButton::Detach() {
  CommonControls().RemoveWindowSubclass(handle_, ButtonProc, kButtonSubclassId);
  CommonControls().RemoveWindowSubclass(parent_, ParentProc, reinterpret_cast<UINT_PTR>(this));
  handle_ = nullptr;
}

LRESULT CALLBACK TSymbolButton::ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR ref) {
  auto* self = reinterpret_cast<TSymbolButton*>(ref);
  switch (msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
      return self->WMPaint(msg, wParam, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case WM_UPDATEUISTATE: {
      // The button redraws itself straight away for these, over the swatch.
      const LRESULT result = CommonControls().DefSubclassProc(hwnd, msg, wParam, lParam);
      self->RepaintSymbol();
      return result;
    }
    case WM_ENABLE:
    case WM_SETTEXT: {
      // Both change whether and where the swatch goes, so the whole button is drawn again.
      const LRESULT result = CommonControls().DefSubclassProc(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, FALSE);
      return result;
    }
    case WM_NCDESTROY:
      self->Detach();
      return CommonControls().DefSubclassProc(hwnd, msg, wParam, lParam);
    default:
      return CommonControls().DefSubclassProc(hwnd, msg, wParam, lParam);
  }
}

LRESULT CALLBACK TSymbolButton::ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR ref) {
  auto* self = reinterpret_cast<TSymbolButton*>(ref);
  if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && reinterpret_cast<HWND>(lParam) == self->handle_ &&
      self->handle_ && !self->notifying_) {
    return GuardedCall(
        [self]() -> LRESULT {
          self->Click();
          return 0;
        },
        LRESULT{0});
  }
  return CommonControls().DefSubclassProc(hwnd, msg, wParam, lParam);
}
