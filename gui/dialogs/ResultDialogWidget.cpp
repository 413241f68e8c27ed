#include "gui/dialogs/ResultDialogWidget.h"

#include <QApplication>
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
      replaceSelected_(new QPushButton(tr("Replace &selected"), this)) {
  rectangleSaver_.setSingleShot(true);
  rectangleSaver_.setInterval(kRectangleSaveDelayMs);
  connect(&rectangleSaver_, &QTimer::timeout, this, [this] { SaveRectangle(); });
  rows_.SetHits(hits);
  setFont(DialogFont(kFontPoints));  // before the list, whose first widths follow its font
  list_ = new KwicListView(rows_, settings_, this);
  connect(list_, &KwicListView::OpenRequested, this, [this](const std::vector<size_t>& rows) {
    const std::string command = ToNativeBytes(settings_.ReadString(settings::kEditor, settings::kCommand));
    std::vector<const Hit*> hits;
    for (const size_t row : rows) hits.push_back(&rows_.Row(row));
    for (const Hit* hit : FirstHitOfEachFile(hits)) {
      if (OpenHit(*hit, command) || !IsInCompressed(*hit)) continue;
      QMessageBox::information(this, QApplication::applicationName(),
                               tr("No program of this desktop opens %1; what it holds can only be searched here.")
                                   .arg(ToQString(DisplayPath(FileToOpen(*hit)))));
    }
  });
  label_->setBuddy(replaceCombo_);
  replace_->setEnabled(rows_.RowCount() > 0);  // nothing to replace in an empty list
  replaceCombo_->setFont(SyntaxFont(font()));
  setWindowTitle(tr("Trawlscope - Result"));
  setSizeGripEnabled(true);
  const DialogUnits du(font());
  resize(du.X(411), du.Y(153));
  list_->setGeometry(du.ToPixels(0, 0, 411, 126));
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
  status_->setText(tr("%1 found.").arg(ToQString(GroupedText(rows_.RowCount()))));
  connect(replace_, &QPushButton::clicked, this, [this] { onCommand_(Command::Replace); });
  connect(replaceSelected_, &QPushButton::clicked, this, [this] { onCommand_(Command::ReplaceSelected); });
  connect(list_, &KwicListView::ReplaceSelectedRequested, this, [this] { onCommand_(Command::ReplaceSelected); });
  connect(list_, &KwicListView::ReadFileAsRequested, this, [this](const std::u16string& path, CodePage page) {
    readAs_ = {path, page};
    onCommand_(Command::ReadFileAs);
  });
  // Nothing selected, nothing to replace.
  const auto followSelection = [this] { replaceSelected_->setEnabled(list_->selectionModel()->hasSelection()); };
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, followSelection);
  followSelection();
  connect(output_, &QPushButton::clicked, this, [this] { onCommand_(Command::Export); });
  connect(replaceCombo_, &QComboBox::editTextChanged, this, [this] { UpdatePreview(); });
  // Enter replaces only from the "Replace with:" combo; anywhere else it opens
  // the selected hits, as a double-click does. A replace is never one stray key away.
  new DialogKeyFilter(this, [this] {
    if (replaceCombo_->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == replaceCombo_)
      onCommand_(Command::Replace);
    else
      emit list_->OpenRequested(list_->SelectedRows());
    return true;
  });
  LayOut();
}

ResultDialogWidget::~ResultDialogWidget() { SavePendingRectangle(); }

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
  QString text = tr("%1 found.").arg(ToQString(GroupedText(rows_.RowCount())));
  if (!note.empty()) text += QStringLiteral("  ") + ToQString(note);
  status_->setText(text);
  // setText leaves the cursor at the end, and the field scrolls to it: a note
  // too long for the field would hide the count rather than its own end.
  status_->setCursorPosition(0);
}

void ResultDialogWidget::SetSearchRequest(const SearchRequest& request) {
  preview_ = std::make_unique<ReplacePreview>(request);
  UpdatePreview();
}

void ResultDialogWidget::UpdatePreview() {
  const std::u16string replacement = FromQString(replaceCombo_->currentText());
  list_->Delegate()->SetPreview(replacement.empty() ? nullptr : preview_.get(), replacement);
  list_->viewport()->update();
}

void ResultDialogWidget::HitsChanged() {
  // The rows stay where they were on screen, in the list's last order.
  const int scrolled = list_->verticalScrollBar()->value();
  list_->Model()->ResetRows([this] { rows_.SetHits(hits_); });
  list_->verticalScrollBar()->setValue(scrolled);
  replace_->setEnabled(rows_.RowCount() > 0);
}

std::vector<const Hit*> ResultDialogWidget::SelectedHits() const {
  std::vector<const Hit*> hits;
  for (const size_t row : list_->SelectedRows()) hits.push_back(&rows_.Row(row));
  return hits;
}

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
void ResultDialogWidget::LayOut() {
  const QRect client = rect();
  QRect r = replace_->geometry();
  r.moveBottomRight(client.bottomRight());
  replace_->setGeometry(r);
  QRect rs = replaceSelected_->geometry();
  rs.moveBottom(client.bottom());
  rs.moveRight(r.left() - kGap - 1);
  replaceSelected_->setGeometry(rs);
  QRect o = output_->geometry();
  o.moveBottom(client.bottom());
  o.moveRight(rs.left() - kGap - 1);
  output_->setGeometry(o);
  QRect s = status_->geometry();
  s.moveBottom(client.bottom());
  s.setRight(o.left() - kGap - 1);
  status_->setGeometry(s);
  QRect l = label_->geometry();
  l.moveLeft(client.left());
  l.moveBottom(s.top() - kLabelGap - 1);
  label_->setGeometry(l);
  QRect c = replaceCombo_->geometry();
  c.moveBottom(s.top() - kGap - 1);
  c.setLeft(l.right() + 1 + kGap);
  c.setRight(client.right());
  replaceCombo_->setGeometry(c);
  QRect list = list_->geometry();
  list.setRight(client.right());
  list.setBottom(c.top() - kGap - 1);
  list_->setGeometry(list);
}

}  // namespace trawlscope
