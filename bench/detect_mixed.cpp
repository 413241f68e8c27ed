// Measures code-page detection on the benchmark's mixed tree, whose files
// carry their encoding as their suffix (ls.1.KOI8-R) or, the Japanese ones,
// in their folder (ja/sjis, ja/eucjp): a file counts as right when decoding
// it the way a search does gives the same text as its true encoding.
// Usage: trawlscope-detect-mixed MIXED_DIR [--list-wrong]
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "bench/LabelledText.h"
#include "platform/files/FileReader.h"
#include "search/text/TextDecoding.h"

namespace {

using trawlscope::bench::DecodeWith;
using trawlscope::bench::Tally;
using trawlscope::bench::WithoutMark;

// The suffix, or ja/sjis and ja/eucjp for the Japanese folders, and the ICU
// converter that names; empty when the file says nothing.
std::pair<std::string, std::string> TrueEncoding(const std::filesystem::path& relative) {
  const std::string path = relative.generic_string();
  if (path.rfind("ja/sjis/", 0) == 0) return {"ja/sjis", "ibm-943_P15A-2003"};
  if (path.rfind("ja/eucjp/", 0) == 0) return {"ja/eucjp", "EUC-JP"};
  static const std::map<std::string, std::string> kSuffixes = {
      {".KOI8-R", "KOI8-R"},       {".CP1251", "windows-1251"}, {".CP1250", "windows-1250"},
      {".ISO-8859-2", "ISO-8859-2"}, {".CP1252", "windows-1252"}, {".ISO-8859-1", "ISO-8859-1"},
      {".ISO-8859-7", "ISO-8859-7"}, {".CP936", "windows-936-2000"}, {".CP950", "windows-950-2000"},
      {".UTF-8", "UTF-8"},         {".UTF-16LE", "UTF-16LE"}};
  const auto it = kSuffixes.find(relative.extension().string());
  if (it == kSuffixes.end()) return {};
  return {it->first, it->second};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: trawlscope-detect-mixed MIXED_DIR [--list-wrong]\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  const bool listWrong = argc > 2 && std::string(argv[2]) == "--list-wrong";
  std::map<std::string, Tally> bySuffix;
  Tally all;
  int unlabelled = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    const auto relative = entry.path().lexically_relative(root);
    const auto [label, converter] = TrueEncoding(relative);
    if (converter.empty()) {
      ++unlabelled;
      continue;
    }
    std::string bytes;
    static_cast<void>(trawlscope::ReadWholeFile(entry.path().string(), bytes));
    std::u16string text;
    bool hadBom = false;
    const trawlscope::CodePage chosen = trawlscope::DecodeBytes(bytes, text, hadBom);
    const bool ok = WithoutMark(text) == WithoutMark(DecodeWith(converter, bytes));
    bySuffix[label].Add(ok);
    all.Add(ok);
    if (!ok && listWrong)
      std::printf("WRONG %-70s chose %u\n", relative.generic_string().c_str(), chosen);
  }
  for (const auto& [label, tally] : bySuffix)
    std::printf("mixed %-22s %4d / %4d  %6.2f%%\n", label.c_str(), tally.right, tally.total,
                100.0 * tally.right / tally.total);
  std::printf("%-28s %4d / %4d  %6.2f%%  (%d files without a label left out)\n", "mixed tree", all.right,
              all.total, all.total ? 100.0 * all.right / all.total : 0.0, unlabelled);
  return 0;
}
