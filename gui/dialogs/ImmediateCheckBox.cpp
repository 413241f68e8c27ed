#include "gui/dialogs/ImmediateCheckBox.h"

#include <QShortcutEvent>

namespace trawlscope {

bool ImmediateCheckBox::event(QEvent* event) {
  if (event->type() != QEvent::Shortcut) return QCheckBox::event(event);
  // An ambiguous mnemonic only moves the focus, as Qt does.
  setFocus(Qt::ShortcutFocusReason);
  if (!static_cast<QShortcutEvent*>(event)->isAmbiguous()) click();
  return true;
}

}  // namespace trawlscope
