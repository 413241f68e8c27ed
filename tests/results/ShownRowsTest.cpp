#include "results/ShownRows.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace trawlscope {
namespace {

// Each pattern of shown rows gives back the places of exactly those rows, in
// order: kept as bits (many shown, blocks with none between) or as places
// (fewer than one in kSparse), across word and block ends.
TEST(ShownRows, GivesBackThePlacesOfTheShownRows) {
  constexpr size_t kRows = 3 * ShownRows::kBlockRows + 70;
  const struct {
    const char* name;
    std::function<bool(size_t)> shown;
  } patterns[] = {
      {"none", [](size_t) { return false; }},
      {"all", [](size_t) { return true; }},
      {"every other", [](size_t row) { return row % 2 == 1; }},
      {"a block's ends only", [](size_t row) { return row % ShownRows::kBlockRows == 0 || row % ShownRows::kBlockRows == 511; }},
      {"the middle block none", [](size_t row) { return row / ShownRows::kBlockRows != 1 && row % 3 == 0; }},
      {"word ends", [](size_t row) { return row % 64 == 63 || row % 64 == 0; }},
      {"just sparse", [](size_t row) { return row % (ShownRows::kSparse + 1) == 5; }},
      {"the last row", [](size_t row) { return row == kRows - 1; }},
  };
  for (const auto& pattern : patterns) {
    ShownRows rows;
    std::vector<size_t> expected;
    for (size_t row = 0; row < kRows; ++row) {
      rows.Add(pattern.shown(row));
      if (pattern.shown(row)) expected.push_back(row);
    }
    rows.Finish();
    ASSERT_EQ(rows.size(), expected.size()) << pattern.name;
    for (size_t k = 0; k < expected.size(); ++k) ASSERT_EQ(rows[k], expected[k]) << pattern.name << " " << k;
  }
}

}  // namespace
}  // namespace trawlscope
