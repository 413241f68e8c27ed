#pragma once
// What the windows say about the pages of a list's files before a replace:
// which pages it will write, which of them cannot hold the replacement (and
// which files are compressed, which none is written to), and how many files
// read with bytes their page did not define.
#include <string>
#include <vector>

#include "search/hits/Hit.h"

namespace trawlscope {

// "UTF-8 (65001): 6 files, Shift_JIS (932): 3 files" for the pages of nine
// files, one page a file; the most files first, no page for 0.
std::u16string CodePageCountsText(const std::vector<CodePage>& pageOfEachFile);
std::u16string FilesByCodePageText(const std::vector<const HitFile*>& files);

// The files whose page cannot write some character of `replacement`
// (PagesThatCannotHold, UnwritablePages.h).
std::vector<const HitFile*> FilesThatCannotHold(const std::vector<const HitFile*>& files,
                                                const std::u16string& replacement);

// "'😀' cannot be written in 6 of the 9 files (Shift_JIS (932), EUC-JP
// (51932)): they will be left unchanged."; empty when every file can hold it.
std::u16string CannotHoldWarning(const std::vector<const HitFile*>& files, const std::u16string& replacement);

// The files inside compressed files and archives, which a replace leaves as they are.
std::vector<const HitFile*> CompressedFiles(const std::vector<const HitFile*>& files);

// "2 of the 9 files are inside compressed files, which are only read: they
// will be left unchanged."; empty for none.
std::u16string CompressedWarning(const std::vector<const HitFile*>& files);

// "3 files had bytes their code page could not read."; empty for none.
std::u16string UndecodableFilesNote(const std::vector<const HitFile*>& files);

// The page as the list's column and tooltips show it: "UTF-16LE (1200), BOM".
std::u16string CodePageCellText(const HitFile& file);

}  // namespace trawlscope
