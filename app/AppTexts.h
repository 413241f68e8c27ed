#pragma once
// Texts the desktop program shows.

namespace trawlscope::texts {

inline constexpr char16_t kCantSelectFolder[] = u"Can't select folder path.";
inline constexpr char16_t kRunNotStarted[] = u"検索を開始できませんでした。";
inline constexpr char16_t kFilesLeftUnchanged[] = u"次のファイルは変更できませんでした。";
inline constexpr char16_t kOutputNotWritten[] = u"出力ファイルを書き込めませんでした。";
inline constexpr char16_t kPathsNotFound[] = u"次のパスは見つかりませんでした。";
inline constexpr char16_t kRegexError[] = u"正規表現に誤りがあります。";
inline constexpr char16_t kXPathError[] = u"XPathに誤りがあります。";
inline constexpr char16_t kFilesNotRead[] = u"次のファイルは読み込めませんでした。";
inline constexpr char16_t kFilesNotSearched[] = u"次のファイルは正規表現で検索できませんでした。";

}  // namespace trawlscope::texts
