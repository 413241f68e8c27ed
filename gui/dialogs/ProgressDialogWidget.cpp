#include "gui/dialogs/ProgressDialogWidget.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "gui/dialogs/DialogUnits.h"
#include "gui/QtText.h"

namespace trawlscope {
namespace {

constexpr double kFontPoints = 8;

QLineEdit* ReadOnlyField(QWidget* parent, const QRect& where, Qt::Alignment alignment = Qt::AlignLeft) {
  auto* field = new QLineEdit(parent);
  field->setReadOnly(true);
  field->setFrame(false);
  field->setFocusPolicy(Qt::NoFocus);
  field->setAlignment(alignment | Qt::AlignVCenter);
  field->setStyleSheet(QStringLiteral("background: transparent"));
  field->setGeometry(where);
  return field;
}

}  // namespace

ProgressDialogWidget::ProgressDialogWidget(QWidget* owner, std::function<void()> onAbort)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      onAbort_(std::move(onAbort)) {
  setWindowTitle(QStringLiteral("Trawlscope"));
  setFont(DialogFont(kFontPoints));
  const DialogUnits du(font());
  setFixedSize(du.X(186), du.Y(65));
  // The phase may take the whole row: "Making a list of files..." is longer
  // than the counter's left edge allows, and no counter shows while listing.
  phase_ = ReadOnlyField(this, du.ToPixels(3, 4, 179, 12));
  counter_ = ReadOnlyField(this, du.ToPixels(94, 4, 88, 12), Qt::AlignRight);
  fileName_ = ReadOnlyField(this, du.ToPixels(3, 18, 178, 12));
  bar_ = new QProgressBar(this);
  bar_->setGeometry(du.ToPixels(3, 33, 179, 8));
  bar_->setTextVisible(false);
  bar_->setRange(0, 0);
  bar_->setValue(0);
  countCaption_ = new QLabel(this);
  countCaption_->setGeometry(du.ToPixels(3, 50, 40, 13));
  hitCount_ = ReadOnlyField(this, du.ToPixels(45, 50, 83, 13));
  abort_ = new QPushButton(tr("Abort"), this);
  abort_->setGeometry(du.ToPixels(133, 47, 50, 14));
  connect(abort_, &QPushButton::clicked, this, [this] { onAbort_(); });
}

// A field scrolls to its cursor, which setText puts at the end: a text too
// long for it would lose its beginning rather than its end.
void ProgressDialogWidget::SetPhase(std::u16string_view text) {
  phase_->setText(ToQString(text));
  phase_->setCursorPosition(0);
}
void ProgressDialogWidget::SetCounter(std::u16string_view text) { counter_->setText(ToQString(text)); }
void ProgressDialogWidget::SetFileName(std::u16string_view text) {
  fileName_->setText(ToQString(text));
  fileName_->setCursorPosition(0);
}
void ProgressDialogWidget::SetRange(int maximum) {
  // A range of 0..0 would make the bar busy-animate; an empty list shows empty.
  bar_->setRange(0, maximum > 0 ? maximum : 1);
  rangeMaximum_ = maximum;
}
int ProgressDialogWidget::RangeMaximum() const { return rangeMaximum_; }
void ProgressDialogWidget::SetPosition(int position) { bar_->setValue(position); }
void ProgressDialogWidget::SetHitCount(std::u16string_view text) { hitCount_->setText(ToQString(text)); }
void ProgressDialogWidget::SetCountCaption(std::u16string_view text) {
  const QString caption = ToQString(text);
  if (countCaption_->text() == caption) return;
  countCaption_->setText(caption);
  // The count follows its caption, whose width depends on the words and the font.
  countCaption_->resize(countCaption_->sizeHint().width(), countCaption_->height());
  hitCount_->move(countCaption_->geometry().right() + 4, hitCount_->y());
}

QString ProgressDialogWidget::PhaseText() const { return phase_->text(); }
QString ProgressDialogWidget::CounterText() const { return counter_->text(); }
QString ProgressDialogWidget::FileNameText() const { return fileName_->text(); }
QString ProgressDialogWidget::HitCountText() const { return hitCount_->text(); }
QString ProgressDialogWidget::CountCaptionText() const { return countCaption_->text(); }

// Enter and Escape abort the run and hide the dialog; it stays until the run ends.
void ProgressDialogWidget::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    onAbort_();
    hide();
    return;
  }
  QDialog::keyPressEvent(event);
}

void ProgressDialogWidget::reject() {
  onAbort_();
  hide();
}

}  // namespace trawlscope
