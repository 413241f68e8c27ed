#pragma once
// The file and folder choosers, behind a seam so that tests can answer them.
#include <optional>
#include <string>
#include <vector>

#include "results/HitExport.h"

namespace trawlscope {

struct FolderChoice {
  bool chosen = false;  // false when the user cancelled
  std::u16string path;  // empty when the choice has no file-system path
};

// UI thread only.
class IPathChooser {
 public:
  virtual ~IPathChooser() = default;
  // "Select file(s)": existing files, several allowed; nothing when cancelled.
  virtual std::optional<std::vector<std::u16string>> ChooseFiles(const std::u16string& startFolder) = 0;
  // "Select folder".
  virtual FolderChoice ChooseFolder(const std::u16string& startFolder) = 0;
  // The save dialog for the output file; nothing when cancelled.
  virtual std::optional<std::u16string> ChooseOutputFile() = 0;
  // The type the user picked in the last save dialog: the UTF-8 CSV with
  // full paths unless another was picked.
  virtual ExportFormat ChosenOutputFormat() const { return ExportFormat::Csv; }
};

}  // namespace trawlscope
