#pragma once
// Where each piece of character data of an XML document stands in its
// source text, so that a change to a node's text is written into the
// original document instead of re-serialising it (which would turn CR LF
// into LF, quotes, character references and empty elements into other
// forms, and drop a mark).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trawlscope {

struct XmlSourceRun {
  bool isCdata = false;
  std::u16string text;         // as the parser reports it: references resolved, line ends as LF
  std::vector<size_t> source;  // source offset of each unit of `text`, then of its end
};

// The character data inside the root element, in document order. Nothing
// when the source cannot be split with certainty (an unclosed construct).
std::optional<std::vector<XmlSourceRun>> MapXmlSource(std::u16string_view source);

// `text` written as character data: "&", "<" and ">" escaped, CR kept as a
// reference (a parser would turn it into LF).
std::u16string EscapeCharacterData(std::u16string_view text);

}  // namespace trawlscope
