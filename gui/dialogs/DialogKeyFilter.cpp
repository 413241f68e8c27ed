#include "gui/dialogs/DialogKeyFilter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace trawlscope {

DialogKeyFilter::DialogKeyFilter(QWidget* dialog, std::function<bool()> onEnter)
    : QObject(dialog), dialog_(dialog), onEnter_(std::move(onEnter)) {
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
  // As any dialog: a popup of its own (a completion, a menu) takes Escape first.
  dialog_->close();
  return true;
}

}  // namespace trawlscope
