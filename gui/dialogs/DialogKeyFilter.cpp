#include "gui/dialogs/DialogKeyFilter.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace trawlscope {

DialogKeyFilter::DialogKeyFilter(QWidget* dialog, Escape escape, std::function<bool()> onEnter)
    : QObject(dialog), dialog_(dialog), escape_(escape), onEnter_(std::move(onEnter)) {
  qApp->installEventFilter(this);
}

DialogKeyFilter::~DialogKeyFilter() { qApp->removeEventFilter(this); }

bool DialogKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != dialog_) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) return onEnter_();
  if (key != Qt::Key_Escape) return false;
  if (escape_ == Escape::Closes) {
    dialog_->close();
  } else {
    // An editable combo takes the keys of its line edit first.
    auto* combo = qobject_cast<QComboBox*>(widget);
    if (QLineEdit* edit = combo != nullptr ? combo->lineEdit() : qobject_cast<QLineEdit*>(widget)) edit->deselect();
  }
  return true;  // never to QDialog, whose Escape hides the window without a close
}

}  // namespace trawlscope
