#include "app/CodePageTexts.h"

#include <algorithm>

#include "app/CountTexts.h"
#include "platform/codepage/conversion/UnwritablePages.h"
#include "platform/files/NativePath.h"
#include "search/archive/MemberPath.h"

namespace trawlscope {
namespace {

std::u16string PageName(CodePage codePage) { return FromNativePath(CodePageDisplayName(codePage)); }

// The pages of `files` in the order of their first file.
std::vector<CodePage> PagesOf(const std::vector<const HitFile*>& files) {
  std::vector<CodePage> pages;
  for (const HitFile* file : files)
    if (std::find(pages.begin(), pages.end(), file->codePage) == pages.end()) pages.push_back(file->codePage);
  return pages;
}

}  // namespace

std::u16string CodePageCountsText(const std::vector<CodePage>& pageOfEachFile) {
  // Pages with as many files keep the order of their first file.
  std::vector<std::pair<CodePage, size_t>> ordered;
  for (const CodePage page : pageOfEachFile) {
    if (page == 0) continue;
    const auto known = std::find_if(ordered.begin(), ordered.end(), [&](const auto& c) { return c.first == page; });
    if (known == ordered.end()) ordered.push_back({page, 1});
    else ++known->second;
  }
  std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  std::u16string text;
  for (const auto& [page, count] : ordered) {
    if (!text.empty()) text += u", ";
    text += PageName(page) + u": " + FilesText(count);
  }
  return text;
}

std::u16string FilesByCodePageText(const std::vector<const HitFile*>& files) {
  std::vector<CodePage> pages;
  for (const HitFile* file : files) pages.push_back(file->codePage);
  return CodePageCountsText(pages);
}

std::vector<const HitFile*> FilesThatCannotHold(const std::vector<const HitFile*>& files,
                                                const std::u16string& replacement) {
  const std::vector<CodePage> pages = PagesThatCannotHold(PagesOf(files), replacement);
  std::vector<const HitFile*> refused;
  for (const HitFile* file : files)
    if (std::find(pages.begin(), pages.end(), file->codePage) != pages.end()) refused.push_back(file);
  return refused;
}

std::u16string CannotHoldWarning(const std::vector<const HitFile*>& files, const std::u16string& replacement) {
  const std::vector<const HitFile*> refused = FilesThatCannotHold(files, replacement);
  if (refused.empty()) return {};
  const std::vector<CodePage> refusing = PagesOf(refused);
  const std::u16string characters = CharactersSomePageCannotHold(refusing, replacement);
  std::u16string pages;
  for (const CodePage page : refusing) {
    if (!pages.empty()) pages += u", ";
    pages += PageName(page);
  }
  return FillIn(Words(TRAWLSCOPE_TEXT("CodePageTexts",
                                      "'%1' cannot be written in %2 of the %3 (%4): they will be left unchanged.")),
                {characters, GroupedText(refused.size()), FilesText(files.size()), pages});
}

std::vector<const HitFile*> CompressedFiles(const std::vector<const HitFile*>& files) {
  std::vector<const HitFile*> compressed;
  for (const HitFile* file : files)
    if (NamesCompressed(file->folder + file->fileName)) compressed.push_back(file);
  return compressed;
}

std::u16string CompressedWarning(const std::vector<const HitFile*>& files) {
  const size_t compressed = CompressedFiles(files).size();
  if (compressed == 0) return {};
  return FillIn(Words(TRAWLSCOPE_TEXT("CodePageTexts",
                                      "%1 of the %2 are inside compressed files, which are only read: "
                                      "they will be left unchanged.")),
                {GroupedText(compressed), FilesText(files.size())});
}

std::u16string UndecodableFilesNote(const std::vector<const HitFile*>& files) {
  const size_t count = static_cast<size_t>(
      std::count_if(files.begin(), files.end(), [](const HitFile* file) { return file->undecodable; }));
  if (count == 0) return {};
  return CountedText(count, TRAWLSCOPE_TEXT("CodePageTexts", "%1 file had bytes its code page could not read."),
                     TRAWLSCOPE_TEXT("CodePageTexts", "%1 files had bytes their code page could not read."));
}

std::u16string CodePageCellText(const HitFile& file) {
  if (file.codePage == 0) return {};
  std::u16string text = PageName(file.codePage);
  if (file.hadBom) text += Words(TRAWLSCOPE_TEXT("CodePageTexts", ", BOM"));
  return text;
}

}  // namespace trawlscope
