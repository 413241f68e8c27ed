#pragma once
// What a replace run did to one file. The run gathers these and hands them to
// its sink at the end: the files left unchanged by a fault are the user's to see.
#include <cstring>
#include <string>

namespace trawlscope {

struct FileReplaceOutcome {
  enum class Kind {
    Changed,        // written with `replacements` occurrences replaced
    Unchanged,      // nothing matched: the file was not touched
    LeftUnchanged,  // something matched but the file could not be changed safely
    Aborted,        // the run was aborted while the file was being read
    Binary,         // not text: never searched, never written
  };
  Kind kind = Kind::Unchanged;
  size_t replacements = 0;
  std::string reason;  // for LeftUnchanged: why, in words for the user (UTF-8)

  static FileReplaceOutcome Changed(size_t count) { return {Kind::Changed, count, {}}; }
  static FileReplaceOutcome Unchanged() { return {}; }
  static FileReplaceOutcome LeftUnchanged(std::string why) {
    return {Kind::LeftUnchanged, 0, std::move(why)};
  }
  // Unreadable, vanished or too large for memory: unlike Unchanged, the
  // user cannot tell whether it held the text.
  static FileReplaceOutcome Unreadable(int error) {
    return LeftUnchanged(std::string("cannot read: ") + std::strerror(error));
  }
  static FileReplaceOutcome Binary() { return {Kind::Binary, 0, {}}; }
  static FileReplaceOutcome Aborted() {
    return {Kind::Aborted, 0, "the run was aborted before the file was changed"};
  }
};

}  // namespace trawlscope
