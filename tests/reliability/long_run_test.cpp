// A saver run that lasts: many minute changes and many resizes on two monitors must leave the
// process's GDI objects and memory where they were once it had warmed up.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/application_win.h"
#include "app/gdi_win.h"
#include "app/main_routine_win.h"
#include "app/time_text_win.h"
#include "saver/form_main_win.h"
#include "saver/monitors_win.h"

namespace {

int g_minutes = 0;  // minutes since midnight, as the fake clock reports them
ClockTime FakeClock() { return {g_minutes / 60 % 24, g_minutes % 60}; }
// Ticks come from the test, never from a real timer.
UINT_PTR ManualTimer(HWND, UINT_PTR id, UINT) { return id; }

struct Usage {
  int gdi = 0;
  SIZE_T committed = 0;
  SIZE_T workingSet = 0;
};

// Wine reports no PrivateUsage (it is the swap figure there), so the committed memory that is not
// an executable image is added up region by region. (Wine marks its heaps as mapped, not private.)
SIZE_T CommittedDataBytes() {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION region;
  for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type != MEM_IMAGE) total += region.RegionSize;
  }
  return total;
}

Usage Measure() {
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  return {gdi_count::Live(), std::max(memory.PrivateUsage, CommittedDataBytes()), memory.WorkingSetSize};
}

// Dispatches what is queued (the paints the ticks and resizes asked for) without waiting.
void DispatchPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

std::vector<HWND> Windows(const TFormMain& form) {
  std::vector<HWND> windows = {form.Handle()};
  for (const auto& other : form.OtherForms()) windows.push_back(other->Handle());
  return windows;
}

// Each change of minute is one tick in every window, which renders, invalidates and repaints.
void ChangeMinutes(const TFormMain& form, int count) {
  for (int i = 0; i < count; ++i) {
    ++g_minutes;
    for (HWND hwnd : Windows(form)) SendMessageW(hwnd, WM_TIMER, 1, 0);
    DispatchPending();
  }
}

// The windows take turns, each walking through ten sizes below its monitor's, so the face is
// fitted afresh at every change.
void Resize(const TFormMain& form, int count) {
  const std::vector<HWND> windows = Windows(form);
  const std::vector<MonitorRect>& monitors = MonitorList();
  for (int i = 0; i < count; ++i) {
    const size_t which = static_cast<size_t>(i) % windows.size();
    const int shrink = (i / static_cast<int>(windows.size()) + 1) % 10 * 23;
    SetWindowPos(windows[which], nullptr, 0, 0, monitors[which].Width - shrink, monitors[which].Height - shrink / 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    DispatchPending();
  }
}

void Print(const char* when, const Usage& u) {
  std::printf("%-22s GDI objects %d, committed %zu KiB, working set %zu KiB\n", when, u.gdi,
              static_cast<size_t>(u.committed / 1024), static_cast<size_t>(u.workingSet / 1024));
}

TEST(LongRun, MinuteChangesAndResizesOnTwoMonitorsLeakNothing) {
  CreateApplicationWindow();
  FormCount = 0;
  PreviewParent = 0;
  g_minutes = 0;
  SetClockSource(FakeClock);
  SetMonitorList({{0, 0, 640, 360}, {640, 0, 480, 384}});
  TFormMain::SetTimerStarter(ManualTimer);
  const int liveBeforeRun = gdi_count::Live();
  {
    TFormMain form;
    ASSERT_EQ(form.OtherForms().size(), 1u);
    ChangeMinutes(form, 200);
    Resize(form, 100);
    const Usage warm = Measure();
    Print("after warm-up", warm);

    ChangeMinutes(form, 10000);
    const Usage afterMinutes = Measure();
    Print("after 10000 minutes", afterMinutes);
    Resize(form, 1000);
    ChangeMinutes(form, 100);  // and the clock still runs at the sizes the resizes left
    const Usage end = Measure();
    Print("after 1000 resizes", end);

    EXPECT_EQ(afterMinutes.gdi, warm.gdi);
    EXPECT_EQ(end.gdi, warm.gdi);
    // A leaked face bitmap alone is 0.9 MiB here; what is allowed is the allocator's own noise.
    constexpr SIZE_T kNoise = 2 * 1024 * 1024;
    EXPECT_LE(afterMinutes.committed, warm.committed + kNoise);
    EXPECT_LE(end.committed, warm.committed + kNoise);
    EXPECT_LE(afterMinutes.workingSet, warm.workingSet + 2 * kNoise);
    EXPECT_LE(end.workingSet, warm.workingSet + 2 * kNoise);
    SendMessageW(form.Handle(), WM_KEYDOWN, VK_SPACE, 0);
  }
  EXPECT_EQ(gdi_count::Live(), liveBeforeRun) << "the run's windows gave back all they made";
  MSG msg;
  PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  TFormMain::SetTimerStarter(nullptr);
  SetClockSource(nullptr);
  SetMonitorList({});
}

}  // namespace
