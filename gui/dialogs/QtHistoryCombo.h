#pragma once
// An editable combo box as the settings store and the dialogs' logic see it.
#include <QComboBox>

#include "app/HistoryCombo.h"
#include "gui/dialogs/PopupCompleter.h"

namespace trawlscope {

class QtHistoryCombo final : public IHistoryCombo {
 public:
  explicit QtHistoryCombo(QComboBox& combo) : combo_(combo) {}

  std::u16string EditText() const override;
  void SetEditText(const std::u16string& text) override;
  int ItemCount() const override { return combo_.count(); }
  std::u16string ItemText(int index) const override;
  void AppendItem(const std::u16string& text) override;
  void ClearItems() override;

 private:
  QComboBox& combo_;
};

// An editable combo whose list changes only through the history rule, and
// whose completions are only offered.
QComboBox* MakeHistoryComboBox(QWidget* parent,
                               PopupCompleter::Source offers = PopupCompleter::Source::History);

}  // namespace trawlscope
