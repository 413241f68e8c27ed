#include "results/RowTable.h"

#include "results/RowFilterScan.h"
#include "results/RowSort.h"

namespace trawlscope {
namespace {

constexpr size_t kRowsPerCancelCheck = 1u << 16;

}  // namespace

void RowTable::SetHits(const HitList& hits) {
  hits_ = &hits;
  if (arrangement_.sortColumn >= 0 || arrangement_.filter.Active()) wanted_ = arrangement_;
  arrangement_ = {};
  arranged_ = {};
}

size_t RowTable::RowCount() const { return Filtered() ? arranged_.shown.size() : HitCount(); }

RowIndex RowTable::HitIndex(size_t row) const {
  const size_t place = Filtered() ? arranged_.shown[row] : row;
  return arranged_.order ? (*arranged_.order)[place] : static_cast<RowIndex>(place);
}

RowArrangement RowTable::Clicked(int column, const RowArrangement& base) const {
  RowArrangement next = base;
  if (column <= static_cast<int>(ResultColumn::Hidden) || column >= kResultColumns) return next;
  next.sortColumn = column;
  next.descending = descending_[column];
  return next;
}

void RowTable::Apply(const RowArrangement& arrangement, ArrangedRows rows) {
  if (HitCount() == 0) return;
  if (arrangement.sortColumn != arrangement_.sortColumn || arrangement.descending != arrangement_.descending) {
    if (arrangement.sortColumn >= 0) descending_[arrangement.sortColumn] = !arrangement.descending;
  }
  arrangement_ = arrangement;
  wanted_ = arrangement;
  arranged_ = std::move(rows);
}

void RowTable::SortByColumn(int column) { ArrangeNow(Clicked(column)); }

void RowTable::ArrangeNow(const RowArrangement& arrangement) {
  const std::atomic<bool> never{false};
  if (hits_ != nullptr) Apply(arrangement, *ArrangeRows(*hits_, arrangement, *this, never));
}

std::optional<ArrangedRows> ArrangeRows(const HitList& hits, const RowArrangement& wanted, const RowTable& current,
                                        const std::atomic<bool>& cancel) {
  ArrangedRows rows;
  const RowArrangement& now = current.Arrangement();
  if (wanted.sortColumn >= 0 && now.sortColumn == wanted.sortColumn && now.descending == wanted.descending &&
      current.Hits() == &hits) {
    rows.order = current.Order();
  } else if (wanted.sortColumn >= 0) {
    auto order = SortedOrder(hits, static_cast<ResultColumn>(wanted.sortColumn), wanted.descending, cancel);
    if (!order) return std::nullopt;
    rows.order = std::make_shared<const RowOrder>(std::move(*order));
  }
  if (!wanted.filter.Active()) return rows;
  auto matching = MatchingHits(hits, wanted.filter, cancel);
  if (!matching) return std::nullopt;
  rows.filterValid = matching->valid;
  const std::vector<bool>& match = matching->match;
  bool cancelled = false;
  const auto keep = [&](size_t row, RowIndex i) {
    if (row % kRowsPerCancelCheck == 0 && cancel.load(std::memory_order_relaxed)) {
      cancelled = true;
      return false;
    }
    rows.shown.Add(match[i]);
    return true;
  };
  if (rows.order) {
    rows.order->ForEach(keep);
  } else {
    for (size_t row = 0; row < match.size() && keep(row, static_cast<RowIndex>(row));) ++row;
  }
  if (cancelled) return std::nullopt;
  rows.shown.Finish();
  return rows;
}

}  // namespace trawlscope
