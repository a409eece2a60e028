#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "face/ix_painter.h"
#include "settings/ix_settings.h"

// Number of saver windows created so far in the run; only ever increased.
extern int32_t FormCount;

// The window that shows the clock face in the saver run: a disabled child filling the host
// window in preview mode, or a borderless top-most window over one monitor in full-screen mode.
// The first window of a run loads the settings and, full-screen, creates the other monitors'
// windows, which it owns.
class TFormMain {
 public:
  // Creates the window (parameters depend on PreviewParent), then runs FormCreate.
  explicit TFormMain(HWND owner = nullptr);
  // Hides the window, runs FormDestroy, then destroys the timer and the window.
  ~TFormMain();
  TFormMain(const TFormMain&) = delete;
  TFormMain& operator=(const TFormMain&) = delete;

  HWND Handle() const { return hwnd_; }
  TIxPainter* PainterObject() const { return Painter.get(); }
  const std::vector<std::unique_ptr<TFormMain>>& OtherForms() const { return Forms; }
  int32_t Index() const { return ObjectIndex; }

  // Tests replace the timer start to see how a refused timer is handled.
  using TimerStarter = UINT_PTR (*)(HWND, UINT_PTR id, UINT milliseconds);
  static void SetTimerStarter(TimerStarter starter);
  // Tests observe the order in which windows run FormDestroy.
  using DestroyObserver = void (*)(const TFormMain&);
  static void SetDestroyObserver(DestroyObserver observer);

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

  void FormCreate();
  void FormDestroy();
  void FormResize();
  LRESULT WMEraseBkgnd();
  void FormPaint();
  void Timer1Timer();
  void FormClick();
  void FormKeyDown();
  void FormMouseMove(int32_t X, int32_t Y);
  LRESULT WMSysCommand(WPARAM command, LPARAM lParam);
  void WMClose();
  void FormFocusChange(bool gained);
  void FitToParent();
  void CreateMonitorForms();
  void ShowOnTop();
  void PlaceOn(int32_t left, int32_t top, int32_t width, int32_t height);

  HWND hwnd_ = nullptr;
  bool preview_ = false;
  bool created_ = false;   // FormCreate has run; sizes from then on re-render
  bool leftDown_ = false;  // a click is a left press and release inside the window
  bool timerRunning_ = false;
  bool cursorHidden_ = false;

  std::vector<std::unique_ptr<TFormMain>> Forms;
  std::wstring before_time;
  int32_t mouse_x = 0;
  int32_t mouse_y = 0;
  int32_t timer_count1 = 0;
  bool EnableInput = false;
  int32_t ObjectIndex = 0;
  std::unique_ptr<TIxPainter> Painter;
  std::unique_ptr<TIxSettings> settings_;  // owned by the first window only
};
