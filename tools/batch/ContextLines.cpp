#include "ContextLines.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <deque>
#include <utility>

#include "platform/codepage/ByteScan.h"
#include "platform/codepage/conversion/CodePageConverter.h"
#include "platform/files/FileInPieces.h"
#include "platform/files/NativePath.h"
#include "search/file/LinePieces.h"
#include "search/matching/scan/LineCounter.h"
#include "search/text/TextDecoding.h"

namespace trawlscope::batch {
namespace {

// The file is read again in pieces of lines of about this size.
constexpr size_t kPieceBytes = 1u << 20;

bool IsBreak(char16_t c) { return c == u'\n' || c == u'\r'; }

// How many bytes at the front of a piece without a hit or a line still to
// print can pass without decoding: in a page that reads ASCII as itself, all
// of an ASCII piece without CRs but its last `keep` lines, which a hit in the
// next piece may show. A piece that is not so passes nothing.
size_t PassingBytes(std::string_view piece, CodePage page, std::int64_t keep) {
  if (!IsAsciiTransparent(page) || piece.find('\r') != std::string_view::npos) return 0;
  if (HasHighBytes(piece)) return 0;
  if (keep == 0) return piece.size();
  // Back from the last line's own break over `keep` breaks: the start of the lines kept.
  size_t end = piece.size() - (!piece.empty() && piece.back() == '\n' ? 1 : 0);
  for (std::int64_t kept = 0; kept < keep; ++kept) {
    const size_t feed = end == 0 ? std::string_view::npos : piece.rfind('\n', end - 1);
    if (feed == std::string_view::npos) return 0;
    end = feed;
  }
  return end + 1;
}

}  // namespace

void ContextLines::AppendLine(std::string& out, const HeldFile& file, std::int64_t number, char mark,
                              std::u16string_view text) {
  // A group that does not touch the last one printed, or starts another file, is set apart.
  if (printed_ && (lastPrinted_ == 0 || number > lastPrinted_ + 1)) out += "--\n";
  printed_ = true;
  lastPrinted_ = number;
  out += file.pathField;
  out += mark;
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
  out += mark;
  out += ToNativeBytes(text);
  out += '\n';
}

void ContextLines::AppendRows(std::string& out, const HeldFile& file) {
  for (const HitSpan& hit : file.hits)
    if (hit.line != lastPrinted_) AppendLine(out, file, hit.line, ':', hit.row);
}

int ContextLines::Append(std::string& out, const HeldFile& file) {
  lastPrinted_ = 0;
  if (file.rowsOnly) {
    AppendRows(out, file);
    return 0;
  }
  FileInPieces pieces;
  const int fd = open(ToNativePath(file.path).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  struct stat info {};
  const bool opened = fd >= 0 && fstat(fd, &info) == 0;
  const int openError = fd < 0 || !opened ? errno : 0;
  if (fd >= 0) pieces.Take(fd, static_cast<unsigned long long>(info.st_size));
  // Gone, or no longer a file of its own since its search: said by the caller, as the search says it.
  if (!opened) return openError;
  if (!S_ISREG(info.st_mode)) return S_ISDIR(info.st_mode) ? EISDIR : EINVAL;

  const std::vector<HitSpan>& hits = file.hits;
  std::deque<std::pair<std::int64_t, std::u16string>> waiting;  // lines that may come before a hit
  std::int64_t number = 1;
  std::int64_t printUntil = 0;
  std::int64_t coverEnd = 0;  // where the hits begun so far end: a hit over a break marks the lines it spans
  size_t next = 0;
  std::int64_t offset = 0;  // units before the piece's text
  PieceRoom raw;
  std::u16string text;
  bool atEnd = false;
  bool atStart = true;
  while (next < hits.size() || number <= printUntil) {
    const long long length = NextLinePiece(pieces, raw, kPieceBytes, file.page, atEnd);
    if (length < 0) return errno;
    if (length == 0) break;
    std::string_view piece = raw.View().substr(0, static_cast<size_t>(length));
    // Most of a huge file lies between hits: its ASCII lines are only counted.
    const bool quiet = number > printUntil && coverEnd <= offset &&
                       (next == hits.size() || hits[next].position >= offset + length);
    if (const size_t passing = quiet && next < hits.size() ? PassingBytes(piece, file.page, counts_.before) : 0) {
      // No CR in it: its lines end at its line feeds.
      number += LineCounter<char>(piece.substr(0, passing)).LineOf(passing) - 1;
      offset += static_cast<std::int64_t>(passing);
      piece.remove_prefix(passing);
      waiting.clear();
      atStart = false;
    }
    text.clear();
    bool hadBom = false;
    // Pieces end at line feeds, so each decodes alone; only the first may hold a byte-order mark.
    if (atStart) DecodeDetectedBytes(piece, file.page, text, hadBom);
    else DecodeToUtf16(piece, file.page, text);
    atStart = false;
    raw.DropFront(static_cast<size_t>(length));
    for (size_t start = 0; start < text.size() && (next < hits.size() || number <= printUntil);) {
      size_t end = start;
      while (end < text.size() && !IsBreak(text[end])) ++end;
      size_t after = end;
      if (after < text.size())
        after += text[after] == u'\r' && after + 1 < text.size() && text[after + 1] == u'\n' ? 2 : 1;
      const std::int64_t lineStart = offset + static_cast<std::int64_t>(start);
      const std::int64_t nextLine = offset + static_cast<std::int64_t>(after);
      bool isHit = coverEnd > lineStart;
      for (; next < hits.size() && hits[next].position < nextLine; ++next) {
        isHit = true;
        coverEnd = std::max(coverEnd, hits[next].position + hits[next].length);
      }
      const std::u16string_view line(text.data() + start, end - start);
      if (isHit) {
        for (const auto& [before, waited] : waiting) AppendLine(out, file, before, '-', waited);
        waiting.clear();
        AppendLine(out, file, number, ':', line);
        printUntil = number + counts_.after;
      } else if (number <= printUntil) {
        AppendLine(out, file, number, '-', line);
      } else if (counts_.before > 0) {
        if (static_cast<std::int64_t>(waiting.size()) == counts_.before) waiting.pop_front();
        waiting.emplace_back(number, line);
      }
      ++number;
      start = after;
    }
    offset += static_cast<std::int64_t>(text.size());
    if (atEnd && raw.size() == 0) break;
  }
  return 0;
}

}  // namespace trawlscope::batch
