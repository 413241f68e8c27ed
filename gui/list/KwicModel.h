#pragma once
// The result list's table model over the row table, and the one source of
// what a row says: KwicDelegate paints from its roles, screen readers and the
// view's type-ahead search read the same. No model or widget holds a copy of
// any hit's text; the model makes a cell's text only when asked for it.
// GUI thread.
#include <QAbstractTableModel>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "results/RowTable.h"
#include "search/review/ReplacePreview.h"

namespace trawlscope {

// What KwicDelegate paints from, beside DisplayRole; the same in every column of a row.
enum KwicRole : int {
  LeftContextRole = Qt::UserRole + 1,  // QString
  KeywordRole,                         // QString
  RightContextRole,                    // QString
  ReplacementRole,       // QString while a replace is previewed, what takes the keyword's place; null otherwise
  ReplacementKnownRole,  // bool: false when the replacement depends on text the hit does not keep
  CodePageRefusedRole,   // bool while previewing: the replace leaves the file as it is (compressed, or
                         // its page cannot write the replacement)
  CodePageNameRole,      // QString: the page's name, without the words DisplayRole adds
  UndecodableRole,       // bool: the page could not read some of the file's bytes
};

class KwicModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit KwicModel(RowTable& rows, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void RowsReordered();
  // The folders the search named: the Folder column shows paths below them.
  void SetSearchedFolders(std::vector<std::u16string> folders) { searchedFolders_ = std::move(folders); }
  // `remake` changes which rows there are; views forget their selection.
  void ResetRows(const std::function<void()>& remake);
  // The Code page column's text: the page's name, and whether it failed to read the file.
  static QString CodePageCell(const HitFile& file);
  static QString UndecodableTip();
  // While `preview` is set, rows say what a replace with `replacement` puts
  // in each keyword's place. Only rows that are asked are worked out. Null
  // ends the preview.
  void SetPreview(const ReplacePreview* preview, std::u16string replacement);
  bool Previewing() const { return preview_ != nullptr; }

 private:
  // The full path, the line and the code page the file was read in, one a
  // line, and a word when that page could not read some of its bytes.
  QString ToolTip(const Hit& hit, size_t row) const;
  QVariant CellText(const Hit& hit, ResultColumn column, int row) const;
  const std::optional<ReplacePreview::Outcome>& PreviewOf(size_t row) const;
  bool CannotHold(const HitFile& file) const;
  void ForgetPreviews() const { previewRow_.reset(); }

  RowTable& rows_;
  std::vector<std::u16string> searchedFolders_;
  const ReplacePreview* preview_ = nullptr;
  std::u16string replacement_;
  // The last row's preview: its roles are asked one after another, and
  // with an expression working one out is a match over the contexts.
  mutable std::optional<size_t> previewRow_;
  mutable std::optional<ReplacePreview::Outcome> previewOutcome_;
  mutable std::map<CodePage, bool> cannotHold_;  // for replacement_, by page
};

}  // namespace trawlscope
