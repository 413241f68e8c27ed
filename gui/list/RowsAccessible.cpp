#include "gui/list/RowsAccessible.h"

#include <QAccessibleObject>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPointer>
#include <QHash>
#include <QWidget>
#include <algorithm>
#include <climits>

#include "gui/list/UniformRowsView.h"

namespace trawlscope {
namespace {

// The model's columns the header shows, in the order it shows them; a
// section of no width (the list's first) is not shown either.
QList<int> ShownColumns(const UniformRowsView& view) {
  QList<int> columns;
  const QHeaderView* header = view.horizontalHeader();
  for (int visual = 0; visual < header->count(); ++visual) {
    const int logical = header->logicalIndex(visual);
    if (!header->isSectionHidden(logical) && header->sectionSize(logical) > 0) columns.push_back(logical);
  }
  return columns;
}

int RowCountOf(const UniformRowsView& view) { return view.model() ? view.model()->rowCount(view.rootIndex()) : 0; }

class RowsTable;

// A cell, or with row -1 a column's header cell. It holds only where it is.
class RowsCell final : public QAccessibleInterface, public QAccessibleTableCellInterface {
 public:
  RowsCell(UniformRowsView* view, int row, int column, int logicalColumn)
      : view_(view), row_(row), column_(column), logical_(logicalColumn) {}

  bool isValid() const override {
    return view_ && view_->model() && row_ < RowCountOf(*view_) && logical_ < view_->model()->columnCount();
  }
  QObject* object() const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(view_); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  void setText(QAccessible::Text, const QString&) override {}
  QAccessible::Role role() const override { return Header() ? QAccessible::ColumnHeader : QAccessible::Cell; }

  QString text(QAccessible::Text kind) const override {
    if (!isValid()) return {};
    const QAbstractItemModel& model = *view_->model();
    if (Header()) return kind == QAccessible::Name ? model.headerData(logical_, Qt::Horizontal).toString() : QString();
    const QModelIndex index = Index();
    if (kind == QAccessible::Description) return model.data(index, Qt::AccessibleDescriptionRole).toString();
    if (kind != QAccessible::Name) return {};
    const QVariant said = model.data(index, Qt::AccessibleTextRole);
    return said.isValid() ? said.toString() : model.data(index, Qt::DisplayRole).toString();
  }

  QRect rect() const override {
    if (!isValid()) return {};
    if (Header()) {
      const QHeaderView* header = view_->horizontalHeader();
      const QRect section(header->sectionViewportPosition(logical_), 0, header->sectionSize(logical_), header->height());
      return QRect(header->viewport()->mapToGlobal(section.topLeft()), section.size());
    }
    const QRect cell = view_->visualRect(Index());
    return QRect(view_->viewport()->mapToGlobal(cell.topLeft()), cell.size());
  }

  QAccessible::State state() const override {
    QAccessible::State state;
    if (!isValid()) return state;
    const QRect cell = Header() ? QRect() : view_->visualRect(Index());
    if (!Header() && !view_->viewport()->rect().intersects(cell)) {
      state.invisible = true;
      state.offscreen = true;
    }
    if (Header()) return state;
    state.selectable = true;
    state.focusable = true;
    state.multiSelectable = view_->selectionMode() == QAbstractItemView::ExtendedSelection;
    state.extSelectable = state.multiSelectable;
    state.selected = isSelected();
    state.focused = view_->hasFocus() && view_->currentIndex().row() == row_;
    return state;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::TableCellInterface && !Header() ? static_cast<QAccessibleTableCellInterface*>(this)
                                                                  : nullptr;
  }

  bool isSelected() const override {
    return view_ && view_->selectionModel() && view_->selectionModel()->isRowSelected(row_, view_->rootIndex());
  }
  QList<QAccessibleInterface*> columnHeaderCells() const override;
  QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
  int columnIndex() const override { return column_; }
  int rowIndex() const override { return row_; }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override { return QAccessible::queryAccessibleInterface(view_); }
  int LogicalColumn() const { return logical_; }

 private:
  bool Header() const { return row_ < 0; }
  QModelIndex Index() const { return view_->model()->index(row_, logical_, view_->rootIndex()); }

  QPointer<UniformRowsView> view_;
  int row_;
  int column_;   // among the shown columns
  int logical_;  // the model's
};

class RowsTable final : public QAccessibleObject, public QAccessibleTableInterface {
 public:
  explicit RowsTable(UniformRowsView* view) : QAccessibleObject(view) {}
  ~RowsTable() override { Forget(); }

  UniformRowsView* View() const { return static_cast<UniformRowsView*>(object()); }

  // The cells are made here, and registered, so that QAccessible can name them by id.
  QAccessibleInterface* Cell(int row, int column) const {
    const QList<int> columns = ShownColumns(*View());
    if (row < -1 || row >= RowCountOf(*View()) || column < 0 || column >= columns.size()) return nullptr;
    const qint64 key = (qint64(row) + 1) * columns.size() + column;
    if (const auto known = cells_.constFind(key); known != cells_.constEnd()) {
      auto* cell = static_cast<RowsCell*>(QAccessible::accessibleInterface(known.value()));
      if (cell && cell->LogicalColumn() == columns.at(column)) return cell;
      Forget();  // columns were hidden, shown or moved since
    }
    if (cells_.size() >= kCachedAccessibleCells) Forget();
    auto* cell = new RowsCell(View(), row, column, columns.at(column));
    cells_.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
  }
  int CachedCells() const { return int(cells_.size()); }

  // QAccessibleInterface
  QAccessible::Role role() const override { return QAccessible::Table; }
  QAccessible::State state() const override {
    QAccessible::State state;
    const UniformRowsView* view = View();
    state.focusable = true;
    state.focused = view->hasFocus();
    state.invisible = !view->isVisible();
    return state;
  }
  QString text(QAccessible::Text kind) const override {
    return kind == QAccessible::Description ? View()->accessibleDescription() : View()->accessibleName();
  }
  QRect rect() const override {
    const UniformRowsView* view = View();
    return view->isVisible() ? QRect(view->mapToGlobal(QPoint(0, 0)), view->size()) : QRect();
  }
  QAccessibleInterface* parent() const override {
    return View()->parentWidget() ? QAccessible::queryAccessibleInterface(View()->parentWidget()) : nullptr;
  }
  int childCount() const override {
    const qint64 count = (qint64(RowCountOf(*View())) + 1) * ShownColumns(*View()).size();
    return int(std::min<qint64>(count, INT_MAX));
  }
  QAccessibleInterface* child(int index) const override {
    const int columns = int(ShownColumns(*View()).size());
    if (index < 0 || columns == 0) return nullptr;
    return Cell(index / columns - 1, index % columns);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr || child->parent() == nullptr || child->parent()->object() != View()) return -1;
    const auto* cell = static_cast<const RowsCell*>(child);
    if (child->role() == QAccessible::ColumnHeader) return const_cast<RowsCell*>(cell)->columnIndex();
    const int columns = int(ShownColumns(*View()).size());
    return (cell->rowIndex() + 1) * columns + cell->columnIndex();
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const UniformRowsView* view = View();
    const QModelIndex index = view->indexAt(view->viewport()->mapFromGlobal(QPoint(x, y)));
    return index.isValid() ? child(AccessibleChildIndex(*view, index)) : nullptr;
  }
  QAccessibleInterface* focusChild() const override {
    const QModelIndex current = View()->currentIndex();
    return current.isValid() ? child(AccessibleChildIndex(*View(), current)) : nullptr;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::TableInterface ? static_cast<QAccessibleTableInterface*>(this) : nullptr;
  }

  // QAccessibleTableInterface
  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override { return row < 0 ? nullptr : Cell(row, column); }
  int selectedCellCount() const override {
    return int(std::min<qint64>(qint64(selectedRowCount()) * columnCount(), INT_MAX));
  }
  // The rows of a selection of millions are not handed out one by one: its
  // count says what it is, and its first rows stand for it.
  QList<QAccessibleInterface*> selectedCells() const override {
    const QList<int> rows = SelectedRows(kCachedAccessibleCells / 2 / std::max(1, columnCount()));
    if (cells_.size() + rows.size() * columnCount() > kCachedAccessibleCells) Forget();
    QList<QAccessibleInterface*> cells;
    for (const int row : rows)
      for (int column = 0; column < columnCount(); ++column) cells.push_back(Cell(row, column));
    return cells;
  }
  QString columnDescription(int column) const override {
    const QList<int> columns = ShownColumns(*View());
    return column >= 0 && column < columns.size() && View()->model()
               ? View()->model()->headerData(columns.at(column), Qt::Horizontal).toString()
               : QString();
  }
  QString rowDescription(int) const override { return {}; }
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override {
    qint64 rows = 0;
    if (const QItemSelectionModel* selection = View()->selectionModel())
      for (const QItemSelectionRange& range : selection->selection()) rows += range.height();
    return int(std::min<qint64>(rows, INT_MAX));
  }
  int columnCount() const override { return int(ShownColumns(*View()).size()); }
  int rowCount() const override { return RowCountOf(*View()); }
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override { return SelectedRows(kCachedAccessibleCells); }
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int row) const override {
    return View()->selectionModel() && View()->selectionModel()->isRowSelected(row, View()->rootIndex());
  }
  bool selectRow(int row) override {
    if (row < 0 || row >= rowCount() || !View()->selectionModel()) return false;
    const QModelIndex index = View()->model()->index(row, 0, View()->rootIndex());
    View()->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    return true;
  }
  bool unselectRow(int row) override {
    if (row < 0 || row >= rowCount() || !View()->selectionModel()) return false;
    const QModelIndex index = View()->model()->index(row, 0, View()->rootIndex());
    View()->selectionModel()->select(index, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    return true;
  }
  bool selectColumn(int) override { return false; }
  bool unselectColumn(int) override { return false; }
  // Rows come and go, and a cell names a row by its number: every change drops them all.
  void modelChange(QAccessibleTableModelChangeEvent*) override { Forget(); }

 private:
  // The selected rows in order, at most `most` of them.
  QList<int> SelectedRows(int most) const {
    QList<int> rows;
    const QItemSelectionModel* selection = View()->selectionModel();
    if (selection == nullptr) return rows;
    QItemSelection ranges = selection->selection();
    std::sort(ranges.begin(), ranges.end(), [](const QItemSelectionRange& a, const QItemSelectionRange& b) {
      return a.top() < b.top();
    });
    for (const QItemSelectionRange& range : ranges)
      for (int row = range.top(); row <= range.bottom() && rows.size() < most; ++row)
        if (rows.isEmpty() || rows.back() < row) rows.push_back(row);
    return rows;
  }
  void Forget() const {
    for (const QAccessible::Id id : std::as_const(cells_)) QAccessible::deleteAccessibleInterface(id);
    cells_.clear();
  }

  mutable QHash<qint64, QAccessible::Id> cells_;
};

QList<QAccessibleInterface*> RowsCell::columnHeaderCells() const {
  auto* table = static_cast<RowsTable*>(QAccessible::queryAccessibleInterface(view_));
  QAccessibleInterface* header = table ? table->Cell(-1, column_) : nullptr;
  return header ? QList<QAccessibleInterface*>{header} : QList<QAccessibleInterface*>{};
}

QAccessibleInterface* RowsFactory(const QString&, QObject* object) {
  auto* view = qobject_cast<UniformRowsView*>(object);
  return view ? new RowsTable(view) : nullptr;
}

}  // namespace

void InstallRowsAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(RowsFactory);
    return true;
  }();
  static_cast<void>(installed);
}

int AccessibleChildIndex(const UniformRowsView& view, const QModelIndex& index) {
  const QList<int> columns = ShownColumns(view);
  const qsizetype column = columns.indexOf(index.column());
  if (column < 0) return -1;
  return int(std::min<qint64>((qint64(index.row()) + 1) * columns.size() + column, INT_MAX));
}

}  // namespace trawlscope
