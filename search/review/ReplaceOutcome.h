#pragma once
// What a replace run did to one file. The run gathers these and hands them to
// its sink at the end: the files left unchanged by a fault are the user's to see.
#include <cstddef>

#include "platform/codepage/CodePageTable.h"
#include "platform/files/FileError.h"
#include "platform/files/FileIdentity.h"
#include "search/text/ReplaceProblem.h"

namespace trawlscope {

struct FileReplaceOutcome {
  enum class Kind {
    Changed,        // written with `replacements` occurrences replaced
    Unchanged,      // nothing matched: the file was not touched
    LeftUnchanged,  // something matched, or it could not be read: `problem` says why
    Aborted,        // the run was aborted while the file was being read
    Binary,         // not text: never searched, never written
    SameFile,       // another name of a file this run replaced already: replaced once
  };
  Kind kind = Kind::Unchanged;
  size_t replacements = 0;
  ReplaceProblem problem = ReplaceProblem::None;
  FileError file;            // problem File: the step and errno
  FileIdentity linkTarget;   // problem File refused as a symbolic link: the file it names
  char32_t character = 0;    // problem CodePageCannotHold: the character
  CodePage codePage = 0;     // Changed, and problem CodePageCannotHold: the file's page

  static FileReplaceOutcome Changed(size_t count) { return Of(Kind::Changed, ReplaceProblem::None, count); }
  static FileReplaceOutcome Unchanged() { return {}; }
  static FileReplaceOutcome LeftUnchanged(ReplaceProblem problem) { return Of(Kind::LeftUnchanged, problem); }
  static FileReplaceOutcome FileFailed(const FileError& error) {
    FileReplaceOutcome outcome = Of(Kind::LeftUnchanged, ReplaceProblem::File);
    outcome.file = error;
    return outcome;
  }
  // Unreadable, vanished or too large for memory: unlike Unchanged, the
  // user cannot tell whether it held the text.
  static FileReplaceOutcome Unreadable(int error) { return FileFailed(FileError::System(FileStep::Read, error)); }
  static FileReplaceOutcome Binary() { return Of(Kind::Binary, ReplaceProblem::None); }
  static FileReplaceOutcome SameFile() { return Of(Kind::SameFile, ReplaceProblem::None); }
  static FileReplaceOutcome Aborted() { return Of(Kind::Aborted, ReplaceProblem::Aborted); }

 private:
  static FileReplaceOutcome Of(Kind kind, ReplaceProblem problem, size_t replacements = 0) {
    FileReplaceOutcome outcome;
    outcome.kind = kind;
    outcome.problem = problem;
    outcome.replacements = replacements;
    return outcome;
  }
};

}  // namespace trawlscope
