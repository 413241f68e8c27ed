#include "search/listing/TypePatterns.h"

#include <algorithm>

#include "search/listing/PathHelpers.h"

namespace trawlscope {
namespace {

std::u16string_view Trimmed(std::u16string_view item) {
  while (!item.empty() && item.front() == u' ') item.remove_prefix(1);
  while (!item.empty() && item.back() == u' ') item.remove_suffix(1);
  return item;
}

}  // namespace

TypePatterns::TypePatterns(std::u16string_view text) {
  // A lone pattern keeps its spaces, as stored settings and scripts wrote it.
  const bool several = text.find(u';') != std::u16string_view::npos;
  for (size_t from = 0; from <= text.size();) {
    const size_t end = several ? std::min(text.find(u';', from), text.size()) : text.size();
    std::u16string_view item = several ? Trimmed(text.substr(from, end - from)) : text;
    from = end + 1;
    const bool excludes = !item.empty() && item.front() == u'!';
    if (excludes) item.remove_prefix(1);
    const bool folder = !item.empty() && IsSeparator(item.back());
    if (folder) item.remove_suffix(1);
    if (item.empty()) {
      if (!several && !excludes && !folder) files_.emplace_back(item);  // empty: every file
      continue;
    }
    auto& list = folder ? (excludes ? notFolders_ : folders_) : (excludes ? notFiles_ : files_);
    list.emplace_back(item);
  }
  everyFile_ = files_.empty() ||
               std::any_of(files_.begin(), files_.end(), [](const WildcardPattern& p) { return p.MatchesEverything(); });
}

bool TypePatterns::AnyMatches(const std::vector<WildcardPattern>& patterns, std::u16string_view name) {
  return std::any_of(patterns.begin(), patterns.end(), [&](const WildcardPattern& p) { return p.Matches(name); });
}

TypePatterns::Verdict TypePatterns::ForFile(std::u16string_view name) const {
  if (!everyFile_ && !AnyMatches(files_, name)) return Verdict::NotOfTheTypes;
  if (!notFiles_.empty() && AnyMatches(notFiles_, name)) return Verdict::Excluded;
  return Verdict::Listed;
}

bool TypePatterns::ExcludesFolder(std::u16string_view name) const {
  return !notFolders_.empty() && AnyMatches(notFolders_, name);
}

bool TypePatterns::NamesFolder(std::u16string_view name) const { return AnyMatches(folders_, name); }

}  // namespace trawlscope
