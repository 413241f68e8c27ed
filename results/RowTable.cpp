#include "results/RowTable.h"

#include <algorithm>
#include <functional>
#include <map>
#include <string>

namespace trawlscope {
namespace {

// std::u16string compares char16_t, which is unsigned: code-unit order as wanted.
template <typename Key>
void SortBy(std::vector<const Hit*>& rows, Key key, bool descending) {
  if (descending)
    std::stable_sort(rows.begin(), rows.end(), [&](const Hit* a, const Hit* b) { return key(*b) < key(*a); });
  else
    std::stable_sort(rows.begin(), rows.end(), [&](const Hit* a, const Hit* b) { return key(*a) < key(*b); });
}

}  // namespace

void RowTable::SetHits(const HitList& hits) {
  discovered_.clear();
  discovered_.reserve(hits.size());
  for (const auto& hit : hits) discovered_.push_back(&hit);
  rows_ = discovered_;
  if (sortedBy_ > 0 && !rows_.empty()) {
    // Sorted as it was, in the same direction.
    descending_[sortedBy_] = !descending_[sortedBy_];
    SortByColumn(sortedBy_);
  }
}

void RowTable::SortByColumn(int column) {
  if (rows_.empty() || column < 0 || column >= kResultColumns) return;
  const bool descending = descending_[column];
  if (static_cast<ResultColumn>(column) != ResultColumn::Hidden) rows_ = discovered_;
  switch (static_cast<ResultColumn>(column)) {
    case ResultColumn::LeftContext:
      SortBy(rows_, [](const Hit& h) { return h.LeftView(); }, descending);
      break;
    case ResultColumn::KeywordAndRight:
      SortBy(rows_, [](const Hit& h) { return h.RightView(); }, descending);
      break;
    case ResultColumn::FileName:
      SortBy(rows_, [](const Hit& h) -> const std::u16string& { return h.FileName(); }, descending);
      break;
    case ResultColumn::Line:
      SortBy(rows_, [](const Hit& h) { return h.line; }, descending);
      break;
    case ResultColumn::CodePage: {
      // By name, as the column shows it; a few pages among many rows.
      std::map<CodePage, std::string> names;
      for (const Hit* hit : rows_) names.try_emplace(hit->FileCodePage(), CodePageDisplayName(hit->FileCodePage()));
      SortBy(rows_, [&](const Hit& h) { return std::pair<const std::string&, bool>(names.at(h.FileCodePage()), h.File().undecodable); },
             descending);
      break;
    }
    case ResultColumn::Hidden: break;
  }
  if (static_cast<ResultColumn>(column) != ResultColumn::Hidden) sortedBy_ = column;
  descending_[column] = !descending;
}

}  // namespace trawlscope
