// Command lines the screen-saver machinery would never send, against the real talvane.scr: each
// still selects a mode, runs it, and ends with exit code 0.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "reliability_support.h"

namespace {

using reliability::HandleText;
using reliability::PreviewHost;
using testing_support::ChildProcess;
using testing_support::PumpFor;
using testing_support::TalvaneScrPath;

enum class Outcome { Setup, FullScreen, Preview };

const char* Name(Outcome outcome) {
  switch (outcome) {
    case Outcome::Setup:
      return "setup";
    case Outcome::FullScreen:
      return "full-screen";
    case Outcome::Preview:
      return "preview";
  }
  return "";
}

struct Case {
  const char* what;
  std::function<std::wstring(const PreviewHost&)> arguments;
  Outcome outcome;
};

// Runs one case and ends the run the way its mode is ended: Esc for the setup dialog, a key for
// the full-screen saver, the host's destruction for a preview.
void RunCase(const Case& c) {
  PreviewHost host;
  ASSERT_NE(host.Handle(), nullptr);
  const std::wstring arguments = c.arguments(host);
  ChildProcess child(TalvaneScrPath(), arguments);
  ASSERT_TRUE(child.Started()) << c.what << " (" << arguments.size() << " characters)";
  switch (c.outcome) {
    case Outcome::Setup: {
      HWND dialog = reliability::WaitForSetupDialog(child);
      ASSERT_NE(dialog, nullptr) << c.what << ": no setup dialog";
      reliability::PressEsc(dialog);
      break;
    }
    case Outcome::FullScreen: {
      HWND window = reliability::WaitForSaverWindow(child);
      ASSERT_NE(window, nullptr) << c.what << ": no full-screen window";
      EXPECT_EQ(FindWindowExW(host.Handle(), nullptr, L"TFormMainPreview", nullptr), nullptr) << c.what;
      PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
      break;
    }
    case Outcome::Preview: {
      ASSERT_NE(host.WaitForPreview(), nullptr) << c.what << ": no preview in the host";
      EXPECT_EQ(reliability::WaitForWindowOf(child, L"TFormMain", 0), nullptr) << c.what;
      host.Destroy();
      break;
    }
  }
  EXPECT_EQ(child.WaitForExit(5000), 0u) << c.what << " ran as " << Name(c.outcome);
}

TEST(BadCommandLine, EachSelectsAModeAndEndsWithExitCode0) {
  const auto host = [](const std::wstring& before, const std::wstring& after = L"") {
    return [before, after](const PreviewHost& h) { return before + HandleText(h.Handle()) + after; };
  };
  const auto fixed = [](const std::wstring& text) {
    return [text](const PreviewHost&) { return text; };
  };
  const Case cases[] = {
      // 32,000 characters: the whole line may hold 32,767 with the program's own path.
      {"a 32,000-character first argument", fixed(L"/S" + std::wstring(31998, L'x')), Outcome::FullScreen},
      {"/c and 32,000 characters more", fixed(L"/c " + std::wstring(32000, L'z')), Outcome::Setup},
      {"32,000 spaces before /c", fixed(std::wstring(32000, L' ') + L"/c"), Outcome::Setup},
      {"/p and a 32,000-digit handle", fixed(L"/p " + std::wstring(32000, L'7')), Outcome::FullScreen},
      // Control characters separate arguments like spaces; DEL does not.
      {"/c between control characters", fixed(L"\x01/c\x1f"), Outcome::Setup},
      {"a bell inside the switch", fixed(L"/\x07s"), Outcome::FullScreen},
      {"tabs around /p", host(L"\t/p\t"), Outcome::Preview},
      {"escape between /p and the handle", host(L"/p\x1b"), Outcome::Preview},
      {"a DEL before the handle", host(L"/p \x7f"), Outcome::FullScreen},
      {"line breaks around /c", fixed(L"\r\n/c\r\n"), Outcome::Setup},
      // A quote without its partner runs to the end of the line.
      {"an unpaired quote before /c", fixed(L"\"/c"), Outcome::Setup},
      {"an unpaired quote after /c", fixed(L"/c\""), Outcome::Setup},
      {"one quote alone", fixed(L"\""), Outcome::Setup},
      {"an unpaired quote around /s /c", fixed(L"\"/s /c"), Outcome::FullScreen},
      {"empty quoted arguments before /c", fixed(L"\"\" \"\" /c"), Outcome::Setup},
      {"an unpaired quote before the handle", host(L"/p \""), Outcome::Preview},
      {"an unpaired quote taking in more text", host(L"/p \"", L" /s"), Outcome::FullScreen},
  };
  for (const Case& c : cases) RunCase(c);
}

// A preview asked for in a window that is not there has nothing to draw into: the run ends at once,
// quietly.
TEST(BadCommandLine, APreviewHandleThatNamesNoWindowEndsTheRun) {
  PreviewHost gone;
  const std::wstring deadHandle = HandleText(gone.Handle());
  gone.Destroy();
  for (const std::wstring& handle : {deadHandle, std::wstring(L"1"), std::wstring(L"-1"), std::wstring(L"$FFFF")}) {
    ChildProcess child(TalvaneScrPath(), L"/p " + handle);
    EXPECT_EQ(child.WaitForExit(5000), 0u) << "/p " << std::string(handle.begin(), handle.end());
  }
}

// The host belongs to another process (here a second talvane.scr showing its setup dialog), which
// then goes, normally or killed: the preview goes with it.
TEST(BadCommandLine, APreviewInAnotherProcessesWindowEndsWhenThatProcessDoes) {
  struct HostEnd {
    const char* what;
    void (*end)(ChildProcess& hostProcess, HWND dialog);
  };
  const HostEnd ends[] = {
      {"Esc", [](ChildProcess& hostProcess, HWND dialog) {
         reliability::PressEsc(dialog);
         EXPECT_EQ(hostProcess.WaitForExit(5000), 0u);
       }},
      {"killed", [](ChildProcess& hostProcess, HWND) {
         TerminateProcess(hostProcess.Handle(), 7);
         EXPECT_EQ(hostProcess.WaitForExit(5000), 7u);
       }},
  };
  for (const HostEnd& e : ends) {
    ChildProcess hostProcess(TalvaneScrPath(), L"/c");
    HWND dialog = reliability::WaitForSetupDialog(hostProcess);
    ASSERT_NE(dialog, nullptr) << e.what;
    ChildProcess preview(TalvaneScrPath(), L"/p " + HandleText(dialog));
    HWND child = nullptr;
    testing_support::PumpUntil(
        [&] { return (child = FindWindowExW(dialog, nullptr, L"TFormMainPreview", nullptr)) != nullptr; }, 15000);
    ASSERT_NE(child, nullptr) << e.what << ": no preview in the other process's window";
    PumpFor(300);
    e.end(hostProcess, dialog);
    EXPECT_EQ(preview.WaitForExit(3000), 0u) << "host " << e.what;
  }
}

}  // namespace
