#include "app/main_routine_win.h"

#include <windows.h>

#include "app/application_win.h"
#include "app/command_line.h"
#include "app/time_text_win.h"
#include "saver/saver_run_win.h"
#include "setup/setup_run_win.h"

std::wstring CommandArg;
int32_t PreviewParent = 0;

int MainRoutine(std::wstring_view commandLine) {
  CreateApplicationWindow();
  RefreshTimeSeparator();

  const ModeSelection selection = SelectMode(SplitArguments(commandLine));
  CommandArg = selection.CommandArg;
  PreviewParent = selection.PreviewParent;
  if (selection.Mode == RunMode::Setup) {
    RunSetup();
  } else {
    RunSaver();
  }
  return 0;
}
