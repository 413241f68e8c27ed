#pragma once
// Searching and replacing in ".xml" files through an XPath: only the text of
// the nodes the expression selects, and whose first child is text, takes part.
#include <functional>
#include <string>
#include <string_view>

#include "search/matching/Matcher.h"
#include "platform/codepage/CodePageTable.h"
#include "search/text/ReplaceProblem.h"
#include "search/text/TextEdits.h"

namespace trawlscope {

bool IsXmlPath(const std::u16string& path);

// The selected nodes' texts, each followed by LF, into `text`. False when the
// file must be searched as plain text instead (the expression cannot be
// compiled or evaluated). A document that does not parse is no failure: it
// gives an empty text, so no hits.
bool ExtractXPathText(std::string_view bytes, const std::u16string& xpath, std::u16string& text);

struct XmlReplacement {
  enum class Kind { PlainText, NothingToChange, Spliced, Refused };
  Kind kind = Kind::NothingToChange;
  size_t replacements = 0;
  std::string bytes;   // Spliced: the new file
  ReplaceProblem problem = ReplaceProblem::None;  // Refused: why the file stays as it is
  char32_t character = 0;                         // CodePageCannotHold: which character
  CodePage codePage = 0;                          // CodePageCannotHold: the document's page
};

// The changes a replace makes to the selected nodes' texts, written into the
// original bytes: everything outside the changed text stays byte for byte.
// PlainText: the expression cannot be used, treat the file as plain text.
XmlReplacement ReplaceInXml(std::string_view bytes, const std::u16string& xpath, const Matcher& matcher,
                            MatchMode mode, const AbortFlag& abortRequested,
                            const std::u16string& replacementText);

// The edits for one selected node's text, which starts `start` units into
// the text ExtractXPathText gives (positions relative to the node's text).
using NodeEdits = std::function<Matcher::ScanEnd(std::u16string_view nodeText, size_t start, TextEdits& edits)>;

// The same with the edits of each node chosen by `collect`: a replace of
// some occurrences only.
XmlReplacement ReplaceInXml(std::string_view bytes, const std::u16string& xpath, const NodeEdits& collect);

}  // namespace trawlscope
