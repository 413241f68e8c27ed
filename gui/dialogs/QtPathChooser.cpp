#include "gui/dialogs/QtPathChooser.h"

#include <QCoreApplication>
#include <QFileDialog>

#include "gui/QtText.h"

namespace trawlscope {

std::optional<std::vector<std::u16string>> QtPathChooser::ChooseFiles(const std::u16string& startFolder) {
  const QStringList files = QFileDialog::getOpenFileNames(owner_, QCoreApplication::translate("QtPathChooser", "Select file(s)"),
                                                          ToQString(startFolder));
  if (files.isEmpty()) return std::nullopt;
  std::vector<std::u16string> paths;
  for (const QString& file : files) paths.push_back(FromQString(file));
  return paths;
}

FolderChoice QtPathChooser::ChooseFolder(const std::u16string& startFolder) {
  const QString folder = QFileDialog::getExistingDirectory(owner_, QCoreApplication::translate("QtPathChooser", "Select folder"),
                                                           ToQString(startFolder));
  if (folder.isNull()) return {};
  return {true, FromQString(folder)};
}

std::optional<std::u16string> QtPathChooser::ChooseOutputFile() {
  QFileDialog dialog(owner_);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("csv"));
  dialog.selectFile(QStringLiteral("*.csv"));
  const QString csvWithHeader = QCoreApplication::translate("QtPathChooser", "UTF-8 CSV with a header (*.csv)");
  dialog.setNameFilters({QStringLiteral("CSV (*.csv *.tsv *.dat)"),
                         QCoreApplication::translate("QtPathChooser", "Text (*.txt)"), csvWithHeader,
                         QCoreApplication::translate("QtPathChooser", "All (*)")});
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  choseCsvWithHeader_ = dialog.selectedNameFilter() == csvWithHeader;
  return FromQString(dialog.selectedFiles().front());
}

}  // namespace trawlscope
