#include <gtest/gtest.h>

#include <colordlg.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "app/application_win.h"
#include "app/gdi_win.h"
#include "chooser_script.h"
#include "setup/button_color_win.h"
#include "support/win_test_support.h"

namespace {

using setup_testing::DialogScript;
using setup_testing::PressDialogButton;

constexpr int kButtonId = 7;
constexpr int kOtherButtonId = 8;

// The swatch of a 240 x 25 button with a caption.
constexpr RECT kSwatch = {221, 7, 234, 19};

std::vector<HWND> g_clicks;  // BN_CLICKED notifications the parent received, by sender

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) g_clicks.push_back(reinterpret_cast<HWND>(lParam));
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class ColorButtonTest : public ::testing::Test {
 protected:
  // One parent for the whole suite: hiding a top-level window costs Wine seconds without a window manager.
  static void SetUpTestSuite() {
    CreateApplicationWindow();
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"TalvaneColorButtonTestParent";
    RegisterClassW(&wc);
    parent_ = CreateWindowExW(0, wc.lpszClassName, L"colour buttons", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                              320, 160, nullptr, nullptr, wc.hInstance, nullptr);
  }
  static void TearDownTestSuite() { DestroyWindow(parent_); }

  void SetUp() override {
    ASSERT_NE(parent_, nullptr);
    button_ = std::make_unique<TButtonColor>(parent_, kButtonId, L"Font Color", 9, 9, 240, 25);
    other_ = std::make_unique<TButtonColor>(parent_, kOtherButtonId, L"Back Ground Color", 9, 40, 240, 25);
    g_clicks.clear();
    testing_support::PumpFor(50);
  }

  void TearDown() override {
    button_.reset();
    other_.reset();
  }

  // What the button shows now, painted afresh through its own paint handler.
  std::vector<uint32_t> Shown(const TButtonColor& button) {
    RedrawWindow(button.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ReleaseDcOnExit dc(button.Handle());
    RECT client;
    GetClientRect(button.Handle(), &client);
    return testing_support::ReadPixels(dc.get(), client);
  }

  static uint32_t At(const std::vector<uint32_t>& pixels, int x, int y) {
    return pixels[static_cast<size_t>(y) * 240 + static_cast<size_t>(x)];
  }

  // True when the swatch rectangle holds a black outline filled with the colour.
  static bool ShowsSwatch(const std::vector<uint32_t>& pixels, const RECT& r, uint32_t fill) {
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        const bool edge = x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1;
        if (At(pixels, x, y) != (edge ? 0u : fill)) return false;
      }
    }
    return true;
  }

  // Opens the button's chooser with a script and returns after it closed.
  void ClickWith(TButtonColor& button, std::function<void(HWND)> script) {
    DialogScript run(std::move(script));
    SendMessageW(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(run.Ran()) << "no chooser opened";
  }

  static void PickColor(HWND chooser, COLORREF color) {
    SetDlgItemInt(chooser, COLOR_RED, GetRValue(color), FALSE);
    SetDlgItemInt(chooser, COLOR_GREEN, GetGValue(color), FALSE);
    SetDlgItemInt(chooser, COLOR_BLUE, GetBValue(color), FALSE);
  }

  static inline HWND parent_ = nullptr;
  std::unique_ptr<TButtonColor> button_;
  std::unique_ptr<TButtonColor> other_;
};

TEST_F(ColorButtonTest, StartsBlackFullOpenWithAVisibleAutomaticSwatch) {
  TButtonColor plain(parent_, 9, L"x", 0, 80);
  EXPECT_EQ(plain.SymbolColor(), 0);
  EXPECT_TRUE(plain.FullOpen());
  EXPECT_TRUE(plain.SymbolVisible());
  EXPECT_EQ(plain.SymbolWidth(), 0);
  RECT r;
  GetWindowRect(plain.Handle(), &r);
  EXPECT_EQ(r.right - r.left, 75);
  EXPECT_EQ(r.bottom - r.top, 25);
}

TEST_F(ColorButtonTest, DrawsTheSwatchOverTheSystemButtonOnlyWhenItShouldShow) {
  struct Case {
    const char* name;
    std::function<void(TButtonColor&)> change;
    bool swatch;
    RECT rect;
    uint32_t fill;
  };
  const Case cases[] = {
      {"a colour", [](TButtonColor& b) { b.SetSymbolColor(0x123456); }, true, kSwatch, 0x563412},
      {"a system colour's low bytes, unconverted",
       [](TButtonColor& b) { b.SetSymbolColor(static_cast<int32_t>(0x80000005)); }, true, kSwatch, 0x050000},
      {"a chosen width", [](TButtonColor& b) { b.SetSymbolColor(0x00FF00); b.SetSymbolWidth(40); }, true,
       {200, 7, 234, 19}, 0x00FF00},
      {"no caption: a bar", [](TButtonColor& b) { b.SetSymbolColor(0xFF0000); SetWindowTextW(b.Handle(), L""); },
       true, {30, 7, 210, 19}, 0x0000FF},
      {"swatch hidden", [](TButtonColor& b) { b.SetSymbolColor(0x123456); b.SetSymbolVisible(false); }, false,
       kSwatch, 0x563412},
      {"button disabled", [](TButtonColor& b) { b.SetSymbolColor(0x123456); EnableWindow(b.Handle(), FALSE); },
       false, kSwatch, 0x563412},
      {"no colour", [](TButtonColor& b) { b.SetSymbolColor(0x1FFFFFFF); }, false, kSwatch, 0xFFFFFF},
  };
  for (const Case& c : cases) {
    TButtonColor button(parent_, 10, L"Font Color", 9, 80, 240, 25);
    c.change(button);
    const int live = gdi_count::Live();
    const std::vector<uint32_t> pixels = Shown(button);
    EXPECT_EQ(ShowsSwatch(pixels, c.rect, c.fill), c.swatch) << c.name;
    EXPECT_EQ(gdi_count::Live(), live) << c.name << ": pen or brush left behind";
    if (c.swatch) {
      // The system's button is still there around it: the caption area is not the swatch colour.
      EXPECT_NE(At(pixels, 4, 12), c.fill) << c.name;
    }
  }
}

TEST_F(ColorButtonTest, SettingTheSameColourLeavesTheButtonAloneAndANewOneRepaintsLater) {
  button_->SetSymbolColor(0x00FF00);
  UpdateWindow(button_->Handle());
  button_->SetSymbolColor(0x00FF00);
  EXPECT_FALSE(GetUpdateRect(button_->Handle(), nullptr, FALSE));
  button_->SetSymbolColor(0x0000FF);
  EXPECT_TRUE(GetUpdateRect(button_->Handle(), nullptr, FALSE)) << "not invalidated";
  EXPECT_TRUE(ShowsSwatch(Shown(*button_), kSwatch, 0xFF0000));
  EXPECT_TRUE(g_clicks.empty()) << "setting the colour is no click";
}

TEST_F(ColorButtonTest, SwatchSurvivesFocusAndPressedState) {
  button_->SetSymbolColor(0x123456);
  UpdateWindow(button_->Handle());
  SetFocus(button_->Handle());
  SendMessageW(button_->Handle(), BM_SETSTATE, TRUE, 0);
  SendMessageW(button_->Handle(), BM_SETSTATE, FALSE, 0);
  SetFocus(other_->Handle());
  testing_support::PumpFor(50);
  ReleaseDcOnExit dc(button_->Handle());
  RECT client;
  GetClientRect(button_->Handle(), &client);
  EXPECT_TRUE(ShowsSwatch(testing_support::ReadPixels(dc.get(), client), kSwatch, 0x563412));
}

TEST_F(ColorButtonTest, ChooserOpensWithTheColourOnThePrimaryMonitorAndCancelChangesNothing) {
  button_->SetSymbolColor(0x123456);
  const auto customBefore = TButtonColor::CustomColors();
  RECT chooser = {};
  UINT red = 0, green = 0, blue = 0;
  BOOL mixEnabled = TRUE;
  ClickWith(*button_, [&](HWND dialog) {
    GetWindowRect(dialog, &chooser);
    red = GetDlgItemInt(dialog, COLOR_RED, nullptr, FALSE);
    green = GetDlgItemInt(dialog, COLOR_GREEN, nullptr, FALSE);
    blue = GetDlgItemInt(dialog, COLOR_BLUE, nullptr, FALSE);
    mixEnabled = IsWindowEnabled(GetDlgItem(dialog, COLOR_MIX));
    // Pick another colour and keep it as a custom colour, then cancel after all.
    PickColor(dialog, 0xABCDEF);
    SendMessageW(dialog, WM_COMMAND, COLOR_ADD, 0);
    PressDialogButton(dialog, IDCANCEL);
  });
  EXPECT_EQ(red, 0x56u);
  EXPECT_EQ(green, 0x34u);
  EXPECT_EQ(blue, 0x12u);
  EXPECT_FALSE(mixEnabled) << "the chooser did not open fully";

  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& m = monitor.rcMonitor;
  const int width = chooser.right - chooser.left, height = chooser.bottom - chooser.top;
  EXPECT_EQ(chooser.left, m.left + (m.right - m.left - width) / 2);
  EXPECT_EQ(chooser.top, m.top + (m.bottom - m.top - height) / 3);

  EXPECT_EQ(button_->SymbolColor(), 0x123456);
  EXPECT_TRUE(ShowsSwatch(Shown(*button_), kSwatch, 0x563412));
  EXPECT_EQ(TButtonColor::CustomColors(), customBefore) << "custom colours changed by a cancelled chooser";
  EXPECT_TRUE(g_clicks.empty()) << "a cancelled chooser raised a click";
}

TEST_F(ColorButtonTest, APickedColourRaisesOneClickAndTheSameColourAgainNone) {
  button_->SetSymbolColor(0x123456);
  ClickWith(*button_, [](HWND dialog) {
    PickColor(dialog, 0x00C000);
    PressDialogButton(dialog, IDOK);
  });
  EXPECT_EQ(button_->SymbolColor(), 0x00C000);
  EXPECT_EQ(g_clicks, std::vector<HWND>{button_->Handle()});
  {
    // Repainted at once, before any message is pumped.
    ReleaseDcOnExit dc(button_->Handle());
    RECT client;
    GetClientRect(button_->Handle(), &client);
    EXPECT_TRUE(ShowsSwatch(testing_support::ReadPixels(dc.get(), client), kSwatch, 0x00C000));
  }

  g_clicks.clear();
  ClickWith(*button_, [](HWND dialog) {
    PickColor(dialog, 0x00C000);
    PressDialogButton(dialog, IDOK);
  });
  EXPECT_EQ(button_->SymbolColor(), 0x00C000);
  EXPECT_TRUE(g_clicks.empty()) << "the same colour raised a click";
}

TEST_F(ColorButtonTest, CustomColoursOfOneButtonAreOfferedByTheOther) {
  ClickWith(*button_, [](HWND dialog) {
    PickColor(dialog, 0x3366CC);
    SendMessageW(dialog, WM_COMMAND, COLOR_ADD, 0);
    PressDialogButton(dialog, IDOK);
  });
  EXPECT_EQ(TButtonColor::CustomColors()[0], 0x3366CCu);

  // The other button's chooser: choose its first custom colour by clicking it.
  other_->SetSymbolColor(0);
  ClickWith(*other_, [](HWND dialog) {
    RECT cell;
    GetWindowRect(GetDlgItem(dialog, COLOR_CUSTOM1), &cell);
    POINT p = {cell.left + 3, cell.top + 3};
    ScreenToClient(dialog, &p);
    SendMessageW(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(dialog, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    PressDialogButton(dialog, IDOK);
  });
  EXPECT_EQ(other_->SymbolColor(), 0x3366CC);
  EXPECT_EQ(g_clicks.back(), other_->Handle());
}

TEST_F(ColorButtonTest, WithoutFullOpenTheChooserOpensFolded) {
  button_->SetFullOpen(false);
  BOOL mixEnabled = FALSE;
  ClickWith(*button_, [&](HWND dialog) {
    mixEnabled = IsWindowEnabled(GetDlgItem(dialog, COLOR_MIX));
    PressDialogButton(dialog, IDCANCEL);
  });
  EXPECT_TRUE(mixEnabled);
}

TEST_F(ColorButtonTest, ASystemColourStartsTheChooserAtItsValue) {
  button_->SetSymbolColor(static_cast<int32_t>(0x80000000 | COLOR_HIGHLIGHT));
  const COLORREF system = GetSysColor(COLOR_HIGHLIGHT);
  UINT red = 999;
  ClickWith(*button_, [&](HWND dialog) {
    red = GetDlgItemInt(dialog, COLOR_RED, nullptr, FALSE);
    PressDialogButton(dialog, IDCANCEL);
  });
  EXPECT_EQ(red, GetRValue(system));
  EXPECT_EQ(button_->SymbolColor(), static_cast<int32_t>(0x80000000 | COLOR_HIGHLIGHT));
}

}  // namespace
