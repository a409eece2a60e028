#include "app/gdi_win.h"

namespace {
int g_live = 0;
}

namespace gdi_count {
int Live() { return g_live; }
void Created() { ++g_live; }
void Deleted() { --g_live; }
}  // namespace gdi_count
