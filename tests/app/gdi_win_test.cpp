#include <gtest/gtest.h>

#include "app/gdi_win.h"

#include <utility>

namespace {

COLORREF PixelAfterFill(HDC dc) {
  RECT r = {0, 0, 4, 4};
  HBRUSH current = static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH));
  FillRect(dc, &r, current);
  return GetPixel(dc, 1, 1);
}

TEST(GdiOwners, CountWhatTheyOwnAndDeleteIt) {
  const int before = gdi_count::Live();
  {
    DeleteDcOnExit dc(CreateCompatibleDC(nullptr));
    DeleteObjectOnExit<HBRUSH> brush(CreateSolidBrush(RGB(1, 2, 3)));
    EXPECT_EQ(gdi_count::Live(), before + 2);
    DeleteObjectOnExit<HBRUSH> moved(std::move(brush));
    EXPECT_FALSE(brush);
    EXPECT_EQ(gdi_count::Live(), before + 2);
    moved.reset(CreateSolidBrush(RGB(4, 5, 6)));
    EXPECT_EQ(gdi_count::Live(), before + 2);
    DeleteObjectOnExit<HFONT> none(nullptr);
    EXPECT_EQ(gdi_count::Live(), before + 2);
  }
  EXPECT_EQ(gdi_count::Live(), before);
}

TEST(GdiOwners, RestoreObjectOnExitRestoresIntoTheSameDc) {
  DeleteDcOnExit dcA(CreateCompatibleDC(nullptr));
  DeleteDcOnExit dcB(CreateCompatibleDC(nullptr));
  DeleteObjectOnExit<HBITMAP> bitmapA(CreateBitmap(4, 4, 1, 32, nullptr));
  DeleteObjectOnExit<HBITMAP> bitmapB(CreateBitmap(4, 4, 1, 32, nullptr));
  RestoreObjectOnExit keepA(dcA.get(), bitmapA.get());
  RestoreObjectOnExit keepB(dcB.get(), bitmapB.get());
  DeleteObjectOnExit<HBRUSH> red(CreateSolidBrush(RGB(255, 0, 0)));
  const HGDIOBJ originalA = GetCurrentObject(dcA.get(), OBJ_BRUSH);
  const HGDIOBJ originalB = GetCurrentObject(dcB.get(), OBJ_BRUSH);
  {
    RestoreObjectOnExit selected(dcA.get(), red.get());
    EXPECT_EQ(GetCurrentObject(dcA.get(), OBJ_BRUSH), red.get());
    EXPECT_EQ(PixelAfterFill(dcA.get()), RGB(255, 0, 0));
  }
  EXPECT_EQ(GetCurrentObject(dcA.get(), OBJ_BRUSH), originalA);
  EXPECT_EQ(GetCurrentObject(dcB.get(), OBJ_BRUSH), originalB);
}

TEST(GdiOwners, ReleaseDcOnExitGivesTheWindowDcBack) {
  const int before = gdi_count::Live();
  {
    ReleaseDcOnExit screen(nullptr);
    ASSERT_TRUE(screen);
    EXPECT_GT(GetDeviceCaps(screen.get(), HORZRES), 0);
    EXPECT_EQ(gdi_count::Live(), before + 1);
  }
  EXPECT_EQ(gdi_count::Live(), before);
}

}  // namespace
