// Many runs of the real talvane.scr in a row: every one of them must end, and none may live on.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "reliability_support.h"

namespace {

using reliability::PreviewHost;
using reliability::TalvaneProcesses;
using testing_support::ChildProcess;
using testing_support::PumpFor;
using testing_support::PumpUntil;
using testing_support::TalvaneScrPath;

// talvane.scr processes that run now but did not before.
std::vector<DWORD> NewSince(const std::vector<DWORD>& before) {
  std::vector<DWORD> added;
  for (DWORD id : TalvaneProcesses()) {
    if (std::find(before.begin(), before.end(), id) == before.end()) added.push_back(id);
  }
  return added;
}

int CursorCounter() {
  const int counter = ShowCursor(TRUE) - 1;
  ShowCursor(FALSE);
  return counter;
}

TEST(ProcessLifecycle, FiftyPreviewsEndWithTheirHosts) {
  const std::vector<DWORD> before = TalvaneProcesses();
  for (int run = 0; run < 50; ++run) {
    PreviewHost host;
    ASSERT_NE(host.Handle(), nullptr);
    ChildProcess preview(TalvaneScrPath(), host.PreviewArguments());
    ASSERT_TRUE(preview.Started());
    // Half the hosts go once the preview shows; the others at times spread over the start-up,
    // before, while and just after the preview window is made.
    if (run % 2 == 1) {
      PumpFor(static_cast<DWORD>(run * 7));
    } else {
      ASSERT_NE(host.WaitForPreview(), nullptr) << "run " << run;
    }
    host.Destroy();
    EXPECT_EQ(preview.WaitForExit(5000), 0u) << "run " << run << ": " << reliability::WindowsText(preview);
  }
  EXPECT_EQ(NewSince(before), std::vector<DWORD>{});
}

TEST(ProcessLifecycle, TwentyFullScreenRunsEndByAKey) {
  const std::vector<DWORD> before = TalvaneProcesses();
  const int counter = CursorCounter();
  const WORD keys[] = {VK_SPACE, VK_ESCAPE, VK_RETURN, 'A'};
  for (int run = 0; run < 20; ++run) {
    SetCursorPos(200, 200);
    ChildProcess saver(TalvaneScrPath(), L"/s");
    HWND window = reliability::WaitForSaverWindow(saver);
    ASSERT_NE(window, nullptr) << "run " << run;
    PumpUntil([&] { return GetForegroundWindow() == window; }, 2000);
    testing_support::SendKey(keys[run % 4]);
    EXPECT_EQ(saver.WaitForExit(5000), 0u) << "run " << run << ": " << reliability::WindowsText(saver);
  }
  EXPECT_EQ(NewSince(before), std::vector<DWORD>{});
  EXPECT_EQ(CursorCounter(), counter) << "the saver's cursor hiding reached the test's own counter";
}

}  // namespace
