// The setup run when the system refuses what the dialog needs: the error box tells so, once, and
// the run ends with no window left behind, let alone one whose object is gone.
#include <gtest/gtest.h>
#include <windows.h>

#include <future>
#include <string>
#include <vector>

#include "app/application_win.h"
#include "app/errors.h"
#include "app/system_error_win.h"
#include "setup/setup_libraries_win.h"
#include "setup/setup_run_win.h"
#include "support/win_test_support.h"

namespace {

std::future<std::vector<std::wstring>> WatchErrorBoxes() {
  return std::async(std::launch::async,
                    [] { return testing_support::CloseMessageBoxes(ApplicationTitle(), 10000, 1500); });
}

HWND SetupDialogWindow() { return FindWindowW(L"TSetupDialog", nullptr); }

HMODULE WINAPI NoCommonControls(const wchar_t* name) {
  if (lstrcmpiW(name, L"comctl32.dll") == 0) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return LoadLibraryW(name);
}

class SetupRunFaults : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { CreateApplicationWindow(); }
};

// First in this file: the common controls, once loaded, stay loaded for the process.
TEST_F(SetupRunFaults, WithoutCommonControlsTheErrorShowsAndTheRunEnds) {
  if (GetModuleHandleW(L"comctl32.dll")) {
    GTEST_SKIP() << "this process has loaded the common controls already; run this test on its own";
  }
  SetLibraryLoader(NoCommonControls);
  auto watcher = WatchErrorBoxes();
  EXPECT_NO_THROW(RunSetup());
  const std::vector<std::wstring> boxes = watcher.get();
  SetLibraryLoader(nullptr);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], ErrorBoxText(SystemErrorMessage(ERROR_MOD_NOT_FOUND)));
  EXPECT_EQ(SetupDialogWindow(), nullptr);
}

// The system refuses one control (a CBT hook may veto any window's creation).
LRESULT CALLBACK RefuseBackgroundColourButton(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
    if (!IS_INTRESOURCE(create->lpszName) && create->lpszName &&
        lstrcmpW(create->lpszName, L"Back Ground Color") == 0) {
      return 1;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(SetupRunFaults, ARefusedControlShowsTheErrorOnceAndLeavesNoDialog) {
  HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseBackgroundColourButton, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  auto watcher = WatchErrorBoxes();
  EXPECT_NO_THROW(RunSetup());
  const std::vector<std::wstring> boxes = watcher.get();
  UnhookWindowsHookEx(hook);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0], ErrorBoxText(SystemErrorMessage(ERROR_SUCCESS))) << "a failure told as success";
  EXPECT_EQ(SetupDialogWindow(), nullptr) << "the dialog's window outlived it";
  EXPECT_FALSE(IsWindowVisible(ApplicationWindow()));

  // The same run without the refusal opens the dialog as usual.
  testing_support::PumpFor(50);
  auto opened = std::async(std::launch::async, [] {
    HWND dialog = nullptr;
    for (int i = 0; i < 500 && !(dialog = FindWindowW(L"TSetupDialog", nullptr)); ++i) Sleep(20);
    if (dialog) PostMessageW(dialog, WM_CLOSE, 0, 0);
    return dialog != nullptr;
  });
  RunSetup();
  EXPECT_TRUE(opened.get());
}

}  // namespace
