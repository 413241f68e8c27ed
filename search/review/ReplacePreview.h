#pragma once
// What each hit of the last search becomes under a replace, worked out from
// the hit alone by the same matcher and format rules as the replace itself,
// so that the result list can show it before anything is written.
#include <memory>
#include <string>

#include "search/SearchRequest.h"
#include "search/hits/Hit.h"
#include "search/matching/Matcher.h"

namespace trawlscope {

class ReplacePreview {
 public:
  // `request` is the search the hits came from; its replacement text is not used.
  explicit ReplacePreview(const SearchRequest& request);

  struct Outcome {
    // False when the stored contexts cannot settle it: a format that copies
    // the text around the match, a look-around that may read past the
    // contexts, or a match that comes out otherwise there than in the file.
    bool known = false;
    std::u16string replacement;
  };
  Outcome Of(const Hit& hit, const std::u16string& replacementText) const;

 private:
  MatchMode mode_;
  std::unique_ptr<Matcher> matcher_;
  bool readsBeyondTheMatch_ = false;
};

}  // namespace trawlscope
