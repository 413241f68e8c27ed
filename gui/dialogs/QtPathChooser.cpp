#include "gui/dialogs/QtPathChooser.h"

#include <QCoreApplication>
#include <QFileDialog>

#include <utility>

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

// Each type is named by what it writes; the first is the one chosen unless the user picks another.
std::optional<std::u16string> QtPathChooser::ChooseOutputFile() {
  QFileDialog dialog(owner_, QCoreApplication::translate("QtPathChooser", "Output"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  const std::pair<QString, ExportFormat> types[] = {
      {QCoreApplication::translate("QtPathChooser", "UTF-8 CSV with full paths and a header (*.csv)"), ExportFormat::Csv},
      {QCoreApplication::translate("QtPathChooser", "UTF-16 tab-separated, file names only (*.tsv *.dat *.txt)"),
       ExportFormat::Tabbed},
  };
  QStringList filters;
  for (const auto& type : types) filters << type.first;
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(QStringLiteral("csv"));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, first = filters.front()](const QString& filter) {
    dialog.setDefaultSuffix(filter == first ? QStringLiteral("csv") : QStringLiteral("tsv"));
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  format_ = ExportFormat::Csv;
  for (const auto& type : types)
    if (dialog.selectedNameFilter() == type.first) format_ = type.second;
  return FromQString(dialog.selectedFiles().front());
}

}  // namespace trawlscope
