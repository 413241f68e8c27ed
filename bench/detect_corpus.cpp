// Measures code-page detection on a labelled corpus (labels.tsv beside the
// files): a file counts as right when decoding it the way a search does gives
// the same text as decoding it with its true encoding. Every file is text, so
// each one the binary check turns away is a file a search would miss.
// Usage: trawlscope-detect-corpus CORPUS_DIR [--list-wrong]
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/LabelledText.h"
#include "platform/codepage/binary/BinaryContent.h"
#include "platform/codepage/CodePageTable.h"
#include "platform/files/FileReader.h"
#include "search/text/TextDecoding.h"

namespace {

using trawlscope::bench::DecodeWith;
using trawlscope::bench::Tally;
using trawlscope::bench::PrintTally;
using trawlscope::bench::WithoutMark;

bool IsEastAsianOrWide(trawlscope::CodePage codePage) {
  using trawlscope::CodePageFamily;
  const auto family = trawlscope::FamilyOf(codePage);
  return family == CodePageFamily::Japanese || family == CodePageFamily::Chinese ||
         family == CodePageFamily::Korean || codePage == 1200 || codePage == 1201 ||
         codePage == 12000 || codePage == 12001;
}

// Files judged binary, out of all files.
struct BinaryTally {
  int binary = 0;
  int total = 0;
  void Add(bool isBinary) { binary += isBinary, ++total; }
};


}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: trawlscope-detect-corpus CORPUS_DIR [--list-wrong]\n");
    return 2;
  }
  const std::string root = argv[1];
  const bool listWrong = argc > 2 && std::string(argv[2]) == "--list-wrong";
  std::map<std::string, Tally> byGroup, tinyByEncoding;
  std::map<std::string, BinaryTally> binaryByGroup;
  BinaryTally binaryInAll;
  Tally main, japanese, tiny, nonCjk;
  int nonCjkTurnedEastAsian = 0;
  double seconds = 0;
  for (const auto& row : trawlscope::bench::ReadLabels(root)) {
    const std::string &path = row.path, &encoding = row.encoding, &converter = row.converter,
                      &group = row.group, &origin = row.origin;
    std::string bytes;
    static_cast<void>(trawlscope::ReadWholeFile(root + "/" + path, bytes));
    const bool isBinary = trawlscope::IsBinaryContent(bytes);
    binaryByGroup[group].Add(isBinary);
    binaryInAll.Add(isBinary);
    if (isBinary && listWrong) std::printf("BINARY %-59s %s\n", path.c_str(), encoding.c_str());
    if (converter == "-") continue;
    std::u16string text;
    bool hadBom = false;
    const auto start = std::chrono::steady_clock::now();
    const trawlscope::CodePage chosen = trawlscope::DecodeBytes(bytes, text, hadBom);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const bool ok = WithoutMark(text) == WithoutMark(DecodeWith(converter, bytes));

    if (origin == "derived-tiny") {
      tiny.Add(ok);
      tinyByEncoding[encoding].Add(ok);
    } else {
      main.Add(ok);
      byGroup[group].Add(ok);
      if (group == "ja") japanese.Add(ok);
      if (group == "western" || group == "central" || group == "cyrillic" || group == "greek" ||
          group == "other") {
        nonCjk.Add(ok);
        if (IsEastAsianOrWide(chosen)) ++nonCjkTurnedEastAsian;
      }
    }
    if (!ok && listWrong)
      std::printf("WRONG %-60s %-14s chose %u\n", path.c_str(), encoding.c_str(), chosen);
  }
  for (const auto& [group, tally] : byGroup) PrintTally(group.c_str(), tally);
  std::printf("\n");
  for (const auto& [encoding, tally] : tinyByEncoding) PrintTally(("tiny " + encoding).c_str(), tally);
  std::printf("\n");
  PrintTally("main set", main);
  PrintTally("Japanese (main set)", japanese);
  PrintTally("one-line (derived-tiny)", tiny);
  std::printf("%-28s %4d / %4d  %5.1f%%\n", "non-CJK sent to CJK/UTF-16", nonCjkTurnedEastAsian,
              nonCjk.total, nonCjk.total ? 100.0 * nonCjkTurnedEastAsian / nonCjk.total : 0.0);
  std::printf("detection and decoding: %.1f ms in all\n", seconds * 1000);
  std::printf("\njudged binary (should be none)\n");
  for (const auto& [group, tally] : binaryByGroup)
    std::printf("%-28s %4d / %4d\n", group.c_str(), tally.binary, tally.total);
  std::printf("%-28s %4d / %4d\n", "all files", binaryInAll.binary, binaryInAll.total);
  return 0;
}
