#pragma once
// What the detection benchmarks share: the labelled corpus's rows, the true
// text of bytes, decoded with the converter their label names, and the tally
// of right answers.
#include <unicode/ucnv.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace trawlscope::bench {

struct LabelledFile {
  std::string path, encoding, converter, group, language, origin;
};

// The rows of labels.tsv beside the corpus's files, header left out.
inline std::vector<LabelledFile> ReadLabels(const std::string& root) {
  std::vector<LabelledFile> rows;
  std::ifstream labels(root + "/labels.tsv");
  std::string line;
  std::getline(labels, line);
  while (std::getline(labels, line)) {
    std::vector<std::string> f;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) f.push_back(field);
    if (f.size() >= 7) rows.push_back({f[0], f[1], f[2], f[4], f[5], f[6]});
  }
  return rows;
}

// Empty when ICU cannot decode the bytes with that converter.
inline std::u16string DecodeWith(const std::string& converterName, std::string_view bytes) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_open(converterName.c_str(), &status);
  std::u16string text(bytes.size() + 16, u'\0');
  const int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar*>(text.data()),
                                       static_cast<int32_t>(text.size()), bytes.data(),
                                       static_cast<int32_t>(bytes.size()), &status);
  ucnv_close(converter);
  text.resize(U_SUCCESS(status) ? length : 0);
  return text;
}

inline std::u16string WithoutMark(std::u16string text) {
  if (!text.empty() && text.front() == u'\xFEFF') text.erase(0, 1);
  return text;
}

struct Tally {
  int right = 0;
  int total = 0;
  void Add(bool ok) { right += ok, ++total; }
};

inline void PrintTally(const char* name, const Tally& tally) {
  std::printf("%-28s %4d / %4d  %5.1f%%\n", name, tally.right, tally.total,
              tally.total ? 100.0 * tally.right / tally.total : 0.0);
}

}  // namespace trawlscope::bench
