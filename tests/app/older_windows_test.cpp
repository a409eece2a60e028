// The program as it runs on Windows before 10 1607 and before 8.1: the dpi functions those lack
// are taken away through the look-up, since Wine exports all of them. Runs on the usual 96-dpi
// desktop and on one started at 144 dpi (label "dpi144").
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "app/application_win.h"
#include "app/dpi_win.h"
#include "app/gdi_win.h"
#include "app/main_routine_win.h"
#include "saver/form_main_win.h"
#include "saver/monitors_win.h"
#include "setup/setup_dialog_win.h"
#include "support/win_test_support.h"

namespace {

FARPROC Real(const wchar_t* module, const char* name) {
  HMODULE handle = GetModuleHandleW(module);
  if (!handle) handle = LoadLibraryW(module);
  return handle ? GetProcAddress(handle, name) : nullptr;
}

bool IsUser32(const wchar_t* module) { return _wcsicmp(module, L"user32.dll") == 0; }

// Windows 8 and 8.1 before 10 1607: user32 has none of the three, shcore (8.1) is there.
FARPROC Windows81(const wchar_t* module, const char* name) { return IsUser32(module) ? nullptr : Real(module, name); }
// Vista, 7 and 8: no shcore either.
FARPROC Vista(const wchar_t*, const char*) { return nullptr; }

struct Platform {
  const char* name;
  FunctionLookup lookup;
};
const Platform kPlatforms[] = {{"Windows 10", nullptr}, {"Windows 8.1", Windows81}, {"Vista", Vista}};

// The screen's dpi, which this desktop fixed when it started: the one dpi of every path here.
int ScreenDpi() {
  ReleaseDcOnExit screen(nullptr);
  return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

int Scaled(int value) { return MulDiv(value, ScreenDpi(), 96); }

RECT RectIn(HWND window, HWND parent) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::vector<LONG> Corners(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

class OlderWindows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { CreateApplicationWindow(); }
  void TearDown() override {
    SetFunctionLookup(nullptr);
    TFormMain::SetTimerStarter(nullptr);
    SetMonitorList({});
    PreviewParent = 0;
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }
};

TEST_F(OlderWindows, DpiAndFrameComeFromTheEarlierFunctions) {
  const UINT dpi = static_cast<UINT>(ScreenDpi());
  std::printf("screen dpi %u\n", dpi);
  HWND window = CreateWindowExW(0, L"Static", L"", WS_POPUP, 10, 10, 50, 50, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU;
  RECT expected = {0, 0, 100, 50};
  AdjustWindowRectEx(&expected, kStyle, FALSE, 0);
  for (const Platform& p : kPlatforms) {
    SetFunctionLookup(p.lookup);
    EXPECT_EQ(DpiForWindow(window), dpi) << p.name;
    EXPECT_EQ(DpiForSystem(), dpi) << p.name;
    RECT r = {0, 0, 100, 50};
    AdjustWindowRectForDpi(r, kStyle, 0, dpi);
    EXPECT_EQ(Corners(r), Corners(expected)) << p.name << ": the frame at the system dpi";
  }
  DestroyWindow(window);
}

// Each function is asked for once, and shcore only where GetDpiForWindow is missing, so that
// Windows 10 never loads it.
std::vector<std::string> g_asked;
FARPROC Recording(const wchar_t* module, const char* name) {
  g_asked.push_back(std::string(name) + (IsUser32(module) ? "" : "@other"));
  return Real(module, name);
}
FARPROC RecordingWindows81(const wchar_t* module, const char* name) {
  Recording(module, name);
  return IsUser32(module) ? nullptr : Real(module, name);
}

TEST_F(OlderWindows, EachFunctionIsLookedUpOnceAndShcoreOnlyWhenNeeded) {
  const std::vector<std::string> user32 = {"GetDpiForWindow", "GetDpiForSystem", "AdjustWindowRectExForDpi"};
  struct Case {
    FunctionLookup lookup;
    std::vector<std::string> asked;
  };
  std::vector<std::string> with81 = user32;
  with81.push_back("GetDpiForMonitor@other");
  const Case cases[] = {{Recording, user32}, {RecordingWindows81, with81}};
  for (const Case& c : cases) {
    g_asked.clear();
    SetFunctionLookup(c.lookup);
    for (int i = 0; i < 3; ++i) {
      DpiForWindow(ApplicationWindow());
      DpiForSystem();
      RECT r = {0, 0, 10, 10};
      AdjustWindowRectForDpi(r, WS_CAPTION, 0, 96);
    }
    EXPECT_EQ(g_asked, c.asked);
  }
}

TEST_F(OlderWindows, SetupDialogKeepsItsDesignedLayout) {
  struct Control {
    int id;
    RECT designed;
  };
  const Control controls[] = {
      {TSetupDialog::kLabel1, {25, 8, 232, 21}},       {TSetupDialog::kBtnOk, {51, 125, 126, 150}},
      {TSetupDialog::kBtnCancel, {132, 125, 207, 150}}, {TSetupDialog::kBtnFont, {9, 32, 249, 57}},
      {TSetupDialog::kBtnFontColor, {9, 63, 249, 88}},  {TSetupDialog::kBtnBGColor, {9, 94, 249, 119}},
  };
  for (const Platform& p : kPlatforms) {
    SetFunctionLookup(p.lookup);
    TSetupDialog dialog;
    dialog.Show();
    testing_support::PumpFor(50);
    RECT client;
    GetClientRect(dialog.Handle(), &client);
    EXPECT_EQ(client.right, Scaled(257)) << p.name;
    EXPECT_EQ(client.bottom, Scaled(162)) << p.name;
    for (const Control& c : controls) {
      const RECT& d = c.designed;
      // Each control is placed from its left, top, width and height, each scaled.
      const RECT expected = {Scaled(d.left), Scaled(d.top), Scaled(d.left) + Scaled(d.right - d.left),
                             Scaled(d.top) + Scaled(d.bottom - d.top)};
      EXPECT_EQ(Corners(RectIn(GetDlgItem(dialog.Handle(), c.id), dialog.Handle())), Corners(expected))
          << p.name << ", control " << c.id;
    }
  }
}

UINT_PTR ManualTimer(HWND, UINT_PTR id, UINT) { return id; }

TEST_F(OlderWindows, SaverCoversTheMonitorAndThePreviewFillsItsHost) {
  TFormMain::SetTimerStarter(ManualTimer);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  for (const Platform& p : kPlatforms) {
    SetFunctionLookup(p.lookup);
    FormCount = 0;
    PreviewParent = 0;
    SetMonitorList({});
    {
      TFormMain form;
      EXPECT_EQ(Corners(RectIn(form.Handle(), HWND_DESKTOP)), (std::vector<LONG>{0, 0, width, height})) << p.name;
      EXPECT_EQ(form.PainterObject()->Width(), width) << p.name;
      EXPECT_EQ(form.PainterObject()->Height(), height) << p.name;
    }

    HWND host = testing_support::CreateHostWindow(100, 120, 152, 112);
    ASSERT_NE(host, nullptr);
    FormCount = 0;
    PreviewParent = static_cast<int32_t>(reinterpret_cast<intptr_t>(host));
    {
      TFormMain preview;
      EXPECT_EQ(Corners(RectIn(preview.Handle(), host)), (std::vector<LONG>{0, 0, 152, 112})) << p.name;
      EXPECT_EQ(preview.PainterObject()->Width(), 152) << p.name;
    }
    DestroyWindow(host);
    PreviewParent = 0;
  }
}

}  // namespace
