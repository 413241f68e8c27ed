#pragma once
// Control and command numbers of the main dialog. Windows talk to the main
// dialog through these commands; the numbers are the program's own.

namespace trawlscope {

enum class ControlId {
  SearchPath = 1000,
  Browse = 1001,  // "..."
  Search = 1003,
  FileTypes = 1004,
  XPath = 1005,
  SearchFor = 1006,
  Regex = 1007,
  CaseSensitive = 1008,
  Subfolders = 1009,
  UndoLastReplace = 1010,
  ReadAs = 1011,  // "Read files as:"
  Compressed = 1012,  // "Search compressed files"
  WholeWord = 1013,
  SkipVersionControl = 1014,
  FollowGitignore = 1015,
  MinSize = 1016,  // "Size:", at least
  MaxSize = 1017,  // at most
  ModifiedAfter = 1018,  // "Modified:", after
  ModifiedBefore = 1019,  // before
};

enum class Command {
  Replace = 134,        // from the result dialog
  ReplaceSelected = 140,  // from the result dialog: the selected rows' occurrences only
  UndoLastReplace = 1010,
  ShowResults = 135,    // from the search worker
  Abort = 136,          // from the progress dialog
  CloseProgress = 137,  // from the worker
  Export = 139,         // from the result dialog
  ReadFileAs = 141,     // from the result dialog: one file in the page its menu chose
  SearchAgain = 142,    // from the result dialog: the list's own search, run again (F5)
  ForgetPages = 143,    // from the result dialog: the pages "Read this file as" chose are dropped, the list searched again
  Browse = 1001,
  Search = 1003,
  PickFiles = 32773,    // "File" in the "..." menu
  PickFolder = 32774,   // "Folder"
};

}  // namespace trawlscope
