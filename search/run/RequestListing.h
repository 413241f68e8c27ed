#pragma once
// The listing a request asks for.
#include "search/SearchRequest.h"
#include "search/archive/MemberFilter.h"
#include "search/listing/FileList.h"

namespace trawlscope {

// Views into `request`, which must outlive the rules.
// Compressed files are listed when their members may be of the types.
inline ListingRules ListingRulesOf(const SearchRequest& request) {
  ListingRules rules;
  rules.includeSubfolders = request.includeSubfolders;
  rules.fileTypes = request.fileTypes;
  rules.skipVersionControl = request.skipVersionControl;
  rules.followGitignore = request.followGitignore;
  rules.bounds = request.bounds;
  if (request.searchCompressed) rules.alsoList = &MemberFilter::MayHoldWanted;
  return rules;
}

}  // namespace trawlscope
