#include "search/RawPrefilter.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "platform/CodePageConverter.h"
#include "platform/EncodingUniqueness.h"
#include "search/CaseFolding.h"

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

bool ContainsBytes(std::string_view haystack, const std::string& needle) {
  return std::search(haystack.begin(), haystack.end(),
                     std::boyer_moore_horspool_searcher(needle.begin(), needle.end())) !=
         haystack.end();
}

struct AsciiLowerHash {
  size_t operator()(char c) const { return std::hash<int>()(std::tolower(static_cast<unsigned char>(c))); }
};
struct AsciiCaselessEqual {
  bool operator()(char a, char b) const {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  }
};

}  // namespace

struct RawPrefilter::Plan {
  enum class Kind { DecodeAlways, ExactBytes, AsciiCaseless } kind = Kind::DecodeAlways;
  std::string needle;
  // For AsciiCaseless: encoded non-ASCII characters that fold like a letter of
  // the pattern (KELVIN SIGN folds to "k"); any of them in the bytes means decode.
  std::vector<std::string> foldAlikes;
};

RawPrefilter::RawPrefilter(std::u16string pattern, MatchMode mode)
    : pattern_(std::move(pattern)), mode_(mode) {}

RawPrefilter::~RawPrefilter() = default;

std::unique_ptr<RawPrefilter::Plan> RawPrefilter::MakePlan(CodePage codePage) const {
  auto plan = std::make_unique<Plan>();
  if (mode_ == MatchMode::RegularExpression || pattern_.empty()) return plan;

  bool foldsOnlyToItself = true;
  for (const char16_t unit : pattern_)
    if (mode_ == MatchMode::CaseInsensitive && CodeUnitsFoldingLike(unit).size() != 1)
      foldsOnlyToItself = false;

  if (foldsOnlyToItself) {
    if (HasUniqueByteForms(pattern_, codePage) && EncodeFromUtf16(pattern_, codePage, plan->needle))
      plan->kind = Plan::Kind::ExactBytes;
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
        plan->foldAlikes.push_back(encoded);
      } else if (CanDecodeTo(alike, codePage)) {
        return plan;  // it may hide behind several byte forms: decode to be sure
      }
    }
  }
  plan->needle.assign(pattern_.begin(), pattern_.end());
  plan->kind = Plan::Kind::AsciiCaseless;
  return plan;
}

bool RawPrefilter::MayContain(std::string_view bytes, CodePage codePage) {
  auto it = plans_.find(codePage);
  if (it == plans_.end()) it = plans_.emplace(codePage, MakePlan(codePage)).first;
  const Plan& plan = *it->second;
  switch (plan.kind) {
    case Plan::Kind::DecodeAlways: return true;
    case Plan::Kind::ExactBytes: return ContainsBytes(bytes, plan.needle);
    case Plan::Kind::AsciiCaseless: {
      for (const auto& alike : plan.foldAlikes)
        if (ContainsBytes(bytes, alike)) return true;
      const std::boyer_moore_horspool_searcher searcher(plan.needle.begin(), plan.needle.end(),
                                                        AsciiLowerHash(), AsciiCaselessEqual());
      return std::search(bytes.begin(), bytes.end(), searcher) != bytes.end();
    }
  }
  return true;
}

}  // namespace trawlscope
