#include "gui/dialogs/PopupCompleter.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>

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

// Enter while the popup is open and nothing in it is picked belongs to the
// dialog, as it does when the popup is closed: the run starts with the text
// as typed. The completer would otherwise only close the popup.
bool PopupCompleter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched == popup() && popup()->isVisible()) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !popup()->currentIndex().isValid()) {
      popup()->hide();
      QKeyEvent again(QEvent::KeyPress, key, static_cast<QKeyEvent*>(event)->modifiers());
      QCoreApplication::sendEvent(combo_.lineEdit(), &again);
      return true;
    }
  }
  return QCompleter::eventFilter(watched, event);
}

}  // namespace trawlscope
