#pragma once
// The File types text as a list: patterns separated by ";" (spaces around
// each ignored), "!" before a pattern leaving out what it names, "/" (or
// "\") after one naming folders, at any depth below the searched ones, rather
// than files. Text without ";" is one pattern as it always was, "!" and a
// final "/" aside. Without a pattern for files, every file fits.
#include <string_view>
#include <vector>

#include "search/listing/WildcardPattern.h"

namespace trawlscope {

class TypePatterns {
 public:
  explicit TypePatterns(std::u16string_view text);

  enum class Verdict : unsigned char { Listed, NotOfTheTypes, Excluded };
  // Excluded only for a name that fits the types and a "!" pattern.
  Verdict ForFile(std::u16string_view name) const;
  bool ExcludesFolder(std::u16string_view name) const;
  // With folder patterns that are not "!": files are listed only below a
  // folder whose name fits one of them.
  bool NamesFolders() const { return !folders_.empty(); }
  bool NamesFolder(std::u16string_view name) const;

 private:
  static bool AnyMatches(const std::vector<WildcardPattern>& patterns, std::u16string_view name);

  std::vector<WildcardPattern> files_;
  std::vector<WildcardPattern> notFiles_;
  std::vector<WildcardPattern> folders_;
  std::vector<WildcardPattern> notFolders_;
  bool everyFile_ = true;
};

}  // namespace trawlscope
