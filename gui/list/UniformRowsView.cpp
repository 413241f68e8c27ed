#include "gui/list/UniformRowsView.h"

#include <QAccessible>
#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>
#include <utility>

#include "gui/list/RowsAccessible.h"

namespace trawlscope {

UniformRowsView::UniformRowsView(QWidget* parent)
    : QAbstractItemView(parent), header_(new QHeaderView(Qt::Horizontal, this)) {
  InstallRowsAccessibility();
  header_->setSectionsClickable(true);
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, header_, &QHeaderView::setOffset);
  // As QTableView does, the scroll ranges follow a column's new size once
  // the event in hand is done: a drag is not fought by the scroll bar it shows.
  const auto relayout = [this] {
    viewport()->update();
    if (std::exchange(relayoutPending_, true)) return;
    QMetaObject::invokeMethod(this, [this] {
      relayoutPending_ = false;
      updateGeometries();
    }, Qt::QueuedConnection);
  };
  connect(header_, &QHeaderView::sectionResized, this, relayout);
  connect(header_, &QHeaderView::sectionMoved, this, relayout);
  connect(header_, &QHeaderView::sectionCountChanged, this, relayout);
  connect(header_, &QHeaderView::geometriesChanged, this, relayout);
}

// The header, a child, goes after this part of the view, and its last
// signals must not reach a view that is only a QWidget by then.
UniformRowsView::~UniformRowsView() { disconnect(header_, nullptr, this, nullptr); }

void UniformRowsView::setModel(QAbstractItemModel* model) {
  if (this->model() != nullptr) disconnect(this->model(), nullptr, this, nullptr);
  QAbstractItemView::setModel(model);
  header_->setModel(model);
  if (model == nullptr) return;
  // Rows going shrink the scroll range; QAbstractItemView has no slot for it.
  connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { updateGeometries(); });
  updateGeometries();
}

void UniformRowsView::SetRowHeight(int height) {
  rowHeight_ = std::max(1, height);
  updateGeometries();
  viewport()->update();
}

int UniformRowsView::FirstRow() const { return verticalScrollBar()->value(); }

int UniformRowsView::RowCount() const { return model() ? model()->rowCount(rootIndex()) : 0; }

int UniformRowsView::WholeRowsInView() const { return std::max(1, viewport()->height() / rowHeight_); }

qint64 UniformRowsView::RowUnder(int y) const {
  // Rounded down, so that a point above the view falls in the row before the first.
  const qint64 rowsDown = y >= 0 ? y / rowHeight_ : -((-qint64{y} + rowHeight_ - 1) / rowHeight_);
  return FirstRow() + rowsDown;
}

int UniformRowsView::rowAt(int y) const {
  const qint64 row = RowUnder(y);
  return y < 0 || row >= RowCount() ? -1 : static_cast<int>(row);
}

int UniformRowsView::rowViewportPosition(int row) const {
  const qint64 y = (qint64{row} - FirstRow()) * rowHeight_;
  return static_cast<int>(std::clamp<qint64>(y, INT_MIN / 2, INT_MAX / 2));
}

int UniformRowsView::columnViewportPosition(int column) const { return header_->sectionViewportPosition(column); }

int UniformRowsView::columnWidth(int column) const { return header_->sectionSize(column); }

void UniformRowsView::selectRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  const QModelIndex current = currentIndex();
  const int column = current.isValid() ? current.column() : std::max(0, header_->logicalIndexAt(0));
  selectionModel()->setCurrentIndex(model()->index(row, column, rootIndex()),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QRect UniformRowsView::visualRect(const QModelIndex& index) const {
  if (!index.isValid() || index.parent() != rootIndex() || header_->isSectionHidden(index.column())) return {};
  return QRect(columnViewportPosition(index.column()), rowViewportPosition(index.row()),
               header_->sectionSize(index.column()), rowHeight_);
}

void UniformRowsView::scrollTo(const QModelIndex& index, ScrollHint hint) {
  if (!index.isValid()) return;
  const int row = index.row(), first = FirstRow(), rows = WholeRowsInView();
  int top = first;
  switch (hint) {
    case PositionAtTop: top = row; break;
    case PositionAtBottom: top = row - rows + 1; break;
    case PositionAtCenter: top = row - rows / 2; break;
    case EnsureVisible:
      if (row < first) top = row;
      else if (row >= first + rows) top = row - rows + 1;
      break;
  }
  verticalScrollBar()->setValue(top);
  if (header_->isSectionHidden(index.column())) return;
  const int left = header_->sectionPosition(index.column()), width = header_->sectionSize(index.column());
  const int offset = horizontalScrollBar()->value(), room = viewport()->width();
  if (left < offset) horizontalScrollBar()->setValue(left);
  else if (left + width > offset + room) horizontalScrollBar()->setValue(std::min(left, left + width - room));
}

QModelIndex UniformRowsView::indexAt(const QPoint& point) const {
  const int row = rowAt(point.y());
  const int column = header_->logicalIndexAt(point.x());
  if (row < 0 || column < 0) return {};
  return model()->index(row, column, rootIndex());
}

void UniformRowsView::reset() {
  QAbstractItemView::reset();
  updateGeometries();
}

void UniformRowsView::rowsInserted(const QModelIndex& parent, int start, int end) {
  QAbstractItemView::rowsInserted(parent, start, end);
  updateGeometries();
}

// QAbstractItemView's own would unite the cells' rectangles one by one, all
// fifty million rows of them when a sort changes every row.
void UniformRowsView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) {
  if (topLeft == bottomRight) {
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
    return;
  }
  viewport()->update();
}

int UniformRowsView::NeighbourColumn(int column, int step) const {
  for (int visual = header_->visualIndex(column) + step; visual >= 0 && visual < header_->count(); visual += step) {
    const int logical = header_->logicalIndex(visual);
    if (!header_->isSectionHidden(logical) && header_->sectionSize(logical) > 0) return logical;
  }
  return column;
}

QModelIndex UniformRowsView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
  const int rows = RowCount();
  if (rows == 0 || model()->columnCount(rootIndex()) == 0) return {};
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return model()->index(0, std::max(0, NeighbourColumn(-1, 1)), rootIndex());
  qint64 row = current.row();
  int column = current.column();
  switch (action) {
    case MoveUp: case MovePrevious: --row; break;
    case MoveDown: case MoveNext: ++row; break;
    case MovePageUp: row -= WholeRowsInView(); break;
    case MovePageDown: row += WholeRowsInView(); break;
    case MoveHome: row = 0; break;
    case MoveEnd: row = rows - 1; break;
    case MoveLeft: column = NeighbourColumn(column, -1); break;
    case MoveRight: column = NeighbourColumn(column, 1); break;
  }
  return model()->index(static_cast<int>(std::clamp<qint64>(row, 0, rows - 1)), column, rootIndex());
}

int UniformRowsView::horizontalOffset() const { return horizontalScrollBar()->value(); }

int UniformRowsView::verticalOffset() const {
  // Only a drag that selects reads it, for the rows it has scrolled since the press.
  return static_cast<int>(std::clamp<qint64>((qint64{FirstRow()} - offsetAnchor_) * rowHeight_, INT_MIN / 2, INT_MAX / 2));
}

void UniformRowsView::mousePressEvent(QMouseEvent* event) {
  offsetAnchor_ = FirstRow();
  QAbstractItemView::mousePressEvent(event);
}

bool UniformRowsView::isIndexHidden(const QModelIndex& index) const {
  return header_->isSectionHidden(index.column());
}

void UniformRowsView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
  const int rows = RowCount(), columns = model() ? model()->columnCount(rootIndex()) : 0;
  if (rows == 0 || columns == 0) return;
  const QRect area = rect.normalized();
  const auto clampRow = [rows](qint64 row) { return static_cast<int>(std::clamp<qint64>(row, 0, rows - 1)); };
  const int top = clampRow(RowUnder(area.top())), bottom = clampRow(RowUnder(area.bottom()));
  int left = header_->logicalIndexAt(area.left()), right = header_->logicalIndexAt(area.right());
  if (selectionBehavior() == SelectRows || left < 0 || right < 0) {
    left = 0;
    right = columns - 1;
  } else if (header_->visualIndex(left) > header_->visualIndex(right)) {
    std::swap(left, right);
  }
  selectionModel()->select(QItemSelection(model()->index(top, left, rootIndex()), model()->index(bottom, right, rootIndex())),
                           command);
}

QRegion UniformRowsView::visualRegionForSelection(const QItemSelection& selection) const {
  const int first = FirstRow(), last = first + viewport()->height() / rowHeight_ + 1;
  QRegion region;
  for (const QItemSelectionRange& range : selection) {
    const int top = std::max(range.top(), first), bottom = std::min(range.bottom(), last);
    if (top <= bottom)
      region += QRect(0, rowViewportPosition(top), viewport()->width(), (bottom - top + 1) * rowHeight_);
  }
  return region;
}

void UniformRowsView::paintEvent(QPaintEvent* event) {
  const int rows = RowCount();
  if (rows == 0) return;
  QPainter painter(viewport());
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  const QStyle::State base = option.state & ~(QStyle::State_Selected | QStyle::State_HasFocus);
  const QModelIndex current = currentIndex();
  const QRect area = event->rect();
  const int first = std::max(qint64{0}, RowUnder(area.top()));
  const int last = static_cast<int>(std::min<qint64>(rows - 1, RowUnder(area.bottom())));
  for (int row = first; row <= last; ++row) {
    const int y = rowViewportPosition(row);
    for (int visual = 0; visual < header_->count(); ++visual) {
      const int column = header_->logicalIndex(visual);
      const int x = header_->sectionViewportPosition(column), width = header_->sectionSize(column);
      if (header_->isSectionHidden(column) || width <= 0 || x + width <= area.left() || x > area.right()) continue;
      const QModelIndex index = model()->index(row, column, rootIndex());
      option.rect = QRect(x, y, width, rowHeight_);
      option.state = base;
      if (selectionModel()->isSelected(index)) option.state |= QStyle::State_Selected;
      if (index == current && hasFocus()) option.state |= QStyle::State_HasFocus;
      itemDelegateForIndex(index)->paint(&painter, option, index);
    }
  }
}

void UniformRowsView::updateGeometries() {
  if (layingOut_) return;
  layingOut_ = true;
  const int headerHeight = header_->isHidden() ? 0 : header_->sizeHint().height();
  setViewportMargins(0, headerHeight, 0, 0);
  const QRect room = viewport()->geometry();
  header_->setGeometry(room.left(), room.top() - headerHeight, room.width(), headerHeight);

  const int rows = RowCount(), inView = WholeRowsInView();
  verticalScrollBar()->setSingleStep(1);
  verticalScrollBar()->setPageStep(inView);
  verticalScrollBar()->setRange(0, std::max(0, rows - inView));
  horizontalScrollBar()->setSingleStep(std::max(1, rowHeight_));
  horizontalScrollBar()->setPageStep(room.width());
  horizontalScrollBar()->setRange(0, std::max(0, header_->length() - room.width()));
  layingOut_ = false;
  QAbstractItemView::updateGeometries();
}

void UniformRowsView::scrollContentsBy(int dx, int dy) {
  // The rows are few enough to paint again; a row's step is not the pixel step scroll() takes.
  if (dx != 0 || dy != 0) viewport()->update();
}

void UniformRowsView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  if (QAccessible::isActive() && current.isValid()) {
    if (const int child = AccessibleChildIndex(*this, current); child >= 0) {
      QAccessibleEvent event(this, QAccessible::Focus);
      event.setChild(child);
      QAccessible::updateAccessibility(&event);
    }
  }
  QAbstractItemView::currentChanged(current, previous);
}

// One event for the whole change, not one a cell: Ctrl+A selects every row of fifty million.
void UniformRowsView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
  if (QAccessible::isActive()) {
    QAccessibleEvent event(this, QAccessible::SelectionWithin);
    QAccessible::updateAccessibility(&event);
  }
  QAbstractItemView::selectionChanged(selected, deselected);
}

}  // namespace trawlscope
