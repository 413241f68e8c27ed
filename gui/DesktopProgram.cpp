#include "gui/DesktopProgram.h"

#include "platform/detectcache/CacheFolder.h"
#include "platform/journal/JournalFolder.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include "gui/dialogs/ResultDialogWidget.h"

namespace trawlscope {

namespace {

constexpr int kPrepareFontsDelayMs = 200;
// The batch tool, another build, keeps a file of its own.
constexpr char kPageCacheName[] = "codepages";

}  // namespace

void SetUpApplication() {
  QApplication::setApplicationName(QStringLiteral("Trawlscope"));
  QApplication::setApplicationVersion(QStringLiteral(TRAWLSCOPE_VERSION));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/trawlscope.png")));
}

DesktopProgram::DesktopProgram(const std::string& settingsPath)
    : profile_(settingsPath),
      settings_(profile_),
      window_(settings_),
      chooser_(&window_),
      dialog_(window_, settings_, chooser_, runThread_, CurrentUndoJournalFolder()) {
  window_.SetLogic(&dialog_);
  dialog_.KeepDetectedPagesIn({CurrentCacheFolder(), kPageCacheName});
  dialog_.OnInitDialog();
  // Once the main dialog is up, while the user types the first search.
  QTimer::singleShot(kPrepareFontsDelayMs, [] {
    ResultDialogWidget::PrepareFonts();
    // The wait cursor's image is looked up in the cursor theme the first time it is shown.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
  });
}

}  // namespace trawlscope
