#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <future>
#include <memory>
#include <utility>
#include <vector>

#include "app/application_win.h"
#include "app/main_routine_win.h"
#include "app/time_text_win.h"
#include "saver/form_main_win.h"
#include "saver/monitors_win.h"
#include "support/win_test_support.h"

namespace {

using testing_support::PumpFor;
using testing_support::ReadPixels;

ClockTime g_now = {13, 7};
ClockTime FakeClock() { return g_now; }
// Ticks come from the test, one SendMessage at a time, never from a real timer.
UINT_PTR ManualTimer(HWND, UINT_PTR id, UINT) { return id; }
UINT_PTR RefusedTimer(HWND, UINT_PTR, UINT) { return 0; }

std::vector<int32_t> g_destroyed;
void RecordDestroy(const TFormMain& form) { g_destroyed.push_back(form.Index()); }

int CursorCounter() {
  const int counter = ShowCursor(TRUE) - 1;
  ShowCursor(FALSE);
  return counter;
}

bool TakeQuit() {
  MSG msg;
  return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

RECT WindowRect(HWND hwnd) {
  RECT r = {};
  GetWindowRect(hwnd, &r);
  return r;
}

std::vector<uint32_t> Face(const TFormMain& form) {
  const TIxPainter* painter = form.PainterObject();
  return ReadPixels(painter->Canvas(), RECT{0, 0, painter->Width(), painter->Height()});
}

void Whiten(const TFormMain& form) {
  const TIxPainter* painter = form.PainterObject();
  RECT all = {0, 0, painter->Width(), painter->Height()};
  FillRect(painter->Canvas(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

class SaverWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateApplicationWindow();
    FormCount = 0;
    PreviewParent = 0;
    g_now = {13, 7};
    SetClockSource(FakeClock);
    SetMonitorList({{0, 0, 640, 480}});
    TFormMain::SetTimerStarter(ManualTimer);
    TakeQuit();
  }
  void TearDown() override {
    TFormMain::SetTimerStarter(nullptr);
    TFormMain::SetDestroyObserver(nullptr);
    SetClockSource(nullptr);
    SetMonitorList({});
    PreviewParent = 0;
    TakeQuit();
  }
  static void Tick(const TFormMain& form) { SendMessageW(form.Handle(), WM_TIMER, 1, 0); }
};

TEST_F(SaverWindowTest, FullScreenWindowCoversItsMonitorTopMostAndHidesTheCursor) {
  const int counter = CursorCounter();
  {
    TFormMain form;
    HWND hwnd = form.Handle();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(testing_support::ClassName(hwnd), L"TFormMain");
    EXPECT_EQ(testing_support::WindowText(hwnd), L"FormMain");
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_SYSMENU));
    EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), ApplicationWindow());
    EXPECT_TRUE(IsWindowVisible(ApplicationWindow())) << "the program's taskbar entry";
    const RECT r = WindowRect(hwnd);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 640);
    EXPECT_EQ(r.bottom, 480);
    EXPECT_EQ(form.PainterObject()->Width(), 640);
    EXPECT_EQ(form.PainterObject()->Height(), 480);
    EXPECT_EQ(CursorCounter(), counter - 1);
  }
  EXPECT_EQ(CursorCounter(), counter);
  EXPECT_FALSE(IsWindowVisible(ApplicationWindow()));
}

TEST_F(SaverWindowTest, MouseMovesCountOnlyAfterTheGraceAndAtANewPosition) {
  TFormMain form;
  HWND hwnd = form.Handle();
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  EXPECT_FALSE(TakeQuit()) << "a move at the start";
  for (int tick = 0; tick < 4; ++tick) Tick(form);
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  EXPECT_FALSE(TakeQuit()) << "a move 0.4 s after the timer started";
  Tick(form);
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  EXPECT_FALSE(TakeQuit()) << "a move that repeats the last position";
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(21, 20));
  EXPECT_TRUE(TakeQuit()) << "a move to a new position after the grace";
}

TEST_F(SaverWindowTest, FirstMoveAfterTheGraceComparesWithTheOrigin) {
  TFormMain form;
  for (int tick = 0; tick < 5; ++tick) Tick(form);
  SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
  EXPECT_FALSE(TakeQuit());
  SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(0, 1));
  EXPECT_TRUE(TakeQuit());
}

TEST_F(SaverWindowTest, ClicksAndKeysEndTheRunAtOnce) {
  struct Input {
    const char* what;
    std::vector<std::pair<UINT, WPARAM>> messages;
    bool ends;
  };
  const Input inputs[] = {
      {"left click", {{WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}}, true},
      {"left double click", {{WM_LBUTTONDBLCLK, MK_LBUTTON}, {WM_LBUTTONUP, 0}}, true},
      {"left release alone", {{WM_LBUTTONUP, 0}}, false},
      {"right click", {{WM_RBUTTONDOWN, MK_RBUTTON}, {WM_RBUTTONUP, 0}}, false},
      {"middle click", {{WM_MBUTTONDOWN, MK_MBUTTON}, {WM_MBUTTONUP, 0}}, false},
      {"Tab", {{WM_KEYDOWN, VK_TAB}}, true},
      {"Shift", {{WM_KEYDOWN, VK_SHIFT}}, true},
      {"Space", {{WM_KEYDOWN, VK_SPACE}}, true},
      {"Alt", {{WM_SYSKEYDOWN, VK_MENU}}, true},
      {"Alt+F4", {{WM_SYSKEYDOWN, VK_F4}}, true},
      {"F10", {{WM_SYSKEYDOWN, VK_F10}}, true},
  };
  for (const Input& input : inputs) {
    FormCount = 0;
    TFormMain form;
    for (const auto& [message, wParam] : input.messages) {
      SendMessageW(form.Handle(), message, wParam, MAKELPARAM(5, 5));
    }
    EXPECT_EQ(TakeQuit(), input.ends) << input.what << ", within the grace";
    EXPECT_TRUE(IsWindow(form.Handle()));
  }
}

TEST_F(SaverWindowTest, SystemCommands) {
  TFormMain form;
  EXPECT_EQ(SendMessageW(form.Handle(), WM_SYSCOMMAND, SC_SCREENSAVE, 0), 1);
  EXPECT_FALSE(TakeQuit()) << "another screen saver request is swallowed";
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  SendMessageW(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(TakeQuit()) << "closing the main window ends the run";
  EXPECT_TRUE(IsWindow(form.Handle())) << "the window goes only when the run ends";
}

TEST_F(SaverWindowTest, RendersOnTheFirstTickAndThenOnlyWhenTheMinuteChanges) {
  TFormMain form;
  HWND hwnd = form.Handle();
  PumpFor(50);
  Whiten(form);
  Tick(form);
  const std::vector<uint32_t> first = Face(form);
  EXPECT_EQ(first[0], 0x000000u) << "the first tick renders even for the minute already shown";
  EXPECT_TRUE(GetUpdateRect(hwnd, nullptr, FALSE)) << "and invalidates the window";
  PumpFor(50);

  Whiten(form);
  Tick(form);
  EXPECT_EQ(Face(form)[0], 0xFFFFFFu) << "same minute: nothing is drawn";
  EXPECT_FALSE(GetUpdateRect(hwnd, nullptr, FALSE));

  g_now = {14, 7};
  Tick(form);
  EXPECT_EQ(Face(form)[0], 0xFFFFFFu) << "the hour changes only together with the minute";

  g_now = {14, 8};
  Tick(form);
  const std::vector<uint32_t> later = Face(form);
  EXPECT_EQ(later[0], 0x000000u) << "a new minute renders within one tick";
  EXPECT_TRUE(GetUpdateRect(hwnd, nullptr, FALSE));
}

TEST_F(SaverWindowTest, PaintsTheFaceOnEraseAndPaint) {
  TFormMain form;
  HWND hwnd = form.Handle();
  Tick(form);
  PumpFor(100);
  const std::vector<uint32_t> face = Face(form);
  HDC dc = GetDC(hwnd);
  const std::vector<uint32_t> shown = ReadPixels(dc, RECT{0, 0, 640, 480});
  ReleaseDC(hwnd, dc);
  EXPECT_EQ(shown, face);
  size_t ink = 0;
  for (uint32_t px : shown) ink += px != 0;
  EXPECT_GT(ink, 1000u) << "digits are drawn";
}

TEST_F(SaverWindowTest, ARefusedTimerShowsTheErrorAndTheWindowStays) {
  TFormMain::SetTimerStarter(RefusedTimer);
  auto watcher = std::async(std::launch::async,
                            [] { return testing_support::CloseMessageBox(ApplicationTitle(), 10000); });
  TFormMain form;
  const auto seen = watcher.get();
  EXPECT_TRUE(seen.found);
  EXPECT_EQ(seen.text, L"タイマーを取得できません.");
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  EXPECT_EQ(form.PainterObject()->Width(), 640) << "the face is there, without a running timer";
}

TEST_F(SaverWindowTest, PreviewIsADisabledChildFillingItsHost) {
  HWND host = testing_support::CreateHostWindow(100, 120, 152, 112);
  ASSERT_NE(host, nullptr);
  PreviewParent = static_cast<int32_t>(reinterpret_cast<intptr_t>(host));
  const int counter = CursorCounter();
  auto form = std::make_unique<TFormMain>();
  HWND child = form->Handle();
  EXPECT_EQ(GetParent(child), host);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)), 0x58000000u);
  EXPECT_EQ(GetClassLongW(child, GCL_STYLE), static_cast<DWORD>(CS_PARENTDC));
  EXPECT_EQ(CursorCounter(), counter) << "a preview leaves the cursor alone";
  RECT r = WindowRect(child);
  MapWindowPoints(HWND_DESKTOP, host, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 152);
  EXPECT_EQ(r.bottom, 112);

  Tick(*form);
  PumpFor(100);
  HDC dc = GetDC(host);
  const std::vector<uint32_t> shown = ReadPixels(dc, RECT{0, 0, 152, 112});
  ReleaseDC(host, dc);
  size_t black = 0, ink = 0;
  for (uint32_t px : shown) (px == 0 ? black : ink)++;
  EXPECT_GT(black, shown.size() / 2) << "the face's background fills the host";
  EXPECT_GT(ink, 20u) << "the digits show";
  EXPECT_EQ(std::count(shown.begin(), shown.end(), 0xFFFFFFu), 0) << "nothing of the host shows";
  testing_support::SavePicture(shown, 152, 112, "preview-in-host.png");

  DestroyWindow(host);
  EXPECT_TRUE(TakeQuit()) << "the run ends with its host";
  EXPECT_EQ(form->Handle(), nullptr);
  form.reset();
}

TEST_F(SaverWindowTest, EveryMonitorGetsAWindowSharingOneSettingsRecord) {
  SetMonitorList({{0, 0, 640, 480}, {-320, 0, 320, 240}, {640, -100, 200, 150}});
  const int counter = CursorCounter();
  g_destroyed.clear();
  TFormMain::SetDestroyObserver(RecordDestroy);
  {
    TFormMain form;
    ASSERT_EQ(form.OtherForms().size(), 2u);
    EXPECT_EQ(CursorCounter(), counter - 3);
    const MonitorRect expected[] = {{-320, 0, 320, 240}, {640, -100, 200, 150}};
    for (size_t i = 0; i < 2; ++i) {
      const TFormMain& other = *form.OtherForms()[i];
      EXPECT_EQ(other.Index(), static_cast<int32_t>(i + 1));
      EXPECT_EQ(GetWindow(other.Handle(), GW_OWNER), form.Handle());
      EXPECT_EQ(other.PainterObject()->Settings, form.PainterObject()->Settings);
      EXPECT_TRUE(other.OtherForms().empty());
      const RECT r = WindowRect(other.Handle());
      EXPECT_EQ(r.left, expected[i].Left);
      EXPECT_EQ(r.top, expected[i].Top);
      EXPECT_EQ(r.right - r.left, expected[i].Width);
      EXPECT_EQ(r.bottom - r.top, expected[i].Height);
      EXPECT_EQ(other.PainterObject()->Width(), expected[i].Width);
    }
    SendMessageW(form.OtherForms()[1]->Handle(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(TakeQuit()) << "a key in another monitor's window ends the whole run";
  }
  EXPECT_EQ(g_destroyed, (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(CursorCounter(), counter);
}

// The system may refuse a window: a CBT hook vetoes the creation of the second saver window.
int g_saverWindowsMade = 0;
LRESULT CALLBACK RefuseSecondSaverWindow(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
    if (!IS_INTRESOURCE(create->lpszClass) && lstrcmpW(create->lpszClass, L"TFormMain") == 0 &&
        ++g_saverWindowsMade == 2) {
      return 1;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Or a bitmap, as when GDI objects run out: here the first one, the face of the first window's
// first showing.
int g_bitmapsMade = 0;
HBITMAP WINAPI RefuseFirstBitmap(HDC screen, int width, int height) {
  if (++g_bitmapsMade == 1) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return CreateCompatibleBitmap(screen, width, height);
}

std::vector<HWND> g_timed;
UINT_PTR RecordingTimer(HWND hwnd, UINT_PTR id, UINT) {
  g_timed.push_back(hwnd);
  return id;
}

TEST_F(SaverWindowTest, WhatTheSystemRefusesWhileStartingIsReportedAndEveryOtherMonitorGetsATickingWindow) {
  const std::vector<MonitorRect> monitors = {{0, 0, 640, 480}, {-320, 0, 320, 240}, {640, -100, 200, 150}};
  struct Case {
    const char* name;
    std::vector<size_t> covered;  // the monitors that get a window
  };
  const Case cases[] = {{"the second monitor's window", {0, 2}}, {"the first window's first rendering", {0, 1, 2}}};
  TFormMain::SetTimerStarter(RecordingTimer);
  for (const Case& c : cases) {
    SetMonitorList(monitors);
    FormCount = 0;
    g_timed.clear();
    g_saverWindowsMade = g_bitmapsMade = 0;
    const bool refuseWindow = c.covered.size() < monitors.size();
    HHOOK hook = refuseWindow ? SetWindowsHookExW(WH_CBT, RefuseSecondSaverWindow, nullptr, GetCurrentThreadId())
                              : nullptr;
    if (!refuseWindow) TIxPainter::SetBitmapMaker(RefuseFirstBitmap);
    auto watcher = std::async(std::launch::async,
                              [] { return testing_support::CloseMessageBoxes(ApplicationTitle(), 10000, 1500); });
    {
      TFormMain form;
      const std::vector<std::wstring> boxes = watcher.get();
      if (hook) UnhookWindowsHookEx(hook);
      TIxPainter::SetBitmapMaker(nullptr);
      EXPECT_EQ(boxes.size(), 1u) << c.name << ": one error box";

      std::vector<const TFormMain*> windows = {&form};
      for (const auto& other : form.OtherForms()) windows.push_back(other.get());
      ASSERT_EQ(windows.size(), c.covered.size()) << c.name;
      std::vector<HWND> handles;
      for (size_t i = 0; i < windows.size(); ++i) {
        const MonitorRect& m = monitors[c.covered[i]];
        const RECT r = WindowRect(windows[i]->Handle());
        EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
                  (std::vector<LONG>{m.Left, m.Top, m.Left + m.Width, m.Top + m.Height}))
            << c.name << ", monitor " << c.covered[i];
        EXPECT_EQ(windows[i]->PainterObject()->Width(), m.Width) << c.name << ", monitor " << c.covered[i];
        handles.push_back(windows[i]->Handle());
      }
      std::sort(handles.begin(), handles.end());
      std::sort(g_timed.begin(), g_timed.end());
      EXPECT_EQ(g_timed, handles) << c.name << ": each window's timer runs";
    }
    TakeQuit();
  }
}

}  // namespace
