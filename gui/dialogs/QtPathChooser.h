#pragma once
// The file, folder and output choosers as Qt's own dialogs.
#include "app/PathChooser.h"

class QWidget;

namespace trawlscope {

class QtPathChooser final : public IPathChooser {
 public:
  explicit QtPathChooser(QWidget* owner) : owner_(owner) {}
  std::optional<std::vector<std::u16string>> ChooseFiles(const std::u16string& startFolder) override;
  FolderChoice ChooseFolder(const std::u16string& startFolder) override;
  std::optional<std::u16string> ChooseOutputFile() override;
  ExportFormat ChosenOutputFormat() const override { return format_; }

 private:
  QWidget* owner_;
  ExportFormat format_ = ExportFormat::Csv;
};

}  // namespace trawlscope
