#pragma once
// File and folder choosers that answer what the test set, and remember where
// they were asked to open.
#include <optional>
#include <string>
#include <vector>

#include "app/PathChooser.h"

namespace trawlscope::test {

class FakePathChooser final : public IPathChooser {
 public:
  std::optional<std::vector<std::u16string>> files;  // nothing: cancelled
  FolderChoice folder;                               // not chosen: cancelled
  std::optional<std::u16string> output;              // nothing: cancelled
  std::vector<std::u16string> startFolders;
  int outputAsked = 0;

  std::optional<std::vector<std::u16string>> ChooseFiles(const std::u16string& startFolder) override {
    startFolders.push_back(startFolder);
    return files;
  }
  FolderChoice ChooseFolder(const std::u16string& startFolder) override {
    startFolders.push_back(startFolder);
    return folder;
  }
  std::optional<std::u16string> ChooseOutputFile() override {
    ++outputAsked;
    return output;
  }
  ExportFormat format = ExportFormat::Csv;  // the type picked
  ExportFormat ChosenOutputFormat() const override { return format; }
};

}  // namespace trawlscope::test
