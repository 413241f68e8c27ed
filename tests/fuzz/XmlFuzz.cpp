// XPath text extraction, the source map and the replace written into the
// source, over arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/codepage/conversion/CodePageConverter.h"
#include "search/matching/Matcher.h"
#include "search/xml/XmlFiles.h"
#include "search/xml/XmlSourceMap.h"
#include "tests/fuzz/FuzzCheck.h"

using namespace trawlscope;
using fuzz::Require;

namespace {

void CheckSourceMap(std::u16string_view source) {
  const auto runs = MapXmlSource(source);
  if (!runs) return;
  for (const XmlSourceRun& run : *runs) {
    Require(run.source.size() == run.text.size() + 1, "each unit and the end have a source offset");
    for (size_t i = 0; i < run.source.size(); ++i) {
      Require(run.source[i] <= source.size(), "source offsets lie within the source");
      Require(i == 0 || run.source[i - 1] <= run.source[i], "source offsets ascend");
    }
  }
}

std::u16string ReplacedEverywhere(std::u16string_view text, char16_t from, std::u16string_view to) {
  std::u16string out;
  for (const char16_t c : text) {
    if (c == from) out += to;
    else out += c;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  std::u16string elements;
  std::u16string texts;
  Require(ExtractXPathText(bytes, u"//*", elements), "//* can be evaluated");
  Require(ExtractXPathText(bytes, u"//text()", texts), "//text() can be evaluated");

  std::u16string source;
  if (DecodeToUtf16(bytes, codepage::kUtf8, source)) CheckSourceMap(source);

  // Markup characters in the replacement must come back as text, not markup.
  static const Matcher matcher(u"a", true);
  const std::u16string replacement = u"&<x>";
  const AbortFlag abort{false};
  const XmlReplacement result = ReplaceInXml(bytes, u"//*", matcher, MatchMode::Exact, abort, replacement);
  if (result.kind != XmlReplacement::Kind::Spliced) return 0;
  std::u16string changed;
  Require(ExtractXPathText(result.bytes, u"//*", changed), "the changed document can be evaluated");
  Require(changed == ReplacedEverywhere(elements, u'a', replacement),
          "the changed document's text is the old text with every occurrence replaced");
  return 0;
}
