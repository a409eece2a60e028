#pragma once
#include <windows.h>

#include <cstdint>

// A themed push button that draws a swatch of its colour over the system's drawing, beside
// its caption. The parent gets BN_CLICKED only through Click(), so a derived button decides
// whether a press counts as a click.
class TSymbolButton {
 public:
  // Creates the button as a child of parent; 75 x 25 unless the caller gives another size.
  TSymbolButton(HWND parent, int id, const wchar_t* caption, int x, int y, int width = 75,
                int height = 25);
  virtual ~TSymbolButton();
  TSymbolButton(const TSymbolButton&) = delete;
  TSymbolButton& operator=(const TSymbolButton&) = delete;

  HWND Handle() const { return handle_; }

  int32_t SymbolColor() const { return symbol_color_; }
  // A different value is stored and the button repainted later; the same value changes nothing.
  void SetSymbolColor(int32_t value);
  bool SymbolVisible() const { return symbol_visible_; }
  void SetSymbolVisible(bool value);
  int32_t SymbolWidth() const { return symbol_width_; }
  void SetSymbolWidth(int32_t value);

  // Draws the swatch, as the paint handler does after the system has drawn the button.
  void PaintSymbol(HDC dc) const;

 protected:
  // A press of the button (mouse, keyboard, or the dialog's Enter); raises the click
  // notification, BN_CLICKED to the parent.
  virtual void Click();

 private:
  static LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
  static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
  LRESULT WMPaint(UINT msg, WPARAM wParam, LPARAM lParam);
  void RepaintSymbol() const;
  void Detach();

  HWND handle_ = nullptr;
  HWND parent_ = nullptr;
  int32_t symbol_color_ = 0;
  bool symbol_visible_ = true;
  int32_t symbol_width_ = 0;
  bool notifying_ = false;
};
