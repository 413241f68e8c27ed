// The desktop program: sets up the process, wires the main dialog's logic to
// its window and runs the event loop until the dialog is closed.
#include <QApplication>

#include <cstdio>

#include "app/CommandLine.h"
#include "app/SettingsLocation.h"
#include "platform/desktop/ProcessLocale.h"
#include "platform/files/NativePath.h"
#include "gui/DesktopProgram.h"
#include "gui/catalogue/QtTextCatalogue.h"

int main(int argc, char** argv) {
  using namespace trawlscope;
  switch (ReadCommandLine(argc, argv)) {
    case StartRequest::Help: std::fputs(kDesktopHelp, stdout); return 0;
    case StartRequest::Version: std::printf("trawlscope %s\n", TRAWLSCOPE_VERSION); return 0;
    case StartRequest::Run: break;
  }
  SetProcessLocale();  // once, before any other thread exists
  QApplication application(argc, argv);
  InstallUserLanguage();  // from the environment, not from the locale set above
  SetUpApplication();
  DesktopProgram program(SettingsFilePath(CurrentSettingsEnvironment()));
  // QApplication has taken its own options out of argv by now.
  std::vector<std::u16string> named;
  for (const std::string& path : PathArguments(argc, argv)) named.push_back(FromNativePath(path));
  program.Logic().TakeDroppedFiles(named);
  program.Window().show();
  return QApplication::exec();
}
