#pragma once

// The setup run: the setup dialog, modal and without owner, then the process ends.
void RunSetup();
