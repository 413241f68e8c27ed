#include "results/RowSort.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>

namespace trawlscope {
namespace {

struct Cancelled {};
// The cancel flag is read once every so many comparisons: often enough that a
// cancelled sort stops within a millisecond or two, rarely enough to cost nothing.
constexpr unsigned kComparisonsPerCheck = 1u << 14;
constexpr RowIndex kHitsPerCheck = 1u << 16;

// Stable, and thrown out of by the comparison once cancelled.
template <typename Less>
bool StableSort(std::vector<RowIndex>& order, Less less, const std::atomic<bool>& cancel) {
  unsigned count = 0;
  try {
    std::stable_sort(order.begin(), order.end(), [&](RowIndex a, RowIndex b) {
      if (++count % kComparisonsPerCheck == 0 && cancel.load(std::memory_order_relaxed)) throw Cancelled{};
      return less(a, b);
    });
  } catch (const Cancelled&) {
    return false;
  }
  return true;
}

// The columns whose key is the file's: each file gets its rank among the
// files, and the stretches of hits of one file, in discovery order, are
// sorted stably by rank, which keeps ties in discovery order; the order is
// kept as those stretches.
template <typename FileKey>
std::optional<RowOrder> SortByFile(const HitList& hits, FileKey key, bool descending,
                                                const std::atomic<bool>& cancel) {
  using Key = decltype(key(std::declval<const HitFile&>()));
  const std::vector<const HitFile*> files = hits.Files();
  std::map<Key, RowIndex> ranks;
  for (const HitFile* file : files) ranks.emplace(key(*file), 0);
  RowIndex next = 0;
  for (auto& [fileKey, rank] : ranks) rank = next++;
  std::unordered_map<const HitFile*, RowIndex> fileRank;
  for (const HitFile* file : files) {
    const RowIndex rank = ranks.at(key(*file));
    fileRank.emplace(file, descending ? next - 1 - rank : rank);
  }
  // A file's hits come one after another: one look-up per file, not per hit.
  auto rankOf = [&, last = static_cast<const HitFile*>(nullptr), lastRank = RowIndex{0}](const Hit& hit) mutable {
    if (&hit.File() != last) {
      last = &hit.File();
      lastRank = fileRank.at(last);
    }
    return lastRank;
  };
  struct Ranked {
    RowOrder::Stretch stretch;
    RowIndex rank;
  };
  std::vector<Ranked> stretches;
  RowIndex index = 0;
  const HitFile* last = nullptr;
  for (const Hit& hit : hits) {
    if (index % kHitsPerCheck == 0 && cancel.load(std::memory_order_relaxed)) return std::nullopt;
    if (&hit.File() != last) {
      last = &hit.File();
      stretches.push_back({{index, 0}, rankOf(hit)});
    }
    ++stretches.back().stretch.count;
    ++index;
  }
  std::stable_sort(stretches.begin(), stretches.end(), [](const Ranked& a, const Ranked& b) { return a.rank < b.rank; });
  std::vector<RowOrder::Stretch> order;
  order.reserve(stretches.size());
  for (const Ranked& ranked : stretches) order.push_back(ranked.stretch);
  return RowOrder(order);
}

template <typename Key>
std::optional<RowOrder> SortByHit(const HitList& hits, Key key, bool descending,
                                               const std::atomic<bool>& cancel) {
  std::vector<RowIndex> order(hits.size());
  std::iota(order.begin(), order.end(), RowIndex{0});
  const bool done = descending
                        ? StableSort(order, [&](RowIndex a, RowIndex b) { return key(hits[b]) < key(hits[a]); }, cancel)
                        : StableSort(order, [&](RowIndex a, RowIndex b) { return key(hits[a]) < key(hits[b]); }, cancel);
  if (!done) return std::nullopt;
  return RowOrder(std::move(order));
}

// By line: a file's hits come in line order, so the list is a few thousand
// ascending runs, merged here through a heap of one hit per run; ties go to
// the earlier run, which keeps discovery order. Descending is the ascending
// order with its groups of equal lines turned round, each group kept in order.
std::optional<RowOrder> SortByLine(const HitList& hits, bool descending, const std::atomic<bool>& cancel) {
  std::vector<RowIndex> runStarts;
  std::int64_t previous = 0;
  RowIndex index = 0;
  for (const Hit& hit : hits) {
    if (index == 0 || hit.line < previous) runStarts.push_back(index);
    previous = hit.line;
    ++index;
  }
  runStarts.push_back(static_cast<RowIndex>(hits.size()));
  // Each head reads its run's lines in order, without a search per hit.
  struct Head {
    std::int64_t line;
    RowIndex run;
    HitList::LineCursor next;  // the hit this head stands for
  };
  // The heap's top is the least line, of the earliest run among equals.
  const auto later = [](const Head& a, const Head& b) { return a.line != b.line ? a.line > b.line : a.run > b.run; };
  std::vector<Head> heap;
  for (RowIndex run = 0; run + 1 < runStarts.size(); ++run) {
    const HitList::LineCursor first(hits, runStarts[run]);
    heap.push_back({first.Line(), run, first});
  }
  std::make_heap(heap.begin(), heap.end(), later);
  std::vector<RowIndex> order;
  order.reserve(hits.size());
  // Where each line's rows start: as many as the longest file has lines, not one a hit.
  std::vector<size_t> lineStarts;
  while (!heap.empty()) {
    if (order.size() % kHitsPerCheck == 0 && cancel.load(std::memory_order_relaxed)) return std::nullopt;
    std::pop_heap(heap.begin(), heap.end(), later);
    Head& head = heap.back();
    if (order.empty() || head.line != previous) lineStarts.push_back(order.size());
    previous = head.line;
    order.push_back(static_cast<RowIndex>(head.next.Index()));
    if (head.next.Index() + 1 < runStarts[head.run + 1]) {
      head.next.Next();
      head.line = head.next.Line();
      std::push_heap(heap.begin(), heap.end(), later);
    } else {
      heap.pop_back();
    }
  }
  if (descending) {
    // Each line's group turned round in place, then the whole: the groups go
    // from the greatest line down, each still in its order.
    lineStarts.push_back(order.size());
    for (size_t g = 0; g + 1 < lineStarts.size(); ++g)
      std::reverse(order.begin() + static_cast<std::ptrdiff_t>(lineStarts[g]),
                   order.begin() + static_cast<std::ptrdiff_t>(lineStarts[g + 1]));
    std::reverse(order.begin(), order.end());
  }
  return RowOrder(std::move(order));
}

}  // namespace

std::optional<RowOrder> SortedOrder(const HitList& hits, ResultColumn column, bool descending,
                                                 const std::atomic<bool>& cancel) {
  switch (column) {
    case ResultColumn::LeftContext: return SortByHit(hits, [](const Hit& h) { return h.LeftView(); }, descending, cancel);
    case ResultColumn::KeywordAndRight:
      return SortByHit(hits, [](const Hit& h) { return h.RightView(); }, descending, cancel);
    case ResultColumn::Line: return SortByLine(hits, descending, cancel);
    case ResultColumn::FileName:
      return SortByFile(hits, [](const HitFile& f) { return f.fileName; }, descending, cancel);
    case ResultColumn::CodePage:
      // By the name the column shows.
      return SortByFile(hits, [](const HitFile& f) { return std::make_pair(CodePageDisplayName(f.codePage), f.undecodable); },
                        descending, cancel);
    case ResultColumn::Folder:
      // The name after the folder, so that one file's hits stay together.
      return SortByFile(hits, [](const HitFile& f) { return std::make_pair(f.folder, f.fileName); }, descending, cancel);
    case ResultColumn::Hidden: break;
  }
  return RowOrder(std::vector<RowOrder::Stretch>{{0, static_cast<RowIndex>(hits.size())}});
}

}  // namespace trawlscope
