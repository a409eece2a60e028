#include "saver/form_main_win.h"

#include <windowsx.h>
#include <imm.h>

#include "app/application_win.h"
#include "app/errors.h"
#include "app/gdi_win.h"
#include "app/main_routine_win.h"
#include "app/system_error_win.h"
#include "app/time_text_win.h"
#include "saver/designed_size_win.h"
#include "saver/monitors_win.h"
#include "saver/saver_input.h"

#include <utility>

int32_t FormCount = 0;

namespace {

constexpr wchar_t kFullScreenClass[] = L"TFormMain";
constexpr wchar_t kPreviewClass[] = L"TFormMainPreview";
constexpr UINT_PTR kTimer1 = 1;
constexpr DWORD kPreviewStyle = 0x58000000;  // WS_CHILD | WS_VISIBLE | WS_DISABLED

UINT_PTR StartSystemTimer(HWND hwnd, UINT_PTR id, UINT milliseconds) {
  return SetTimer(hwnd, id, milliseconds, nullptr);
}

TFormMain::TimerStarter g_timerStarter = StartSystemTimer;
TFormMain::DestroyObserver g_destroyObserver = nullptr;

HWND HandleFromInt(int32_t value) {
  return reinterpret_cast<HWND>(static_cast<intptr_t>(value));
}

void RegisterWindowClasses(WNDPROC proc) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  if (!GetClassInfoExW(wc.hInstance, kFullScreenClass, &wc)) {
    wc.style = CS_DBLCLKS;
    wc.hIcon = ApplicationIcon();
    wc.lpszClassName = kFullScreenClass;
    RegisterClassExW(&wc);
  }
  if (!GetClassInfoExW(wc.hInstance, kPreviewClass, &wc)) {
    wc.style = CS_PARENTDC;  // replaces the class styles: no double clicks
    wc.hIcon = nullptr;
    wc.lpszClassName = kPreviewClass;
    RegisterClassExW(&wc);
  }
}

}  // namespace

void TFormMain::SetTimerStarter(TimerStarter starter) {
  g_timerStarter = starter ? starter : StartSystemTimer;
}

void TFormMain::SetDestroyObserver(DestroyObserver observer) { g_destroyObserver = observer; }

TFormMain::TFormMain(HWND owner) : preview_(PreviewParent != 0) {
  RegisterWindowClasses(WndProc);
  const HWND parent = preview_ ? HandleFromInt(PreviewParent) : (owner ? owner : ApplicationWindow());
  const DWORD style = preview_ ? kPreviewStyle : WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_CONTROLPARENT | (preview_ ? 0 : WS_EX_TOPMOST);
  // Borderless, so the outer size is the client size.
  const SIZE designed = DesignedClientSize();
  hwnd_ = CreateWindowExW(exStyle, preview_ ? kPreviewClass : kFullScreenClass, L"FormMain", style,
                          CW_USEDEFAULT, CW_USEDEFAULT, designed.cx, designed.cy, parent, nullptr,
                          GetModuleHandleW(nullptr), this);
  if (!hwnd_) {
    // A host that went while the preview was being made is no error to show: the run ends.
    if (preview_ && !IsWindow(parent)) return;
    RaiseOutOfResources();
  }
  created_ = true;
  GuardedCall([this] { FormCreate(); return 0; }, 0);
}

TFormMain::~TFormMain() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
  FormDestroy();
  if (hwnd_) {
    if (timerRunning_) KillTimer(hwnd_, kTimer1);
    DestroyWindow(hwnd_);
  }
}

LRESULT CALLBACK TFormMain::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* form = static_cast<TFormMain*>(create->lpCreateParams);
    form->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TFormMain*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!form) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    form->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  return GuardedCall([&] { return form->Dispatch(msg, wParam, lParam); }, LRESULT{0});
}

LRESULT TFormMain::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SIZE:
      FormResize();
      return 0;
    case WM_ERASEBKGND:
      return WMEraseBkgnd();
    case WM_PAINT:
      FormPaint();
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1) Timer1Timer();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      leftDown_ = true;
      SetCapture(hwnd_);
      return 0;
    case WM_LBUTTONUP: {
      const bool wasDown = leftDown_;
      leftDown_ = false;
      ReleaseCapture();
      RECT client;
      GetClientRect(hwnd_, &client);
      const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (wasDown && PtInRect(&client, at)) FormClick();
      return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      FormKeyDown();
      return 0;
    case WM_MOUSEMOVE:
      FormMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_SYSCOMMAND:
      return WMSysCommand(wParam, lParam);
    case WM_CLOSE:
      WMClose();
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      FormFocusChange(msg == WM_SETFOCUS);
      return 0;
    case WM_WINDOWPOSCHANGED: {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) SyncApplicationWindow();
      return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }
    case WM_DESTROY:
      SyncApplicationWindow(hwnd_);
      // The host destroys a preview when its dialog closes or another saver is picked:
      // the run ends with it rather than living on without a window.
      if (preview_) PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd_, msg, wParam, lParam);
  }
}

void TFormMain::FormCreate() {
  ObjectIndex = FormCount;
  ++FormCount;
  Painter = std::make_unique<TIxPainter>();
  if (ObjectIndex == 0) {
    Forms.clear();
    settings_ = std::make_unique<TIxSettings>();
    Painter->Settings = settings_.get();
  }
  if (preview_) {
    FitToParent();
  } else {
    ShowCursor(FALSE);
    cursorHidden_ = true;
    if (ObjectIndex == 0) CreateMonitorForms();
  }
  EnableInput = false;
  timer_count1 = kGraceMilliseconds;
  before_time.clear();
  if (!g_timerStarter(hwnd_, kTimer1, kTimerInterval)) {
    throw OutOfResourcesError(L"タイマーを取得できません");
  }
  timerRunning_ = true;
}

void TFormMain::FormDestroy() {
  if (g_destroyObserver) g_destroyObserver(*this);
  if (cursorHidden_) {
    ShowCursor(TRUE);
    cursorHidden_ = false;
  }
  Painter.reset();
  if (ObjectIndex == 0) {
    settings_.reset();
    Forms.clear();
  }
}

void TFormMain::FormResize() {
  // Further windows get their settings only after creation; they render once they have them.
  if (!created_ || !Painter || !Painter->Settings) return;
  RECT r;
  GetWindowRect(hwnd_, &r);
  Painter->SetSize(r.right - r.left, r.bottom - r.top);
}

LRESULT TFormMain::WMEraseBkgnd() {
  if (Painter) {
    ReleaseDcOnExit dc(hwnd_);
    Painter->Paint(dc.get());
  }
  return 1;
}

void TFormMain::FormPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (Painter) Painter->Paint(dc);
  EndPaint(hwnd_, &ps);
}

void TFormMain::Timer1Timer() {
  CountDownGrace(timer_count1, EnableInput, kTimerInterval);
  std::wstring minute = CurrentTimeText(L"nn");
  if (minute == before_time) return;
  before_time = std::move(minute);
  if (Painter && Painter->Settings) Painter->DrawBackground();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void TFormMain::FormClick() { PostQuitMessage(0); }

void TFormMain::FormKeyDown() { PostQuitMessage(0); }

void TFormMain::FormMouseMove(int32_t X, int32_t Y) {
  if (MouseMoveEndsRun(EnableInput, X, Y, mouse_x, mouse_y)) PostQuitMessage(0);
  mouse_x = X;
  mouse_y = Y;
}

LRESULT TFormMain::WMSysCommand(WPARAM command, LPARAM lParam) {
  // No further screen saver while this one runs. The whole value is compared, unmasked.
  if (command == SC_SCREENSAVE) return 1;
  return DefWindowProcW(hwnd_, WM_SYSCOMMAND, command, lParam);
}

void TFormMain::WMClose() {
  // Closing the main window ends the run; the other monitors' windows only hide.
  if (ObjectIndex == 0) {
    PostQuitMessage(0);
  } else {
    ShowWindow(hwnd_, SW_HIDE);
  }
}

void TFormMain::FormFocusChange(bool gained) {
  // Keep an input-method editor from popping up over the full-screen face.
  if (preview_ || !GetSystemMetrics(SM_IMMENABLED)) return;
  ImmAssociateContextEx(hwnd_, nullptr, gained ? 0 : IACE_DEFAULT);
}

void TFormMain::FitToParent() {
  RECT host;
  if (!GetWindowRect(HandleFromInt(PreviewParent), &host)) return;
  RECT own;
  GetWindowRect(hwnd_, &own);
  const int width = host.right - host.left;
  const int height = host.bottom - host.top;
  constexpr UINT kSizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  if (own.right - own.left != width) {
    SetWindowPos(hwnd_, nullptr, 0, 0, width, own.bottom - own.top, kSizeOnly);
  }
  if (own.bottom - own.top != height) SetWindowPos(hwnd_, nullptr, 0, 0, width, height, kSizeOnly);
}

void TFormMain::ShowOnTop() {
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  // The first showing renders the face at the window's designed size. Like every resize, a
  // rendering the system refuses is reported and the window is placed all the same.
  GuardedCall([this] { FormResize(); return 0; }, 0);
}

void TFormMain::PlaceOn(int32_t left, int32_t top, int32_t width, int32_t height) {
  // Top, left, width and height change one at a time, each only when it differs.
  constexpr UINT kNoStackingChange = SWP_NOZORDER | SWP_NOACTIVATE;
  auto bounds = [this] {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return r;
  };
  RECT r = bounds();
  if (r.top != top) SetWindowPos(hwnd_, nullptr, r.left, top, 0, 0, kNoStackingChange | SWP_NOSIZE);
  r = bounds();
  if (r.left != left) SetWindowPos(hwnd_, nullptr, left, r.top, 0, 0, kNoStackingChange | SWP_NOSIZE);
  r = bounds();
  if (r.right - r.left != width) {
    SetWindowPos(hwnd_, nullptr, 0, 0, width, r.bottom - r.top, kNoStackingChange | SWP_NOMOVE);
  }
  r = bounds();
  if (r.bottom - r.top != height) {
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, height, kNoStackingChange | SWP_NOMOVE);
  }
}

void TFormMain::CreateMonitorForms() {
  const std::vector<MonitorRect>& monitors = MonitorList();
  for (size_t i = 0; i < monitors.size(); ++i) {
    const MonitorRect& m = monitors[i];
    if (i == 0) {
      ShowOnTop();
      PlaceOn(m.Left, m.Top, m.Width, m.Height);
      continue;
    }
    // A window the system refuses is reported; the other monitors still get theirs, and this
    // window its timer.
    GuardedCall(
        [&] {
          auto form = std::make_unique<TFormMain>(hwnd_);
          // Settings before showing or sizing, so every rendering of the new window has them.
          if (form->Painter) form->Painter->Settings = settings_.get();
          form->ShowOnTop();
          form->PlaceOn(m.Left, m.Top, m.Width, m.Height);
          Forms.push_back(std::move(form));
          return 0;
        },
        0);
  }
}
