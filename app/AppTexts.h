#pragma once
// Texts the desktop program shows. The program's own wording: keep them exactly.

namespace trawlscope::texts {

inline constexpr char16_t kCantSelectFolder[] = u"Can't select folder path.";
inline constexpr char16_t kRunNotStarted[] = u"検索を開始できませんでした。";
inline constexpr char16_t kFilesLeftUnchanged[] = u"次のファイルは変更できませんでした。";
inline constexpr char16_t kOutputNotWritten[] = u"出力ファイルを書き込めませんでした。";

}  // namespace trawlscope::texts
