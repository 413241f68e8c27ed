#include "gui/list/KwicListView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <algorithm>
#include <iterator>
#include <set>

#include "app/ReadAsCandidates.h"
#include "app/SettingsKeys.h"
#include "gui/list/ColumnShare.h"
#include "platform/desktop/FolderOpener.h"
#include "platform/files/NativePath.h"
#include "gui/QtText.h"
#include "results/HitText.h"

namespace trawlscope {
namespace {

constexpr int kLineColumn = static_cast<int>(ResultColumn::Line);
constexpr int kCodePageColumn = static_cast<int>(ResultColumn::CodePage);
constexpr int kFolderColumn = static_cast<int>(ResultColumn::Folder);
// The columns the header's menu shows and hides, and where each says whether it is shown.
struct HideableColumn {
  int column;
  const char16_t* key;
};
constexpr HideableColumn kHideableColumns[] = {{kCodePageColumn, settings::kShowCodePage},
                                               {kFolderColumn, settings::kShowFolder}};
// Digits a line number shows whole in the Line column's first width.
const QString kWidestLineNumber = QStringLiteral("00000");

struct ColumnWidth {
  const char16_t* key;
  int defaultWidth;  // 0: computed from the font
};
const ColumnWidth kStoredWidths[] = {{settings::kBeforeText, settings::kDefaultBeforeTextWidth},
                                     {settings::kAfterText, settings::kDefaultAfterTextWidth},
                                     {settings::kFilename, settings::kDefaultFilenameWidth},
                                     {settings::kLine, 0},
                                     {settings::kCodePageColumn, 0},
                                     {settings::kFolderColumn, 0}};
constexpr int kStoredColumns = static_cast<int>(std::size(kStoredWidths));

// Names measured for the file name column's width: the longest few stand for
// all, so that a list of a hundred thousand files is not measured name by name.
constexpr size_t kNamesMeasured = 8;

// How wide a name is likely drawn, in narrow characters: an East Asian one counts twice.
size_t DrawnLength(std::u16string_view name) {
  constexpr char16_t kFirstWide = 0x1100;
  return name.size() + std::count_if(name.begin(), name.end(), [](char16_t c) { return c >= kFirstWide; });
}

bool IsHomeOrEnd(const QEvent* event) {
  if (event == nullptr || event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Home || key == Qt::Key_End;
}

}  // namespace

KwicListView::KwicListView(RowTable& rows, SettingsStore& settings, QWidget* parent)
    : UniformRowsView(parent), rows_(rows), settings_(settings), model_(new KwicModel(rows, this)),
      delegate_(new KwicDelegate(*model_, this)),
      arranger_([this](std::function<void()> work) { QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection); }) {
  folderOpener = [](const std::string& folder) { return OpenFolderInFileManager(folder); };
  readAsCandidates = [](const std::u16string& path, CodePage current) { return ReadAsCandidates(path, current); };
  otherCodePage = [this](CodePage current) { return AskOtherCodePage(current); };
  messageSink = [this](const QString& text) {
    QMessageBox::information(this, QApplication::applicationName(), text);
  };
  FitRowsToFont();
  setModel(model_);
  setItemDelegate(delegate_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->setMinimumSectionSize(0);
  horizontalHeader()->setSortIndicatorShown(true);
  horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);  // discovery order: no column
  horizontalHeader()->resizeSection(0, 0);
  for (int i = 0; i < kStoredColumns; ++i) {
    const int fallback = kStoredWidths[i].defaultWidth > 0 ? kStoredWidths[i].defaultWidth
                         : i + 1 == kLineColumn                ? DefaultLineWidth()
                         : i + 1 == kFolderColumn              ? DefaultFolderWidth()
                                                               : DefaultCodePageWidth();
    horizontalHeader()->resizeSection(i + 1, settings_.ReadInt(settings::kResultDialog, kStoredWidths[i].key, fallback));
  }
  for (const HideableColumn& hideable : kHideableColumns)
    horizontalHeader()->setSectionHidden(hideable.column,
                                         settings_.ReadInt(settings::kResultDialog, hideable.key, 1) == 0);
  // The folder stands before the file's name, as in a path.
  horizontalHeader()->moveSection(horizontalHeader()->visualIndex(kFolderColumn),
                                  horizontalHeader()->visualIndex(static_cast<int>(ResultColumn::FileName)));
  horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(horizontalHeader(), &QHeaderView::customContextMenuRequested, this,
          [this](const QPoint& at) { MakeHeaderMenu()->popup(horizontalHeader()->mapToGlobal(at)); });
  KeepProportions();
  horizontalHeader()->viewport()->installEventFilter(this);
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] { dragging_ = true; });
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) { HeaderClicked(column); });
  connect(this, &QAbstractItemView::doubleClicked, this, [this] { emit OpenRequested(SelectedRows()); });
}

KwicListView::~KwicListView() {
  arranger_.Cancel();
  SaveColumnWidths();
}

void KwicListView::HeaderClicked(int column) {
  // The header flips its arrow by itself; the arrangement asked for is the truth.
  const auto showSort = [this] { ShowSortIndicator(Pending()); };
  // A second click on the column being sorted cancels its sort.
  const RowArrangement& making = arranger_.Making();
  const RowArrangement& now = rows_.Arrangement();
  if (arranger_.Busy() && making.sortColumn == column &&
      (making.sortColumn != now.sortColumn || making.descending != now.descending)) {
    StopArranging();
    showSort();
    return;
  }
  const RowArrangement wanted = rows_.Clicked(column, Pending());
  if (wanted != Pending()) Arrange(wanted);
  showSort();
}

RowArrangement KwicListView::Pending() const {
  return arranger_.Busy() ? arranger_.Making() : rows_.Arrangement();
}

void KwicListView::Arrange(const RowArrangement& wanted) {
  if (rows_.Hits() == nullptr) return;
  viewport()->setCursor(Qt::BusyCursor);
  arranger_.Start(*rows_.Hits(), rows_, wanted,
                  [this](const RowArrangement& arrangement, ArrangedRows rows) { ShowArranged(arrangement, std::move(rows)); });
  emit ArrangingChanged(true);
}

void KwicListView::CancelArranging() {
  StopArranging();
  arranger_.WaitForStopped();
}

void KwicListView::StopArranging() {
  if (!arranger_.Busy()) return;
  arranger_.Stop();
  viewport()->unsetCursor();
  ShowSortIndicator(rows_.Arrangement());
  emit ArrangingChanged(false);
}

void KwicListView::ShowSortIndicator(const RowArrangement& arrangement) {
  horizontalHeader()->setSortIndicator(arrangement.sortColumn,
                                       arrangement.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void KwicListView::ShowArranged(const RowArrangement& arrangement, ArrangedRows rows) {
  // A sort given up for this one may still be reading the rows.
  arranger_.WaitForStopped();
  const bool sameRows = arrangement.filter == rows_.Arrangement().filter;
  if (sameRows) {
    rows_.Apply(arrangement, std::move(rows));
    model_->RowsReordered();
  } else {
    // Other rows: the selection would name rows that are not there.
    model_->ResetRows([&] { rows_.Apply(arrangement, std::move(rows)); });
  }
  ShowSortIndicator(rows_.Arrangement());
  viewport()->unsetCursor();
  viewport()->update();
  emit ArrangingChanged(false);
}

// The two contexts and the file name share the list's width in the
// proportions they have (as the user last dragged them); the line stays as
// it is. Widened, a list once kept its columns and showed empty room. A
// narrow window never squeezes the name below its title while the contexts
// have room to give.
void KwicListView::ShareWidth() {
  QHeaderView* header = horizontalHeader();
  int room = viewport()->width() - header->sectionSize(kLineColumn);
  for (const HideableColumn& hideable : kHideableColumns)
    if (!header->isSectionHidden(hideable.column)) room -= header->sectionSize(hideable.column);
  // The contexts may shrink to anything; a name cut to 「ァイル名」 may not,
  // and while the contexts keep half the room, no name is cut at all: with
  // room to spare, "pack.zip//man3/CPU_SET.3" read "pack.…SET.3".
  std::array<int, kSharedColumns.size()> floors{};
  floors.back() = std::max(TitleWidth(kSharedColumns.back()), std::min(WholeNameWidth(), room / 2));
  const std::optional<std::array<int, kSharedColumns.size()>> widths = ShareRoom(room, proportions_, floors);
  if (!widths) return;
  const bool wasDragging = dragging_;
  for (size_t i = 0; i < kSharedColumns.size(); ++i) header->resizeSection(kSharedColumns[i], (*widths)[i]);
  dragging_ = wasDragging;  // not the user's drag
}

int KwicListView::WholeNameWidth() {
  const HitList* hits = rows_.Hits();
  if (hits == nullptr) return 0;
  if (wholeName_.measuredHits == hits->Count() && wholeName_.font == font()) return wholeName_.width;
  std::vector<const std::u16string*> longest;
  const auto longer = [](const std::u16string* a, const std::u16string* b) { return DrawnLength(*a) > DrawnLength(*b); };
  for (const HitFile* file : hits->Files()) {
    if (longest.size() == kNamesMeasured && !longer(&file->fileName, longest.back())) continue;
    if (longest.size() == kNamesMeasured) longest.pop_back();
    longest.insert(std::upper_bound(longest.begin(), longest.end(), &file->fileName, longer), &file->fileName);
  }
  int width = 0;
  for (const std::u16string* name : longest) width = std::max(width, CellWidth(ToQString(DisplayPath(*name))));
  wholeName_ = {hits->Count(), font(), width};
  return width;
}

void KwicListView::KeepProportions() {
  for (size_t i = 0; i < kSharedColumns.size(); ++i) proportions_[i] = horizontalHeader()->sectionSize(kSharedColumns[i]);
}

void KwicListView::resizeEvent(QResizeEvent* event) {
  UniformRowsView::resizeEvent(event);
  ShareWidth();
}

// The shared columns are stored in the proportions the user gave them, not
// as a long name's floor widened them: stored widened, the name's share grew
// from one list to the next and squeezed the contexts.
void KwicListView::SaveColumnWidths() {
  if (dragging_) KeepProportions();  // a drag the mouse has not yet ended is the user's all the same
  std::vector<std::pair<std::u16string_view, int>> widths;
  for (int i = 0; i < kStoredColumns; ++i) {
    // A hidden section's size reads 0: the width it will come back with is kept.
    if (horizontalHeader()->isSectionHidden(i + 1)) continue;
    int width = horizontalHeader()->sectionSize(i + 1);
    for (size_t shared = 0; shared < kSharedColumns.size(); ++shared)
      if (kSharedColumns[shared] == i + 1) width = proportions_[shared];
    widths.emplace_back(kStoredWidths[i].key, width);
  }
  for (const HideableColumn& hideable : kHideableColumns)
    widths.emplace_back(hideable.key, horizontalHeader()->isSectionHidden(hideable.column) ? 0 : 1);
  settings_.WriteInts(settings::kResultDialog, widths);
}

int KwicListView::TitleWidth(int column) const {
  // The style's measure of the header section takes its margins and a sort arrow into account.
  QHeaderView* header = horizontalHeader();
  QStyleOptionHeader option;
  option.initFrom(header);
  option.section = column;
  option.text = model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
  option.sortIndicator = QStyleOptionHeader::SortDown;
  return header->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header).width();
}

int KwicListView::CellWidth(const QString& text) const {
  return QFontMetrics(font()).horizontalAdvance(text) +
         2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
}

int KwicListView::DefaultLineWidth() const { return std::max(TitleWidth(kLineColumn), CellWidth(kWidestLineNumber)); }

int KwicListView::DefaultCodePageWidth() const {
  // A typical name after the indent and a warning sign.
  const QFontMetrics metrics(font());
  int name = 0;
  for (const char* typical : {"Shift_JIS (932)", "EUC-JP (51932)", "UTF-16LE (1200)"})
    name = std::max(name, metrics.horizontalAdvance(QString::fromLatin1(typical)));
  return std::max(TitleWidth(kCodePageColumn), name + 2 * metrics.height());
}

int KwicListView::DefaultFolderWidth() const { return CellWidth(QStringLiteral("drivers/net/ethernet")); }

QMenu* KwicListView::MakeHeaderMenu() {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  for (const HideableColumn& hideable : kHideableColumns) {
    const int column = hideable.column;
    QAction* item = menu->addAction(model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
    item->setCheckable(true);
    item->setChecked(!horizontalHeader()->isSectionHidden(column));
    connect(item, &QAction::toggled, this, [this, column](bool shown) {
      horizontalHeader()->setSectionHidden(column, !shown);
      ShareWidth();
      KeepProportions();
      SaveColumnWidths();
    });
  }
  return menu;
}

void KwicListView::FitRowsToFont() {
  SetRowHeight(KwicRowHeight(font()));
}

void KwicListView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    delegate_->FontChanged();
    FitRowsToFont();
  }
  UniformRowsView::changeEvent(event);
}

// Read off the selection's ranges: Qt's list of selected rows makes an
// index of 24 bytes a row, a gigabyte for all of a long list.
std::vector<std::pair<int, int>> KwicListView::SelectedSpans() const {
  std::vector<std::pair<int, int>> spans;
  const int lastColumn = model_->columnCount() - 1;
  for (const QItemSelectionRange& range : selectionModel()->selection()) {
    if (range.left() == 0 && range.right() == lastColumn) {
      spans.emplace_back(range.top(), range.bottom());
      continue;
    }
    for (int row = range.top(); row <= range.bottom(); ++row)
      if (selectionModel()->isRowSelected(row, QModelIndex())) spans.emplace_back(row, row);
  }
  std::sort(spans.begin(), spans.end());
  std::vector<std::pair<int, int>> merged;
  for (const auto& span : spans) {
    if (!merged.empty() && span.first <= merged.back().second + 1)
      merged.back().second = std::max(merged.back().second, span.second);
    else
      merged.push_back(span);
  }
  return merged;
}

std::vector<size_t> KwicListView::SelectedRows() const {
  std::vector<size_t> selected;
  for (const auto& [first, last] : SelectedSpans())
    for (int row = first; row <= last; ++row) selected.push_back(static_cast<size_t>(row));
  return selected;
}

HitPicks KwicListView::SelectedHits() const {
  if (rows_.Hits() == nullptr) return {};
  std::vector<std::uint32_t> places;
  for (const auto& [first, last] : SelectedSpans())
    for (int row = first; row <= last; ++row) places.push_back(rows_.HitIndex(static_cast<size_t>(row)));
  return HitPicks(*rows_.Hits(), std::move(places));
}

void KwicListView::CopySelectedRows() const {
  const HitPicks hits = SelectedHits();
  if (!hits.empty()) QApplication::clipboard()->setText(ToQString(CopiedRowsText(hits)));
}

void KwicListView::CopySelectedPaths() const {
  const HitPicks hits = SelectedHits();
  if (!hits.empty()) QApplication::clipboard()->setText(ToQString(CopiedPathsText(hits)));
}

void KwicListView::OpenSelectedFolders() const {
  std::set<std::u16string> folders;
  for (const Hit& hit : SelectedHits()) folders.insert(hit.Folder());
  QString notShown;
  for (const auto& folder : folders)
    if (!folderOpener(ToNativePath(folder))) notShown += QLatin1Char('\n') + ToQString(DisplayPath(folder));
  if (!notShown.isEmpty()) messageSink(tr("No file manager could show the folder:") + notShown);
}

QMenu* KwicListView::MakeContextMenu() {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  const bool any = selectionModel()->hasSelection();
  const auto add = [&](const QString& text, auto action) {
    QAction* item = menu->addAction(text);
    item->setEnabled(any);
    connect(item, &QAction::triggered, this, action);
    return item;
  };
  add(tr("&Open"), [this] { emit OpenRequested(SelectedRows()); });
  add(tr("&Copy"), [this] { CopySelectedRows(); })->setShortcut(QKeySequence::Copy);
  add(tr("Copy full &path"), [this] { CopySelectedPaths(); });
  add(tr("Open containing &folder"), [this] { OpenSelectedFolders(); });
  menu->addSeparator();
  AddReadAsMenu(*menu);
  // Also on an empty list: a page that found nothing in a file leaves it no row.
  QAction* forget = menu->addAction(tr("&Forget the pages chosen"));
  forget->setEnabled(pagesChosen_ > 0);
  connect(forget, &QAction::triggered, this, [this] { emit ForgetPagesRequested(); });
  menu->addSeparator();
  add(tr("&Replace selected..."), [this] { emit ReplaceSelectedRequested(); });
  return menu;
}

void KwicListView::AddReadAsMenu(QMenu& menu) {
  QMenu* readAs = menu.addMenu(tr("Read this file &as"));
  const QModelIndex current = currentIndex();
  const bool one = current.isValid() && selectionModel()->isRowSelected(current.row(), QModelIndex());
  readAs->setEnabled(one);
  if (!one) return;
  const HitFile& file = rows_.Row(static_cast<size_t>(current.row())).File();
  const std::u16string path = file.folder + file.fileName;
  const auto choose = [this, path](CodePage page) { emit ReadFileAsRequested(path, page); };
  // Read when the menu opens, not at every right click.
  connect(readAs, &QMenu::aboutToShow, readAs, [this, readAs, path, page = file.codePage, choose] {
    if (!readAs->isEmpty()) return;
    for (const CodePage candidate : readAsCandidates(path, page))
      connect(readAs->addAction(ToQString(FromNativePath(CodePageDisplayName(candidate)))), &QAction::triggered,
              readAs, [choose, candidate] { choose(candidate); });
    readAs->addSeparator();
    connect(readAs->addAction(tr("&Other...")), &QAction::triggered, readAs, [this, page, choose] {
      if (const CodePage other = otherCodePage(page); other != codepage::kNone) choose(other);
    });
  });
}

CodePage KwicListView::AskOtherCodePage(CodePage current) {
  QStringList names;
  const std::vector<CodePage> pages = ChoosableCodePages();
  int at = 0;
  for (size_t i = 0; i < pages.size(); ++i) {
    names << ToQString(FromNativePath(CodePageDisplayName(pages[i])));
    if (pages[i] == current) at = static_cast<int>(i);
  }
  bool chosen = false;
  const QString name = QInputDialog::getItem(this, QApplication::applicationName(),
                                             tr("Read the file in this code page:"), names, at, false, &chosen);
  const auto index = names.indexOf(name);
  return chosen && index >= 0 ? pages[static_cast<size_t>(index)] : codepage::kNone;
}

void KwicListView::contextMenuEvent(QContextMenuEvent* event) {
  // A right click on a row outside the selection selects that row first, as file managers do.
  const QModelIndex under = indexAt(viewport()->mapFromGlobal(event->globalPos()));
  if (under.isValid() && !selectionModel()->isRowSelected(under.row(), QModelIndex())) selectRow(under.row());
  MakeContextMenu()->popup(event->globalPos());
}

void KwicListView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    CopySelectedRows();
    event->accept();
    return;
  }
  UniformRowsView::keyPressEvent(event);
}

// Home and End go to the first and last row, with or without Ctrl: the
// table's own would go to the first and last column, which only scrolls.
QModelIndex KwicListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  if ((action == MoveHome || action == MoveEnd) && model_->rowCount() > 0) {
    const int column = currentIndex().isValid() ? currentIndex().column() : static_cast<int>(ResultColumn::LeftContext);
    return model_->index(action == MoveHome ? 0 : model_->rowCount() - 1, column);
  }
  return UniformRowsView::moveCursor(action, modifiers);
}

// Ctrl+Home and Ctrl+End select the row they reach, as Home and End do;
// Shift still extends the selection.
QItemSelectionModel::SelectionFlags KwicListView::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
  if (IsHomeOrEnd(event) && !(static_cast<const QKeyEvent*>(event)->modifiers() & Qt::ShiftModifier))
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
  return UniformRowsView::selectionCommand(index, event);
}

// The end of a column drag is the release of the mouse over the header.
bool KwicListView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonRelease &&
      dragging_) {
    dragging_ = false;
    KeepProportions();
    SaveColumnWidths();
  }
  return UniformRowsView::eventFilter(watched, event);
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
  UniformRowsView::paintEvent(event);
}

}  // namespace trawlscope
