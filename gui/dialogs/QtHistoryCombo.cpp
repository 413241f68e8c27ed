#include "gui/dialogs/QtHistoryCombo.h"

#include <QLineEdit>

#include "gui/QtText.h"

namespace trawlscope {

std::u16string QtHistoryCombo::EditText() const { return FromQString(combo_.currentText()); }

void QtHistoryCombo::SetEditText(const std::u16string& text) {
  combo_.setEditText(ToQString(text));
}

std::u16string QtHistoryCombo::ItemText(int index) const {
  return FromQString(combo_.itemText(index));
}

void QtHistoryCombo::AppendItem(const std::u16string& text) {
  // Adding an item must not replace what the user sees in the edit.
  const QString edit = combo_.currentText();
  combo_.addItem(ToQString(text));
  combo_.setEditText(edit);
}

void QtHistoryCombo::ClearItems() {
  const QString edit = combo_.currentText();
  combo_.clear();
  combo_.setEditText(edit);
}

QComboBox* MakeHistoryComboBox(QWidget* parent, PopupCompleter::Source offers) {
  auto* combo = new QComboBox(parent);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setMaxVisibleItems(20);
  combo->lineEdit()->setClearButtonEnabled(false);
  new PopupCompleter(*combo, offers);  // in place of the combo's own, which completes inline
  return combo;
}

}  // namespace trawlscope
