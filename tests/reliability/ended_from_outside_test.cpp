// The real talvane.scr ended from outside, as the taskbar, a polite kill or the end of the session
// ends a program: each run must end promptly with code 0, write nothing, and never live on without
// windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "../setup/settings_file.h"
#include "reliability_support.h"

namespace {

using reliability::PreviewHost;
using testing_support::ChildProcess;
using testing_support::ClassName;
using testing_support::TalvaneScrPath;
using testing_support::TopLevelWindowsOf;

HWND ApplicationWindowOf(const ChildProcess& child) {
  for (HWND hwnd : TopLevelWindowsOf(child.Id())) {
    if (ClassName(hwnd) == L"TalvaneApplication") return hwnd;
  }
  return nullptr;
}

void PostToEach(const std::vector<HWND>& windows, UINT msg, WPARAM wParam) {
  for (HWND hwnd : windows) PostMessageW(hwnd, msg, wParam, 0);
}

// What the system does at the end of a session: it asks every top-level window whether the
// session may end, and then tells each that it ends. Returns whether every window agreed.
bool EndSession(const std::vector<HWND>& windows) {
  bool agreed = true;
  for (HWND hwnd : windows) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 1000, &answer) ||
        !answer) {
      agreed = false;
    }
  }
  for (HWND hwnd : windows) {
    SendMessageTimeoutW(hwnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 1000, nullptr);
  }
  return agreed;
}

struct Ending {
  const char* name;
  std::function<void(const ChildProcess&)> end;
};

const Ending kEndings[] = {
    {"WM_CLOSE to the application window",
     [](const ChildProcess& c) { PostMessageW(ApplicationWindowOf(c), WM_CLOSE, 0, 0); }},
    {"the taskbar's Close (SC_CLOSE) to the application window",
     [](const ChildProcess& c) { PostMessageW(ApplicationWindowOf(c), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    {"WM_CLOSE to every top-level window",
     [](const ChildProcess& c) { PostToEach(TopLevelWindowsOf(c.Id()), WM_CLOSE, 0); }},
    {"WM_CLOSE to every top-level window, the other way round",
     [](const ChildProcess& c) {
       std::vector<HWND> windows = TopLevelWindowsOf(c.Id());
       std::reverse(windows.begin(), windows.end());
       PostToEach(windows, WM_CLOSE, 0);
     }},
    {"the end of the session",
     [](const ChildProcess& c) { EXPECT_TRUE(EndSession(TopLevelWindowsOf(c.Id()))) << "the log-off was held back"; }},
};

// One run of each kind, started and shown, ready to be ended.
struct SaverRun {
  const char* name;
  std::wstring arguments;
  std::function<bool(const ChildProcess&)> shown;
};

TEST(EndedFromOutside, EveryRunEndsPromptlyWithCodeZeroAndWritesNothing) {
  PreviewHost host;
  ASSERT_NE(host.Handle(), nullptr);
  const SaverRun runs[] = {
      {"/c", L"/c", [](const ChildProcess& c) { return reliability::WaitForSetupDialog(c) != nullptr; }},
      {"/s", L"/s", [](const ChildProcess& c) { return reliability::WaitForSaverWindow(c) != nullptr; }},
      {"/p", host.PreviewArguments(), [&](const ChildProcess&) { return host.WaitForPreview() != nullptr; }},
  };
  for (const SaverRun& run : runs) {
    for (const Ending& ending : kEndings) {
      setup_testing::SettingsFile file;
      SetCursorPos(200, 200);
      ChildProcess child(TalvaneScrPath(), run.arguments);
      ASSERT_TRUE(child.Started());
      ASSERT_TRUE(run.shown(child)) << run.name;
      ASSERT_NE(ApplicationWindowOf(child), nullptr) << run.name;
      const ULONGLONG start = GetTickCount64();
      ending.end(child);
      // Promptly is well within a second; the generous limit keeps a loaded machine from
      // failing the test, and the time is printed.
      const DWORD code = child.WaitForExit(5000);
      std::printf("%s, %s: ended after %llu ms\n", run.name, ending.name, GetTickCount64() - start);
      EXPECT_EQ(code, 0u) << run.name << ", " << ending.name << ": " << reliability::WindowsText(child);
      EXPECT_FALSE(file.FoldersExist()) << run.name << ", " << ending.name << " wrote the settings";
    }
  }
  EXPECT_TRUE(IsWindow(host.Handle())) << "the host stays";
}

}  // namespace
