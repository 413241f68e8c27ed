#pragma once
// What one search or replace run is asked to do. Written by the dialog only
// while no run is in progress and read by the worker without a lock.
#include <string>
#include <unordered_map>

#include "platform/codepage/CodePageTable.h"
#include "search/listing/FileBounds.h"

namespace trawlscope {

struct SearchRequest {
  std::u16string searchPath;       // quoted paths, or one bare path
  std::u16string fileTypes;        // one wildcard pattern; empty means "*.*"
  std::u16string searchText;       // empty makes a run do nothing
  std::u16string xpath;            // narrows ".xml" files when not empty
  std::u16string replacementText;  // for replace runs
  bool includeSubfolders = false;
  bool useRegex = false;
  bool caseSensitive = false;
  bool searchCompressed = true;    // inside compressed files and archives, read-only
  // Every file without a byte-order mark is read in this page; kNone detects each file's.
  CodePage readAs = codepage::kNone;
  // Aiming: what the listing leaves out, and which occurrences count.
  bool skipVersionControl = true;  // .git, .svn, .hg, .bzr and CVS are not entered
  bool followGitignore = false;    // what git's ignore rules ignore is left out
  bool wholeWord = false;          // only occurrences that begin and end on word boundaries
  FileBounds bounds;               // files in folders outside these sizes and times are left out
  // A replace writes through a symbolic link to a file, wherever that file
  // is; otherwise such a link is left as it is and its file is replaced only
  // where the run meets it under its own name.
  bool replaceThroughLinks = false;
};

// Pages chosen for single files of a result list (full path to page), over
// the run's: they hold for that list's searches and replaces.
using FileCodePages = std::unordered_map<std::u16string, CodePage>;

}  // namespace trawlscope
