#include "platform/codepage/detection/CharsetEvidence.h"

#include "platform/codepage/ByteScan.h"
#include "platform/codepage/detection/ScriptEvidence.h"

#include <uchardet/uchardet.h>
#include <unicode/ucsdet.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <memory>

namespace trawlscope {
namespace {

// uchardet's answer settles within the first kilobytes of non-ASCII text, and
// it spends as long on ASCII as on anything else: it is fed from the first
// byte that is not ASCII. More changes nothing the labelled corpus can
// measure, but costs time on every file.
constexpr size_t kUchardetBytes = 2048;
// Text with a high byte in every few (Cyrillic, Greek, the East Asian pages)
// gives uchardet as much evidence in a quarter of the bytes; its cost grows
// with each word that holds a high byte, and its single-byte models read
// nearly every byte of such text. 512, 768, 1024 and 2048 give the same
// answers on the labelled corpus and on the benchmark trees; 384 does not.
constexpr size_t kDenseUchardetBytes = 512;
constexpr size_t kDensityWindow = 512;
constexpr size_t kDenseHighBytes = kDensityWindow / 4;
// A glance: on the labelled corpus and the benchmark trees every East Asian
// answer from this many bytes is the answer from the full length.
constexpr size_t kGlanceBytes = 256;

// ICU runs every recognizer it has over all it is given, some two
// milliseconds for a full detection sample: three kilobytes past the
// ASCII head settle it as well on the labelled corpus.
constexpr size_t kIcuBytes = 3072;

constexpr CodePage kBig5 = 950;

struct DetectorCloser {
  void operator()(UCharsetDetector* detector) const { ucsdet_close(detector); }
  void operator()(uchardet_t detector) const { uchardet_delete(detector); }
};

UCharsetDetector* ThreadIcuDetector() {
  thread_local std::unique_ptr<UCharsetDetector, DetectorCloser> detector([] {
    UErrorCode status = U_ZERO_ERROR;
    UCharsetDetector* opened = ucsdet_open(&status);
    return U_SUCCESS(status) ? opened : nullptr;
  }());
  return detector.get();
}

uchardet_t ThreadUchardet() {
  thread_local std::unique_ptr<std::remove_pointer_t<uchardet_t>, DetectorCloser> detector(
      uchardet_new());
  return detector.get();
}

bool IsDense(std::string_view sample) {
  const std::string_view window = sample.substr(0, kDensityWindow);
  const auto high = std::count_if(window.begin(), window.end(),
                                  [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  return static_cast<size_t>(high) >= kDenseHighBytes;
}

// Share of zero bytes at each position modulo 4.
std::array<double, 4> ZeroShares(std::string_view sample) {
  std::array<size_t, 4> zeros{}, totals{};
  for (size_t i = 0; i < sample.size(); ++i) {
    ++totals[i % 4];
    if (sample[i] == '\0') ++zeros[i % 4];
  }
  std::array<double, 4> shares{};
  for (size_t k = 0; k < 4; ++k) shares[k] = totals[k] ? double(zeros[k]) / totals[k] : 0.0;
  return shares;
}

// ICU's recognizers for the double-byte pages score above their no-evidence
// floor only on characters from their lists of common ones. Latin text reads
// cleanly in Big5 and GB18030 whenever each accented letter stands before an
// ASCII one, and sparse Latin or Japanese text often in the other pages too,
// so the bytes are stepped through as ICU's recognizer steps (not as the
// converter does), looking for a character within the span of its list; only
// then is the page's clean reading worth checking. The spans are ICU 72's; a
// test sweeps every character against ICU itself, so a later ICU that widens
// its lists fails there.
struct CommonCharacterSpan {
  unsigned low;
  unsigned high;
  unsigned lowestTrail;
  bool Holds(unsigned lead, unsigned trail) const {
    const unsigned character = lead << 8 | trail;
    return character >= low && character <= high && trail >= lowestTrail;
  }
};
constexpr CommonCharacterSpan kBig5Common{0xA140, 0xC45F, 0x40};
// All from GB2312's rows, second byte included.
constexpr CommonCharacterSpan kGb18030Common{0xA1A1, 0xD6D0, 0xA1};
constexpr CommonCharacterSpan kShiftJisCommon{0x8140, 0x95AA, 0x40};
constexpr CommonCharacterSpan kEucJpCommon{0xA1A1, 0xCDD1, 0xA1};
constexpr CommonCharacterSpan kEucKrCommon{0xB0A1, 0xC8AD, 0xA1};

// ICU reads one byte up to 0x7F and from 0xA1 to 0xDF, two bytes otherwise.
// The walks below step from high byte to high byte: the ASCII between is
// one byte a character in every page they read.
bool MayHoldCommonShiftJis(std::string_view sample) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(sample.data());
  for (size_t i = FindFirstHighByte(sample); i + 1 < sample.size();) {
    size_t next = i + 1;
    if (bytes[i] < 0xA1 || bytes[i] > 0xDF) {
      if (kShiftJisCommon.Holds(bytes[i], bytes[i + 1])) return true;
      next = i + 2;
    }
    i = FindNextHighByte(sample, next);
  }
  return false;
}

// ICU's EUC recognizer, for EUC-JP and EUC-KR alike: one byte up to 0x8D,
// three from 0x8F, whose last two it looks up as if they were a character,
// two otherwise.
bool MayHoldCommonEuc(std::string_view sample, const CommonCharacterSpan& common) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(sample.data());
  for (size_t i = FindFirstHighByte(sample); i + 1 < sample.size();) {
    size_t next = i + 1;
    if (bytes[i] == 0x8F) {
      if (i + 2 < sample.size() && common.Holds(bytes[i + 1], bytes[i + 2])) return true;
      next = i + 3;
    } else if (bytes[i] > 0x8D) {
      if (common.Holds(bytes[i], bytes[i + 1])) return true;
      next = i + 2;
    }
    i = FindNextHighByte(sample, next);
  }
  return false;
}

bool MayHoldCommonBig5(std::string_view sample) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(sample.data());
  for (size_t i = FindFirstHighByte(sample); i + 1 < sample.size();) {
    size_t next = i + 1;
    if (bytes[i] != 0xFF) {
      if (kBig5Common.Holds(bytes[i], bytes[i + 1])) return true;
      next = i + 2;
    }
    i = FindNextHighByte(sample, next);
  }
  return false;
}

bool MayHoldCommonGb18030(std::string_view sample) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(sample.data());
  for (size_t i = FindFirstHighByte(sample); i + 1 < sample.size();) {
    size_t next = i + 1;
    const unsigned trail = bytes[i + 1];
    if (bytes[i] != 0x80 && bytes[i] != 0xFF && trail >= '0' && trail <= '9') {
      // A four-byte character, never a common one.
      next = i + (i + 2 < sample.size() && bytes[i + 2] >= 0x81 && bytes[i + 2] <= 0xFE ? 4 : 3);
    } else if (bytes[i] != 0x80) {
      if (kGb18030Common.Holds(bytes[i], trail)) return true;
      next = i + 2;
    }
    i = FindNextHighByte(sample, next);
  }
  return false;
}

// Zero bytes mean UTF-16 or UTF-32, whose units must keep their alignment.
std::string_view IcuSample(std::string_view sample) {
  if (sample.size() <= kIcuBytes) return sample;
  size_t from = FindFirstHighByte(sample);
  if (from == sample.size() || sample.find('\0') != std::string_view::npos) from = 0;
  return sample.substr(std::min(from, sample.size() - kIcuBytes), kIcuBytes);
}

}  // namespace

std::vector<CharsetCandidate> IcuCandidates(std::string_view sample) {
  sample = IcuSample(sample);
  std::vector<CharsetCandidate> candidates;
  UCharsetDetector* detector = ThreadIcuDetector();
  if (detector == nullptr) return candidates;
  UErrorCode status = U_ZERO_ERROR;
  ucsdet_setText(detector, sample.data(), static_cast<int32_t>(sample.size()), &status);
  int32_t count = 0;
  const UCharsetMatch** matches = ucsdet_detectAll(detector, &count, &status);
  if (U_FAILURE(status)) return candidates;
  for (int32_t i = 0; i < count; ++i) {
    const char* name = ucsdet_getName(matches[i], &status);
    const int32_t confidence = ucsdet_getConfidence(matches[i], &status);
    if (U_FAILURE(status)) break;
    candidates.push_back({CodePageOfCharsetName(name), confidence});
  }
  return candidates;
}

bool IcuMayNameCleanWideOrEastAsianPage(std::string_view sample) {
  // ICU's UTF-16 and UTF-32 recognizers score above its no-evidence floor only
  // on zero bytes, its ISO-2022 ones only on escape sequences.
  if (sample.find('\0') != std::string_view::npos || sample.find('\x1b') != std::string_view::npos)
    return true;
  // ICU sees its own part of the sample only: a common character elsewhere
  // cannot raise its confidence.
  const std::string_view seen = IcuSample(sample);
  return (MayHoldCommonShiftJis(seen) && DecodesCleanly(sample, codepage::kShiftJis)) ||
         (MayHoldCommonEuc(seen, kEucJpCommon) && DecodesCleanly(sample, codepage::kEucJp)) ||
         (MayHoldCommonEuc(seen, kEucKrCommon) && DecodesCleanly(sample, codepage::kEucKr)) ||
         (MayHoldCommonBig5(seen) && DecodesCleanly(sample, kBig5)) ||
         (MayHoldCommonGb18030(seen) && DecodesCleanly(sample, codepage::kGb18030));
}

namespace {

// What uchardet is given of a sample: from its first high byte when the
// sample is longer than kUchardetBytes; then, when the bytes are dense with
// high bytes, `denseLength` of them, else kUchardetBytes.
struct UchardetSlice {
  std::string_view bytes;
  bool dense = false;
};

UchardetSlice SliceForUchardet(std::string_view sample, size_t denseLength) {
  const size_t firstHigh = FindFirstHighByte(sample);
  if (sample.size() > kUchardetBytes && firstHigh != sample.size()) sample = sample.substr(firstHigh);
  const bool dense = IsDense(sample);
  return {sample.substr(0, dense ? denseLength : kUchardetBytes), dense};
}

CodePage AskUchardet(std::string_view bytes) {
  uchardet_t detector = ThreadUchardet();
  if (detector == nullptr) return codepage::kNone;
  uchardet_reset(detector);
  if (uchardet_handle_data(detector, bytes.data(), bytes.size()) != 0) return codepage::kNone;
  uchardet_data_end(detector);
  return CodePageOfCharsetName(uchardet_get_charset(detector));
}

}  // namespace

CodePage UchardetGuess(std::string_view sample) {
  return AskUchardet(SliceForUchardet(sample, kDenseUchardetBytes).bytes);
}

CodePage UchardetGlance(std::string_view sample) {
  // A sparse sample would be given the full length, which is the guess itself.
  const UchardetSlice slice = SliceForUchardet(sample, kGlanceBytes);
  return slice.dense ? AskUchardet(slice.bytes) : codepage::kNone;
}

CodePage WideUnicodeByZeroBytes(std::string_view sample) {
  constexpr double kMostly = 0.9;
  constexpr double kRarely = 0.05;
  // Line breaks and spaces put zero bytes on one side of UTF-16 text even when
  // its letters have none; other text has no zero bytes at all.
  constexpr size_t kNoiseRatio = 4;
  if (sample.size() < 4 || sample.find('\0') == std::string_view::npos) return codepage::kNone;
  const auto z = ZeroShares(sample);
  if (z[2] >= kMostly && z[3] >= kMostly && z[0] < kRarely) return codepage::kUtf32Le;
  if (z[0] >= kMostly && z[1] >= kMostly && z[3] < kRarely) return codepage::kUtf32Be;
  size_t evenZeros = 0, oddZeros = 0;
  for (size_t i = 0; i < sample.size(); ++i)
    if (sample[i] == '\0') ++(i % 2 ? oddZeros : evenZeros);
  if (oddZeros >= 2 && evenZeros * kNoiseRatio < oddZeros) return codepage::kUtf16Le;
  if (evenZeros >= 2 && oddZeros * kNoiseRatio < evenZeros) return codepage::kUtf16Be;
  return codepage::kNone;
}

bool IsValidUtf8Prefix(std::string_view sample) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(sample.data());
  const int32_t length = static_cast<int32_t>(sample.size());
  int32_t i = static_cast<int32_t>(FindFirstHighByte(sample));
  while (i < length) {
    if (bytes[i] < 0x80) {
      i += static_cast<int32_t>(FindFirstHighByte(sample.substr(i)));
      continue;
    }
    // The two- and three-byte characters of most text, without surrogates
    // and overlong forms; anything else is ICU's to judge.
    const uint8_t lead = bytes[i];
    if (lead >= 0xE1 && lead <= 0xEF && lead != 0xED && i + 2 < length && U8_IS_TRAIL(bytes[i + 1]) &&
        U8_IS_TRAIL(bytes[i + 2])) {
      i += 3;
      continue;
    }
    if (lead >= 0xC2 && lead <= 0xDF && i + 1 < length && U8_IS_TRAIL(bytes[i + 1])) {
      i += 2;
      continue;
    }
    const int32_t start = i;
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    if (c >= 0) continue;
    // Accept only a sequence that the sample's end cut short.
    const int32_t expected = U8_COUNT_TRAIL_BYTES(bytes[start]) + 1;
    if (bytes[start] < 0xC2 || bytes[start] > 0xF4 || start + expected <= length) return false;
    for (int32_t k = start + 1; k < length; ++k)
      if (!U8_IS_TRAIL(bytes[k])) return false;
    return true;
  }
  return true;
}

}  // namespace trawlscope
