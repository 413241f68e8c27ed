#pragma once
// The journal of one replace run as it goes. Before a file is replaced, its
// original bytes are on disk and so is the line of the run's record that
// names them: a run killed at any moment, by a signal or a power cut, leaves
// every file it changed undoable. Nothing kept for a file the run changed is
// removed by the run itself.
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/FileDescriptor.h"
#include "platform/files/FileError.h"
#include "platform/files/FileOps.h"
#include "platform/files/Outcome.h"
#include "platform/files/SafeFileWriter.h"
#include "platform/journal/JournalFolder.h"
#include "platform/journal/RunManifest.h"

namespace trawlscope {

// Whether a file's original was kept before it was replaced.
struct KeptOriginal {
  enum class Kind {
    Kept,    // `ticket` names it for Written or Discard
    Full,    // it would pass the journal's limit: the file must be left as it is
    Failed,  // writing it or its record failed (`error`): the file must be left as it is
  };
  Kind kind = Kind::Failed;
  size_t ticket = 0;
  FileError error;
};

// How a run's journal ended.
struct JournalEnd {
  enum class Kind {
    NotAsked,     // the run had no journal
    NothingKept,  // no file was changed
    Kept,         // the run can be undone
  };
  Kind kind = Kind::NotAsked;
  std::string runName;
  size_t files = 0;
  std::uint64_t bytes = 0;  // the originals kept
};

// Keep, Written and Discard may be called from any thread at once; Finish
// once, after the last of them.
class RunJournal {
 public:
  RunJournal(JournalPlace place, RunDescription description, IFileOps& ops = SystemFileOps());
  ~RunJournal();
  RunJournal(const RunJournal&) = delete;
  RunJournal& operator=(const RunJournal&) = delete;

  // Writes the file's original bytes and the record naming them and what
  // will replace them, each flushed to disk.
  KeptOriginal Keep(const std::string& nativePath, std::string_view original, std::string_view replacement);
  // The same for a file too large to hold: its original is copied from the
  // first `size` bytes of the open file `original`, and the caller hashed it
  // and what will replace it as it read and wrote them.
  KeptOriginal KeepFrom(const std::string& nativePath, int original, std::uint64_t size,
                        const std::string& originalHash, const std::string& writtenHash);
  // The file was replaced.
  void Written(size_t ticket);
  // The file was left as it was: its original is not needed.
  void Discard(size_t ticket);

  // Ends the record, then prunes the oldest runs.
  JournalEnd Finish();

 private:
  struct Entry {
    std::string originalName;
    std::uint64_t size = 0;
    bool written = false;
    bool discarded = false;
  };
  KeptOriginal KeepWith(const std::string& nativePath, std::uint64_t size,
                        const std::function<std::string()>& originalHash,
                        const std::function<std::string()>& writtenHash,
                        const std::function<Outcome<FileIdentity>(const std::string&)>& writeOriginal);
  // With mutex_ held.
  Outcome<> StartRecord();
  Outcome<> Append(const std::string& line);
  void CloseRecord();

  JournalPlace place_;
  RunDescription description_;
  IFileOps& ops_;
  std::mutex mutex_;
  std::string runName_;
  std::string runFolder_;
  FileDescriptor record_;  // holds the run's lock while it is open
  std::uint64_t recordSize_ = 0;
  bool recordBroken_ = false;  // a line could not be taken back after a failed write
  bool finished_ = false;
  std::uint64_t keptBytes_ = 0;
  std::vector<Entry> entries_;
};

}  // namespace trawlscope
