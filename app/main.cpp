// The desktop program: sets up the process, wires the main dialog's logic to
// its window and runs the event loop until the dialog is closed.
#include <QApplication>

#include "app/SearchDialog.h"
#include "app/SettingsLocation.h"
#include "app/SettingsStore.h"
#include "platform/ProcessLocale.h"
#include "platform/ProfileFile.h"
#include "platform/qt/QtPathChooser.h"
#include "platform/qt/QtRunThread.h"
#include "platform/qt/SearchDialogWidget.h"

int main(int argc, char** argv) {
  using namespace trawlscope;
  SetProcessLocale();  // once, before any other thread exists
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Trawlscope"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/trawlscope.png")));

  IniProfileFile profile(SettingsFilePath(CurrentSettingsEnvironment()));
  SettingsStore settings(profile);
  QtRunThread runThread;
  SearchDialogWidget window(settings);
  QtPathChooser chooser(&window);
  CSearchDialog dialog(window, settings, chooser, runThread);
  window.SetLogic(&dialog);
  dialog.OnInitDialog();
  window.show();
  return QApplication::exec();
}
