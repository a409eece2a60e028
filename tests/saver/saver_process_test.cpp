#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/win_test_support.h"

namespace {

using testing_support::ChildProcess;
using testing_support::ClassName;
using testing_support::PumpFor;
using testing_support::PumpUntil;
using testing_support::SendClickAt;
using testing_support::SendKey;
using testing_support::SendKeyChord;
using testing_support::SendMouseMove;
using testing_support::TalvaneScrPath;
using testing_support::TopLevelWindowsOf;

HWND FindVisibleWindow(DWORD pid, const wchar_t* className) {
  for (HWND hwnd : TopLevelWindowsOf(pid)) {
    if (ClassName(hwnd) == className && IsWindowVisible(hwnd)) return hwnd;
  }
  return nullptr;
}

RECT PrimaryMonitor() {
  return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// The full-screen window, once it is shown and placed on the monitor (it is shown first).
HWND WaitForSaverWindow(const ChildProcess& saver) {
  HWND found = nullptr;
  const RECT monitor = PrimaryMonitor();
  PumpUntil(
      [&] {
        found = FindVisibleWindow(saver.Id(), L"TFormMain");
        RECT r;
        return found && GetWindowRect(found, &r) && EqualRect(&r, &monitor);
      },
      15000);
  return found;
}

TEST(SaverProcess, FullScreenCoversTheMonitorAndDrawsTheFace) {
  SetCursorPos(300, 300);
  ChildProcess saver(TalvaneScrPath(), L"/s");
  HWND window = WaitForSaverWindow(saver);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongW(window, GWL_STYLE) & (WS_CAPTION | WS_BORDER | WS_THICKFRAME));
  RECT r;
  GetWindowRect(window, &r);
  const RECT monitor = PrimaryMonitor();
  EXPECT_TRUE(EqualRect(&r, &monitor)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;

  PumpFor(1000);
  CURSORINFO cursor = {};
  cursor.cbSize = sizeof cursor;
  ASSERT_TRUE(GetCursorInfo(&cursor));
  EXPECT_FALSE(cursor.flags & CURSOR_SHOWING) << "the cursor is hidden over the saver";
  const std::vector<uint32_t> screen = testing_support::CaptureScreen(monitor);
  size_t black = 0, grey = 0, other = 0;
  for (uint32_t px : screen) {
    if (px == 0) {
      ++black;
    } else if (px == 0x202020) {
      ++grey;
    } else {
      ++other;
    }
  }
  EXPECT_GT(black, screen.size() / 2);
  EXPECT_GT(grey, screen.size() / 50) << "dark grey digits";
  EXPECT_LT(other, grey) << "only smoothed glyph edges are in between";
  testing_support::SaveScreenPicture(monitor, "saver-fullscreen.png");

  EXPECT_EQ(saver.Running(), true);
  PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(saver.WaitForExit(5000), 0u);
}

TEST(SaverProcess, EndsOnAClickAKeyOrALateMouseMove) {
  struct Case {
    const char* what;
    void (*send)(HWND);
  };
  const Case cases[] = {
      {"click", [](HWND) { SendClickAt(400, 300); }},
      {"Tab", [](HWND) { SendKey(VK_TAB); }},
      {"Shift", [](HWND) { SendKey(VK_SHIFT); }},
      {"Alt+F4", [](HWND) { SendKeyChord(VK_MENU, VK_F4); }},
      {"mouse move after the grace", [](HWND) {
         PumpFor(1200);
         SendMouseMove(40, 25);
       }},
  };
  for (const Case& c : cases) {
    SetCursorPos(200, 200);
    ChildProcess saver(TalvaneScrPath(), L"/s");
    HWND window = WaitForSaverWindow(saver);
    ASSERT_NE(window, nullptr) << c.what;
    PumpUntil([&] { return GetForegroundWindow() == window; }, 2000);
    c.send(window);
    EXPECT_EQ(saver.WaitForExit(5000), 0u) << c.what;
  }
}

TEST(SaverProcess, AMouseMoveWithinTheGraceDoesNotEndIt) {
  SetCursorPos(200, 200);
  ChildProcess saver(TalvaneScrPath(), L"/s");
  HWND window = WaitForSaverWindow(saver);
  ASSERT_NE(window, nullptr);
  SendMouseMove(30, 30);
  PumpFor(1500);
  EXPECT_TRUE(saver.Running()) << "a move right after the start is not the user";
  SendMouseMove(30, 30);
  EXPECT_EQ(saver.WaitForExit(5000), 0u) << "a later move is";
}

TEST(SaverProcess, SwallowsScreenSaveAndEndsOnClose) {
  ChildProcess saver(TalvaneScrPath(), L"/s");
  HWND window = WaitForSaverWindow(saver);
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
  PumpFor(700);
  EXPECT_TRUE(saver.Running());
  EXPECT_TRUE(IsWindowVisible(window));
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(saver.WaitForExit(5000), 0u);
}

TEST(SaverProcess, ApplicationTitleComesFromTheFileName) {
  const std::wstring copy = testing_support::BinDir() + L"FOO.BAR.scr";
  ASSERT_TRUE(CopyFileW(TalvaneScrPath().c_str(), copy.c_str(), FALSE));
  struct Case {
    std::wstring path;
    const wchar_t* title;
  };
  const Case cases[] = {{TalvaneScrPath(), L"Talvane"}, {copy, L"Foo"}};
  for (const Case& c : cases) {
    ChildProcess saver(c.path, L"/s");
    HWND window = WaitForSaverWindow(saver);
    ASSERT_NE(window, nullptr);
    HWND app = GetWindow(window, GW_OWNER);
    EXPECT_EQ(testing_support::WindowText(app), c.title);
    RECT r;
    GetWindowRect(app, &r);
    EXPECT_TRUE(IsRectEmpty(&r)) << "zero-sized";
    PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(saver.WaitForExit(5000), 0u);
  }
  DeleteFileW(copy.c_str());
}

class PreviewProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = testing_support::CreateHostWindow(300, 200, 152, 112);
    ASSERT_NE(host_, nullptr);
  }
  void TearDown() override {
    if (IsWindow(host_)) DestroyWindow(host_);
  }
  // The preview window, once it is shown and fitted (it exists a little before that).
  HWND WaitForPreview() {
    HWND child = nullptr;
    PumpUntil(
        [&] {
          child = FindWindowExW(host_, nullptr, L"TFormMainPreview", nullptr);
          RECT r;
          return child && IsWindowVisible(child) && GetWindowRect(child, &r) && r.right - r.left == 152 &&
                 r.bottom - r.top == 112;
        },
        15000);
    return child;
  }
  std::wstring HostAs(const wchar_t* format) {
    wchar_t text[32];
    swprintf(text, 32, format, static_cast<unsigned>(reinterpret_cast<uintptr_t>(host_)));
    return text;
  }

  HWND host_ = nullptr;
};

TEST_F(PreviewProcess, FillsItsHostIgnoresClicksAndEndsWithIt) {
  for (const wchar_t* format : {L"/p %u", L"/P $%X"}) {
    if (!IsWindow(host_)) SetUp();
    ChildProcess saver(TalvaneScrPath(), HostAs(format));
    HWND child = WaitForPreview();
    ASSERT_NE(child, nullptr) << "no preview window inside the host";
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)), 0x58000000u);
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_FALSE(IsWindowEnabled(child));
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, host_, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 152);
    EXPECT_EQ(r.bottom, 112);
    DWORD pid = 0;
    GetWindowThreadProcessId(child, &pid);
    EXPECT_EQ(pid, saver.Id());
    EXPECT_EQ(FindVisibleWindow(saver.Id(), L"TFormMain"), nullptr) << "no full-screen window";

    SendClickAt(300 + 76, 200 + 56);
    PumpFor(700);
    EXPECT_TRUE(saver.Running()) << "clicks in the host do nothing";

    DestroyWindow(host_);
    EXPECT_EQ(saver.WaitForExit(1000), 0u) << "the preview ends with its host";
  }
}

TEST_F(PreviewProcess, WithoutAUsableHandleRunsFullScreen) {
  for (const std::wstring& args : {std::wstring(L"/p"), std::wstring(L"/p abc"), std::wstring(L"/p 0"),
                                    HostAs(L"/p:%u"), HostAs(L"/p \"%u \"")}) {
    ChildProcess saver(TalvaneScrPath(), args);
    HWND window = WaitForSaverWindow(saver);
    ASSERT_NE(window, nullptr) << "no full-screen window";
    EXPECT_EQ(FindWindowExW(host_, nullptr, L"TFormMainPreview", nullptr), nullptr);
    PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(saver.WaitForExit(5000), 0u);
  }
}

}  // namespace
