#include "HitPrinter.h"

#include <charconv>
#include <cstdint>

#include "platform/files/NativePath.h"
#include "results/HitExport.h"

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

}  // namespace

// The bytes the path opens, so that --only-hits opens the same file again.
std::string PathField(const std::u16string& path) { return EscapedName(ToNativePath(path)); }

HitPrinter::HitPrinter(std::function<void(std::string_view)> write, bool codePageField)
    : write_(std::move(write)), codePageField_(codePageField) {}

HitPrinter::HitPrinter(std::function<void(std::string_view)> write, RecordFormat format)
    : write_(std::move(write)), codePageField_(false), format_(format) {
  out_ = RecordHeader(format);
}

void HitPrinter::Print(const HitList& fileHits) {
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
      if (out_.size() > kPieceBytes) Flush();
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
    if (out_.size() > kPieceBytes) Flush();
  }
  hits_.fetch_add(fileHits.size(), std::memory_order_relaxed);
  if (!out_.empty() && std::chrono::steady_clock::now() - lastWrite_ >= kMostHeld) Flush();
}

void HitPrinter::Flush() {
  if (!out_.empty()) write_(out_);
  out_.clear();
  lastWrite_ = std::chrono::steady_clock::now();
}

}  // namespace trawlscope::batch
