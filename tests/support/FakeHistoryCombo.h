#pragma once
// An editable combo box held in memory: its edit text and its list.
#include <algorithm>
#include <string>
#include <vector>

#include "app/HistoryCombo.h"

namespace trawlscope::test {

class FakeHistoryCombo final : public IHistoryCombo {
 public:
  std::u16string edit;
  std::vector<std::u16string> items;

  std::u16string EditText() const override { return edit; }
  void SetEditText(const std::u16string& text) override { edit = text; }
  int ItemCount() const override { return static_cast<int>(items.size()); }
  std::u16string ItemText(int index) const override { return items.at(index); }
  void AppendItem(const std::u16string& text) override { items.push_back(text); }
  void ClearItems() override { items.clear(); }

  // The history's own order means nothing; tests compare it sorted.
  std::vector<std::u16string> Sorted() const {
    auto copy = items;
    std::sort(copy.begin(), copy.end());
    return copy;
  }
};

}  // namespace trawlscope::test
