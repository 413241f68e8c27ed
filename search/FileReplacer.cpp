// CFileSearcher's replace step: the other half of the class, kept apart
// because it owns the rules that keep users' files from harm.
#include "platform/CodePageDetector.h"
#include "platform/NativePath.h"
#include "platform/SafeFileWriter.h"
#include "search/ByteSplice.h"
#include "search/FileSearcher.h"
#include "search/TextDecoding.h"
#include "search/TextEdits.h"
#include "search/XmlFiles.h"

namespace trawlscope {

FileReplaceOutcome CFileSearcher::ReplaceInFile(const AbortFlag& abortRequested,
                                                const std::u16string& path, bool useRegex,
                                                bool caseSensitive,
                                                const std::u16string& replacementText) {
  const MatchMode mode = ModeOf(useRegex, caseSensitive);
  CodePage detected = codepage::kNone;
  FileIdentity asRead;
  // A file whose reading was cut short is never written.
  if (!ReadAndDetect(abortRequested, path, detected, &asRead))
    return FileReplaceOutcome::Aborted();
  const std::string_view bytes = bytes_.Bytes();
  if (!xpath_.empty() && IsXmlPath(fileName_)) {
    XmlReplacement xml = ReplaceInXml(bytes, xpath_, *matcher_, mode, abortRequested, replacementText);
    switch (xml.kind) {
      case XmlReplacement::Kind::PlainText: break;  // on as a plain-text file
      case XmlReplacement::Kind::NothingToChange: return FileReplaceOutcome::Unchanged();
      case XmlReplacement::Kind::Refused: return FileReplaceOutcome::LeftUnchanged(xml.reason);
      case XmlReplacement::Kind::Spliced: {
        const WriteResult written = RewriteFile(ToNativePath(path), xml.bytes, bytes, asRead);
        if (!written.written) return FileReplaceOutcome::LeftUnchanged(written.reason);
        return FileReplaceOutcome::Changed(xml.replacements);
      }
    }
  }
  if (!PrefilterFor(mode).MayContain(bytes, detected)) return FileReplaceOutcome::Unchanged();

  codePage_ = DecodeDetectedBytes(bytes, detected, text_, hadBom_);
  TextEdits edits;
  const auto end = CollectEdits(*matcher_, text_, mode, abortRequested, replacementText, edits);
  if (end == Matcher::ScanEnd::MatchError)
    return FileReplaceOutcome::LeftUnchanged("the expression is too complex for this file");
  // Aborted part-way, the occurrences replaced so far are written, all of them or none.
  if (edits.empty()) return FileReplaceOutcome::Unchanged();

  const SpliceResult spliced =
      SpliceEdits(bytes, FindByteOrderMark(bytes).length, codePage_, text_, edits);
  if (!spliced.done) return FileReplaceOutcome::LeftUnchanged(spliced.reason);
  const WriteResult written = RewriteFile(ToNativePath(path), spliced.bytes, bytes, asRead);
  bytes_.Clear();
  ReleaseOversizedText();
  if (!written.written) return FileReplaceOutcome::LeftUnchanged(written.reason);
  return FileReplaceOutcome::Changed(edits.size());
}

}  // namespace trawlscope
