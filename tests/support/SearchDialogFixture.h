#pragma once
// The main dialog's logic over fake windows, real files in a temporary folder
// and a run thread that runs every job at once on the test's own thread.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/SearchDialog.h"
#include "app/SettingsKeys.h"
#include "platform/ini/ProfileFile.h"
#include "search/listing/PathHelpers.h"
#include "support/FakeDialogViews.h"
#include "support/FakePathChooser.h"
#include "support/SynchronousRunThread.h"
#include "support/TempTree.h"

namespace trawlscope::test {

using Events = std::vector<std::string>;
using Texts = std::vector<std::u16string>;

constexpr ControlId kInputs[] = {ControlId::SearchPath, ControlId::FileTypes,     ControlId::SearchFor,
                                 ControlId::XPath,      ControlId::Browse,        ControlId::Regex,
                                 ControlId::CaseSensitive, ControlId::Subfolders, ControlId::Search};

class SearchDialogTest : public testing::Test {
 protected:
  TempTree tree;
  IniProfileFile profile{tree.Path("trawlscope.ini")};
  SettingsStore settings{profile};
  FakeSearchDialogView view;
  FakePathChooser chooser;
  SynchronousRunThread runThread;
  SearchDialog dialog{view, settings, chooser, runThread, tree.Path("undo")};

  std::u16string Docs(std::string_view name = {}) const { return U16(tree.Path("docs/" + std::string(name))); }

  // Two text files with three hits between them, and a log file the types leave out.
  void WriteDocs() {
    tree.Write("docs/a.txt", "one needle two\nneedle\n");
    tree.Write("docs/b.txt", "the needle\n");
    tree.Write("docs/c.log", "needle\n");
  }
  void Ask(const std::u16string& searchFor, const std::u16string& searchPath) {
    view.ComboOf(ControlId::SearchPath).edit = searchPath;
    view.ComboOf(ControlId::FileTypes).edit = u"*.txt";
    view.ComboOf(ControlId::SearchFor).edit = searchFor;
  }
  void SearchDocs(const std::u16string& searchFor = u"needle") {
    Ask(searchFor, Docs());
    dialog.OnCommand(Command::Search);
  }
  void Fill(ControlId id, const std::u16string& edit, const Texts& items) {
    view.ComboOf(id).edit = edit;
    view.ComboOf(id).items = items;
  }
  bool InputsAre(bool enabled) const {
    for (const ControlId id : kInputs) {
      const auto it = view.enabled.find(id);
      if (it == view.enabled.end() || it->second != enabled) return false;
    }
    return true;
  }
  // Everything on this thread, and a tick of the progress clock as each file's turn comes.
  void SetUp() override { At(u"", nullptr); }

  // Runs `action` as the turn of file `name` comes, after that tick.
  void At(std::u16string_view name, std::function<void()> action) {
    dialog.State().workers = kSearchAfterListing;
    dialog.State().beforeFile = [this, name = std::u16string(name), action](size_t, const std::u16string& path) {
      dialog.OnTimer();
      if (action && FileNameOf(path) == name) action();
    };
  }
  std::u16string Stored(std::u16string_view section, std::u16string_view key) const {
    return settings.ReadString(section, key);
  }
};

}  // namespace trawlscope::test
