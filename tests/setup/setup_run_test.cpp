#include <gtest/gtest.h>
#include <windows.h>
#include <colordlg.h>
#include <dlgs.h>

#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/dpi_win.h"
#include "settings_file.h"
#include "setup/symbol_geometry.h"
#include "support/win_test_support.h"

// The setup run of the real talvane.scr, driven from outside as a user would.

namespace {

using testing_support::ChildProcess;
using testing_support::ClassName;
using testing_support::PumpFor;
using testing_support::PumpUntil;
using testing_support::WindowText;

constexpr int kBtnFont = 101;
constexpr int kBtnFontColor = 102;
constexpr int kBtnBGColor = 103;

HWND FindWindowOf(const ChildProcess& child, const wchar_t* className) {
  HWND found = nullptr;
  PumpUntil(
      [&] {
        for (HWND w : testing_support::TopLevelWindowsOf(child.Id())) {
          if (ClassName(w) == className && IsWindowVisible(w)) {
            found = w;
            return true;
          }
        }
        return false;
      },
      15000);
  return found;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

// What the screen shows of a button's swatch, in screen coordinates.
bool ScreenShowsSwatch(HWND button, const BoxRect& box, uint32_t fill) {
  POINT origin = {0, 0};
  ClientToScreen(button, &origin);
  const RECT area = {origin.x + box.left, origin.y + box.top, origin.x + box.right, origin.y + box.bottom};
  const std::vector<uint32_t> pixels = testing_support::CaptureScreen(area);
  const int width = box.right - box.left, height = box.bottom - box.top;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
      if (pixels[static_cast<size_t>(y * width + x)] != (edge ? 0u : fill)) return false;
    }
  }
  return true;
}

void Click(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void PostKey(HWND target, WPARAM key) { PostMessageW(target, WM_KEYDOWN, key, 1); }

void SendKeys(const std::vector<std::pair<WORD, bool>>& keys) {
  std::vector<INPUT> inputs;
  for (const auto& [key, down] : keys) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

class SetupRun : public ::testing::Test {
 protected:
  // Starts talvane.scr /c and waits until its dialog shows and has painted.
  HWND Start() {
    child_ = std::make_unique<ChildProcess>(testing_support::TalvaneScrPath(), L"/c");
    if (!child_->Started()) return nullptr;
    HWND dialog = FindWindowOf(*child_, L"TSetupDialog");
    PumpFor(300);
    return dialog;
  }

  setup_testing::SettingsFile file_;
  std::unique_ptr<ChildProcess> child_;
};

TEST_F(SetupRun, OpensWithTheDefaultsAndOkFocused) {
  HWND dialog = Start();
  ASSERT_NE(dialog, nullptr) << "no setup dialog";
  EXPECT_EQ(WindowText(dialog), L"Setup");
  RECT client;
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, 257);
  EXPECT_EQ(client.bottom, 162);
  EXPECT_EQ(WindowText(GetDlgItem(dialog, kBtnFont)), L"Tahoma");
  EXPECT_TRUE(ScreenShowsSwatch(GetDlgItem(dialog, kBtnFontColor), {221, 7, 234, 19}, 0x202020));
  EXPECT_TRUE(ScreenShowsSwatch(GetDlgItem(dialog, kBtnBGColor), {221, 7, 234, 19}, 0x000000));
  EXPECT_EQ(FocusOf(dialog), GetDlgItem(dialog, IDOK));
  EXPECT_FALSE(file_.FoldersExist()) << "opening wrote to the disk";

  RECT frame;
  GetWindowRect(dialog, &frame);
  EXPECT_TRUE(testing_support::SaveScreenPicture(frame, "setup-dialog.png"));

  Click(dialog, IDCANCEL);
  EXPECT_EQ(child_->WaitForExit(10000), 0u);
}

TEST_F(SetupRun, OkAndEnterSaveWhatIsShownWhileCancelEscAndTheCloseBoxWriteNothing) {
  struct Case {
    const char* name;
    std::function<void(HWND)> end;
    bool writes;
  };
  const Case cases[] = {
      {"OK", [](HWND d) { Click(d, IDOK); }, true},
      {"Enter", [](HWND d) { PostKey(FocusOf(d), VK_RETURN); }, true},
      {"Cancel", [](HWND d) { Click(d, IDCANCEL); }, false},
      {"Esc", [](HWND d) { PostKey(FocusOf(d), VK_ESCAPE); }, false},
      {"close box", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
      {"Alt+F4", [](HWND d) { PostMessageW(FocusOf(d), WM_SYSKEYDOWN, VK_F4, 1 | (KF_ALTDOWN << 16)); }, false},
  };
  for (const Case& c : cases) {
    setup_testing::SettingsFile file;
    HWND dialog = Start();
    ASSERT_NE(dialog, nullptr) << c.name;
    c.end(dialog);
    EXPECT_EQ(child_->WaitForExit(10000), 0u) << c.name;
    EXPECT_EQ(file.Exists(), c.writes) << c.name;
    if (c.writes) {
      EXPECT_EQ(file.Read(L"FontName"), L"Tahoma") << c.name;
      EXPECT_EQ(file.Read(L"FontColor"), L"2105376") << c.name;
      EXPECT_EQ(file.Read(L"BGColor"), L"0") << c.name;
    } else {
      EXPECT_FALSE(file.FoldersExist()) << c.name << " created the folders";
    }
  }
}

TEST_F(SetupRun, EnterAndEscWithShiftOrCtrlDoNothing) {
  HWND dialog = Start();
  ASSERT_NE(dialog, nullptr);
  SetForegroundWindow(dialog);
  PumpFor(200);
  for (WORD modifier : {WORD{VK_SHIFT}, WORD{VK_CONTROL}}) {
    for (WORD key : {WORD{VK_RETURN}, WORD{VK_ESCAPE}}) {
      SendKeys({{modifier, true}, {key, true}, {key, false}, {modifier, false}});
      PumpFor(300);
      EXPECT_TRUE(child_->Running()) << "modifier " << modifier << " key " << key;
    }
  }
  EXPECT_FALSE(file_.Exists());
  // The same keys alone reach the dialog: Enter saves.
  SendKeys({{VK_RETURN, true}, {VK_RETURN, false}});
  EXPECT_EQ(child_->WaitForExit(10000), 0u);
  EXPECT_TRUE(file_.Exists());
}

TEST_F(SetupRun, FontChooserOpensPlacedWithTheButtonsFaceAt8Points) {
  HWND dialog = Start();
  ASSERT_NE(dialog, nullptr);
  Click(dialog, kBtnFont);
  HWND chooser = FindWindowOf(*child_, L"#32770");
  ASSERT_NE(chooser, nullptr) << "no font chooser";
  wchar_t text[64] = {};
  GetDlgItemTextW(chooser, cmb1, text, 64);
  EXPECT_STREQ(text, L"Tahoma");
  GetDlgItemTextW(chooser, cmb3, text, 64);
  EXPECT_STREQ(text, L"8");
  RECT r;
  GetWindowRect(chooser, &r);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& m = monitor.rcMonitor;
  const BoxPoint place =
      ChooserPosition({m.left, m.top, m.right, m.bottom}, r.right - r.left, r.bottom - r.top);
  EXPECT_EQ(r.left, place.x);
  EXPECT_EQ(r.top, place.y);
  PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
  PumpUntil([&] { return !IsWindow(chooser); }, 10000);
  EXPECT_EQ(WindowText(GetDlgItem(dialog, kBtnFont)), L"Tahoma");
  Click(dialog, IDCANCEL);
  EXPECT_EQ(child_->WaitForExit(10000), 0u);
}

TEST_F(SetupRun, APickedColourShowsInTheSwatchAndIsSaved) {
  HWND dialog = Start();
  ASSERT_NE(dialog, nullptr);
  Click(dialog, kBtnBGColor);
  HWND chooser = FindWindowOf(*child_, L"#32770");
  ASSERT_NE(chooser, nullptr) << "no colour chooser";
  SetDlgItemInt(chooser, COLOR_RED, 0x11, FALSE);
  SetDlgItemInt(chooser, COLOR_GREEN, 0x88, FALSE);
  SetDlgItemInt(chooser, COLOR_BLUE, 0xEE, FALSE);
  PostMessageW(chooser, WM_COMMAND, IDOK, 0);
  PumpUntil([&] { return !IsWindow(chooser); }, 10000);
  PumpFor(300);
  EXPECT_TRUE(ScreenShowsSwatch(GetDlgItem(dialog, kBtnBGColor), {221, 7, 234, 19}, 0x1188EE));
  Click(dialog, IDOK);
  EXPECT_EQ(child_->WaitForExit(10000), 0u);
  EXPECT_EQ(file_.Read(L"BGColor"), std::to_wstring(0xEE8811));
}

TEST_F(SetupRun, ARefusedWriteShowsTheErrorBoxAndASecondOkSaves) {
  file_.Write("[Settings]\r\n");
  file_.Hold();
  HWND dialog = Start();
  ASSERT_NE(dialog, nullptr);
  auto watcher = std::async(std::launch::async, [] { return testing_support::CloseMessageBox(L"Talvane", 10000); });
  Click(dialog, IDOK);
  const auto seen = watcher.get();
  EXPECT_TRUE(seen.found) << "no error box";
  EXPECT_EQ(seen.text, file_.Path() + L" に書き込めません.");
  PumpFor(300);
  EXPECT_TRUE(child_->Running()) << "the dialog closed on the error";
  EXPECT_TRUE(IsWindowVisible(dialog));

  file_.Release();
  Click(dialog, IDOK);
  EXPECT_EQ(child_->WaitForExit(10000), 0u);
  EXPECT_EQ(file_.Read(L"FontName"), L"Tahoma");
}

// Windows fixes each monitor's dpi when the user signs in, so this runs on a desktop that was
// started at 144 dpi (ctest label "dpi144"): the same dialog then has its designed layout scaled
// by 1.5. Changing LogPixels in a running session changes only the system dpi on Wine 10, as a
// change on Windows takes effect only at the next sign-in.
TEST_F(SetupRun, ScalesWithTheMonitorsDpi) {
  ASSERT_EQ(DpiForSystem(), 144u) << "needs the 144-dpi desktop: TALVANE_DPI=144 scripts/with-wine ...";
  HWND dialog = Start();
  ASSERT_NE(dialog, nullptr);
  RECT client;
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, 386);
  EXPECT_EQ(client.bottom, 243);
  struct Control {
    int id;
    RECT rect;
  };
  const Control controls[] = {
      {100, {38, 12, 349, 32}},   {IDOK, {77, 188, 190, 226}}, {IDCANCEL, {198, 188, 311, 226}},
      {kBtnFont, {14, 48, 374, 86}}, {kBtnFontColor, {14, 95, 374, 133}}, {kBtnBGColor, {14, 141, 374, 179}},
  };
  for (const Control& c : controls) {
    RECT r;
    GetWindowRect(GetDlgItem(dialog, c.id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
              (std::vector<LONG>{c.rect.left, c.rect.top, c.rect.right, c.rect.bottom}))
        << "control " << c.id;
  }
  EXPECT_TRUE(ScreenShowsSwatch(GetDlgItem(dialog, kBtnFontColor), SwatchRect(360, 38, 0, false), 0x202020));
  Click(dialog, IDCANCEL);
  EXPECT_EQ(child_->WaitForExit(10000), 0u);
}

}  // namespace
