// The design floor: what the saver's full-screen design costs without its face. It is set up as
// the saver is (the same manifest, classes, styles, owner and placement, the settings loaded,
// the cursor hidden once per window, a 100 ms timer per window that reads and compares the
// minute) but has no face bitmap and renders nothing: its erase handler fills the window with
// the settings' background colour, as any program that covers a monitor paints what it covers.
// The saver against it shows what the face adds; taken apart one element at a time, it shows
// what each element of the design costs.
//   design_floor [ELEMENT ...]          every ELEMENT named is left out
//   design_floor toggle ELEMENT ...     every ELEMENT named is there in the even 10-s blocks of
//                                       the system clock (from 5 s past a multiple of 10) and left
//                                       out in the odd ones, so that one process shows its cost,
//                                       block against block
// ELEMENT:
//   owner     the zero-sized application window that owns the windows and is shown with them
//   topmost   the top-most stacking band
//   cursor    the cursor hidden by every window
//   clock     the minute read and compared at every tick
//   styles    the class style CS_DBLCLKS, the styles WS_CLIPSIBLINGS, WS_CLIPCHILDREN and
//             WS_EX_CONTROLPARENT, and the class's icon, cursor and background brush
//   monitors  every window but the first monitor's (left out only)
// A click, a key or a late mouse movement ends it, as it ends the saver.
#include <windows.h>
#include <windowsx.h>
#include <imm.h>

#include <cstdint>
#include <cwchar>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/application_win.h"
#include "app/colors_win.h"
#include "app/gdi_win.h"
#include "app/time_text_win.h"
#include "saver/designed_size_win.h"
#include "saver/monitors_win.h"
#include "saver/saver_input.h"
#include "settings/ix_settings.h"

namespace {

constexpr wchar_t kClassName[] = L"DesignFloor";
constexpr UINT_PTR kTimer = 1;
constexpr LONG_PTR kClipStyles = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

struct Elements {
  bool owner = true;
  bool topmost = true;
  bool cursor = true;
  bool clock = true;
  bool styles = true;
  bool monitors = true;
};

bool Name(Elements& elements, const wchar_t* name, bool value) {
  struct Named {
    const wchar_t* name;
    bool Elements::*element;
  };
  static constexpr Named kNames[] = {{L"owner", &Elements::owner},   {L"topmost", &Elements::topmost},
                                     {L"cursor", &Elements::cursor}, {L"clock", &Elements::clock},
                                     {L"styles", &Elements::styles}, {L"monitors", &Elements::monitors}};
  for (const Named& n : kNames) {
    if (wcscmp(name, n.name) == 0) {
      elements.*n.element = value;
      return true;
    }
  }
  return false;
}

// What the styles element gives the window class.
struct ClassLook {
  UINT style = 0;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
};

ClassLook Look(bool styles) {
  if (!styles) return {};
  return {CS_DBLCLKS, ApplicationIcon(), LoadCursorW(nullptr, IDC_ARROW), GetSysColorBrush(COLOR_BTNFACE)};
}

class FloorWindow;
using FloorWindows = std::vector<std::unique_ptr<FloorWindow>>;

// Switches the toggled elements with the 10-s blocks of the system clock that start 5 s past a
// multiple of 10, so that a switch never meets a minute change: there in the even blocks, left
// out in the odd ones. Counted from 1601 or from 1970 the blocks have the same parity, the two
// epochs lying a multiple of 20 s apart.
class Toggler {
 public:
  Toggler(Elements& elements, const Elements& toggled, const FloorWindows& windows)
      : elements_(elements), toggled_(toggled), windows_(windows) {}
  void Tick();

 private:
  Elements& elements_;
  Elements toggled_;  // true for each element that is switched
  const FloorWindows& windows_;
  bool there_ = true;
};

class FloorWindow {
 public:
  FloorWindow(const Elements& elements, HBRUSH background, HWND owner, const MonitorRect& monitor,
              Toggler* toggler)
      : elements_(elements), background_(background), toggler_(toggler) {
    const DWORD style = WS_POPUP | (elements.styles ? kClipStyles : 0);
    const DWORD exStyle = (elements.styles ? WS_EX_CONTROLPARENT : 0) | (elements.topmost ? WS_EX_TOPMOST : 0);
    const SIZE designed = DesignedClientSize();
    CreateWindowExW(exStyle, kClassName, L"FormMain", style, CW_USEDEFAULT, CW_USEDEFAULT, designed.cx,
                    designed.cy, owner, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_) return;
    if (elements.cursor) ShowCursor(FALSE);
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // The saver's placement: top, left, width and height as four window changes of their own.
    RECT r;
    GetWindowRect(hwnd_, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    const RECT steps[] = {{r.left, monitor.Top, width, height},
                          {monitor.Left, monitor.Top, width, height},
                          {monitor.Left, monitor.Top, monitor.Width, height},
                          {monitor.Left, monitor.Top, monitor.Width, monitor.Height}};
    for (const RECT& s : steps) {
      SetWindowPos(hwnd_, nullptr, s.left, s.top, s.right, s.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetTimer(hwnd_, kTimer, kTimerInterval, nullptr);
  }

  ~FloorWindow() {
    if (!hwnd_) return;
    if (elements_.cursor) ShowCursor(TRUE);
    KillTimer(hwnd_, kTimer);
    DestroyWindow(hwnd_);
  }

  FloorWindow(const FloorWindow&) = delete;
  FloorWindow& operator=(const FloorWindow&) = delete;

  HWND Handle() const { return hwnd_; }

  static void RegisterWindowClass(bool styles) {
    const ClassLook look = Look(styles);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    wc.style = look.style;
    wc.hIcon = look.icon;
    wc.hCursor = look.cursor;
    wc.hbrBackground = look.background;
    RegisterClassExW(&wc);
  }

  // The class is shared by all windows: set once, through any of them.
  void SetClassLook(bool styles) const {
    const ClassLook look = Look(styles);
    SetClassLongPtrW(hwnd_, GCL_STYLE, static_cast<LONG_PTR>(look.style));
    SetClassLongPtrW(hwnd_, GCLP_HICON, reinterpret_cast<LONG_PTR>(look.icon));
    SetClassLongPtrW(hwnd_, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(look.cursor));
    SetClassLongPtrW(hwnd_, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(look.background));
  }

  void SetStyles(bool styles) const {
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    SetWindowLongPtrW(hwnd_, GWL_STYLE, styles ? style | kClipStyles : style & ~kClipStyles);
    const LONG_PTR exStyle = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE,
                      styles ? exStyle | WS_EX_CONTROLPARENT : exStyle & ~LONG_PTR{WS_EX_CONTROLPARENT});
  }

  void SetTopmost(bool topmost) const {
    SetWindowPos(hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  void SetOwner(HWND owner) const {
    SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    SyncApplicationWindow();
  }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
      auto* window = static_cast<FloorWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      window->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<FloorWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      window->hwnd_ = nullptr;
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return window->Dispatch(msg, wParam, lParam);
  }

  LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
      case WM_ERASEBKGND: {
        // Where the saver's erase handler copies the face.
        RECT client;
        GetClientRect(hwnd_, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, background_);
        return 1;
      }
      case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd_, &ps);
        EndPaint(hwnd_, &ps);
        return 0;
      }
      case WM_TIMER:
        if (wParam == kTimer) Tick();
        return 0;
      case WM_LBUTTONDOWN:
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
      case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
      case WM_MOUSEMOVE:
        if (MouseMoveEndsRun(enableInput_, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), mouseX_, mouseY_)) {
          PostQuitMessage(0);
        }
        mouseX_ = GET_X_LPARAM(lParam);
        mouseY_ = GET_Y_LPARAM(lParam);
        return 0;
      case WM_SYSCOMMAND:
        return wParam == SC_SCREENSAVE ? 1 : DefWindowProcW(hwnd_, msg, wParam, lParam);
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        if (GetSystemMetrics(SM_IMMENABLED)) {
          ImmAssociateContextEx(hwnd_, nullptr, msg == WM_SETFOCUS ? 0 : IACE_DEFAULT);
        }
        return 0;
      case WM_WINDOWPOSCHANGED:
        if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) {
          SyncApplicationWindow();
        }
        return DefWindowProcW(hwnd_, msg, wParam, lParam);
      case WM_DESTROY:
        SyncApplicationWindow(hwnd_);
        return 0;
      default:
        return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }
  }

  // The saver's tick without the rendering: the grace countdown, then the minute read and
  // compared, and on a new minute the invalidation that would show the new face.
  void Tick() {
    if (toggler_) toggler_->Tick();
    CountDownGrace(graceCount_, enableInput_, kTimerInterval);
    if (!elements_.clock) return;
    std::wstring minute = CurrentTimeText(L"nn");
    if (minute == beforeTime_) return;
    beforeTime_ = std::move(minute);
    InvalidateRect(hwnd_, nullptr, TRUE);
  }

  HWND hwnd_ = nullptr;
  const Elements& elements_;
  HBRUSH background_;
  Toggler* toggler_;  // the first window's ticks drive the switching
  std::wstring beforeTime_;
  int32_t graceCount_ = kGraceMilliseconds;
  bool enableInput_ = false;
  int32_t mouseX_ = 0;
  int32_t mouseY_ = 0;
};

void Toggler::Tick() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const uint64_t units = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  const uint64_t seconds = units / 10000000;  // 100-ns units
  const bool there = (seconds - 5) / 10 % 2 == 0;
  if (there == there_) return;
  there_ = there;
  if (toggled_.clock) elements_.clock = there;
  if (toggled_.cursor) {
    elements_.cursor = there;
    for (size_t i = 0; i < windows_.size(); ++i) ShowCursor(there ? FALSE : TRUE);
  }
  if (toggled_.topmost) {
    elements_.topmost = there;
    for (const auto& window : windows_) window->SetTopmost(there);
  }
  if (toggled_.styles) {
    elements_.styles = there;
    windows_.front()->SetClassLook(there);
    for (const auto& window : windows_) window->SetStyles(there);
  }
  if (toggled_.owner) {
    elements_.owner = there;
    windows_.front()->SetOwner(there ? ApplicationWindow() : nullptr);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  Elements elements;
  Elements toggled = {false, false, false, false, false, false};
  const bool toggling = __argc > 1 && wcscmp(__wargv[1], L"toggle") == 0;
  for (int i = toggling ? 2 : 1; i < __argc; ++i) {
    if (!Name(toggling ? toggled : elements, __wargv[i], toggling)) return 2;
  }
  if (toggled.monitors) return 2;
  // Without its owner element the program never creates the application window, so keeping it
  // in step with the windows does nothing.
  if (elements.owner) CreateApplicationWindow();
  RefreshTimeSeparator();
  // The saver's first window loads the settings; what that maps and reads belongs to the design.
  const TIxSettings settings;
  const DeleteObjectOnExit<HBRUSH> background(CreateSolidBrush(ColorToRGB(settings.BGColor)));
  FloorWindow::RegisterWindowClass(elements.styles);

  const std::vector<MonitorRect>& monitors = MonitorList();
  FloorWindows windows;
  Toggler toggler(elements, toggled, windows);
  for (size_t i = 0; i < (elements.monitors ? monitors.size() : 1); ++i) {
    // The first window is owned by the application window, every further one by the first.
    const HWND owner = i == 0 ? ApplicationWindow() : windows.front()->Handle();
    windows.push_back(std::make_unique<FloorWindow>(elements, background.get(), owner, monitors[i],
                                                    i == 0 && toggling ? &toggler : nullptr));
  }

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // The others first, as the first window's list destroys them before it goes.
  while (!windows.empty()) windows.pop_back();
  return 0;
}
