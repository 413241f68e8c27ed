#include "platform/qt/DesktopProgram.h"

#include "platform/journal/JournalFolder.h"

#include <QApplication>
#include <QIcon>

namespace trawlscope {

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
  dialog_.OnInitDialog();
}

}  // namespace trawlscope
