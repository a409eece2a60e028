// A preview whose host goes before the preview window can be made has nothing to show: that is
// the end of the run, not an error for a box that nobody would close.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <memory>

#include "app/application_win.h"
#include "app/main_routine_win.h"
#include "saver/form_main_win.h"

namespace {

TEST(PreviewHostGone, NoWindowAndNoError) {
  CreateApplicationWindow();
  FormCount = 0;
  HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 152, 112, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(host, nullptr);
  DestroyWindow(host);
  PreviewParent = static_cast<int32_t>(reinterpret_cast<intptr_t>(host));
  std::unique_ptr<TFormMain> form;
  EXPECT_NO_THROW(form = std::make_unique<TFormMain>());
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Handle(), nullptr);
  EXPECT_EQ(form->PainterObject(), nullptr) << "nothing was set up for a window that is not there";
  form.reset();
  PreviewParent = 0;
}

}  // namespace
