#include "platform/codepage/detection/CodePageCandidates.h"

#include <algorithm>
#include <initializer_list>

#include "platform/codepage/detection/CharsetEvidence.h"
#include "platform/codepage/detection/CodePageDetector.h"
#include "platform/codepage/detection/ScriptEvidence.h"

namespace trawlscope {
namespace {

// The pages people most often mean when a guess goes wrong, tried after the
// detectors' own candidates. Japanese first: it is where most wrong guesses
// of this program's users fall.
constexpr CodePage kEastAsianAlternatives[] = {
    codepage::kShiftJis, codepage::kEucJp, codepage::kGb18030, 936, 950, codepage::kEucKr, 949,
};

// Pages that write the same script: a wrong guess is most often a sibling
// of the right page, and the detectors' n-gram models seldom name the older
// ones (KOI8-R, the DOS pages) for text in the newer.
constexpr std::initializer_list<CodePage> kSiblings[] = {
    {codepage::kShiftJis, codepage::kEucJp},
    {936, codepage::kGb18030, 950},
    {codepage::kEucKr, 949},
    {1251, 20866, 21866, 28595, 866, 855, 10007},
    {1252, 28591, 28605, 850, 437, 10000},
    {1250, 28592, 852, 10029},
    {1253, 28597},
    {1254, 28599},
    {1257, 28603},
};

// ICU scores 10 for guesses it has no evidence for.
constexpr int kNoEvidenceConfidence = 10;

// EBCDIC pages read any bytes but turn ASCII letters into others.
bool KeepsAscii(CodePage codePage) { return codePage != 20420 && codePage != 20424; }

// UTF-16 and UTF-32 read any even-length bytes: only text with zero bytes
// (Latin letters' high halves) makes them plausible.
constexpr CodePage kWideUnicode[] = {
    codepage::kUtf16Le, codepage::kUtf16Be, codepage::kUtf32Le, codepage::kUtf32Be,
};

bool IsWideUnicode(CodePage codePage) {
  return std::find(std::begin(kWideUnicode), std::end(kWideUnicode), codePage) != std::end(kWideUnicode);
}

class CandidateList {
 public:
  CandidateList(std::string_view sample, size_t max) : sample_(sample), max_(max) {}

  bool Full() const { return pages_.size() >= max_; }

  // The first page is taken as given; later ones must decode the sample.
  void Add(CodePage codePage) {
    if (Full() || codePage == codepage::kNone || IcuConverterName(codePage) == nullptr) return;
    if (!pages_.empty() && !KeepsAscii(codePage)) return;
    if (std::find(pages_.begin(), pages_.end(), codePage) != pages_.end()) return;
    if (IsWideUnicode(codePage) && sample_.find('\0') == std::string_view::npos) return;
    if (!pages_.empty() && !DecodesCleanly(sample_, codePage)) return;
    pages_.push_back(codePage);
  }

  std::vector<CodePage> Take() { return std::move(pages_); }

 private:
  std::string_view sample_;
  size_t max_;
  std::vector<CodePage> pages_;
};

}  // namespace

std::vector<CodePage> CodePageCandidates(std::string_view bytes, size_t max) {
  if (max == 0) return {};
  const ByteOrderMark mark = FindByteOrderMark(bytes);
  const std::string_view sample = DetectionSample(bytes.substr(mark.length));
  CandidateList list(sample, max);
  const CodePage detected = DetectCodePage(bytes);
  list.Add(detected);
  for (const auto& siblings : kSiblings)
    if (std::find(siblings.begin(), siblings.end(), detected) != siblings.end())
      for (const CodePage page : siblings) list.Add(page);
  list.Add(UchardetGuess(sample));
  const std::vector<CharsetCandidate> icu = IcuCandidates(sample);
  for (const CharsetCandidate& candidate : icu)
    if (candidate.confidence > kNoEvidenceConfidence) list.Add(candidate.codePage);
  list.Add(codepage::kUtf8);
  for (const CodePage page : kEastAsianAlternatives) list.Add(page);
  for (const CodePage page : kWideUnicode) list.Add(page);
  for (const CharsetCandidate& candidate : icu) list.Add(candidate.codePage);
  return list.Take();
}

}  // namespace trawlscope
