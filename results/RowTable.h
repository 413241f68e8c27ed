#pragma once
// The result list's rows: references to the run's hits, in discovery order
// until a column header is clicked. Sorting moves references, never hits.
// UI thread only; the hit list must not change while the table exists.
#include <array>
#include <vector>

#include "search/HitList.h"

namespace trawlscope {

enum class ResultColumn { Hidden = 0, LeftContext = 1, KeywordAndRight = 2, FileName = 3, Line = 4, CodePage = 5 };
inline constexpr int kResultColumns = 6;

class RowTable {
 public:
  // In discovery order; the last sort is kept and made again.
  void SetHits(const HitList& hits);
  size_t RowCount() const { return rows_.size(); }
  const Hit& Row(size_t row) const { return *rows_[row]; }

  // Sorts by the column's key (left context, right context, file name, line,
  // or the code page's name with the files it could not read after the
  // others; the keyword is no part of the key), ascending then descending on
  // repeated clicks. Code-unit order, no collation. Ties keep discovery
  // order, so one file's hits stay in line order. An empty table changes
  // nothing, not even the column's direction.
  void SortByColumn(int column);
  bool NextSortDescending(int column) const { return descending_.at(column); }

 private:
  std::vector<const Hit*> rows_;
  std::vector<const Hit*> discovered_;  // every sort starts from this order
  std::array<bool, kResultColumns> descending_{};
  int sortedBy_ = -1;  // the column of the last sort; -1 for discovery order
};

}  // namespace trawlscope
