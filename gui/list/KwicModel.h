#pragma once
// The result list's table model: it knows only the row count and the column
// titles. Cells are painted by KwicDelegate straight from the hits, so no
// model or widget holds a copy of any hit's text.
#include <QAbstractTableModel>

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

 private:
  // The full path, the line and the code page the file was read in, one a line.
  static QString ToolTip(const Hit& hit);
  RowTable& rows_;
};

}  // namespace trawlscope
