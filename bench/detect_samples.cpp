// Measures code-page detection on short samples cut from the labelled corpus:
// from each file's first line that holds a non-ASCII character, the longest
// run of whole characters within 20, 50 and 100 bytes. A sample counts as
// right when decoding it the way a search does gives its true text. The
// one-line files (derived-tiny) are left out: the corpus benchmark counts
// them on their own. A file whose rest from that line is shorter than the
// size gives no sample of that size.
// Usage: trawlscope-detect-samples CORPUS_DIR [--list-wrong]
#include <unicode/ucnv.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "bench/LabelledText.h"
#include "platform/files/FileReader.h"
#include "search/text/TextDecoding.h"

namespace {

using trawlscope::bench::DecodeWith;
using trawlscope::bench::Tally;
using trawlscope::bench::PrintTally;
using trawlscope::bench::WithoutMark;

constexpr size_t kSizes[] = {20, 50, 100};

// The file decoded with its true converter, and for each UTF-16 unit the
// offset of the bytes it came from.
struct Decoded {
  std::u16string text;
  std::vector<int32_t> offsets;
  int8_t unitBytes = 1;  // the width of a line feed
};

std::optional<Decoded> DecodeWithOffsets(const std::string& converterName, std::string_view bytes) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_open(converterName.c_str(), &status);
  if (U_FAILURE(status)) return std::nullopt;
  Decoded d;
  d.unitBytes = ucnv_getMinCharSize(converter);
  d.text.resize(bytes.size() + 16);
  d.offsets.resize(d.text.size());
  auto* target = reinterpret_cast<UChar*>(d.text.data());
  const char* source = bytes.data();
  ucnv_toUnicode(converter, &target, target + d.text.size(), &source, bytes.data() + bytes.size(),
                 d.offsets.data(), true, &status);
  ucnv_close(converter);
  if (U_FAILURE(status)) return std::nullopt;
  d.text.resize(target - reinterpret_cast<UChar*>(d.text.data()));
  d.offsets.resize(d.text.size());
  return d;
}

// The bytes of the sample of `size` bytes, or nothing when the file has no
// non-ASCII line or too little after it.
std::optional<std::string_view> CutSample(const Decoded& d, std::string_view bytes, size_t size) {
  size_t firstHigh = 0;
  while (firstHigh < d.text.size() && (d.text[firstHigh] < 0x80 || d.text[firstHigh] == u'\xFEFF'))
    ++firstHigh;
  if (firstHigh == d.text.size()) return std::nullopt;
  // The byte after the line feed, not the offset of the line's first
  // character: an ISO-2022 escape sequence before it belongs to the line.
  const size_t feed = d.text.rfind(u'\n', firstHigh);
  size_t start = 0;
  if (feed != std::u16string::npos) start = d.offsets[feed] + d.unitBytes;
  else if (d.text[0] == u'\xFEFF' && d.text.size() > 1) start = d.offsets[1];
  if (bytes.size() - start < size) return std::nullopt;
  size_t end = start;
  for (size_t i = feed == std::u16string::npos ? 0 : feed + 1; i <= d.text.size(); ++i) {
    const size_t at = i == d.text.size() ? bytes.size() : static_cast<size_t>(d.offsets[i]);
    if (i < d.text.size() && (d.text[i] & 0xFC00) == 0xDC00) continue;  // inside a surrogate pair
    if (at < start) continue;
    if (at - start > size) break;
    end = at;
  }
  return bytes.substr(start, end - start);
}

// The sample as a C string literal, to be pasted into a regression test.
std::string Escaped(std::string_view bytes) {
  std::string out = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X\"\"", byte);
    if (byte >= 0x80 || byte < 0x20 || c == '"' || c == '\\') out += hex;
    else out += c;
  }
  return out + "\"";
}


}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: trawlscope-detect-samples CORPUS_DIR [--list-wrong]\n");
    return 2;
  }
  const std::string root = argv[1];
  const bool listWrong = argc > 2 && std::string(argv[2]) == "--list-wrong";
  Tally all[std::size(kSizes)], japanese[std::size(kSizes)];
  for (const auto& row : trawlscope::bench::ReadLabels(root)) {
    if (row.converter == "-" || row.origin == "derived-tiny") continue;
    std::string bytes;
    static_cast<void>(trawlscope::ReadWholeFile(root + "/" + row.path, bytes));
    const auto decoded = DecodeWithOffsets(row.converter, bytes);
    if (!decoded) continue;
    for (size_t k = 0; k < std::size(kSizes); ++k) {
      const auto sample = CutSample(*decoded, bytes, kSizes[k]);
      if (!sample) continue;
      std::u16string text;
      bool hadBom = false;
      const trawlscope::CodePage chosen = trawlscope::DecodeBytes(*sample, text, hadBom);
      const bool ok = WithoutMark(text) == WithoutMark(DecodeWith(row.converter, *sample));
      all[k].Add(ok);
      if (row.group == "ja") japanese[k].Add(ok);
      if (!ok && listWrong)
        std::printf("WRONG %3zu %-60s %-14s chose %u  %s\n", kSizes[k], row.path.c_str(), row.encoding.c_str(),
                    chosen, Escaped(*sample).c_str());
    }
  }
  for (size_t k = 0; k < std::size(kSizes); ++k) {
    PrintTally(("samples " + std::to_string(kSizes[k]) + " B, all").c_str(), all[k]);
    PrintTally(("samples " + std::to_string(kSizes[k]) + " B, Japanese").c_str(), japanese[k]);
  }
  return 0;
}
