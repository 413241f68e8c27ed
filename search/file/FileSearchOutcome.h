#pragma once
// What became of one file's search: a value the run decides on.

namespace trawlscope {

struct FileSearchOutcome {
  enum class Kind {
    Searched,
    Aborted,
    MatchError,  // the expression was too complex for this file's text; earlier hits stand
    Binary,      // not text: never searched
    Unreadable,  // could not be read (or held in memory): `error` says why
  };
  Kind kind = Kind::Searched;
  int error = 0;  // Unreadable: the errno
};

}  // namespace trawlscope
