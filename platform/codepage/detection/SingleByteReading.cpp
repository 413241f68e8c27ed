#include "platform/codepage/detection/SingleByteReading.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <bitset>
#include <optional>
#include <string>
#include <vector>

#include "platform/codepage/ByteScan.h"
#include "platform/codepage/conversion/ByteTableDecoder.h"

namespace trawlscope {
namespace {

// Enough words to judge, little enough to decode fourteen times per file.
constexpr size_t kScoredBytes = 1024;
// Another page must read better by more than this to overrule the guess: a
// wrong page costs some three points a word (a mixed script, a case flip, a
// symbol in a word), an accidental rare letter one or two; one lone
// character read as a letter rather than a dash must not decide.
constexpr double kClearlyBetter = 4;

// The pages whose readings are weighed: each script's Windows, ISO, DOS and
// Mac pages and KOI8, where the confusions are.
constexpr CodePage kWeighed[] = {1252, 28605, 1250, 28592, 852, 1251, 20866, 28595, 866, 855, 10007, 1253, 28597, 1254};

enum class Script { Other, Latin, Greek, Cyrillic };

Script ScriptOf(char16_t c) {
  if (c < 0x80) return (c | 0x20) >= 'a' && (c | 0x20) <= 'z' ? Script::Latin : Script::Other;
  if (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) return Script::Latin;
  if (c >= 0x370 && c <= 0x3FF) return Script::Greek;
  if (c >= 0x400 && c <= 0x4FF) return Script::Cyrillic;
  return Script::Other;
}

bool IsLetter(char16_t c) { return ScriptOf(c) != Script::Other || u_isalpha(c); }

bool Contains(std::u16string_view set, char16_t c) { return set.find(c) != std::u16string_view::npos; }

// Letter weights from letter frequencies: the common letters of the
// languages each script's pages serve score, rare ones cost.
double LetterWeight(char16_t c) {
  const char16_t lower = static_cast<char16_t>(u_tolower(c));
  switch (ScriptOf(c)) {
    case Script::Cyrillic:
      if (Contains(u"оеаинтсрвлкмдпу", lower)) return 1;
      if (Contains(u"яыьгзбчйхжшюцщэфъё", lower)) return 0;
      if (Contains(u"іїєґўјљњћђџѕ", lower)) return -0.5;  // Ukrainian, Belarusian, Serbian, Macedonian
      return -2;
    case Script::Greek:
      if (Contains(u"αοιετσςνηυρπκμλάέίόή", lower)) return 1;
      if (Contains(u"ωδγχθφβύώξψζ", lower)) return 0;
      return -2;
    case Script::Latin:
      // The accented letters of the European languages the Latin pages serve.
      if (Contains(u"éáíóúàèìòùâêîôûäëïöüçñãõåæøßœłąęśćńżźčšžřěůýťďňľĺőűşğıțșăţŕ", lower)) return 0.5;
      return -2;
    default: return 0;
  }
}

bool IsGreekFinal(char16_t lower) { return Contains(u"αεηιουωάέήίόύώϊϋΐΰςσν", lower); }

// Punctuation that real text puts next to words.
bool IsCommonPunctuation(char16_t c) {
  return Contains(u"\u00A0«»„“”‘’‚–—…•°§©®€£¥¢№·", c);
}

// What Score asks of a character, looked up once: ICU's case tables and
// the letter lists were most of the scoring's time, and every weighed page
// asks them again of the same few hundred letters.
struct CharacterFacts {
  double weight = 0;  // LetterWeight, for letters
  Script script = Script::Other;
  bool letter = false;
  bool upper = false;
  bool lowerCase = false;
  bool commonPunctuation = false;
  bool greekFinal = false;  // of its lower case
};

CharacterFacts FactsOf(char16_t c) {
  CharacterFacts facts;
  facts.letter = IsLetter(c);
  facts.script = ScriptOf(c);
  facts.upper = u_isupper(c);
  facts.lowerCase = u_islower(c);
  facts.commonPunctuation = IsCommonPunctuation(c);
  facts.greekFinal = IsGreekFinal(static_cast<char16_t>(u_tolower(c)));
  if (facts.letter) facts.weight = LetterWeight(c);
  return facts;
}

// The Latin, Greek and Cyrillic blocks, where the single-byte pages'
// letters are, and the punctuation and letterlike blocks of their quotes,
// dashes, currency signs and ™.
constexpr char16_t kLettersEnd = 0x500;
constexpr char16_t kPunctuationStart = 0x2000, kPunctuationEnd = 0x2200;

const CharacterFacts& Facts(char16_t c, CharacterFacts& room) {
  static const std::vector<CharacterFacts> table = [] {
    std::vector<CharacterFacts> facts;
    for (char16_t c = 0; c < kLettersEnd; ++c) facts.push_back(FactsOf(c));
    for (char16_t c = kPunctuationStart; c < kPunctuationEnd; ++c) facts.push_back(FactsOf(c));
    return facts;
  }();
  if (c < kLettersEnd) return table[c];
  if (c >= kPunctuationStart && c < kPunctuationEnd) return table[kLettersEnd + (c - kPunctuationStart)];
  room = FactsOf(c);
  return room;
}

// `flawless` is left true only when no character cost anything.
double Score(std::u16string_view text, bool& flawless) {
  flawless = true;
  double score = 0;
  CharacterFacts roomC, roomBefore, roomAfter;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80) continue;
    if (c <= 0x9F) return kUnreadable;
    const char16_t before = i > 0 ? text[i - 1] : u' ';
    const char16_t after = i + 1 < text.size() ? text[i + 1] : u' ';
    const CharacterFacts& facts = Facts(c, roomC);
    const CharacterFacts& beforeFacts = Facts(before, roomBefore);
    const CharacterFacts& afterFacts = Facts(after, roomAfter);
    if (!facts.letter) {
      const bool inWord = beforeFacts.letter && afterFacts.letter;
      const double cost = facts.commonPunctuation ? (inWord && c != u'’' ? 3 : 0) : (inWord ? 4 : 1.5);
      score -= cost;
      flawless = flawless && cost == 0;
      continue;
    }
    const double weight = facts.weight;
    score += weight;
    const double withLetter = score;
    const Script script = facts.script;
    if (beforeFacts.letter) {
      const Script previous = beforeFacts.script;
      if (previous != script && previous != Script::Other && script != Script::Other) score -= 3;
      if (facts.upper && beforeFacts.lowerCase) score -= 2.5;
    }
    // Latin languages write most letters in ASCII; three accented ones in a
    // row is another script read through a Latin page.
    if (script == Script::Latin && before >= 0x80 && after >= 0x80 && beforeFacts.script == Script::Latin &&
        afterFacts.script == Script::Latin)
      score -= 1.5;
    if (c == u'ς' && afterFacts.letter) score -= 3;
    // Greek words end in a vowel, ς or ν, or in an apostrophe where a vowel
    // was dropped (απ’); KOI8-R and windows-1251 text read through a Greek
    // page ends them in any letter.
    if (script == Script::Greek && !afterFacts.letter && !facts.greekFinal && after != u'’' && after != u'\'')
      score -= 2.5;
    flawless = flawless && weight >= 0 && score == withLetter;
  }
  return score;
}

// The part of the sample that is scored: from its first high byte.
std::string_view ScoredPart(std::string_view sample) {
  return sample.substr(FindFirstHighByte(sample), kScoredBytes);
}

double ScoreOf(std::string_view part, CodePage codePage, bool& flawless) {
  flawless = false;
  thread_local std::vector<char16_t> room;
  if (room.size() < part.size()) room.resize(part.size());
  const HeldPrefix held = DecodeHeldPrefix(part, codePage, room.data());
  if (held.bytes < part.size() || held.units != part.size()) return kUnreadable;
  return Score({room.data(), held.units}, flawless);
}

double ScoreOf(std::string_view part, CodePage codePage) {
  bool flawless = false;
  return ScoreOf(part, codePage, flawless);
}

}  // namespace

double SingleByteReadingScore(std::string_view sample, CodePage codePage) {
  return ScoreOf(ScoredPart(sample), codePage);
}

namespace {

// Where both pages read each byte value of `part` alone, as one held
// character, the two readings are those characters byte by byte: they agree
// when each value reads alike. Unknown (nullopt) when a value is a lead byte
// or not held in one of them.
std::optional<bool> ByteValuesReadAlike(std::string_view part, CodePage a, CodePage b) {
  std::bitset<0x100> present;
  for (const char c : part) present.set(static_cast<unsigned char>(c));
  for (unsigned value = 0; value < 0x100; ++value) {
    if (!present.test(value)) continue;
    const char byte = static_cast<char>(value);
    char16_t inA[2], inB[2];
    const HeldPrefix heldA = DecodeHeldPrefix({&byte, 1}, a, inA);
    const HeldPrefix heldB = DecodeHeldPrefix({&byte, 1}, b, inB);
    if (heldA.bytes != 1 || heldB.bytes != 1 || heldA.units != 1 || heldB.units != 1) return std::nullopt;
    if (inA[0] != inB[0]) return false;
  }
  return true;
}

}  // namespace

bool SingleByteReadingsAgree(std::string_view sample, CodePage a, CodePage b) {
  // All of it: the few letters where the pages differ may come late.
  const std::string_view part = sample.substr(FindFirstHighByte(sample));
  if (const std::optional<bool> alike = ByteValuesReadAlike(part, a, b)) return *alike;
  std::u16string first(part.size(), u'\0'), second(part.size(), u'\0');
  const HeldPrefix heldA = DecodeHeldPrefix(part, a, first.data());
  const HeldPrefix heldB = DecodeHeldPrefix(part, b, second.data());
  return heldA.bytes == part.size() && heldB.bytes == part.size() && first == second;
}

CodePage BestSingleByteReading(std::string_view sample, CodePage guess) {
  // The letter weights know the Latin, Greek and Cyrillic languages only:
  // a guess of another script (Hebrew, Thai, Baltic...) is not second-guessed.
  if (guess != codepage::kNone && std::find(std::begin(kWeighed), std::end(kWeighed), guess) == std::end(kWeighed))
    return guess;
  const std::string_view part = ScoredPart(sample);
  bool flawless = false;
  const double guessScore = guess == codepage::kNone ? kUnreadable : ScoreOf(part, guess, flawless);
  // A reading without a flaw (no rare letter, symbol in a word, script mix or
  // case flip) stands: most files are read right by uchardet, and weighing
  // every rival costs a decoding each.
  if (flawless) return guess;
  CodePage best = guess;
  double bestScore = guessScore + kClearlyBetter;
  for (const CodePage page : kWeighed) {
    if (page == guess) continue;
    const double score = ScoreOf(part, page);
    if (score > bestScore) best = page, bestScore = score;
  }
  return best;
}

}  // namespace trawlscope
