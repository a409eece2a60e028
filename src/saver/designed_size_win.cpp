#include "saver/designed_size_win.h"

#include "app/gdi_win.h"

SIZE DesignedClientSize() {
  ReleaseDcOnExit screen(nullptr);
  const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
  return {MulDiv(491, dpi, 96), MulDiv(395, dpi, 96)};
}
