#include <gtest/gtest.h>

#include <future>
#include <stdexcept>

#include "app/application_win.h"
#include "app/errors.h"
#include "support/win_test_support.h"

namespace {

using testing_support::CloseMessageBox;
using testing_support::PumpFor;

constexpr UINT kThrowTalvaneError = WM_APP + 1;
constexpr UINT kThrowStdError = WM_APP + 2;

LRESULT CALLBACK ThrowingWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kThrowTalvaneError:
      return GuardedCall([]() -> LRESULT { throw OutOfResourcesError(L"タイマーを取得できません"); },
                         LRESULT{-1});
    case kThrowStdError:
      return GuardedCall([]() -> LRESULT { throw std::runtime_error("broken"); }, LRESULT{-2});
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

class ApplicationWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { CreateApplicationWindow(); }

  HWND CreateOwnedWindow(WNDPROC proc, const wchar_t* className) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"test", WS_POPUP, 0, 0, 50, 50, ApplicationWindow(),
                           nullptr, wc.hInstance, nullptr);
  }
};

TEST_F(ApplicationWindowTest, IsHiddenZeroSizedAndTitledAfterTheExecutable) {
  HWND app = ApplicationWindow();
  ASSERT_NE(app, nullptr);
  EXPECT_FALSE(IsWindowVisible(app));
  EXPECT_EQ(testing_support::WindowText(app), L"App_win_tests");
  EXPECT_EQ(ApplicationTitle(), L"App_win_tests");
  RECT r;
  GetWindowRect(app, &r);
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_EQ(r.bottom - r.top, 0);
}

TEST_F(ApplicationWindowTest, IsShownWhileAnOwnedWindowIsVisible) {
  HWND app = ApplicationWindow();
  HWND owned = CreateOwnedWindow(DefWindowProcW, L"TalvanePlainTestWindow");
  ASSERT_NE(owned, nullptr);
  SyncApplicationWindow();
  EXPECT_FALSE(IsWindowVisible(app));

  ShowWindow(owned, SW_SHOWNOACTIVATE);
  SyncApplicationWindow();
  EXPECT_TRUE(IsWindowVisible(app));
  RECT r;
  GetWindowRect(app, &r);
  EXPECT_EQ(r.right - r.left, 0) << "still zero-sized when shown";

  SyncApplicationWindow(owned);  // the window is about to go
  EXPECT_FALSE(IsWindowVisible(app));
  SyncApplicationWindow();
  EXPECT_TRUE(IsWindowVisible(app));

  ShowWindow(owned, SW_HIDE);
  SyncApplicationWindow();
  EXPECT_FALSE(IsWindowVisible(app));
  DestroyWindow(owned);
}

TEST_F(ApplicationWindowTest, AnErrorInAHandlerShowsTheErrorBoxAndTheProgramGoesOn) {
  HWND window = CreateOwnedWindow(ThrowingWndProc, L"TalvaneThrowingTestWindow");
  ASSERT_NE(window, nullptr);
  struct Case {
    UINT message;
    LRESULT fallback;
    const wchar_t* text;
  };
  const Case cases[] = {
      {kThrowTalvaneError, -1, L"タイマーを取得できません."},
      {kThrowStdError, -2, L"broken."},
  };
  for (const Case& c : cases) {
    auto watcher = std::async(std::launch::async, [] { return CloseMessageBox(ApplicationTitle(), 10000); });
    const LRESULT result = SendMessageW(window, c.message, 0, 0);
    const auto seen = watcher.get();
    EXPECT_TRUE(seen.found) << "no error box captioned with the application title";
    EXPECT_EQ(seen.text, c.text);
    EXPECT_EQ(result, c.fallback);
    EXPECT_TRUE(IsWindow(window)) << "the window survives the error";
  }
  DestroyWindow(window);
}

}  // namespace
