#pragma once
// The lines around a file's hits, as grep -n -H -C prints them: a hit line
// "PATH:LINE:TEXT", a line around it "PATH-LINE-TEXT", and "--" between
// groups that do not touch. The file is read again after its search, a piece
// of lines at a time, in the page the search read it in: however large the
// file, only a piece and the lines waiting to be printed before a hit are held.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope::batch {

struct ContextCounts {
  std::int64_t before = 0;
  std::int64_t after = 0;
};

// One occurrence as the printer needs it, in UTF-16 units of the file's text.
struct HitSpan {
  std::int64_t position = 0;
  std::int64_t length = 0;
  std::int64_t line = 0;
  std::u16string row;  // the hit's own line as far as its contexts reach, when not read again
};

// A file's hits waiting for their lines; they come in position order.
struct HeldFile {
  std::u16string path;
  std::string pathField;
  CodePage page = 0;
  // A member of a compressed file, or an ".xml" file whose hits are in its
  // XPath's text: not read again, its hit lines only.
  bool rowsOnly = false;
  std::vector<HitSpan> hits;
};

class ContextLines {
 public:
  explicit ContextLines(ContextCounts counts) : counts_(counts) {}

  // Appends the groups of `file`'s hits; `rowsOnly` gives its hit lines as far
  // as the hits' contexts reach, and no lines around them. The errno when the
  // file could not be read again, else 0.
  int Append(std::string& out, const HeldFile& file);

 private:
  void AppendLine(std::string& out, const HeldFile& file, std::int64_t number, char mark, std::u16string_view text);
  void AppendRows(std::string& out, const HeldFile& file);

  ContextCounts counts_;
  bool printed_ = false;          // anything, in any file: a later group starts with "--"
  std::int64_t lastPrinted_ = 0;  // in the file being printed
};

}  // namespace trawlscope::batch
