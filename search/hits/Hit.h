#pragma once
// One occurrence of the search text. A list keeps its hits packed
// (PackedHits) and makes a Hit when asked: a Hit is a value, not a place in
// the list. The folder and name live once per file (HitFile), and the contexts of all
// of a file's hits are cut from one buffer per file that holds each stretch
// of text once, one byte per unit when the stretch is ASCII.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/codepage/CodePageTable.h"
#include "platform/files/FileIdentity.h"

namespace trawlscope {

// What the hits of one file share.
struct HitFile {
  std::u16string folder;  // ends with the separator
  std::u16string fileName;
  CodePage codePage = 0;
  bool hadBom = false;
  // Some bytes of the file were not text in its page: its page may be a wrong guess.
  bool undecodable = false;
  // What the file was when it was searched (device, inode, size, time), so
  // that a replace of picked hits can tell whether it changed since. Hand-made
  // hits have none.
  bool hasIdentity = false;
  FileIdentity identity;
  // The text around the hits; narrow (one byte per unit) when all of it is ASCII.
  std::string narrow;
  std::u16string wide;
  bool isNarrow = false;
  // The hits of this record follow those of an earlier record of the same
  // file, handed over while the file was still being searched.
  bool continued = false;
};

// Part of a file's context buffer, compared and copied without building a string.
class TextView {
 public:
  TextView(const HitFile& file, size_t start, size_t length) : file_(&file), start_(start), length_(length) {}
  size_t size() const { return length_; }
  char16_t operator[](size_t i) const {
    return file_->isNarrow ? static_cast<char16_t>(static_cast<unsigned char>(file_->narrow[start_ + i]))
                           : file_->wide[start_ + i];
  }
  std::u16string ToString() const;
  // Where the view starts in its file's context buffer.
  size_t Start() const { return start_; }
  // Code-unit order, as std::u16string compares.
  friend bool operator<(const TextView& a, const TextView& b);

 private:
  const HitFile* file_;
  size_t start_;
  size_t length_;
};

class Hit {
 public:
  // The keyword in the buffer is the occurrence's own text: `keywordLength` is its length.
  Hit(const HitFile& file, size_t contextStart, size_t leftLength, size_t keywordLength,
      size_t rightLength)
      : length(static_cast<std::int64_t>(keywordLength)), file_(&file), contextStart_(contextStart),
        leftLength_(static_cast<std::uint32_t>(leftLength)), rightLength_(static_cast<std::uint32_t>(rightLength)) {}

  const HitFile& File() const { return *file_; }
  const std::u16string& Folder() const { return file_->folder; }
  const std::u16string& FileName() const { return file_->fileName; }
  std::u16string FullPath() const { return file_->folder + file_->fileName; }
  CodePage FileCodePage() const { return file_->codePage; }

  // Raw text: may hold CR, LF, TAB. The keyword is as the file has it, not as typed.
  TextView LeftView() const { return {*file_, contextStart_, leftLength_}; }
  TextView KeywordView() const { return {*file_, contextStart_ + leftLength_, KeywordLength()}; }
  TextView RightView() const { return {*file_, contextStart_ + leftLength_ + KeywordLength(), rightLength_}; }
  // The row's whole text: left context, keyword and right context, which lie side by side.
  TextView RowView() const { return {*file_, contextStart_, leftLength_ + KeywordLength() + rightLength_}; }
  std::u16string LeftContext() const { return LeftView().ToString(); }
  std::u16string Keyword() const { return KeywordView().ToString(); }
  std::u16string RightContext() const { return RightView().ToString(); }

  // Positions and lengths count UTF-16 code units of the file's searchable
  // text; 64-bit, since a text may pass 2^31 units. The length is also the
  // keyword's in the context buffer: set it only to the occurrence's length.
  std::int64_t line = 0;      // 1-based
  std::int64_t position = 0;  // 0-based
  std::int64_t length = 0;

  // The same occurrence: the same file record and the same numbers.
  friend bool operator==(const Hit&, const Hit&) = default;

 private:
  friend class PackedHits;  // packs the private numbers and makes them back
  size_t KeywordLength() const { return static_cast<size_t>(length); }
  const HitFile* file_;
  std::uint64_t contextStart_;  // where the left context starts in the file's buffer
  std::uint32_t leftLength_;
  std::uint32_t rightLength_;
};

// Made on demand from a list's packed records; only a few are held at a time.
static_assert(sizeof(Hit) <= 48);

}  // namespace trawlscope
