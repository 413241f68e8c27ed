#pragma once
// Why a file was not read or written, as a value: the step that failed and
// the errno the system gave it, or the program's own refusal. The words a
// user reads are chosen where the program meets the user (app/, the dialogs,
// the batch tool), never here.
#include <cstdint>

namespace trawlscope {

enum class FileStep : std::uint8_t {
  None,
  Read,             // reading the file
  Find,             // resolving its path
  Open,             // holding it open while it is replaced
  OpenForWriting,   // a file with several names is written in place
  CreateTemporary,  // the new content's file beside it
  Write,
  Reserve,          // room on disk before writing in place
  WriteInPlace,
  SetPermissions,
  Save,             // flushing and renaming the new content over it
  Encode,           // the text cannot be written in the code page asked for
  MakeFolder,       // a folder of the program's own (the journal's, the cache's)
  Lock,             // taking a lock that keeps two runs apart
  List,             // reading a folder's entries
  Load,             // loading a module of the program's own
};

enum class FileRefusal : std::uint8_t {
  None,
  ReadOnly,
  NotRegularFile,
  ChangedSinceRead,    // before anything was written: left as it was
  ChangedDuringWrite,  // seen after the rename: the old content, with the change, was put back
  PutBackFailed,       // as above, but putting it back failed at `step` (or it kept changing)
  OwnerNotKept,        // a new file could not take the old one's owner and group
  SymbolicLink,        // the name is a link, which is not written through
  SpecialBitsNotKept,  // writing would clear its set-user-ID or set-group-ID bit
};

struct FileError {
  FileStep step = FileStep::None;
  int error = 0;  // errno, when the system refused `step`
  FileRefusal refusal = FileRefusal::None;

  bool operator==(const FileError&) const = default;
  static FileError System(FileStep step, int error) { return {step, error, FileRefusal::None}; }
  static FileError Refused(FileRefusal refusal) { return {FileStep::None, 0, refusal}; }
  // The same failure, said of the step the caller was taking.
  FileError AtStep(FileStep caller) const { return {caller, error, refusal}; }
};

}  // namespace trawlscope
