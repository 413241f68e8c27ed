// CFileSearcher's replace step: the other half of the class, kept apart
// because it owns the rules that keep users' files from harm.
#include <cerrno>
#include <new>

#include "platform/codepage/CodePageDetector.h"
#include "platform/files/NativePath.h"
#include "platform/files/SafeFileWriter.h"
#include "search/text/ByteSplice.h"
#include "search/FileSearcher.h"
#include "search/text/TextDecoding.h"
#include "search/text/TextEdits.h"
#include "search/xml/XmlFiles.h"

namespace trawlscope {
namespace {

FileReplaceOutcome Refused(ReplaceProblem problem, char32_t character, CodePage codePage) {
  FileReplaceOutcome outcome = FileReplaceOutcome::LeftUnchanged(problem);
  outcome.character = character;
  outcome.codePage = codePage;
  return outcome;
}

}  // namespace

FileReplaceOutcome CFileSearcher::ReplaceInFile(const AbortFlag& abortRequested,
                                                const std::u16string& path,
                                                const std::u16string& replacementText) {
  using Kind = FileSearchOutcome::Kind;
  FileIdentity asRead;
  const Loaded loaded = ReadAndDetect(abortRequested, path, &asRead);
  FileReplaceOutcome outcome;
  switch (loaded.kind) {
    // A file whose reading was cut short is never written.
    case Kind::Aborted: outcome = FileReplaceOutcome::Aborted(); break;
    case Kind::Unreadable: outcome = FileReplaceOutcome::Unreadable(loaded.error); break;
    case Kind::Binary: outcome = FileReplaceOutcome::Binary(); break;
    default:
      try {
        outcome = ReplaceLoaded(abortRequested, path, loaded.detected, asRead, replacementText);
      } catch (const std::bad_alloc&) {
        std::u16string().swap(text_);
        bytes_.Clear(true);
        return FileReplaceOutcome::Unreadable(ENOMEM);
      }
  }
  bytes_.Clear();
  ReleaseOversizedText();
  return outcome;
}

FileReplaceOutcome CFileSearcher::ReplaceLoaded(const AbortFlag& abortRequested,
                                                const std::u16string& path, CodePage detected,
                                                const FileIdentity& asRead,
                                                const std::u16string& replacementText) {
  const std::string_view bytes = bytes_.Bytes();
  if (IsXmlWithXPath()) {
    // Markup must never go down the plain-text road: an XPath that cannot be
    // used leaves the document as it is.
    if (!xpathError_.empty()) return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::XPathDoesNotCompile);
    XmlReplacement xml = ReplaceInXml(bytes, xpath_, *matcher_, mode_, abortRequested, replacementText);
    switch (xml.kind) {
      case XmlReplacement::Kind::PlainText:
        return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::XPathCannotBeEvaluated);
      case XmlReplacement::Kind::NothingToChange: return FileReplaceOutcome::Unchanged();
      case XmlReplacement::Kind::Refused: return Refused(xml.problem, xml.character, xml.codePage);
      case XmlReplacement::Kind::Spliced: {
        const WriteResult written = RewriteFile(ToNativePath(path), xml.bytes, bytes, asRead);
        if (!written.written) return FileReplaceOutcome::FileFailed(written.error);
        return FileReplaceOutcome::Changed(xml.replacements);
      }
    }
  }
  if (!Prefilter().MayContain(bytes, detected)) return FileReplaceOutcome::Unchanged();

  bool hadBom = false;
  const CodePage codePage = DecodeDetectedBytes(bytes, detected, text_, hadBom);
  TextEdits edits;
  const auto end = CollectEdits(*matcher_, text_, mode_, abortRequested, replacementText, edits);
  if (end == Matcher::ScanEnd::MatchError)
    return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::ExpressionTooComplex);
  // Aborted part-way, the occurrences replaced so far are written, all of them or none.
  if (edits.empty()) return FileReplaceOutcome::Unchanged();

  const SpliceResult spliced = SpliceEdits(bytes, FindByteOrderMark(bytes).length, codePage, text_, edits);
  if (!spliced.done) return Refused(spliced.problem, spliced.character, codePage);
  const WriteResult written = RewriteFile(ToNativePath(path), spliced.bytes, bytes, asRead);
  if (!written.written) return FileReplaceOutcome::FileFailed(written.error);
  return FileReplaceOutcome::Changed(edits.size());
}

}  // namespace trawlscope
