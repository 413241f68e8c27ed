#include "platform/qt/KwicListView.h"

#include <QHeaderView>

#include <algorithm>
#include <QMouseEvent>
#include <QPainter>

#include "app/SettingsKeys.h"
#include "platform/NativePath.h"
#include "platform/qt/QtText.h"

namespace trawlscope {
namespace {

const QColor kSelected(195, 220, 252);
const QColor kOddRow(239, 242, 255);
const QColor kEvenRow(255, 255, 255);
const QColor kKeyword(255, 0, 0);

const char16_t* const kColumnTitles[] = {u"", u"Left Context", u"Keyword and Right Context",
                                         u"Filename", u"Line"};

struct ColumnWidth {
  const char16_t* key;
  int defaultWidth;
};
const ColumnWidth kStoredWidths[] = {{settings::kBeforeText, settings::kDefaultBeforeTextWidth},
                                     {settings::kAfterText, settings::kDefaultAfterTextWidth},
                                     {settings::kFilename, settings::kDefaultFilenameWidth},
                                     {settings::kLine, settings::kDefaultLineWidth}};

// Single line, every character literal (an "&" stays an "&"), cut with an
// ellipsis. Right-aligned text is cut at its start: the left context keeps the
// characters next to the keyword, which are the ones that matter.
void DrawCellText(QPainter* painter, const QRect& rect, const QString& text, Qt::Alignment alignment) {
  const Qt::TextElideMode elide = (alignment & Qt::AlignRight) ? Qt::ElideLeft : Qt::ElideRight;
  const QString shown = painter->fontMetrics().elidedText(text, elide, rect.width());
  painter->drawText(rect, static_cast<int>(alignment | Qt::AlignTop | Qt::TextSingleLine), shown);
}

}  // namespace

QColor RowBackground(int row, bool selected) {
  if (selected) return kSelected;
  return row % 2 == 1 ? kOddRow : kEvenRow;
}

int KwicModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.RowCount());
}

int KwicModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kResultColumns; }

// The cells are painted by the delegate straight from the hits; the model
// hands out no text of its own.
QVariant KwicModel::data(const QModelIndex& index, int role) const {
  if (role == Qt::DisplayRole && index.column() == 0) return index.row();
  return {};
}

QVariant KwicModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kResultColumns)
    return {};
  return ToQString(kColumnTitles[section]);
}

void KwicModel::RowsReordered() {
  emit layoutAboutToBeChanged();
  emit layoutChanged();
}

CharacterWidths::CharacterWidths(const QFont& font) : metrics_(font), widths_(0x10000, 0) {}

int CharacterWidths::Width(char16_t unit) {
  int& width = widths_[unit];
  // A unit measured as 0 wide is measured again at every use.
  if (width == 0) width = metrics_.horizontalAdvance(QChar(unit));
  return width;
}

int CharacterWidths::TextWidth(std::u16string_view text) {
  int sum = 0;
  for (const char16_t unit : text) sum += Width(unit);
  return sum;
}

KwicDelegate::KwicDelegate(const RowTable& rows, QObject* parent) : QStyledItemDelegate(parent), rows_(rows) {}

QSize KwicDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
  return QSize(0, kKwicRowHeight);
}

KwicDelegate::KeywordLayout KwicDelegate::LayOutKeyword(const QRect& cell, size_t row) const {
  const int width = widths_ ? widths_->TextWidth(rows_.Row(row).keyword) : 0;
  return {cell.left(), width, cell.left() + width};
}

void KwicDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const size_t row = static_cast<size_t>(index.row());
  if (row >= rows_.RowCount()) return;
  const Hit& hit = rows_.Row(row);
  painter->save();
  painter->setFont(option.font);
  if (!widths_) widths_ = std::make_unique<CharacterWidths>(option.font);
  painter->fillRect(option.rect, RowBackground(index.row(), option.state & QStyle::State_Selected));
  const QColor text = option.palette.color(QPalette::WindowText);
  painter->setPen(text);
  const QRect cell = option.rect.adjusted(0, 1, 0, 0);
  painter->setClipRect(option.rect);
  switch (static_cast<ResultColumn>(index.column())) {
    case ResultColumn::Hidden:
    case ResultColumn::LeftContext:
      DrawCellText(painter, cell, ToQString(hit.leftContext),
                   index.column() == 1 ? Qt::AlignRight : Qt::AlignLeft);
      break;
    case ResultColumn::KeywordAndRight: {
      painter->setPen(kKeyword);
      DrawCellText(painter, cell, ToQString(hit.keyword), Qt::AlignLeft);
      painter->setPen(text);
      const KeywordLayout layout = LayOutKeyword(cell, row);
      QRect right = cell;
      right.setLeft(layout.rightContextLeft);
      if (right.width() > 0) DrawCellText(painter, right, ToQString(hit.rightContext), Qt::AlignLeft);
      break;
    }
    case ResultColumn::FileName: DrawCellText(painter, cell, ToQString(DisplayPath(hit.fileName)), Qt::AlignLeft); break;
    case ResultColumn::Line: DrawCellText(painter, cell, QString::number(hit.line), Qt::AlignRight); break;
  }
  painter->restore();
}

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

// Each visible row's background first reaches beyond the last column, as the
// row's first cell always did; the cells are painted over it.
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
