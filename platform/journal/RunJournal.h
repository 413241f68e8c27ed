#pragma once
// The journal of one replace run as it goes: each file's original bytes are
// written and flushed to disk before the file is replaced, and the run's
// manifest, written last, makes the journal complete. Until then nothing of
// it is offered for undo.
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/FileError.h"
#include "platform/files/FileIdentity.h"
#include "platform/files/FileOps.h"
#include "platform/journal/JournalFolder.h"
#include "platform/journal/RunManifest.h"

namespace trawlscope {

// Whether a file's original was kept before it was replaced.
struct KeptOriginal {
  enum class Kind {
    Kept,     // `ticket` names it for Written or Discard
    NotKept,  // the journal was given up (its originals would not fit): replace without it
    Failed,   // writing it failed (`error`): the file must be left as it is
  };
  Kind kind = Kind::NotKept;
  size_t ticket = 0;
  FileError error;
};

// How a run's journal ended.
struct JournalEnd {
  enum class Kind {
    NotAsked,     // the run had no journal
    NothingKept,  // no file was changed
    Kept,         // complete: the run can be undone
    TooLarge,     // its originals passed the journal's limit: given up, the run went on without it
    Failed,       // the manifest could not be written (`error`): the run cannot be undone
  };
  Kind kind = Kind::NotAsked;
  FileError error;
  std::string runName;
  size_t files = 0;
  std::uint64_t bytes = 0;  // the originals kept
};

// Keep, Written and Discard may be called from any thread at once; Finish
// once, after the last of them.
class RunJournal {
 public:
  RunJournal(JournalPlace place, RunDescription description, IFileOps& ops = SystemFileOps());
  ~RunJournal();  // a journal never finished is removed
  RunJournal(const RunJournal&) = delete;
  RunJournal& operator=(const RunJournal&) = delete;

  // Writes the file's original bytes to the journal and flushes them.
  // `order` places the file in the manifest (its index in the run).
  KeptOriginal Keep(size_t order, const std::string& nativePath, std::string_view original);
  // The file was replaced: `placed` is what now stands at its path, holding `written`.
  void Written(size_t ticket, const FileIdentity& placed, std::string_view written);
  // The file was left as it was: its original is not needed.
  void Discard(size_t ticket);

  // Writes the manifest and flushes it, then prunes the oldest runs.
  JournalEnd Finish();

 private:
  struct Entry {
    size_t order = 0;
    bool written = false;
    bool discarded = false;
    JournalEntry record;
  };
  bool StartFolder(FileError& error);  // with mutex_ held

  JournalPlace place_;
  RunDescription description_;
  IFileOps& ops_;
  std::mutex mutex_;
  std::string runName_;
  std::string runFolder_;
  bool folderMade_ = false;
  bool givenUp_ = false;
  bool finished_ = false;
  std::uint64_t keptBytes_ = 0;
  std::vector<Entry> entries_;
};

}  // namespace trawlscope
