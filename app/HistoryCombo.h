#pragma once
// What the settings store needs of an editable combo box with a drop-down list.
#include <string>

namespace trawlscope {

// UI thread only.
class IHistoryCombo {
 public:
  virtual ~IHistoryCombo() = default;
  virtual std::u16string EditText() const = 0;
  virtual void SetEditText(const std::u16string& text) = 0;
  virtual int ItemCount() const = 0;
  virtual std::u16string ItemText(int index) const = 0;
  virtual void AppendItem(const std::u16string& text) = 0;
  virtual void ClearItems() = 0;
};

}  // namespace trawlscope
