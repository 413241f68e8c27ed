#include "gui/dialogs/ResultDialogWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QShortcut>
#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QScreen>

#include <algorithm>

#include "app/DecimalText.h"
#include "app/SettingsKeys.h"
#include "platform/files/NativePath.h"
#include "gui/dialogs/DialogKeyFilter.h"
#include "gui/dialogs/DialogUnits.h"
#include "gui/QtText.h"
#include "gui/dialogs/WindowPlacement.h"
#include "gui/list/KwicListView.h"
#include "results/FolderColumn.h"
#include "results/HitOpener.h"

namespace trawlscope {
namespace {

constexpr double kFontPoints = 11;
constexpr int kGap = 2;
constexpr int kLabelGap = 8;
constexpr int kRectangleSaveDelayMs = 500;

}  // namespace

ResultDialogWidget::ResultDialogWidget(QWidget* owner, const HitList& hits, SettingsStore& settings,
                                       std::function<void(Command)> onCommand)
    : QDialog(owner, Qt::Window),
      hits_(hits),
      settings_(settings),
      onCommand_(std::move(onCommand)),
      list_(nullptr),
      label_(new QLabel(tr("Replace &with:"), this)),
      replaceCombo_(MakeHistoryComboBox(this)),
      replaceHistory_(*replaceCombo_),
      status_(new QLineEdit(this)),
      output_(new QPushButton(tr("&Output"), this)),
      replace_(new QPushButton(tr("R&eplace"), this)),
      replaceSelected_(new QPushButton(tr("Replace &selected"), this)),
      filterLabel_(new QLabel(tr("F&ilter:"), this)),
      filter_(new QLineEdit(this)),
      filterExpression_(new QCheckBox(tr("E&xpression"), this)),
      searchAgain_(new QPushButton(tr("Search &again"), this)) {
  rectangleSaver_.setSingleShot(true);
  rectangleSaver_.setInterval(kRectangleSaveDelayMs);
  connect(&rectangleSaver_, &QTimer::timeout, this, [this] { SaveRectangle(); });
  rows_.SetHits(hits);
  setFont(DialogFont(kFontPoints));  // before the list, whose first widths follow its font
  list_ = new KwicListView(rows_, settings_, this);
  list_->setAccessibleName(tr("Results"));
  connect(list_, &KwicListView::OpenRequested, this, [this](const std::vector<size_t>& rows) {
    const std::string command = ToNativeBytes(settings_.ReadString(settings::kEditor, settings::kCommand));
    std::vector<Hit> hits;
    for (const size_t row : rows) hits.push_back(rows_.Row(row));
    for (const Hit& hit : FirstHitOfEachFile(hits)) {
      if (OpenHit(hit, command) || !IsInCompressed(hit)) continue;
      QMessageBox::information(this, QApplication::applicationName(),
                               tr("No program of this desktop opens %1; what it holds can only be searched here.")
                                   .arg(ToQString(DisplayPath(FileToOpen(hit)))));
    }
  });
  label_->setBuddy(replaceCombo_);
  replace_->setEnabled(rows_.RowCount() > 0);  // nothing to replace in an empty list
  replaceCombo_->setFont(SyntaxFont(font()));
  setWindowTitle(tr("Trawlscope - Result"));
  setSizeGripEnabled(true);
  const DialogUnits du(font());
  resize(du.X(411), du.Y(153));
  filterLabel_->setGeometry(du.ToPixels(0, 2, 30, 8));
  filterLabel_->resize(std::max(filterLabel_->width(), filterLabel_->sizeHint().width()), filterLabel_->height());
  filterLabel_->setBuddy(filter_);
  filter_->setGeometry(du.ToPixels(32, 0, 240, 12));
  filter_->setClearButtonEnabled(true);
  filter_->setToolTip(tr("Shows only the rows whose path, context or keyword holds this text (case ignored)"));
  filterExpression_->setGeometry(du.ToPixels(276, 0, 70, 12));
  filterExpression_->resize(std::max(filterExpression_->width(), filterExpression_->sizeHint().width()),
                            filterExpression_->height());
  searchAgain_->setGeometry(du.ToPixels(351, 0, 60, 12));
  searchAgain_->resize(std::max(searchAgain_->width(), searchAgain_->sizeHint().width()), searchAgain_->height());
  searchAgain_->setAutoDefault(false);
  searchAgain_->setToolTip(tr("Runs the same search again (F5)"));
  list_->setGeometry(du.ToPixels(0, 14, 411, 112));
  replace_->setGeometry(du.ToPixels(361, 141, 50, 12));
  replaceCombo_->setGeometry(du.ToPixels(44, 127, 367, 12));
  status_->setGeometry(du.ToPixels(0, 141, 309, 12));
  status_->setReadOnly(true);
  label_->setGeometry(du.ToPixels(0, 128, 43, 8));
  label_->resize(std::max(label_->width(), label_->sizeHint().width()), label_->height());
  output_->setGeometry(du.ToPixels(310, 141, 50, 12));
  replaceSelected_->setGeometry(du.ToPixels(0, 141, 70, 12));
  replaceSelected_->resize(std::max(replaceSelected_->width(), replaceSelected_->sizeHint().width()),
                           replaceSelected_->height());
  replaceSelected_->setAutoDefault(false);
  replace_->setAutoDefault(false);
  output_->setAutoDefault(false);
  ShowStatus();
  connect(filter_, &QLineEdit::textChanged, this, [this] { FilterEdited(); });
  connect(filterExpression_, &QCheckBox::toggled, this, [this] { FilterEdited(); });
  connect(list_, &KwicListView::ArrangingChanged, this, [this] { ShowStatus(); });
  connect(searchAgain_, &QPushButton::clicked, this, [this] { onCommand_(Command::SearchAgain); });
  auto* again = new QShortcut(QKeySequence::Refresh, this);
  connect(again, &QShortcut::activated, this, [this] { onCommand_(Command::SearchAgain); });
  connect(replace_, &QPushButton::clicked, this, [this] { onCommand_(Command::Replace); });
  connect(replaceSelected_, &QPushButton::clicked, this, [this] { onCommand_(Command::ReplaceSelected); });
  connect(list_, &KwicListView::ReplaceSelectedRequested, this, [this] { onCommand_(Command::ReplaceSelected); });
  connect(list_, &KwicListView::ReadFileAsRequested, this, [this](const std::u16string& path, CodePage page) {
    readAs_ = {path, page};
    onCommand_(Command::ReadFileAs);
  });
  connect(list_, &KwicListView::ForgetPagesRequested, this, [this] { onCommand_(Command::ForgetPages); });
  // Nothing selected, nothing to replace.
  const auto followSelection = [this] {
    replaceSelected_->setEnabled(!searchingAgain_ && list_->selectionModel()->hasSelection());
  };
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, followSelection);
  followSelection();
  connect(output_, &QPushButton::clicked, this, [this] { onCommand_(Command::Export); });
  connect(replaceCombo_, &QComboBox::editTextChanged, this, [this] { UpdatePreview(); });
  // Enter replaces only from the "Replace with:" combo; anywhere else it opens
  // the selected hits, as a double-click does. A replace is never one stray key away.
  new DialogKeyFilter(this, DialogKeyFilter::Escape::Closes, [this] {
    if (replaceCombo_->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == replaceCombo_)
      onCommand_(Command::Replace);
    else
      emit list_->OpenRequested(list_->SelectedRows());
    return true;
  });
  LayOut();
}

// The list, a child, goes only after the row table it reads: a sort still
// running on its thread is stopped first.
ResultDialogWidget::~ResultDialogWidget() {
  list_->CancelArranging();
  SavePendingRectangle();
}

void ResultDialogWidget::PrepareFonts() {
  const QString sample = QString::fromUtf16(u"Trawlscope 検索の関数をカタカナで 中文繁體 한국어 Кириллица Ελληνικά …");
  const QFont font = DialogFont(kFontPoints);
  QFontMetrics(font).horizontalAdvance(sample);
  // Drawing once fills the glyph cache the list's painting uses.
  QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  painter.setFont(font);
  painter.drawText(0, 12, sample);
}

void ResultDialogWidget::SetRunNote(std::u16string_view note) {
  runNote_ = note;
  ShowStatus();
}

void ResultDialogWidget::ShowStatus() {
  QString text = rows_.Filtered() ? tr("%1 of %2 shown.")
                                        .arg(ToQString(GroupedText(rows_.RowCount())))
                                        .arg(ToQString(GroupedText(rows_.HitCount())))
                                  : tr("%1 found.").arg(ToQString(GroupedText(rows_.HitCount())));
  if (!rows_.FilterValid()) text += QStringLiteral("  ") + tr("The filter's expression is not valid.");
  if (searchingAgain_) text = tr("Searching again...") + QStringLiteral("  ") + text;
  if (list_->Arranging())
    text += QStringLiteral("  ") + (list_->Pending().filter != rows_.Arrangement().filter ? tr("Filtering...") : tr("Sorting..."));
  if (!runNote_.empty()) text += QStringLiteral("  ") + ToQString(runNote_);
  status_->setText(text);
  // The field may be narrower than its text: the whole of it is a hover away.
  status_->setToolTip(text);
  // setText leaves the cursor at the end, and the field scrolls to it: a note
  // too long for the field would hide the count rather than its own end.
  status_->setCursorPosition(0);
}

void ResultDialogWidget::FilterEdited() {
  RowArrangement wanted = list_->Pending();
  wanted.filter = {FromQString(filter_->text()), filterExpression_->isChecked()};
  if (wanted == list_->Pending()) return;
  list_->Arrange(wanted);
  ShowStatus();
}

void ResultDialogWidget::SetSearchRequest(const SearchRequest& request) {
  preview_ = std::make_unique<ReplacePreview>(request);
  list_->Model()->SetSearchedFolders(SearchedFolders(request));
  UpdatePreview();
}

void ResultDialogWidget::UpdatePreview() {
  const std::u16string replacement = FromQString(replaceCombo_->currentText());
  list_->Model()->SetPreview(replacement.empty() ? nullptr : preview_.get(), replacement);
}

void ResultDialogWidget::HitsAboutToChange() {
  if (list_->Arranging()) interrupted_ = list_->Pending();
  list_->CancelArranging();
}

void ResultDialogWidget::HitsChanged() {
  list_->CancelArranging();
  // The rows stay where they were on screen, in the list's last order, made again off this thread.
  const int scrolled = list_->verticalScrollBar()->value();
  list_->Model()->ResetRows([this] { rows_.SetHits(hits_); });
  ArrangeAgain();
  list_->verticalScrollBar()->setValue(scrolled);
  ShowSearchingAgain(false);
}

void ResultDialogWidget::HoldHits(const HitList& held) {
  rows_.ReadFrom(held);
  ArrangeAgain();
  ShowSearchingAgain(true);
}

void ResultDialogWidget::HitsPutBack() {
  rows_.ReadFrom(hits_);
  ArrangeAgain();
  ShowSearchingAgain(false);
}

void ResultDialogWidget::ArrangeAgain() {
  const RowArrangement wanted = interrupted_.value_or(rows_.Wanted());
  interrupted_.reset();
  if (wanted != rows_.Arrangement()) list_->Arrange(wanted);
}

void ResultDialogWidget::ShowSearchingAgain(bool searching) {
  searchingAgain_ = searching;
  setWindowTitle(searching ? tr("Trawlscope - Result (searching again)") : tr("Trawlscope - Result"));
  replace_->setEnabled(!searching && rows_.RowCount() > 0);
  replaceSelected_->setEnabled(!searching && list_->selectionModel()->hasSelection());
  output_->setEnabled(!searching);
  searchAgain_->setEnabled(!searching);
  ShowStatus();
}

std::optional<HitPicks> ResultDialogWidget::ShownHits() const {
  if (!rows_.Filtered()) return std::nullopt;
  std::vector<std::uint32_t> places;
  places.reserve(rows_.RowCount());
  for (size_t row = 0; row < rows_.RowCount(); ++row) places.push_back(rows_.HitIndex(row));
  return HitPicks(hits_, std::move(places));
}

void ResultDialogWidget::SetPagesChosen(size_t files) { list_->SetPagesChosen(files); }

HitPicks ResultDialogWidget::SelectedHits() const { return list_->SelectedHits(); }

ScreenSize ResultDialogWidget::VirtualScreenSize() const { return DesktopSize(); }

// Placed before it is first shown, so that the window manager takes the
// position as the frame's: a window already mapped would have its client
// area put there and its title bar above it.
void ResultDialogWidget::MoveTo(const ScreenRect& frame) {
  PlaceFrame(*this, frame);
  placed_ = true;
  if (!isVisible()) show();
}

QString ResultDialogWidget::StatusText() const { return status_->text(); }

// Enter anywhere in the dialog starts a replace; Escape does nothing.
void ResultDialogWidget::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  SaveRectangleSoon();
  LayOut();
}

void ResultDialogWidget::moveEvent(QMoveEvent* event) {
  QDialog::moveEvent(event);
  SaveRectangleSoon();
}

void ResultDialogWidget::hideEvent(QHideEvent* event) {
  SavePendingRectangle();
  QDialog::hideEvent(event);
}

void ResultDialogWidget::SaveRectangle() {
  if (placed_) settings_.WriteRect(settings::kResultDialog, FrameOf(*this));
}

void ResultDialogWidget::SaveRectangleSoon() {
  if (placed_) rectangleSaver_.start();
}

void ResultDialogWidget::SavePendingRectangle() {
  if (!rectangleSaver_.isActive()) return;
  rectangleSaver_.stop();
  SaveRectangle();
}

// Each control keeps its height (the buttons and the label their width too).
// The status line has the bottom row to itself: beside the buttons it lost
// the end of its note ("...could not").
void ResultDialogWidget::LayOut() {
  const QRect client = rect();
  QRect s = status_->geometry();
  s.moveBottom(client.bottom());
  s.setLeft(client.left());
  s.setRight(client.right());
  status_->setGeometry(s);
  const int rowBottom = s.top() - kGap - 1;
  QRect r = replace_->geometry();
  r.moveBottomRight(QPoint(client.right(), rowBottom));
  replace_->setGeometry(r);
  QRect rs = replaceSelected_->geometry();
  rs.moveBottom(rowBottom);
  rs.moveRight(r.left() - kGap - 1);
  replaceSelected_->setGeometry(rs);
  QRect o = output_->geometry();
  o.moveBottom(rowBottom);
  o.moveRight(rs.left() - kGap - 1);
  output_->setGeometry(o);
  QRect c = replaceCombo_->geometry();
  c.moveBottom(rowBottom);
  QRect l = label_->geometry();
  l.moveLeft(client.left());
  l.moveTop(c.top());
  l.setHeight(c.height());
  label_->setGeometry(l);
  c.setLeft(l.right() + 1 + kGap);
  c.setRight(o.left() - kLabelGap - 1);
  replaceCombo_->setGeometry(c);
  QRect again = searchAgain_->geometry();
  again.moveRight(client.right());
  searchAgain_->setGeometry(again);
  QRect fx = filterExpression_->geometry();
  fx.moveRight(again.left() - kLabelGap - 1);
  filterExpression_->setGeometry(fx);
  QRect f = filter_->geometry();
  f.setLeft(filterLabel_->geometry().right() + 1 + kGap);
  f.setRight(fx.left() - kLabelGap - 1);
  filter_->setGeometry(f);
  QRect list = list_->geometry();
  list.setRight(client.right());
  list.setBottom(c.top() - kGap - 1);
  list_->setGeometry(list);
}

}  // namespace trawlscope
