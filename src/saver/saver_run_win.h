#pragma once

// The saver run: the first saver window as main window, the message loop until a terminate
// request, then the windows are destroyed.
void RunSaver();
