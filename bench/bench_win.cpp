// Times the saver's own code against floors measured beside it in the same run, and prints one
// line per figure: "name<TAB>median ms<TAB>median ms of its floor".
//   talvane_bench render RUNS                 one DrawBackground at each surface size
//   talvane_bench paint RUNS                  one paint of the saver window at each size
//   talvane_bench start RUNS SCR FLOOR_EXE    start to first painted face, /s and /p
//   talvane_bench glyphs                      the memory the system keeps for the face's glyphs
//   talvane_bench faces HOUR MINUTE CHANGES   the memory of a CPU round's faces on every monitor
// The paint rows need a screen at least 7680 x 4320, so that no window is clipped by it.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/application_win.h"
#include "app/gdi_win.h"
#include "app/main_routine_win.h"
#include "app/time_text_win.h"
#include "face/face_fit.h"
#include "face/ix_painter.h"
#include "saver/designed_size_win.h"
#include "saver/form_main_win.h"
#include "saver/monitors_win.h"
#include "settings/ix_settings.h"

namespace {

struct Size {
  int Width;
  int Height;
};
constexpr Size kSizes[] = {{1920, 1080}, {3840, 2160}, {7680, 4320}};

// A background no desktop shows, so a watcher of the screen knows when a face is up.
constexpr COLORREF kBackground = RGB(0x33, 0x66, 0x99);
constexpr COLORREF kText = RGB(0xEE, 0xDD, 0x22);

double Now() {
  static const double ticksPerMs = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / ticksPerMs;
}

double TimeMs(const std::function<void()>& work) {
  const double start = Now();
  work();
  return Now() - start;
}

double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const size_t n = samples.size();
  return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

void PrintRow(const std::string& name, const std::vector<double>& figure, const std::vector<double>& floor) {
  std::printf("%s\t%.3f\t%.3f\n", name.c_str(), Median(figure), Median(floor));
  std::fflush(stdout);
}

// Dispatches messages for a while. A wait is also when the platform copies window surfaces to
// the screen, and a paint long after the last wait copies them itself; the last wait here, of no
// time, keeps that copy out of the timed call that follows, whichever is timed.
void PumpFor(double ms) {
  const double end = Now() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    const double left = end - Now();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, left > 0 ? static_cast<DWORD>(left) + 1 : 0, QS_ALLINPUT);
    if (left <= 0) return;
  }
}

ClockTime g_clock = {13, 7};
ClockTime BenchClock() { return g_clock; }
void NextMinute() {
  g_clock.Minute = (g_clock.Minute + 1) % 60;
  if (g_clock.Minute == 0) g_clock.Hour = (g_clock.Hour + 1) % 24;
}

void UseBenchColours() {
  TIxSettings settings;
  settings.BGColor = static_cast<int32_t>(kBackground);
  settings.FontColor = static_cast<int32_t>(kText);
  settings.Save();
}

// A memory DC with a screen-compatible bitmap of its own: what the renderer draws into,
// without the renderer.
struct BareSurface {
  BareSurface(int width, int height) : dc(CreateCompatibleDC(nullptr)) {
    ReleaseDcOnExit screen(nullptr);
    bitmap.reset(CreateCompatibleBitmap(screen.get(), width, height));
    selection.emplace(dc.get(), bitmap.get());
    // Written once, so that copies read real memory, not the pages of a bitmap never touched.
    PatBlt(dc.get(), 0, 0, width, height, WHITENESS);
  }
  DeleteDcOnExit dc;
  DeleteObjectOnExit<HBITMAP> bitmap;
  std::optional<RestoreObjectOnExit> selection;
};

// Every call renders a new minute, as the timer makes it do: a new text at the fitted font.
void BenchRender(int runs) {
  TIxSettings settings;
  SetClockSource(BenchClock);
  for (const Size size : kSizes) {
    TIxPainter painter;
    painter.Settings = &settings;
    painter.SetSize(size.Width, size.Height);

    BareSurface bare(size.Width, size.Height);
    LOGFONTW font = {};
    font.lfHeight = painter.FontHeight();
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(font.lfFaceName, settings.FontName.c_str(), LF_FACESIZE - 1);
    DeleteObjectOnExit<HFONT> hfont(CreateFontIndirectW(&font));
    RestoreObjectOnExit fontSelection(bare.dc.get(), hfont.get());
    DeleteObjectOnExit<HBRUSH> brush(CreateSolidBrush(static_cast<COLORREF>(settings.BGColor)));
    SetTextColor(bare.dc.get(), static_cast<COLORREF>(settings.FontColor));
    SetBkColor(bare.dc.get(), static_cast<COLORREF>(settings.BGColor));
    const RECT all = {0, 0, size.Width, size.Height};

    std::vector<double> render;
    std::vector<double> floor;
    for (int i = 0; i < runs; ++i) {
      NextMinute();
      render.push_back(TimeMs([&] { painter.DrawBackground(); }));
      const std::wstring text = CurrentTimeText(L"hh:nn");
      SIZE extent;
      GetTextExtentPoint32W(bare.dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
      floor.push_back(TimeMs([&] {
        FillRect(bare.dc.get(), &all, brush.get());
        ExtTextOutW(bare.dc.get(), CenteredStart(size.Width, extent.cx), CenteredStart(size.Height, extent.cy), 0,
                    nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
      }));
    }
    PrintRow("render " + std::to_string(size.Width) + "x" + std::to_string(size.Height), render, floor);
  }
  SetClockSource(nullptr);
}

// One paint is what an invalidation with erasing costs: the erase handler and the paint handler.
void BenchPaint(int runs) {
  CreateApplicationWindow();
  SetClockSource(BenchClock);
  for (const Size size : kSizes) {
    FormCount = 0;
    PreviewParent = 0;
    SetMonitorList({{0, 0, size.Width, size.Height}});
    TFormMain form;
    const HWND hwnd = form.Handle();
    PumpFor(300);

    BareSurface bare(size.Width, size.Height);
    ReleaseDcOnExit windowDc(hwnd);
    std::vector<double> paint;
    std::vector<double> floor;
    for (int i = 0; i < runs; ++i) {
      paint.push_back(TimeMs([&] {
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
      }));
      PumpFor(150);
      floor.push_back(TimeMs([&] {
        BitBlt(windowDc.get(), 0, 0, size.Width, size.Height, bare.dc.get(), 0, 0, SRCCOPY);
      }));
      PumpFor(150);
    }
    PrintRow("paint " + std::to_string(size.Width) + "x" + std::to_string(size.Height), paint, floor);
  }
  SetMonitorList({});
  SetClockSource(nullptr);
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A stand-in for the Screen Saver Settings' miniature monitor, which hosts a preview.
HWND CreatePreviewHost() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = HostProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = L"BenchPreviewHost";
  RegisterClassExW(&wc);
  HWND host = CreateWindowExW(0, wc.lpszClassName, L"Host", WS_POPUP | WS_VISIBLE, 100, 100, 320, 240, nullptr,
                              nullptr, wc.hInstance, nullptr);
  PumpFor(300);
  return host;
}

bool ScreenShows(POINT at, COLORREF colour) {
  ReleaseDcOnExit screen(nullptr);
  return GetPixel(screen.get(), at.x, at.y) == colour;
}

// Whether the host's child window has the host's size and has been painted: its paint handler
// has run and left nothing to update. A child of another process's window does not reach the
// screen under Wine, so its pixels cannot tell.
bool PreviewPainted(HWND host) {
  const HWND child = GetWindow(host, GW_CHILD);
  if (!child || !IsWindowVisible(child)) return false;
  RECT own;
  RECT hosting;
  GetClientRect(child, &own);
  GetClientRect(host, &hosting);
  return own.right == hosting.right && own.bottom == hosting.bottom && !GetUpdateRect(child, nullptr, FALSE);
}

// Milliseconds from starting the program until painted() holds; the program is then ended and
// waited for until shown() no longer holds, so the next start begins from an empty screen.
double StartToFirstPaint(const std::wstring& exe, const std::wstring& arguments,
                         const std::function<bool()>& painted, const std::function<bool()>& shown) {
  std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  const double start = Now();
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(stderr, "cannot start %ls\n", exe.c_str());
    std::exit(1);
  }
  double elapsed = -1;
  while (Now() - start < 30000) {
    if (painted()) {
      elapsed = Now() - start;
      break;
    }
    PumpFor(1);
  }
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  const double ended = Now();
  while (shown() && Now() - ended < 10000) PumpFor(5);
  PumpFor(200);
  if (elapsed < 0) {
    std::fprintf(stderr, "%ls %ls never painted\n", exe.c_str(), arguments.c_str());
    std::exit(1);
  }
  return elapsed;
}

void BenchStart(int runs, const std::wstring& scr, const std::wstring& floorExe) {
  UseBenchColours();
  const std::wstring colour = std::to_wstring(kBackground);
  // The last pixel of the first monitor: covered only once the face is the monitor's size.
  const POINT corner = {GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1};
  const auto cornerShown = [&] { return ScreenShows(corner, kBackground); };
  std::vector<double> saver;
  std::vector<double> floor;
  for (int i = 0; i < runs; ++i) {
    floor.push_back(StartToFirstPaint(floorExe, colour, cornerShown, cornerShown));
    saver.push_back(StartToFirstPaint(scr, L"/s", cornerShown, cornerShown));
  }
  PrintRow("start /s", saver, floor);

  const HWND host = CreatePreviewHost();
  const std::wstring handle = std::to_wstring(reinterpret_cast<intptr_t>(host));
  const auto painted = [host] { return PreviewPainted(host); };
  const auto hosted = [host] { return GetWindow(host, GW_CHILD) != nullptr; };
  saver.clear();
  floor.clear();
  for (int i = 0; i < runs; ++i) {
    floor.push_back(StartToFirstPaint(floorExe, colour + L" /p " + handle, painted, hosted));
    saver.push_back(StartToFirstPaint(scr, L"/p " + handle, painted, hosted));
  }
  PrintRow("start /p", saver, floor);
  DestroyWindow(host);
}

double PixelsMiB(int width, int height) { return 4.0 * width * height / (1024 * 1024); }

// The font system's own start-up is the same for any program that draws text: a first small face
// keeps it out of the figures.
void WarmUpFonts(TIxSettings& settings) {
  TIxPainter warmUp;
  warmUp.Settings = &settings;
  warmUp.SetSize(64, 32);
}

double WorkingSetMiB() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.WorkingSetSize) / (1024 * 1024);
}

// The system keeps the bitmap of every glyph it has drawn at a font's size, and the face's font
// is as tall as the monitor: the memory grows with each digit the clock shows for the first time.
// Printed per size: MiB beyond the surface's own pixels after the first face, and after faces
// that between them show every digit.
void BenchGlyphs() {
  TIxSettings settings;
  SetClockSource(BenchClock);
  WarmUpFonts(settings);
  for (const Size size : kSizes) {
    g_clock = {13, 7};
    const double before = WorkingSetMiB();
    TIxPainter painter;
    painter.Settings = &settings;
    painter.SetSize(size.Width, size.Height);
    const double pixels = PixelsMiB(size.Width, size.Height);
    const double firstFace = WorkingSetMiB() - before - pixels;
    for (const ClockTime time : {ClockTime{20, 46}, ClockTime{18, 59}}) {
      g_clock = time;
      painter.DrawBackground();
    }
    const double everyDigit = WorkingSetMiB() - before - pixels;
    std::printf("glyphs %dx%d\t%.1f\t%.1f\n", size.Width, size.Height, firstFace, everyDigit);
  }
  SetClockSource(nullptr);
}

// What the faces of a saver round on this desktop add to the design floor's memory: one renderer
// per monitor, as the saver has, drawing what its window drew in the round: the face of the
// round's first minute at the designed size when the window was shown, again after the width and
// after the height change, then the face of each minute change the round saw. Prints the MiB of
// the bitmaps' pixels, then the MiB the working set grew beyond them, the glyphs the system keeps
// for the faces' fonts.
void BenchFaces(ClockTime start, int minuteChanges) {
  TIxSettings settings;
  WarmUpFonts(settings);
  g_clock = start;
  SetClockSource(BenchClock);
  const SIZE designed = DesignedClientSize();
  std::vector<std::unique_ptr<TIxPainter>> painters;
  double pixels = 0;
  const double before = WorkingSetMiB();
  for (const MonitorRect& monitor : MonitorList()) {
    TIxPainter& painter = *painters.emplace_back(std::make_unique<TIxPainter>());
    painter.Settings = &settings;
    painter.SetSize(designed.cx, designed.cy);
    if (monitor.Width != designed.cx) painter.SetSize(monitor.Width, designed.cy);
    if (monitor.Height != designed.cy) painter.SetSize(monitor.Width, monitor.Height);
    pixels += PixelsMiB(monitor.Width, monitor.Height);
  }
  for (int i = 0; i < minuteChanges; ++i) {
    NextMinute();
    for (const auto& painter : painters) painter->DrawBackground();
  }
  SetClockSource(nullptr);
  std::printf("%.3f\t%.3f\n", pixels, WorkingSetMiB() - before - pixels);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;
  if (mode == L"render") {
    BenchRender(runs);
  } else if (mode == L"paint") {
    BenchPaint(runs);
  } else if (mode == L"start" && argc > 4) {
    BenchStart(runs, argv[3], argv[4]);
  } else if (mode == L"glyphs") {
    BenchGlyphs();
  } else if (mode == L"faces" && argc > 4) {
    BenchFaces({_wtoi(argv[2]), _wtoi(argv[3])}, _wtoi(argv[4]));
  } else {
    std::fprintf(stderr, "usage: talvane_bench render|paint RUNS | start RUNS SCR FLOOR_EXE | glyphs | faces HOUR MINUTE CHANGES\n");
    return 2;
  }
  return 0;
}
