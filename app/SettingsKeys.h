#pragma once
// The sections and keys of the settings file, with their defaults. These
// names are what users' existing files hold: never rename them.

namespace trawlscope::settings {

inline constexpr char16_t kFilepath[] = u"Filepath";
inline constexpr char16_t kFiltering[] = u"Filtering";
inline constexpr char16_t kXPath[] = u"XPath";
inline constexpr char16_t kTextForSearch[] = u"TextForSearch";
inline constexpr char16_t kEditControl[] = u"EditControl";

inline constexpr char16_t kCheckBox[] = u"CheckBox";
inline constexpr char16_t kRegex[] = u"Regex";
inline constexpr char16_t kCaseSensitive[] = u"CaseSensitive";
inline constexpr char16_t kSubfolder[] = u"Subfolder";
inline constexpr char16_t kWholeWord[] = u"WholeWord";
inline constexpr char16_t kSkipVersionControl[] = u"SkipVersionControl";  // default 1
inline constexpr char16_t kFollowGitignore[] = u"FollowGitignore";
inline constexpr char16_t kCompressed[] = u"Compressed";  // on unless the file says 0

// The page every file is read in; 0 (or none) detects each file's.
inline constexpr char16_t kCodePage[] = u"CodePage";
inline constexpr char16_t kReadAs[] = u"ReadAs";
// 0 detects every file's page afresh at each search instead of keeping the
// pages detected in a cache file; on unless the file says 0.
inline constexpr char16_t kCacheDetected[] = u"CacheDetected";

// The dialog's size and time bounds, as typed; empty for none.
inline constexpr char16_t kBounds[] = u"Bounds";
inline constexpr char16_t kMinSize[] = u"MinSize";
inline constexpr char16_t kMaxSize[] = u"MaxSize";
inline constexpr char16_t kModifiedAfter[] = u"ModifiedAfter";
inline constexpr char16_t kModifiedBefore[] = u"ModifiedBefore";

inline constexpr char16_t kMainDialog[] = u"MainDialog";
inline constexpr char16_t kResultDialog[] = u"ResultDialog";
inline constexpr char16_t kLeft[] = u"left";
inline constexpr char16_t kTop[] = u"top";
inline constexpr char16_t kRight[] = u"right";
inline constexpr char16_t kBottom[] = u"bottom";
inline constexpr char16_t kBeforeText[] = u"beforetext";
inline constexpr char16_t kAfterText[] = u"aftertext";
inline constexpr char16_t kFilename[] = u"filename";
inline constexpr char16_t kLine[] = u"line";
inline constexpr char16_t kCodePageColumn[] = u"codepage";
inline constexpr char16_t kShowCodePage[] = u"showcodepage";
inline constexpr char16_t kFolderColumn[] = u"folder";
inline constexpr char16_t kShowFolder[] = u"showfolder";

inline constexpr char16_t kKwic[] = u"KWIC";
inline constexpr char16_t kLength[] = u"Length";

inline constexpr char16_t kUndo[] = u"Undo";
inline constexpr char16_t kRuns[] = u"Runs";
inline constexpr char16_t kMaxMegabytes[] = u"MaxMegabytes";

inline constexpr char16_t kEditor[] = u"Editor";
inline constexpr char16_t kCommand[] = u"Command";

// A combo's history keeps at most this many entries in the file (keys 0..19).
inline constexpr int kHistoryEntries = 20;
inline constexpr int kDefaultContextLength = 30;
inline constexpr int kDefaultUndoRuns = 10;
inline constexpr int kDefaultUndoMegabytes = 2048;

inline constexpr int kMainDialogMinWidth = 564;
inline constexpr int kMainDialogMinHeight = 172;
inline constexpr int kMainDialogDefaultLeft = 0;
inline constexpr int kMainDialogDefaultTop = 200;
inline constexpr int kMainDialogDefaultRight = 564;
inline constexpr int kMainDialogDefaultBottom = 372;

inline constexpr int kResultDialogMinWidth = 320;
inline constexpr int kResultDialogMinHeight = 200;
// A first list of some twenty rows, beside a main dialog of its default size.
inline constexpr int kResultDialogDefaultWidth = 960;
inline constexpr int kResultDialogDefaultHeight = 520;
inline constexpr int kDefaultBeforeTextWidth = 300;
inline constexpr int kDefaultAfterTextWidth = 300;
inline constexpr int kDefaultFilenameWidth = 100;

}  // namespace trawlscope::settings
