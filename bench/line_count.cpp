// How fast hits' line numbers are counted: every file named (or every file
// below a folder) is read into memory, then its lines counted to its end as
// bytes and as UTF-16 text, as the searcher counts them for a file whose
// last hit is at its end. Prints megabytes a second of each, best of ROUNDS.
// Usage: trawlscope-line-count [ROUNDS] PATH...
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "search/matching/scan/LineCounter.h"

using namespace trawlscope;

namespace {

void Collect(const std::filesystem::path& path, std::vector<std::string>& texts) {
  if (std::filesystem::is_directory(path)) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path))
      if (entry.is_regular_file()) Collect(entry.path(), texts);
    return;
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  texts.push_back(bytes.str());
}

template <typename Text, typename Unit>
double BestSeconds(const std::vector<Text>& texts, int rounds, std::int64_t& lines) {
  double best = 1e9;
  for (int round = 0; round < rounds; ++round) {
    lines = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const Text& text : texts) lines += LineCounter<Unit>(text).LineOf(text.size());
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: trawlscope-line-count ROUNDS PATH...\n");
    return 2;
  }
  const int rounds = std::atoi(argv[1]);
  std::vector<std::string> bytes;
  for (int i = 2; i < argc; ++i) Collect(argv[i], bytes);
  std::vector<std::u16string> wide;
  double megabytes = 0;
  for (const std::string& text : bytes) {
    wide.emplace_back(text.begin(), text.end());  // each byte a unit: the breaks stay where they were
    megabytes += static_cast<double>(text.size()) / 1e6;
  }
  std::int64_t lines = 0;
  const double narrow = BestSeconds<std::string, char>(bytes, rounds, lines);
  std::printf("%zu files, %.1f MB, %lld lines\n", bytes.size(), megabytes, static_cast<long long>(lines));
  std::printf("bytes:  %.0f MB/s\n", megabytes / narrow);
  const double units = BestSeconds<std::u16string, char16_t>(wide, rounds, lines);
  std::printf("UTF-16: %.0f MB/s (of bytes widened)\n", megabytes / units);
  return 0;
}
