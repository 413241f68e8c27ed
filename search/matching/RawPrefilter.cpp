#include "search/matching/RawPrefilter.h"

#include <algorithm>

#include "platform/codepage/ByteScan.h"
#include "platform/codepage/conversion/CodePageConverter.h"
#include "platform/codepage/conversion/EncodingUniqueness.h"
#include "search/matching/scan/ByteSearch.h"
#include "search/matching/unicode/CaseFolding.h"

namespace trawlscope {
namespace {

bool IsAscii(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
}

// Code pages where an ASCII character is always its own single byte.
bool KeepsAsciiAsBytes(CodePage codePage) {
  return codePage != codepage::kUtf16Le && codePage != codepage::kUtf16Be &&
         codePage != codepage::kUtf32Le && codePage != codepage::kUtf32Be &&
         IsAsciiTransparent(codePage);
}

}  // namespace

struct RawPrefilter::Plan {
  enum class Kind { DecodeAlways, ExactBytes, AsciiCaseless } kind = Kind::DecodeAlways;
  std::string needle;
  std::unique_ptr<ByteFinder> finder;
  // For AsciiCaseless: encoded non-ASCII characters that fold like a letter of
  // the pattern (KELVIN SIGN folds to "k"); any of them in the bytes means decode.
  std::vector<ByteFinder> foldAlikes;
};

RawPrefilter::RawPrefilter(std::u16string pattern, MatchMode mode)
    : pattern_(std::move(pattern)), mode_(mode) {}

RawPrefilter::RawPrefilter(const Matcher& matcher, MatchMode mode)
    : pattern_(matcher.Pattern()), mode_(mode) {
  // Asked only of an expression run: the facts need the expression compiled.
  if (mode_ != MatchMode::RegularExpression) return;
  const ExpressionFacts* facts = matcher.Facts();
  if (facts == nullptr) return;
  const MatchMode literalMode = facts->caseless ? MatchMode::CaseInsensitive : MatchMode::Exact;
  for (const std::u16string& literal : facts->requiredLiterals)
    literals_.push_back(std::make_unique<RawPrefilter>(literal, literalMode));
}

RawPrefilter::~RawPrefilter() = default;

std::unique_ptr<RawPrefilter::Plan> RawPrefilter::MakePlan(CodePage codePage) const {
  auto plan = std::make_unique<Plan>();
  if (mode_ == MatchMode::RegularExpression || pattern_.empty()) return plan;

  bool foldsOnlyToItself = true;
  for (const char16_t unit : pattern_)
    if (mode_ == MatchMode::CaseInsensitive && CodeUnitsFoldingLike(unit).size() != 1)
      foldsOnlyToItself = false;

  if (foldsOnlyToItself) {
    if (HasUniqueByteForms(pattern_, codePage) && EncodeFromUtf16(pattern_, codePage, plan->needle)) {
      plan->kind = Plan::Kind::ExactBytes;
      plan->finder = std::make_unique<ByteFinder>(plan->needle);
    }
    return plan;
  }
  if (!IsAscii(pattern_) || !KeepsAsciiAsBytes(codePage) || !HasUniqueByteForms(pattern_, codePage))
    return plan;
  std::string encoded;
  for (const char16_t unit : pattern_) {
    for (const char16_t alike : CodeUnitsFoldingLike(unit)) {
      if (alike < 0x80) continue;
      const std::u16string_view alikeText(&alike, 1);
      if (HasUniqueByteForms(alikeText, codePage)) {
        EncodeFromUtf16(alikeText, codePage, encoded);
        plan->foldAlikes.emplace_back(encoded);
      } else if (CanDecodeTo(alike, codePage)) {
        return plan;  // it may hide behind several byte forms: decode to be sure
      }
    }
  }
  plan->needle.assign(pattern_.begin(), pattern_.end());
  plan->finder = std::make_unique<ByteFinder>(plan->needle, true);
  plan->kind = Plan::Kind::AsciiCaseless;
  return plan;
}

const RawPrefilter::Plan& RawPrefilter::PlanFor(CodePage codePage) {
  auto it = plans_.find(codePage);
  if (it == plans_.end()) it = plans_.emplace(codePage, MakePlan(codePage)).first;
  return *it->second;
}

const ByteFinder* RawPrefilter::FinderForAsciiBytes(CodePage codePage) {
  if (!literals_.empty()) return nullptr;
  // Fold-alikes are not ASCII: on ASCII bytes only the finder answers.
  const Plan& plan = PlanFor(codePage);
  return plan.kind == Plan::Kind::DecodeAlways ? nullptr : plan.finder.get();
}

bool RawPrefilter::MayContain(std::string_view bytes, CodePage codePage) {
  return MayContain(bytes, codePage, FindFirstHighByte(bytes));
}

bool RawPrefilter::MayContain(std::string_view bytes, CodePage codePage, size_t firstHighByte) {
  if (!literals_.empty()) {
    return std::any_of(literals_.begin(), literals_.end(), [&](const auto& literal) {
      return literal->MayContain(bytes, codePage, firstHighByte);
    });
  }
  const Plan& plan = PlanFor(codePage);
  switch (plan.kind) {
    case Plan::Kind::DecodeAlways: return true;
    case Plan::Kind::ExactBytes: return plan.finder->FoundIn(bytes);
    case Plan::Kind::AsciiCaseless: {
      // A fold-alike is no ASCII character, so in these pages its bytes start
      // with one from 0x80 up: it can only stand from the first such byte
      // on, and most files have none.
      const std::string_view fromFirstHigh = bytes.substr(std::min(firstHighByte, bytes.size()));
      for (const ByteFinder& alike : plan.foldAlikes)
        if (alike.FoundIn(fromFirstHigh)) return true;
      return plan.finder->FoundIn(bytes);
    }
  }
  return true;
}

}  // namespace trawlscope
