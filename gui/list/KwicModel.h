#pragma once
// The result list's table model over the row table. Cells are painted by
// KwicDelegate straight from the hits, so no model or widget holds a copy of
// any hit's text; the model makes a cell's text only when asked for it.
#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <vector>

#include "results/RowTable.h"

namespace trawlscope {

class KwicModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit KwicModel(RowTable& rows, QObject* parent = nullptr) : QAbstractTableModel(parent), rows_(rows) {}
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

 private:
  // The full path, the line and the code page the file was read in, one a
  // line, and a word when that page could not read some of its bytes.
  QString ToolTip(const Hit& hit, size_t row) const;
  QVariant CellText(const Hit& hit, ResultColumn column, int row) const;
  RowTable& rows_;
  std::vector<std::u16string> searchedFolders_;
};

}  // namespace trawlscope
