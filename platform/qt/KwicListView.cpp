#include "platform/qt/KwicListView.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "app/SettingsKeys.h"

namespace trawlscope {
namespace {

struct ColumnWidth {
  const char16_t* key;
  int defaultWidth;
};
const ColumnWidth kStoredWidths[] = {{settings::kBeforeText, settings::kDefaultBeforeTextWidth},
                                     {settings::kAfterText, settings::kDefaultAfterTextWidth},
                                     {settings::kFilename, settings::kDefaultFilenameWidth},
                                     {settings::kLine, settings::kDefaultLineWidth}};

}  // namespace

KwicListView::KwicListView(RowTable& rows, SettingsStore& settings, QWidget* parent)
    : QTableView(parent), rows_(rows), settings_(settings), model_(new KwicModel(rows, this)),
      delegate_(new KwicDelegate(rows, this)) {
  setModel(model_);
  setItemDelegate(delegate_);
  setShowGrid(false);
  setWordWrap(false);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(kKwicRowHeight);
  verticalHeader()->setMinimumSectionSize(kKwicRowHeight);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->setMinimumSectionSize(0);
  horizontalHeader()->resizeSection(0, 0);
  for (int i = 0; i < 4; ++i)
    horizontalHeader()->resizeSection(
        i + 1, settings_.ReadInt(settings::kResultDialog, kStoredWidths[i].key, kStoredWidths[i].defaultWidth));
  horizontalHeader()->viewport()->installEventFilter(this);
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] { dragging_ = true; });
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
    rows_.SortByColumn(column);
    model_->RowsReordered();
    viewport()->update();
  });
  connect(this, &QTableView::doubleClicked, this, [this] {
    std::vector<size_t> selected;
    for (const QModelIndex& index : selectionModel()->selectedRows()) selected.push_back(index.row());
    std::sort(selected.begin(), selected.end());
    emit OpenRequested(selected);
  });
}

KwicListView::~KwicListView() { SaveColumnWidths(); }

void KwicListView::SaveColumnWidths() {
  for (int i = 0; i < 4; ++i)
    settings_.WriteInt(settings::kResultDialog, kStoredWidths[i].key, horizontalHeader()->sectionSize(i + 1));
}

// The end of a column drag is the release of the mouse over the header.
bool KwicListView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonRelease &&
      dragging_) {
    dragging_ = false;
    SaveColumnWidths();
  }
  return QTableView::eventFilter(watched, event);
}

// Each visible row's background first reaches beyond the last column, so a
// selected row is marked across the whole list; the cells are painted over it.
void KwicListView::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(viewport());
    const int first = rowAt(0), last = rowAt(viewport()->height() - 1);
    const int end = last < 0 ? model_->rowCount() - 1 : last;
    for (int row = first < 0 ? 0 : first; first >= 0 && row <= end; ++row) {
      const bool selected = selectionModel()->isRowSelected(row, QModelIndex());
      painter.fillRect(QRect(0, rowViewportPosition(row), viewport()->width(), rowHeight(row)),
                       RowBackground(row, selected));
    }
  }
  QTableView::paintEvent(event);
}

}  // namespace trawlscope
