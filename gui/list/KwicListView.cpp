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
#include "platform/desktop/FolderOpener.h"
#include "platform/files/NativePath.h"
#include "gui/QtText.h"
#include "results/HitText.h"

namespace trawlscope {
namespace {

constexpr int kLineColumn = static_cast<int>(ResultColumn::Line);
constexpr int kCodePageColumn = static_cast<int>(ResultColumn::CodePage);
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
                                     {settings::kCodePageColumn, 0}};
constexpr int kStoredColumns = static_cast<int>(std::size(kStoredWidths));

bool IsHomeOrEnd(const QEvent* event) {
  if (event == nullptr || event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Home || key == Qt::Key_End;
}

}  // namespace

KwicListView::KwicListView(RowTable& rows, SettingsStore& settings, QWidget* parent)
    : QTableView(parent), rows_(rows), settings_(settings), model_(new KwicModel(rows, this)),
      delegate_(new KwicDelegate(rows, this)) {
  folderOpener = [](const std::string& folder) { return OpenFolderInFileManager(folder); };
  readAsCandidates = [](const std::u16string& path, CodePage current) { return ReadAsCandidates(path, current); };
  otherCodePage = [this](CodePage current) { return AskOtherCodePage(current); };
  messageSink = [this](const QString& text) {
    QMessageBox::information(this, QApplication::applicationName(), text);
  };
  // The rows' header is set up before the model comes: each change of its
  // sizes later would walk every row of a long list.
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  FitRowsToFont();
  setModel(model_);
  setItemDelegate(delegate_);
  setShowGrid(false);
  setWordWrap(false);
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
                                                               : DefaultCodePageWidth();
    horizontalHeader()->resizeSection(i + 1, settings_.ReadInt(settings::kResultDialog, kStoredWidths[i].key, fallback));
  }
  horizontalHeader()->setSectionHidden(kCodePageColumn,
                                       settings_.ReadInt(settings::kResultDialog, settings::kShowCodePage, 1) == 0);
  horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(horizontalHeader(), &QHeaderView::customContextMenuRequested, this,
          [this](const QPoint& at) { MakeHeaderMenu()->popup(horizontalHeader()->mapToGlobal(at)); });
  KeepProportions();
  horizontalHeader()->viewport()->installEventFilter(this);
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] { dragging_ = true; });
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
    rows_.SortByColumn(column);
    model_->RowsReordered();
    // The header flips its arrow by itself; the table's own direction is the truth.
    if (column != static_cast<int>(ResultColumn::Hidden) && rows_.RowCount() > 0)
      horizontalHeader()->setSortIndicator(
          column, rows_.NextSortDescending(column) ? Qt::AscendingOrder : Qt::DescendingOrder);
    viewport()->update();
  });
  connect(this, &QTableView::doubleClicked, this, [this] { emit OpenRequested(SelectedRows()); });
}

KwicListView::~KwicListView() { SaveColumnWidths(); }

// The two contexts and the file name share the list's width in the
// proportions they have (as the user last dragged them); the line stays as
// it is. Widened, a list once kept its columns and showed empty room.
void KwicListView::ShareWidth() {
  QHeaderView* header = horizontalHeader();
  int shared = 0;
  for (const int width : proportions_) shared += width;
  const int room = viewport()->width() - header->sectionSize(kLineColumn) -
                   (header->isSectionHidden(kCodePageColumn) ? 0 : header->sectionSize(kCodePageColumn));
  if (shared <= 0 || room <= 0) return;
  const bool wasDragging = dragging_;
  int given = 0;
  for (size_t i = 0; i < kSharedColumns.size(); ++i) {
    // Scaled from the proportions, never from the last widths, so that
    // rounding does not wander as the window is resized.
    const int width = i + 1 == kSharedColumns.size()
                          ? room - given
                          : static_cast<int>(static_cast<long long>(proportions_[i]) * room / shared);
    header->resizeSection(kSharedColumns[i], width);
    given += width;
  }
  dragging_ = wasDragging;  // not the user's drag
}

void KwicListView::KeepProportions() {
  for (size_t i = 0; i < kSharedColumns.size(); ++i) proportions_[i] = horizontalHeader()->sectionSize(kSharedColumns[i]);
}

void KwicListView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  ShareWidth();
}

void KwicListView::SaveColumnWidths() {
  std::vector<std::pair<std::u16string_view, int>> widths;
  for (int i = 0; i < kStoredColumns; ++i) {
    // A hidden section's size reads 0: the width it will come back with is kept.
    if (horizontalHeader()->isSectionHidden(i + 1)) continue;
    widths.emplace_back(kStoredWidths[i].key, horizontalHeader()->sectionSize(i + 1));
  }
  widths.emplace_back(settings::kShowCodePage, horizontalHeader()->isSectionHidden(kCodePageColumn) ? 0 : 1);
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

int KwicListView::DefaultLineWidth() const {
  const int digits = QFontMetrics(font()).horizontalAdvance(kWidestLineNumber) +
                     2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
  return std::max(TitleWidth(kLineColumn), digits);
}

int KwicListView::DefaultCodePageWidth() const {
  // A typical name after the indent and a warning sign.
  const QFontMetrics metrics(font());
  int name = 0;
  for (const char* typical : {"Shift_JIS (932)", "EUC-JP (51932)", "UTF-16LE (1200)"})
    name = std::max(name, metrics.horizontalAdvance(QString::fromLatin1(typical)));
  return std::max(TitleWidth(kCodePageColumn), name + 2 * metrics.height());
}

QMenu* KwicListView::MakeHeaderMenu() {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  QAction* codePage = menu->addAction(model_->headerData(kCodePageColumn, Qt::Horizontal, Qt::DisplayRole).toString());
  codePage->setCheckable(true);
  codePage->setChecked(!horizontalHeader()->isSectionHidden(kCodePageColumn));
  connect(codePage, &QAction::toggled, this, [this](bool shown) {
    horizontalHeader()->setSectionHidden(kCodePageColumn, !shown);
    ShareWidth();
    KeepProportions();
    SaveColumnWidths();
  });
  return menu;
}

void KwicListView::FitRowsToFont() {
  const int height = KwicRowHeight(font());
  verticalHeader()->setMinimumSectionSize(height);
  verticalHeader()->setDefaultSectionSize(height);
}

void KwicListView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    delegate_->FontChanged();
    FitRowsToFont();
  }
  QTableView::changeEvent(event);
}

std::vector<size_t> KwicListView::SelectedRows() const {
  std::vector<size_t> selected;
  for (const QModelIndex& index : selectionModel()->selectedRows()) selected.push_back(index.row());
  std::sort(selected.begin(), selected.end());
  return selected;
}

std::vector<const Hit*> KwicListView::SelectedHits() const {
  std::vector<const Hit*> hits;
  for (const size_t row : SelectedRows()) hits.push_back(&rows_.Row(row));
  return hits;
}

void KwicListView::CopySelectedRows() const {
  const std::vector<const Hit*> hits = SelectedHits();
  if (!hits.empty()) QApplication::clipboard()->setText(ToQString(CopiedRowsText(hits)));
}

void KwicListView::CopySelectedPaths() const {
  const std::vector<const Hit*> hits = SelectedHits();
  if (!hits.empty()) QApplication::clipboard()->setText(ToQString(CopiedPathsText(hits)));
}

void KwicListView::OpenSelectedFolders() const {
  std::set<std::u16string> folders;
  for (const Hit* hit : SelectedHits()) folders.insert(hit->Folder());
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
  QTableView::keyPressEvent(event);
}

// Home and End go to the first and last row, with or without Ctrl: the
// table's own would go to the first and last column, which only scrolls.
QModelIndex KwicListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  if ((action == MoveHome || action == MoveEnd) && model_->rowCount() > 0) {
    const int column = currentIndex().isValid() ? currentIndex().column() : static_cast<int>(ResultColumn::LeftContext);
    return model_->index(action == MoveHome ? 0 : model_->rowCount() - 1, column);
  }
  return QTableView::moveCursor(action, modifiers);
}

// Ctrl+Home and Ctrl+End select the row they reach, as Home and End do;
// Shift still extends the selection.
QItemSelectionModel::SelectionFlags KwicListView::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
  if (IsHomeOrEnd(event) && !(static_cast<const QKeyEvent*>(event)->modifiers() & Qt::ShiftModifier))
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
  return QTableView::selectionCommand(index, event);
}

// The end of a column drag is the release of the mouse over the header.
bool KwicListView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonRelease &&
      dragging_) {
    dragging_ = false;
    KeepProportions();
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
