#pragma once
// Deciding from a file's raw bytes that its text cannot hold the search text,
// so that most files of a big tree are never decoded. It only ever answers
// "cannot" when that is certain: every doubt means "decode and look".
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage/CodePageTable.h"
#include "search/matching/Matcher.h"
#include "search/matching/scan/ByteSearch.h"

namespace trawlscope {

class RawPrefilter {
 public:
  RawPrefilter(std::u16string pattern, MatchMode mode);
  // The matcher's search text in `mode`; an expression is judged by the
  // literals each of its matches must contain.
  RawPrefilter(const Matcher& matcher, MatchMode mode);
  ~RawPrefilter();

  // False only when the bytes, decoded with `codePage`, certainly hold no
  // occurrence. Worker thread; plans are kept per code page for the run.
  // `firstHighByte`: the offset of the first byte from 0x80 up, or
  // bytes.size() when there is none.
  bool MayContain(std::string_view bytes, CodePage codePage, size_t firstHighByte);
  bool MayContain(std::string_view bytes, CodePage codePage);

  // The finder whose answer on bytes that are all ASCII is MayContain's for
  // `codePage`; null when MayContain does more than search for one needle
  // (an expression's literals, text that is always decoded).
  const ByteFinder* FinderForAsciiBytes(CodePage codePage);

 private:
  struct Plan;
  std::unique_ptr<Plan> MakePlan(CodePage codePage) const;
  const Plan& PlanFor(CodePage codePage);

  std::u16string pattern_;
  MatchMode mode_;
  std::map<CodePage, std::unique_ptr<Plan>> plans_;
  // For an expression: one filter per literal, any of which may be found.
  std::vector<std::unique_ptr<RawPrefilter>> literals_;
};

}  // namespace trawlscope
