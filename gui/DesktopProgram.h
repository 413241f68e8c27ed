#pragma once
// The desktop program's parts wired together: the settings file, the run
// thread, the main window, its choosers and the logic behind it. The
// program's entry point and the screenshot tool build the same thing.
#include <string>

#include "app/SearchDialog.h"
#include "app/SettingsStore.h"
#include "platform/ini/ProfileFile.h"
#include "gui/dialogs/QtPathChooser.h"
#include "gui/QtRunThread.h"
#include "gui/dialogs/SearchDialogWidget.h"

namespace trawlscope {

// The application's name and icon; once, after the QApplication exists.
void SetUpApplication();

class DesktopProgram {
 public:
  // Reads the settings at `settingsPath` into the main window, not yet shown.
  explicit DesktopProgram(const std::string& settingsPath);

  SearchDialogWidget& Window() { return window_; }
  SearchDialog& Logic() { return dialog_; }

 private:
  IniProfileFile profile_;
  SettingsStore settings_;
  QtRunThread runThread_;
  SearchDialogWidget window_;
  QtPathChooser chooser_;
  SearchDialog dialog_;
};

}  // namespace trawlscope
