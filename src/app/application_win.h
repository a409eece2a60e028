#pragma once
#include <windows.h>

#include <exception>
#include <string>
#include <utility>

#include "app/errors.h"

// The hidden, zero-sized top-level window that owns every top-level window of the program and
// gives it its one taskbar entry while any of them is visible.
HWND CreateApplicationWindow();
HWND ApplicationWindow();
const std::wstring& ApplicationTitle();

// Shows the application window while one of the windows it owns is visible, hides it otherwise.
// A window that is going away passes itself as leaving, so it no longer counts.
void SyncApplicationWindow(HWND leaving = nullptr);

// The error box: error icon, the application title as caption, the message with its full stop.
void ShowErrorBox(const std::wstring& message);

// Runs a handler so that no exception crosses the Win32 frame that called it: an error is shown
// in the error box and the caller gets the fallback result; the program carries on.
template <class Handler, class Result>
Result GuardedCall(Handler&& handler, Result fallback) noexcept {
  try {
    return std::forward<Handler>(handler)();
  } catch (const TalvaneError& e) {
    ShowErrorBox(e.Message());
  } catch (const std::bad_alloc&) {
    ShowErrorBox(L"メモリが不足しています");
  } catch (const std::exception& e) {
    const std::string what = e.what();
    ShowErrorBox(std::wstring(what.begin(), what.end()));
  } catch (...) {
    ShowErrorBox(L"不明なエラーが発生しました");
  }
  return fallback;
}

// Application icon "MAINICON", for the classes of the program's windows.
HICON ApplicationIcon();
