#include "search/xml/XmlFiles.h"

#include <algorithm>

#include "platform/codepage/conversion/CodePageConverter.h"
#include "platform/codepage/detection/CodePageDetector.h"
#include "platform/xml/XmlDocument.h"
#include "search/text/ByteSplice.h"
#include "search/listing/PathHelpers.h"
#include "search/xml/XmlSourceMap.h"

namespace trawlscope {
namespace {

XmlReplacement Refused(ReplaceProblem problem, char32_t character = 0) {
  XmlReplacement result;
  result.kind = XmlReplacement::Kind::Refused;
  result.problem = problem;
  result.character = character;
  return result;
}

// The document's code page: its mark, else its declaration, else UTF-8.
CodePage DocumentCodePage(std::string_view bytes, const XmlDocument& document) {
  const ByteOrderMark mark = FindByteOrderMark(bytes);
  if (mark.codePage != codepage::kNone) return mark.codePage;
  const std::string declared = document.DeclaredEncoding();
  return declared.empty() ? codepage::kUtf8 : CodePageOfCharsetName(declared);
}

// One change inside one run of character data, in source coordinates.
bool PlaceEdit(const XmlSourceRun& run, size_t from, size_t to, const std::u16string& replacement,
               TextEdits& placed, ReplaceProblem& problem) {
  // A reference that reads as a surrogate pair cannot be split.
  const auto inside = [&](size_t at) { return at > 0 && at < run.text.size() && run.source[at] == run.source[at - 1]; };
  if (inside(from) || inside(to)) {
    problem = ReplaceProblem::InsideCharacterReference;
    return false;
  }
  std::u16string written;
  if (run.isCdata) {
    if (replacement.find(u"]]>") != std::u16string::npos) {
      problem = ReplaceProblem::CdataCannotHold;
      return false;
    }
    written = replacement;
  } else {
    written = EscapeCharacterData(replacement);
  }
  placed.push_back({run.source[from], run.source[to] - run.source[from], written});
  return true;
}

}  // namespace

bool IsXmlPath(const std::u16string& path) { return LowerExtensionOf(path) == u".xml"; }

bool ExtractXPathText(std::string_view bytes, const std::u16string& xpath, std::u16string& text) {
  text.clear();
  const auto document = XmlDocument::Parse(bytes);
  if (!document) return true;
  const auto selected = document->Select(xpath);
  if (!selected) return false;
  for (const auto& node : *selected) {
    if (!node.qualifies) continue;
    text += node.text;
    text += u'\n';
  }
  return true;
}

XmlReplacement ReplaceInXml(std::string_view bytes, const std::u16string& xpath, const Matcher& matcher,
                            MatchMode mode, const AbortFlag& abortRequested,
                            const std::u16string& replacementText) {
  return ReplaceInXml(bytes, xpath, [&](std::u16string_view nodeText, size_t, TextEdits& edits) {
    return CollectEdits(matcher, nodeText, mode, abortRequested, replacementText, edits);
  });
}

XmlReplacement ReplaceInXml(std::string_view bytes, const std::u16string& xpath, const NodeEdits& collect) {
  // A document that does not parse gave no hits, and is never saved.
  const auto document = XmlDocument::Parse(bytes);
  if (!document) return {};
  const auto selected = document->Select(xpath);
  if (!selected) return {XmlReplacement::Kind::PlainText, 0, {}, {}};

  TextEdits placed;
  ReplaceProblem problem = ReplaceProblem::None;
  std::optional<std::vector<XmlSourceRun>> sourceRuns;
  const CodePage codePage = DocumentCodePage(bytes, *document);
  const size_t markLength = FindByteOrderMark(bytes).length;
  std::u16string source;
  size_t nodeStart = 0;  // where the node's text starts in the searched text: each node is followed by LF
  for (const auto& node : *selected) {
    if (!node.qualifies) continue;
    TextEdits edits;
    const auto end = collect(node.text, nodeStart, edits);
    nodeStart += node.text.size() + 1;
    if (end == Matcher::ScanEnd::MatchError) return Refused(ReplaceProblem::ExpressionTooComplex);
    if (edits.empty()) continue;
    if (node.isAttribute) return Refused(ReplaceProblem::InAttributeValue);
    if (node.holdsEntityReference) return Refused(ReplaceProblem::UsesDocumentEntities);
    if (!sourceRuns) {
      // The source is read only once a change needs placing.
      if (codePage == codepage::kNone || !DecodeToUtf16(bytes.substr(markLength), codePage, source))
        return Refused(ReplaceProblem::DocumentEncodingUnknown);
      sourceRuns = MapXmlSource(source);
      const auto& runs = document->TextRuns();
      const bool matches = sourceRuns && sourceRuns->size() == runs.size() &&
                           std::equal(runs.begin(), runs.end(), sourceRuns->begin(),
                                      [](const auto& a, const auto& b) { return a.text == b.text; });
      if (!matches) return Refused(ReplaceProblem::PlacementUncertain);
    }
    // The node's text is its runs one after another; each occurrence must lie
    // within one run. One that spans a child element's boundary (part of it
    // in the element's own text, part inside a child) cannot be written
    // without moving markup, so the whole file is left as it is.
    std::vector<size_t> runStarts;
    size_t length = 0;
    for (const size_t index : node.textRuns) {
      runStarts.push_back(length);
      length += (*sourceRuns)[index].text.size();
    }
    if (length != node.text.size()) return Refused(ReplaceProblem::PlacementUncertain);
    for (const TextEdit& edit : edits) {
      const auto after = std::upper_bound(runStarts.begin(), runStarts.end(), edit.position);
      const size_t k = static_cast<size_t>(after - runStarts.begin()) - 1;
      const XmlSourceRun& run = (*sourceRuns)[node.textRuns[k]];
      const size_t from = edit.position - runStarts[k];
      const size_t to = from + edit.length;
      if (to > run.text.size()) return Refused(ReplaceProblem::SpansChildElement);
      if (!PlaceEdit(run, from, to, edit.replacement, placed, problem)) return Refused(problem);
    }
  }
  if (placed.empty()) return {};

  // Nested selections find the same occurrence twice: once is enough. Any
  // other overlap cannot be written.
  std::sort(placed.begin(), placed.end(), [](const TextEdit& a, const TextEdit& b) {
    return a.position != b.position ? a.position < b.position : a.length < b.length;
  });
  TextEdits distinct;
  for (const TextEdit& edit : placed) {
    if (!distinct.empty()) {
      const TextEdit& last = distinct.back();
      if (edit.position == last.position && edit.length == last.length && edit.replacement == last.replacement)
        continue;
      if (edit.position < last.position + last.length) return Refused(ReplaceProblem::NodesOverlap);
    }
    distinct.push_back(edit);
  }
  SpliceResult spliced = SpliceEdits(bytes, markLength, codePage, source, distinct);
  if (!spliced.done) {
    XmlReplacement refused = Refused(spliced.problem, spliced.character);
    refused.codePage = codePage;
    return refused;
  }
  return {XmlReplacement::Kind::Spliced, distinct.size(), std::move(spliced.bytes), {}};
}

}  // namespace trawlscope
