#pragma once
// The result list's rows: indices of the run's hits, in discovery order until
// a column header is clicked or a filter typed. Sorting moves indices, never
// hits; with neither sort nor filter the table holds nothing per hit.
// UI thread only; the hit list must not change while the table exists, but
// between SetHits calls.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "results/RowOrder.h"
#include "results/ShownRows.h"
#include "search/hits/HitList.h"

namespace trawlscope {

// Folder comes last so that the widths and columns stored before it keep their numbers.
enum class ResultColumn { Hidden = 0, LeftContext = 1, KeywordAndRight = 2, FileName = 3, Line = 4, CodePage = 5, Folder = 6 };
inline constexpr int kResultColumns = 7;

// What narrows the rows: text found in the row's full path or its context and
// keyword, ignoring case; or an expression (Perl syntax, ignoring case).
struct RowFilter {
  std::u16string text;  // empty: every row
  bool expression = false;
  bool Active() const { return !text.empty(); }
  friend bool operator==(const RowFilter&, const RowFilter&) = default;
};

// How the rows stand: which column they are sorted by and what the filter lets through.
struct RowArrangement {
  int sortColumn = -1;  // -1: discovery order
  bool descending = false;
  RowFilter filter;
  friend bool operator==(const RowArrangement&, const RowArrangement&) = default;
};

// The rows an arrangement makes.
struct ArrangedRows {
  // Every hit, sorted; none for discovery order. Shared, so that a filter
  // typed over a sorted list takes the order without copying it.
  std::shared_ptr<const RowOrder> order;
  ShownRows shown;           // the rows of `order` (or of discovery order) the filter lets through
  bool filterValid = true;      // false: the expression did not compile, and no row is shown
};

class RowTable {
 public:
  // Every hit, in discovery order and unfiltered. The last arrangement is
  // kept as Wanted(), for the caller to make again (ArrangeRows) with the new hits.
  void SetHits(const HitList& hits);
  // The same hits in the same order, now held by `same`: the rows stay as they are.
  void ReadFrom(const HitList& same) { hits_ = &same; }
  size_t RowCount() const;
  size_t HitCount() const { return hits_ ? hits_->size() : 0; }
  RowIndex HitIndex(size_t row) const;
  Hit Row(size_t row) const { return (*hits_)[HitIndex(row)]; }
  const HitList* Hits() const { return hits_; }
  const std::shared_ptr<const RowOrder>& Order() const { return arranged_.order; }

  const RowArrangement& Arrangement() const { return arrangement_; }
  const RowArrangement& Wanted() const { return wanted_; }
  bool Filtered() const { return arrangement_.filter.Active(); }
  bool FilterValid() const { return arranged_.filterValid; }
  // What a click on `column`'s header asks for: ascending, then the other
  // way at each click, each column with its own direction; the filter stays.
  // Hidden asks for nothing new. `base`: the arrangement the click changes
  // (one being made, say); the table's own by default.
  RowArrangement Clicked(int column) const { return Clicked(column, arrangement_); }
  RowArrangement Clicked(int column, const RowArrangement& base) const;
  bool NextSortDescending(int column) const { return descending_.at(column); }

  // Made on any thread by ArrangeRows. An empty table changes nothing, not
  // even the column's direction.
  void Apply(const RowArrangement& arrangement, ArrangedRows rows);
  // Sorts on the calling thread: for small lists and tests.
  void SortByColumn(int column);
  void ArrangeNow(const RowArrangement& arrangement);

 private:
  const HitList* hits_ = nullptr;
  ArrangedRows arranged_;
  RowArrangement arrangement_;
  RowArrangement wanted_;
  std::array<bool, kResultColumns> descending_{};
};

// The rows `wanted` makes of `hits`; nothing once `cancel` is set. Reads the
// sorted order of `current` when its sort is the one wanted, so a filter
// typed over a sorted list does not sort again. Any thread, while neither
// `hits` nor `current` changes.
//
// Sorts by the column's key (left context, right context, file name, line,
// the code page's name with the files it could not read after the others,
// or the folder and then the name), in code-unit order, no collation; the
// keyword is no part of a key. Ties keep discovery order, so one file's hits
// stay in line order.
std::optional<ArrangedRows> ArrangeRows(const HitList& hits, const RowArrangement& wanted, const RowTable& current,
                                        const std::atomic<bool>& cancel);

}  // namespace trawlscope
