// Takes screenshots of the real dialogs for a person to look at: run it
// under a display (tools/screenshots.sh uses Xvfb). Usage:
//   trawlscope-screenshots OUTPUT_DIR SEARCH_FOLDER
// The settings go to a temporary file, so nothing of the user's is touched.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>

#include "platform/desktop/ProcessLocale.h"
#include "gui/DesktopProgram.h"
#include "gui/list/KwicListView.h"
#include "gui/dialogs/ProgressDialogWidget.h"
#include "gui/dialogs/ResultDialogWidget.h"

using namespace trawlscope;

namespace {

void Settle(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < milliseconds) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(10);
  }
}

void SaveScreen(const QString& path) {
  QGuiApplication::primaryScreen()->grabWindow(0).save(path);
}

}  // namespace

int main(int argc, char** argv) {
  SetProcessLocale();
  QApplication application(argc, argv);
  SetUpApplication();
  if (argc != 3) return 2;
  const QString out = QString::fromLocal8Bit(argv[1]);
  const QString folder = QString::fromLocal8Bit(argv[2]);
  QDir().mkpath(out);
  QTemporaryDir settingsDir;
  DesktopProgram program((settingsDir.path() + QStringLiteral("/trawlscope.ini")).toStdString());
  SearchDialogWidget& window = program.Window();
  SearchDialog& dialog = program.Logic();
  window.messageSink = [](const QString&, const QString&) {};
  window.errorSink = [](const QString&) {};  // a folder given that is not there stops here, unasked
  window.move(40, 40);
  window.show();

  window.ComboBox(ControlId::SearchPath)->setEditText(folder);
  window.ComboBox(ControlId::FileTypes)->setEditText(QStringLiteral("*.*"));
  window.ComboBox(ControlId::XPath)->setEditText(QStringLiteral("//para"));
  window.ComboBox(ControlId::SearchFor)->setEditText(QStringLiteral("関数"));
  window.CheckBox(ControlId::Subfolders)->setChecked(true);
  Settle(500);
  window.grab().save(out + QStringLiteral("/main-idle.png"));

  dialog.OnCommand(Command::Browse);
  Settle(500);
  SaveScreen(out + QStringLiteral("/main-browse-menu.png"));
  window.BrowseMenu()->hide();

  dialog.OnCommand(Command::Search);
  Settle(1200);
  if (window.ProgressWidget() != nullptr) {
    SaveScreen(out + QStringLiteral("/progress-screen.png"));
    window.ProgressWidget()->grab().save(out + QStringLiteral("/progress.png"));
  }
  while (dialog.IsRunning()) Settle(100);
  Settle(800);
  if (ResultDialogWidget* results = window.ResultWidget()) {
    results->resize(900, 420);
    results->List()->selectRow(2);
    Settle(300);
    results->grab().save(out + QStringLiteral("/result.png"));
    SaveScreen(out + QStringLiteral("/result-screen.png"));
    emit results->List()->horizontalHeader()->sectionClicked(3);  // by file name
    Settle(300);
    results->grab().save(out + QStringLiteral("/result-sorted.png"));
    results->resize(420, 260);
    Settle(300);
    results->grab().save(out + QStringLiteral("/result-narrow.png"));
  }
  return 0;
}
