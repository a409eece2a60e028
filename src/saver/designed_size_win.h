#pragma once
#include <windows.h>

// The saver window's designed client size, 491 x 395 at 96 pixels per inch, at the screen's dpi:
// the size it is created at, before a run places it on its monitor or fits it to the preview's
// host.
SIZE DesignedClientSize();
