#include "platform/codepage/detection/CodePageDetector.h"

#include <algorithm>
#include <vector>

#include "platform/codepage/ByteScan.h"
#include "platform/codepage/detection/CharsetEvidence.h"
#include "platform/codepage/detection/JapaneseByteShape.h"
#include "platform/codepage/detection/ScriptEvidence.h"
#include "platform/codepage/detection/SingleByteReading.h"

namespace trawlscope {
namespace {

constexpr unsigned char kEscape = 0x1B;

// ICU scores 10 for guesses it has no evidence for (UTF-16 for any text
// without zero bytes, Shift_JIS or Big5 for any Latin text): ignore them.
constexpr int kNoEvidenceConfidence = 10;
// Candidates this close to the best one count as equally likely; among them
// the Japanese, Chinese and Unicode pages win.
constexpr int kCloseConfidence = 20;

// Seven-bit encodings announce themselves with escape sequences.
CodePage SevenBitEncoding(std::string_view sample) {
  if (sample.find(char(kEscape)) != std::string_view::npos) {
    if (sample.find("\x1b$B") != std::string_view::npos || sample.find("\x1b$@") != std::string_view::npos ||
        sample.find("\x1b(J") != std::string_view::npos || sample.find("\x1b(I") != std::string_view::npos)
      return codepage::kIso2022Jp;
    if (sample.find("\x1b$)C") != std::string_view::npos) return codepage::kIso2022Kr;
    if (sample.find("\x1b$)A") != std::string_view::npos || sample.find("\x1b$)G") != std::string_view::npos)
      return codepage::kIso2022Cn;
  }
  if (sample.find("~{") != std::string_view::npos && sample.find("~}") != std::string_view::npos)
    return codepage::kHz;
  return codepage::kNone;
}

CodePage ChooseAmongIcuCandidates(const std::vector<CharsetCandidate>& candidates) {
  const int best = candidates.front().confidence;
  for (const auto& candidate : candidates) {
    if (candidate.confidence < best - kCloseConfidence) break;
    if (IsPreferredCodePage(candidate.codePage)) return candidate.codePage;
  }
  return candidates.front().codePage;
}

// Counting stops at `limit`: East Asian text reaches it within its first line.
bool HasFewerHighBytesThan(std::string_view bytes, size_t limit) {
  size_t count = 0;
  for (size_t i = FindFirstHighByte(bytes); i < bytes.size(); i = FindNextHighByte(bytes, i + 1))
    if (++count >= limit) return false;
  return true;
}

bool HoldsC1Bytes(std::string_view sample) {
  for (size_t i = FindFirstHighByte(sample); i < sample.size(); i = FindNextHighByte(sample, i + 1))
    if (static_cast<unsigned char>(sample[i]) <= 0x9F) return true;
  return false;
}

// Bytes 0x80..0x9F are control characters in the ISO-8859 pages but letters
// and punctuation in their Windows siblings, which agree on the rest: text
// that holds them (`hasC1`) is in the Windows page.
CodePage WindowsPageForC1Bytes(CodePage guess, bool hasC1) {
  if (!hasC1) return guess;
  switch (guess) {
    case 28591: return 1252;
    case 28592: return 1250;
    case 28597: return 1253;
    case 28599: return 1254;
    case 28603: return 1257;
    default: return guess;
  }
}

// Double-byte encodings write every non-ASCII character as a pair of high
// bytes; Latin text rarely puts two accented letters side by side, let alone
// always.
bool HighBytesComeInPairs(std::string_view sample) {
  size_t run = 0;
  bool any = false;
  for (size_t i = FindFirstHighByte(sample); i < sample.size();) {
    if (static_cast<unsigned char>(sample[i]) >= 0x80) {
      ++run;
      any = true;
      ++i;
      continue;
    }
    if (run % 2 != 0) return false;
    run = 0;
    i = FindNextHighByte(sample, i + 1);
  }
  return any && run % 2 == 0;
}

// Pages of Latin scripts, where non-ASCII letters stand alone among ASCII ones.
bool IsLatinPage(CodePage codePage) {
  switch (codePage) {
    case 437: case 850: case 852: case 1250: case 1252: case 1254: case 1257: case 10000:
    case 10029: case 28591: case 28592: case 28599: case 28603: case 28605: return true;
    default: return false;
  }
}

bool IsEastAsianOrWideUnicode(CodePage codePage) {
  switch (FamilyOf(codePage)) {
    case CodePageFamily::Japanese:
    case CodePageFamily::Chinese:
    case CodePageFamily::Korean: return true;
    case CodePageFamily::Unicode: return codePage != codepage::kUtf8;
    default: return false;
  }
}

// The ISO pages' Windows siblings agree with them on all but a few letters
// and give 0x80..0x9F, control characters in the ISO pages, to punctuation.
// When both read the sample alike, the Windows page is the one that also
// reads a curly quote or a dash further on; an ISO file never holds one.
CodePage WindowsPageWhenAlike(CodePage guess, std::string_view sample) {
  CodePage windows = codepage::kNone;
  switch (guess) {
    case 28591: return 1252;  // windows-1252 holds every character of ISO-8859-1 at its byte
    case 28592: windows = 1250; break;
    case 28597: windows = 1253; break;
    case 28599: return 1254;  // likewise for ISO-8859-9
    case 28603: windows = 1257; break;
    default: return guess;
  }
  return SingleByteReadingsAgree(sample, guess, windows) ? windows : guess;
}

// Latin languages write most of their letters in ASCII.
constexpr size_t kAsciiLettersPerAccent = 4;

// Latin words with two accented letters side by side ("gemäß", "direcção")
// read as Latin without a rare letter, a symbol in a word or a script mix,
// and their accented letters are few among plain ones. Big5 and GBK text
// whose second bytes are ASCII letters reads as Latin too, but dense.
bool ReadsAsLatinWords(std::string_view sample, CodePage guess) {
  if (!IsLatinPage(guess)) return false;
  size_t letters = 0, high = 0;
  for (const char c : sample) {
    const auto byte = static_cast<unsigned char>(c);
    high += byte >= 0x80;
    letters += (byte | 0x20) >= 'a' && (byte | 0x20) <= 'z';
  }
  return letters >= kAsciiLettersPerAccent * high && SingleByteReadingScore(sample, guess) >= 0;
}

// Shift_JIS writes its punctuation, full-width letters and digits, and kana
// with the lead bytes 0x81..0x83, which a Latin page reads as a low quote or
// a florin sign and ISO-8859-1 as control characters; and its second bytes
// may be ASCII letters ("\x82a\x82r", ＢＳ), which hides the pairs. Latin
// text never writes those three signs alone before every letter they touch.
bool OnlyShiftJisSymbolRows(std::string_view sample) {
  bool any = false;
  for (size_t i = FindFirstHighByte(sample); i < sample.size(); i = FindNextHighByte(sample, i + 2)) {
    const auto byte = static_cast<unsigned char>(sample[i]);
    if (byte < 0x81 || byte > 0x83 || i + 1 == sample.size()) return false;
    const auto trail = static_cast<unsigned char>(sample[i + 1]);
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return false;
    any = true;
  }
  return any;
}

// The single-byte guess, unless the Japanese reading is the better one.
CodePage JapaneseUnlessGuessReads(std::string_view sample, CodePage guess) {
  // English text with a few Shift_JIS quotes or dashes reads as Latin with
  // undefined bytes or control characters: the Japanese reading wins then.
  if (guess != codepage::kNone &&
      (!ReadsAsText(sample, guess) ||
       (IsLatinPage(guess) && HighBytesComeInPairs(sample) && !ReadsAsLatinWords(sample, guess)) ||
       (IsLatinPage(guess) && OnlyShiftJisSymbolRows(sample)))) {
    for (const CodePage japanese : {codepage::kShiftJis, codepage::kEucJp})
      if (ReadsAsText(sample, japanese)) return japanese;
  }
  return guess;
}

// A single-byte page's answer, checked against how its rivals read the sample.
CodePage SingleByteAnswer(std::string_view sample, CodePage guess) {
  // Japanese first: the single-byte pages' readings of Japanese text are all
  // poor, and the least poor of them must not hide it.
  const bool hasC1 = HoldsC1Bytes(sample);
  const CodePage japanese = JapaneseUnlessGuessReads(sample, WindowsPageForC1Bytes(guess, hasC1));
  if (japanese != codepage::kNone && FamilyOf(japanese) == CodePageFamily::Japanese) return japanese;
  if (guess == codepage::kNone || FamilyOf(guess) == CodePageFamily::Other)
    guess = BestSingleByteReading(sample, guess);
  return WindowsPageWhenAlike(WindowsPageForC1Bytes(guess, hasC1), sample);
}

// What the detectors make of the part of a file they look at (after any byte-order mark).
CodePage DetectInSample(std::string_view sample);

}  // namespace

ByteOrderMark FindByteOrderMark(std::string_view bytes) {
  const auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
  if (bytes.size() >= 3 && starts("\xEF\xBB\xBF")) return {codepage::kUtf8, 3};
  if (bytes.size() >= 4 && starts(std::string_view("\xFF\xFE\0\0", 4))) return {codepage::kUtf32Le, 4};
  if (bytes.size() >= 4 && starts(std::string_view("\0\0\xFE\xFF", 4))) return {codepage::kUtf32Be, 4};
  if (bytes.size() >= 2 && starts("\xFF\xFE")) return {codepage::kUtf16Le, 2};
  if (bytes.size() >= 2 && starts("\xFE\xFF")) return {codepage::kUtf16Be, 2};
  return {};
}

std::string_view DetectionSample(std::string_view bytes) {
  return DetectionSample(bytes, FindFirstHighByte(bytes));
}

std::string_view DetectionSample(std::string_view bytes, size_t firstHigh) {
  const std::string_view head = bytes.substr(0, kDetectionSampleBytes);
  if (firstHigh < head.size() || firstHigh == bytes.size() ||
      head.find('\0') != std::string_view::npos || head.find(char(kEscape)) != std::string_view::npos)
    return head;
  return bytes.substr(firstHigh, kDetectionSampleBytes);
}

CodePage DetectCodePage(std::string_view bytes) {
  return DetectCodePage(bytes, FindFirstHighByte(bytes));
}

CodePage DetectCodePage(std::string_view bytes, size_t firstHighByte) {
  if (bytes.empty()) return codepage::kUtf8;
  if (const ByteOrderMark mark = FindByteOrderMark(bytes); mark.codePage != codepage::kNone)
    return mark.codePage;
  return DetectInSample(DetectionSample(bytes, firstHighByte));
}

CodePage DetectCodePageOfParts(std::string_view head, std::string_view atFirstHigh) {
  head = head.substr(0, kDetectionSampleBytes);
  if (head.empty()) return codepage::kUtf8;
  if (const ByteOrderMark mark = FindByteOrderMark(head); mark.codePage != codepage::kNone)
    return mark.codePage;
  // As DetectionSample chooses: the head unless it is all ASCII without a NUL or an escape.
  const bool headDecides = atFirstHigh.empty() || FindFirstHighByte(head) < head.size() ||
                           head.find('\0') != std::string_view::npos ||
                           head.find(char(kEscape)) != std::string_view::npos;
  return DetectInSample(headDecides ? head : atFirstHigh.substr(0, kDetectionSampleBytes));
}

namespace {

CodePage DetectInSample(std::string_view sample) {
  if (const CodePage wide = WideUnicodeByZeroBytes(sample); wide != codepage::kNone) return wide;
  if (!HasHighBytes(sample)) {
    const CodePage sevenBit = SevenBitEncoding(sample);
    return sevenBit != codepage::kNone ? sevenBit : codepage::kUtf8;
  }
  if (IsValidUtf8Prefix(sample)) return codepage::kUtf8;

  // Only for short samples: on longer ones the statistics are the better
  // judges, and the script readings take Korean with some Hanja for Chinese.
  if (HasFewerHighBytesThan(sample, kShortSampleHighBytes)) {
    if (const CodePage reading = PlausibleEastAsianReading(sample); reading != codepage::kNone)
      return reading;
  }

  if (const CodePage japanese = ClearlyJapanese(sample); japanese != codepage::kNone)
    return japanese;

  // uchardet is some thirty times faster than ICU's detector and as good on
  // the East Asian pages, so its answer settles those without asking ICU;
  // it costs a tenth of a microsecond a high byte, so it glances first.
  if (const CodePage glance = UchardetGlance(sample);
      IsEastAsianOrWideUnicode(glance) && ReadsAsItsScript(sample, glance))
    return glance;
  const CodePage fastGuess = UchardetGuess(sample);
  if (IsEastAsianOrWideUnicode(fastGuess) && ReadsAsItsScript(sample, fastGuess)) return fastGuess;

  // ICU runs an n-gram model for each single-byte page it knows, some eight
  // times what all of uchardet costs; below, its answer counts only when it
  // names a wide Unicode or East Asian page that decodes cleanly, or when
  // uchardet has none.
  if (fastGuess != codepage::kNone && !IcuMayNameCleanWideOrEastAsianPage(sample))
    return SingleByteAnswer(sample, fastGuess);

  std::vector<CharsetCandidate> icu = IcuCandidates(sample);
  std::erase_if(icu, [](const CharsetCandidate& c) {
    return c.confidence <= kNoEvidenceConfidence || c.codePage == codepage::kNone;
  });
  CodePage guess = fastGuess;
  if (guess == codepage::kNone && !icu.empty() && !IsEastAsianOrWideUnicode(icu.front().codePage))
    guess = icu.front().codePage;
  if (!icu.empty() && IsEastAsianOrWideUnicode(icu.front().codePage)) {
    const CodePage choice = ChooseAmongIcuCandidates(icu);
    // On a short sample the script readings above found no plausible East
    // Asian text: a clean double-byte decoding of a few accented Latin
    // letters ("plan\x82t", Big5 reads it) is chance, and Latin words that
    // read without a flaw are the better answer.
    if (DecodesCleanly(sample, choice) &&
        !(HasFewerHighBytesThan(sample, kShortSampleHighBytes) &&
          ReadsAsLatinWords(sample, SingleByteAnswer(sample, guess))))
      return choice;
  }
  if (guess == codepage::kNone && !icu.empty()) guess = icu.front().codePage;
  return SingleByteAnswer(sample, guess);
}

}  // namespace

}  // namespace trawlscope
