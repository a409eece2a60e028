#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>

#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "app/application_win.h"
#include "app/gdi_win.h"
#include "chooser_script.h"
#include "settings_file.h"
#include "setup/setup_dialog_win.h"
#include "support/win_test_support.h"

namespace {

using setup_testing::DialogScript;
using setup_testing::PressDialogButton;
using testing_support::WindowText;

RECT ClientRectOf(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::wstring ComboText(HWND dialog, int id) {
  wchar_t text[LF_FACESIZE * 2] = {};
  GetDlgItemTextW(dialog, id, text, LF_FACESIZE * 2);
  return text;
}

// Selects a list item of one of the font chooser's combo boxes as the user would.
void SelectComboItem(HWND dialog, int id, int index) {
  HWND combo = GetDlgItem(dialog, id);
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

// The first face in the font chooser's list that is not the one given and, when a size is given,
// offers that size: a raster face (Wine 10 lists "Courier" early) offers only its own few sizes.
int OtherFaceIndex(HWND dialog, const std::wstring& face, std::wstring* name, const wchar_t* size = nullptr) {
  HWND combo = GetDlgItem(dialog, cmb1);
  const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[LF_FACESIZE * 2] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    if (face == text || text[0] == L'@') continue;
    if (size) {
      SelectComboItem(dialog, cmb1, i);
      if (SendDlgItemMessageW(dialog, cmb3, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(size)) == CB_ERR) {
        continue;
      }
    }
    *name = text;
    return i;
  }
  return -1;
}

class SetupDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { CreateApplicationWindow(); }

  void SetUp() override {
    dialog_ = std::make_unique<TSetupDialog>();
    dialog_->Show();
    testing_support::PumpFor(50);
  }

  void TearDown() override { dialog_.reset(); }

  setup_testing::SettingsFile file_;
  std::unique_ptr<TSetupDialog> dialog_;
};

TEST_F(SetupDialogTest, HasItsFrameControlsFontAndTabOrderAt96Dpi) {
  HWND hwnd = dialog_->Handle();
  EXPECT_EQ(WindowText(hwnd), L"Setup");
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 257);
  EXPECT_EQ(client.bottom, 162);
  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN |
                     WS_CLIPSIBLINGS),
            WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
  EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
  EXPECT_EQ(GetClassLongW(hwnd, GCL_STYLE), static_cast<DWORD>(CS_DBLCLKS));
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), ApplicationWindow());
  EXPECT_TRUE(IsWindowVisible(ApplicationWindow())) << "no taskbar entry while the dialog shows";

  struct Control {
    HWND hwnd;
    const wchar_t* className;
    const wchar_t* caption;
    RECT rect;
  };
  const Control controls[] = {
      {dialog_->Label1, L"Static", L"Brackwater Talvane Dez003", {25, 8, 232, 21}},
      {dialog_->btnOk, L"Button", L" &Ok", {51, 125, 126, 150}},
      {dialog_->btnCancel, L"Button", L"&Cancel", {132, 125, 207, 150}},
      {dialog_->btnFont, L"Button", L"Tahoma", {9, 32, 249, 57}},
      {dialog_->btnFontColor->Handle(), L"Button", L"Font Color", {9, 63, 249, 88}},
      {dialog_->btnBGColor->Handle(), L"Button", L"Back Ground Color", {9, 94, 249, 119}},
  };
  for (const Control& c : controls) {
    ASSERT_NE(c.hwnd, nullptr) << c.caption;
    EXPECT_EQ(testing_support::ClassName(c.hwnd), c.className) << c.caption;
    EXPECT_EQ(WindowText(c.hwnd), c.caption);
    const RECT r = ClientRectOf(c.hwnd);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
              (std::vector<LONG>{c.rect.left, c.rect.top, c.rect.right, c.rect.bottom}))
        << c.caption;
    LOGFONTW font = {};
    ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(c.hwnd, WM_GETFONT, 0, 0)), sizeof font, &font))
        << c.caption;
    EXPECT_STREQ(font.lfFaceName, L"Tahoma") << c.caption;
    EXPECT_EQ(font.lfHeight, -11) << c.caption;
  }

  // Tab order, from the focused OK button round to it again.
  EXPECT_EQ(GetFocus(), dialog_->btnOk);
  EXPECT_EQ(GetWindowLongW(dialog_->btnOk, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  std::vector<HWND> order;
  HWND next = dialog_->btnOk;
  for (int i = 0; i < 6; ++i) order.push_back(next = GetNextDlgTabItem(hwnd, next, FALSE));
  EXPECT_EQ(order, (std::vector<HWND>{dialog_->btnCancel, dialog_->btnFont, dialog_->btnFontColor->Handle(),
                                      dialog_->btnBGColor->Handle(), dialog_->btnOk, dialog_->btnCancel}));
}

TEST_F(SetupDialogTest, ApplicationWindowHidesAgainWithTheDialog) {
  dialog_.reset();
  EXPECT_FALSE(IsWindowVisible(ApplicationWindow()));
}

TEST_F(SetupDialogTest, FontChooserOpensOnTheButtonsFaceAt8PointsAndConfirmingPutsTheNewFaceThere) {
  std::wstring face, size, otherFace;
  RECT chooser = {};
  {
    DialogScript run([&](HWND dialog) {
      face = ComboText(dialog, cmb1);
      size = ComboText(dialog, cmb3);
      GetWindowRect(dialog, &chooser);
      SelectComboItem(dialog, cmb1, OtherFaceIndex(dialog, L"Tahoma", &otherFace, L"12"));
      const int twelve = static_cast<int>(SendDlgItemMessageW(dialog, cmb3, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                              reinterpret_cast<LPARAM>(L"12")));
      EXPECT_NE(twelve, CB_ERR) << "no other face offers 12 points";
      SelectComboItem(dialog, cmb3, twelve);
      PressDialogButton(dialog, IDOK);
    });
    SendMessageW(dialog_->btnFont, BM_CLICK, 0, 0);
    ASSERT_TRUE(run.Ran());
  }
  EXPECT_EQ(face, L"Tahoma");
  EXPECT_EQ(size, L"8");
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& m = monitor.rcMonitor;
  EXPECT_EQ(chooser.left, m.left + (m.right - m.left - (chooser.right - chooser.left)) / 2);
  EXPECT_EQ(chooser.top, m.top + (m.bottom - m.top - (chooser.bottom - chooser.top)) / 3);

  ASSERT_FALSE(otherFace.empty()) << "the chooser lists no other face";
  EXPECT_EQ(WindowText(dialog_->btnFont), otherFace);

  // The next opening starts from the button's face and the size picked last time.
  {
    DialogScript run([&](HWND dialog) {
      face = ComboText(dialog, cmb1);
      size = ComboText(dialog, cmb3);
      PressDialogButton(dialog, IDCANCEL);
    });
    SendMessageW(dialog_->btnFont, BM_CLICK, 0, 0);
    ASSERT_TRUE(run.Ran());
  }
  EXPECT_EQ(face, otherFace);
  EXPECT_EQ(size, L"12");
  EXPECT_EQ(dialog_->ModalResult(), 0);
  EXPECT_FALSE(file_.Exists());
}

TEST_F(SetupDialogTest, CancellingTheFontChooserChangesNothing) {
  for (int round = 0; round < 2; ++round) {
    std::wstring face, size, otherFace;
    DialogScript run([&](HWND dialog) {
      face = ComboText(dialog, cmb1);
      size = ComboText(dialog, cmb3);
      SelectComboItem(dialog, cmb1, OtherFaceIndex(dialog, L"Tahoma", &otherFace));
      SelectComboItem(dialog, cmb3, 0);
      PressDialogButton(dialog, IDCANCEL);
    });
    SendMessageW(dialog_->btnFont, BM_CLICK, 0, 0);
    ASSERT_TRUE(run.Ran());
    EXPECT_EQ(face, L"Tahoma") << "round " << round;
    EXPECT_EQ(size, L"8") << "round " << round << ": a cancelled size was kept";
    EXPECT_EQ(WindowText(dialog_->btnFont), L"Tahoma");
  }
}

TEST_F(SetupDialogTest, ARefusedWriteShowsTheErrorAndKeepsTheDialogAndChoicesForAnotherTry) {
  file_.Write("[Settings]\r\nFontName=Old\r\n");
  file_.Hold();
  SetWindowTextW(dialog_->btnFont, L"Courier New");
  dialog_->btnFontColor->SetSymbolColor(0x0000FF);
  dialog_->btnBGColor->SetSymbolColor(0x00FF00);

  auto watcher = std::async(std::launch::async, [] {
    return testing_support::CloseMessageBox(ApplicationTitle(), 10000);
  });
  SendMessageW(dialog_->btnOk, BM_CLICK, 0, 0);
  const auto seen = watcher.get();
  EXPECT_TRUE(seen.found) << "no error box";
  EXPECT_EQ(seen.text, file_.Path() + L" に書き込めません.");
  EXPECT_EQ(dialog_->ModalResult(), 0) << "the dialog closed";
  EXPECT_TRUE(IsWindowVisible(dialog_->Handle()));
  EXPECT_EQ(WindowText(dialog_->btnFont), L"Courier New");
  EXPECT_EQ(dialog_->btnFontColor->SymbolColor(), 0x0000FF);
  EXPECT_EQ(dialog_->btnBGColor->SymbolColor(), 0x00FF00);

  file_.Release();
  SendMessageW(dialog_->btnOk, BM_CLICK, 0, 0);
  EXPECT_EQ(dialog_->ModalResult(), IDOK);
  EXPECT_EQ(file_.Read(L"FontName"), L"Courier New");
  EXPECT_EQ(file_.Read(L"FontColor"), L"255");
  EXPECT_EQ(file_.Read(L"BGColor"), L"65280");
}

TEST_F(SetupDialogTest, OpensWithTheStoredSettings) {
  dialog_.reset();
  file_.Write("[Settings]\r\nFontName=Courier New\r\nFontColor=$0000FF\r\nBGColor=-2147483643\r\n");
  const int live = gdi_count::Live();
  {
    TSetupDialog dialog;
    dialog.Show();
    UpdateWindow(dialog.Handle());
    EXPECT_EQ(WindowText(dialog.btnFont), L"Courier New");
    EXPECT_EQ(dialog.btnFontColor->SymbolColor(), 255);
    EXPECT_EQ(dialog.btnBGColor->SymbolColor(), static_cast<int32_t>(0x80000005));
  }
  EXPECT_EQ(gdi_count::Live(), live) << "the dialog left GDI objects behind";
}

}  // namespace
