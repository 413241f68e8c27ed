#include "HitPrinter.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "platform/files/NativePath.h"
#include "results/HitExport.h"
#include "search/archive/MemberPath.h"
#include "search/xml/XmlFiles.h"

namespace trawlscope::batch {
namespace {

// Output is put out in pieces of about this size.
constexpr size_t kPieceBytes = 64u << 10;
// Held lines wait at most this long for more (when the next file comes).
constexpr auto kMostHeld = std::chrono::milliseconds(20);

void AppendNumber(std::string& out, std::int64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

// The keyword as a field: a plain ASCII one is its own bytes.
void AppendKeyword(std::string& out, const TextView& keyword) {
  for (size_t i = 0; i < keyword.size(); ++i) {
    const char16_t c = keyword[i];
    if (c >= 0x80 || c == u'\t' || c == u'\r' || c == u'\n') {
      out += ToNativeBytes(FlattenField(keyword.ToString()));
      return;
    }
  }
  for (size_t i = 0; i < keyword.size(); ++i) out += static_cast<char>(keyword[i]);
}

// The hit's line as far as its contexts reach.
std::u16string RowLine(const Hit& hit) {
  std::u16string left = hit.LeftContext();
  std::u16string right = hit.RightContext();
  left.erase(0, left.find_last_of(u"\r\n") + 1);
  right.erase(std::min(right.find_first_of(u"\r\n"), right.size()));
  return left + hit.Keyword() + right;
}

}  // namespace

// The bytes the path opens, so that --only-hits opens the same file again.
std::string PathField(const std::u16string& path) { return EscapedName(ToNativePath(path)); }

HitPrinter::HitPrinter(std::function<void(std::string_view)> write, bool codePageField)
    : write_(std::move(write)), codePageField_(codePageField) {}

HitPrinter::HitPrinter(std::function<void(std::string_view)> write, RecordFormat format)
    : write_(std::move(write)), codePageField_(false), format_(format) {
  out_ = RecordHeader(format);
}

HitPrinter::HitPrinter(std::function<void(std::string_view)> write, ContextCounts counts, bool xpath)
    : write_(std::move(write)), codePageField_(false), context_(counts), xpath_(xpath) {}

HitPrinter::HitPrinter(std::function<void(std::string_view)> write, FileLines fileLines, bool nulls)
    : write_(std::move(write)), codePageField_(false), fileLines_(fileLines), nulls_(nulls) {}

void HitPrinter::Hold(const HitList& fileHits) {
  const HitFile* file = nullptr;
  for (const Hit& hit : fileHits) {
    // A continued record adds to the file held; any other starts a file.
    if (&hit.File() != file && !hit.File().continued) {
      PrintHeld();
      held_.path = hit.FullPath();
      held_.pathField = PathField(held_.path);
      held_.page = hit.FileCodePage();
      // Their hits' lines are not the file's: a member is not at hand, an XPath's text is not the file's.
      held_.rowsOnly = NamesCompressed(held_.path) || (xpath_ && IsXmlPath(held_.path));
      files_.fetch_add(1, std::memory_order_relaxed);
    }
    file = &hit.File();
    // Only a file that is not read again needs the hit's own text.
    held_.hits.push_back({hit.position, hit.length, hit.line, held_.rowsOnly ? RowLine(hit) : u""});
  }
  hits_.fetch_add(fileHits.size(), std::memory_order_relaxed);
}

void HitPrinter::PrintHeld() {
  if (held_.hits.empty()) return;
  if (const int error = context_->Append(out_, held_); error != 0) contextFailures_.emplace_back(held_.path, error);
  held_.hits.clear();
  if (out_.size() > kPieceBytes) Write();
}

// Names come from the hits, so each file is still read to its end: the
// searcher has no cheap way to stop a file at its first hit.
void HitPrinter::PrintFileLines(const HitList& fileHits) {
  const HitFile* file = nullptr;
  for (const Hit& hit : fileHits) {
    if (&hit.File() != file && !hit.File().continued) {
      EndCountedFile();
      files_.fetch_add(1, std::memory_order_relaxed);
      const std::string path = nulls_ ? ToNativePath(hit.FullPath()) : PathField(hit.FullPath());
      if (*fileLines_ == FileLines::Names) {
        out_ += path;
        out_ += nulls_ ? '\0' : '\n';
      } else {
        countedPath_ = path;
      }
    }
    file = &hit.File();
    ++counted_;
  }
  hits_.fetch_add(fileHits.size(), std::memory_order_relaxed);
}

// As rg --count-matches: PATH:N; with --null PATH NUL N, the form of grep -cZ.
void HitPrinter::EndCountedFile() {
  if (fileLines_ == FileLines::Counts && counted_ > 0) {
    out_ += countedPath_;
    out_ += nulls_ ? '\0' : ':';
    AppendNumber(out_, static_cast<std::int64_t>(counted_));
    out_ += '\n';
  }
  counted_ = 0;
}

void HitPrinter::Print(const HitList& fileHits) {
  if (fileLines_) {
    PrintFileLines(fileHits);
    if (out_.size() > kPieceBytes) Write();
    WriteIfHeldLong();
    return;
  }
  if (context_) {
    // A file's lines are printed when the next file's hits come, or at the end.
    Hold(fileHits);
    WriteIfHeldLong();
    return;
  }
  // The path is made once for each file record.
  const HitFile* file = nullptr;
  std::string path;
  for (const Hit& hit : fileHits) {
    if (&hit.File() != file) {
      file = &hit.File();
      path = format_ ? RecordPath(*file, *format_) : PathField(hit.FullPath());
      if (!file->continued) files_.fetch_add(1, std::memory_order_relaxed);
    }
    if (format_) {
      AppendRecord(out_, hit, path, *format_);
      if (out_.size() > kPieceBytes) Write();
      continue;
    }
    out_ += path;
    out_ += '\t';
    AppendNumber(out_, hit.line);
    out_ += '\t';
    AppendNumber(out_, hit.position);
    out_ += '\t';
    AppendNumber(out_, hit.length);
    out_ += '\t';
    AppendKeyword(out_, hit.KeywordView());
    if (codePageField_) {
      out_ += '\t';
      AppendNumber(out_, hit.FileCodePage());
    }
    out_ += '\n';
    if (out_.size() > kPieceBytes) Write();
  }
  hits_.fetch_add(fileHits.size(), std::memory_order_relaxed);
  WriteIfHeldLong();
}

void HitPrinter::Flush() {
  if (context_) PrintHeld();
  EndCountedFile();
  Write();
}

void HitPrinter::WriteIfHeldLong() {
  if (!out_.empty() && std::chrono::steady_clock::now() - lastWrite_ >= kMostHeld) Write();
}

void HitPrinter::Write() {
  if (!out_.empty()) write_(out_);
  out_.clear();
  lastWrite_ = std::chrono::steady_clock::now();
}

}  // namespace trawlscope::batch
