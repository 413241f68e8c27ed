#include "gui/dialogs/PopupCompleter.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWindow>
#include <memory>

namespace trawlscope {
namespace {

// Enough to pick from; a folder with thousands of subfolders is not read whole.
constexpr int kMostFolderOffers = 50;
constexpr int kMostOffers = 20;

// The subfolders of the typed path's folder whose names start with its last part.
void AddFolders(const QString& typed, QStringList& offers) {
  const int slash = typed.lastIndexOf(QLatin1Char('/'));
  if (slash < 0) return;
  const QString folder = typed.left(slash + 1);
  const QString start = typed.mid(slash + 1);
  const QDir dir(folder);
  if (!dir.exists()) return;
  // Hidden folders only when their dot was typed.
  QDir::Filters filters = QDir::Dirs | QDir::NoDotAndDotDot;
  if (start.startsWith(QLatin1Char('.'))) filters |= QDir::Hidden;
  int added = 0;
  for (const QString& name : dir.entryList({start + QLatin1Char('*')}, filters, QDir::Name)) {
    if (added++ == kMostFolderOffers) break;
    const QString path = folder + name;
    if (!offers.contains(path)) offers << path;
  }
}

}  // namespace

PopupCompleter::PopupCompleter(QComboBox& combo, Source source) : QCompleter(&combo), combo_(combo), source_(source) {
  setModel(&offers_);
  setCompletionMode(QCompleter::PopupCompletion);
  setCaseSensitivity(Qt::CaseSensitive);
  setMaxVisibleItems(kMostOffers);
  combo.setCompleter(this);
  connect(combo.lineEdit(), &QLineEdit::textEdited, this, &PopupCompleter::Refresh);
}

QStringList PopupCompleter::Offers(const QString& typed) const {
  QStringList offers;
  if (typed.isEmpty()) return offers;
  for (int i = 0; i < combo_.count() && offers.size() < kMostOffers; ++i) {
    const QString entry = combo_.itemText(i);
    if (entry != typed && entry.startsWith(typed)) offers << entry;
  }
  if (source_ == Source::HistoryAndFolders) AddFolders(typed, offers);
  offers.removeAll(typed);
  return offers;
}

void PopupCompleter::Refresh(const QString& typed) {
  const QStringList offers = Offers(typed);
  offers_.setStringList(offers);
  if (offers.isEmpty()) {
    popup()->hide();
    return;
  }
  popup()->setFont(combo_.font());  // a window of its own: it would take the desktop's default
  // Every offer starts with the typed text, so the prefix hides none; it
  // leaves the popup without a current row until the user moves to one.
  setCompletionPrefix(typed);
  complete();
}

// A click beside the popup closed it and went no further (Qt gives the
// press again only when the popup closes itself): it is given to the
// dialog's window where it was aimed, which focuses the field clicked.
void PopupCompleter::PressAgain(const QMouseEvent& press) {
  QWidget* aimed = QApplication::widgetAt(press.globalPosition().toPoint());
  if (aimed == nullptr || aimed->window() != combo_.window() || aimed->window()->windowHandle() == nullptr) return;
  QWindow* window = aimed->window()->windowHandle();
  const QPointF local = window->mapFromGlobal(press.globalPosition());
  QMouseEvent again(QEvent::MouseButtonPress, local, local, press.globalPosition(), press.button(), press.buttons(),
                    press.modifiers(), press.pointingDevice());
  QCoreApplication::sendEvent(window, &again);
}

// The popup holds the keyboard while it shows, and the completer hands the
// field only keys it can take there: a key that leaves the field (Alt and a
// label's letter, Tab) or Enter with nothing picked was eaten, and what the
// user typed next landed in the Search path. Such a key closes the popup and
// is sent again as if it had never been there; a key sent that way meets
// the dialog's shortcuts first.
//
// Once hidden, the popup's window may still be the focused one for a
// moment (until the window system says otherwise), and the completer would
// hand the keys it gets to the Search path: they go where the focus is now.
bool PopupCompleter::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && watched == popup() && !popup()->isVisible()) {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus == popup()) return QCompleter::eventFilter(watched, event);
    const std::unique_ptr<QEvent> again(event->clone());
    QCoreApplication::sendEvent(focus, again.get());
    return true;
  }
  if (type == QEvent::MouseButtonPress && watched == popup() && popup()->isVisible()) {
    const auto* press = static_cast<QMouseEvent*>(event);
    if (!popup()->rect().contains(popup()->mapFromGlobal(press->globalPosition().toPoint()))) {
      popup()->hide();
      PressAgain(*press);
      return true;
    }
  }
  if (type == QEvent::KeyPress && watched == popup() && popup()->isVisible()) {
    const auto* press = static_cast<QKeyEvent*>(event);
    const int key = press->key();
    const bool enter = (key == Qt::Key_Return || key == Qt::Key_Enter) && !popup()->currentIndex().isValid();
    const bool leaves = key == Qt::Key_Tab || key == Qt::Key_Backtab || (press->modifiers() & Qt::AltModifier) != 0;
    if (enter || leaves) {
      popup()->hide();
      QKeyEvent again(QEvent::KeyPress, key, press->modifiers(), press->text());
      QCoreApplication::sendEvent(combo_.lineEdit(), &again);
      return true;
    }
  }
  return QCompleter::eventFilter(watched, event);
}

}  // namespace trawlscope
