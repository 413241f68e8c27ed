#pragma once
// A table whose rows share one height and which keeps nothing a row.
// QTableView's row header holds a record for every row, 8 bytes a row (400 MB
// at fifty million), and walks them all whenever the model is reset, which
// stalls the window; here a row's place is its number times the height.
// Columns are a QHeaderView's sections, as in QTableView; rows scroll one at
// a time, so the scroll bar's range stays a count of rows at any length.
#include <QAbstractItemView>

class QHeaderView;

namespace trawlscope {

class UniformRowsView : public QAbstractItemView {
  Q_OBJECT
 public:
  explicit UniformRowsView(QWidget* parent = nullptr);
  ~UniformRowsView() override;

  void setModel(QAbstractItemModel* model) override;
  QHeaderView* horizontalHeader() const { return header_; }
  void SetRowHeight(int height);
  int rowHeight(int /*row*/ = 0) const { return rowHeight_; }
  // The row at `y` in the viewport, or -1 where there is none.
  int rowAt(int y) const;
  int rowViewportPosition(int row) const;
  int columnViewportPosition(int column) const;
  int columnWidth(int column) const;
  // Makes `row` the current row and the whole selection.
  void selectRow(int row);

  QRect visualRect(const QModelIndex& index) const override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  QModelIndex indexAt(const QPoint& point) const override;
  void reset() override;

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  int horizontalOffset() const override;
  int verticalOffset() const override;
  bool isIndexHidden(const QModelIndex& index) const override;
  void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
  QRegion visualRegionForSelection(const QItemSelection& selection) const override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void updateGeometries() override;
  void scrollContentsBy(int dx, int dy) override;
  void rowsInserted(const QModelIndex& parent, int start, int end) override;
  void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                   const QList<int>& roles = QList<int>()) override;
  // A screen reader hears of the current cell and of the selection, as from QTableView.
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

 private:
  int FirstRow() const;
  int RowCount() const;
  // Rows wholly in view; at least one.
  int WholeRowsInView() const;
  // The row `y` falls in, counted from the first row in view; may be outside the list.
  qint64 RowUnder(int y) const;
  // The visible column `step` places left (negative) or right of `column`, in the header's order.
  int NeighbourColumn(int column, int step) const;

  QHeaderView* header_;
  int rowHeight_ = 18;
  // The row verticalOffset counts from: a press sets it, so that the pixels
  // a drag spans fit an int however far down the list it starts.
  int offsetAnchor_ = 0;
  bool layingOut_ = false;
  bool relayoutPending_ = false;  // the viewport's margins change inside updateGeometries
};

}  // namespace trawlscope
