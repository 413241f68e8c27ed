#pragma once
// The per-run search engine: prepared once with the search text, it loads
// each file's searchable text and turns every occurrence into a Hit. Lives on
// the worker thread for exactly one run.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/CodePageTable.h"
#include "platform/FileReader.h"
#include "search/AbortFlag.h"
#include "search/HitList.h"
#include "search/LineStarts.h"
#include "search/Matcher.h"
#include "search/RawPrefilter.h"
#include "search/ReplaceOutcome.h"

namespace trawlscope {

enum class FileSearchOutcome {
  Searched,
  Aborted,
  MatchError,  // the expression was too complex for this file's text; earlier hits stand
};

class CFileSearcher {
 public:
  // Compiles the search text. False when it is not a valid expression; plain
  // scans still work then, and the run decides what a regex run does.
  bool Prepare(bool caseSensitive, const std::u16string& pattern, const std::u16string& xpath);

  FileSearchOutcome SearchFile(const AbortFlag& abortRequested, const std::u16string& path,
                               bool useRegex, bool caseSensitive, HitList& hits,
                               int contextLength);

  // Replaces every occurrence in the file and writes it back in its own code
  // page, changing no byte outside the occurrences; never writes a file in
  // which nothing matched, or that could not be read whole.
  FileReplaceOutcome ReplaceInFile(const AbortFlag& abortRequested, const std::u16string& path,
                                   bool useRegex, bool caseSensitive,
                                   const std::u16string& replacementText);

  // Fills the members below for one file (its text empty when it cannot be read).
  void LoadFile(const AbortFlag& abortRequested, const std::u16string& path);

  const std::u16string& Text() const { return text_; }
  CodePage FileCodePage() const { return codePage_; }
  bool HadBom() const { return hadBom_; }
  bool IsPlainText() const { return isPlainText_; }
  const Matcher& PreparedMatcher() const { return *matcher_; }

 private:
  void MakeHit(HitList& hits, std::int32_t position, std::int32_t length, int contextLength);
  void StartFile(const std::u16string& path);
  // Reads the file into bytes_ and detects its code page; false when aborted.
  bool ReadAndDetect(const AbortFlag& abortRequested, const std::u16string& path,
                     CodePage& detected, FileIdentity* identity = nullptr);
  void ReleaseOversizedText();
  // For an ".xml" file with an XPath: its selected nodes' text into text_.
  // False when the file is to be read as plain text.
  bool LoadXmlText(std::string_view bytes);
  FileSearchOutcome Finish(Matcher::ScanEnd end, const AbortFlag& abortRequested) const;
  // `length` units of the current text from `start`, wherever it is held.
  std::u16string Substring(size_t start, size_t length) const;
  RawPrefilter& PrefilterFor(MatchMode mode);

  bool hadBom_ = false;
  CodePage codePage_ = codepage::kNone;
  bool isPlainText_ = true;
  std::u16string text_;
  std::string_view asciiText_;  // while an ASCII file is scanned as bytes, its text
  FolderCursor folderCursor_;
  FileBuffer bytes_;  // the raw bytes of the file being searched, kept for the next one
  std::unique_ptr<Matcher> matcher_;
  std::unique_ptr<RawPrefilter> prefilter_;  // for the mode of the first file searched
  std::u16string xpath_;
  std::u16string folder_;
  std::u16string fileName_;
  LineStarts lineStarts_;
  bool lineStartsBuilt_ = false;
};

}  // namespace trawlscope
