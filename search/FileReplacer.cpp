// FileSearcher's replace step: the other half of the class, kept apart
// because it owns the rules that keep users' files from harm.
#include <cerrno>
#include <new>
#include <optional>

#include "platform/codepage/CodePageDetector.h"
#include "platform/files/NativePath.h"
#include "platform/files/SafeFileWriter.h"
#include "search/text/ByteSplice.h"
#include "search/FileSearcher.h"
#include "search/review/SelectedEdits.h"
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

// Asked before the file is taken, so that the file the link names is still
// replaced when the run meets it under its own name.
std::optional<FileReplaceOutcome> RefusedLink(const std::string& nativePath, const FileIdentity& asRead,
                                              const ReplaceScope& scope) {
  if (scope.links == Links::Followed || !NamesSymbolicLink(nativePath)) return std::nullopt;
  FileReplaceOutcome outcome = FileReplaceOutcome::FileFailed(FileError::Refused(FileRefusal::SymbolicLink));
  outcome.linkTarget = asRead;
  return outcome;
}

namespace {

}  // namespace

FileReplaceOutcome FileSearcher::ReplaceInFile(const AbortFlag& abortRequested,
                                                const std::u16string& path,
                                                const std::u16string& replacementText,
                                                const ReplaceScope& scope) {
  using Kind = FileSearchOutcome::Kind;
  FileIdentity asRead;
  // A large file is replaced in pieces when it would be searched so, its
  // page settled before the first piece. Picked stretches without a search
  // text may hold line feeds: such a file is read whole.
  mayGuessPage_ = false;
  const bool mayUsePieces = scope.only == nullptr || hasPattern_;
  // Never from the cache of detected pages: the bytes written back are read
  // in the page detected afresh from them, whatever a search found.
  const Loaded loaded = ReadAndDetect(abortRequested, path, &asRead, mayUsePieces);
  FileReplaceOutcome outcome;
  switch (loaded.kind) {
    // A file whose reading was cut short is never written.
    case Kind::Aborted: outcome = FileReplaceOutcome::Aborted(); break;
    case Kind::Unreadable: outcome = FileReplaceOutcome::Unreadable(loaded.error); break;
    case Kind::Binary: outcome = FileReplaceOutcome::Binary(); break;
    default:
      try {
        if (pieces_.IsOpen()) {
          outcome = ReplaceInPieces(abortRequested, path, loaded.detected, asRead, replacementText, scope);
        } else {
          outcome = ReplaceLoaded(abortRequested, path, loaded.detected, asRead, replacementText, scope);
          if (outcome.kind == FileReplaceOutcome::Kind::Changed) outcome.codePage = loaded.detected;
        }
      } catch (const std::bad_alloc&) {
        pieces_.Close();
        std::u16string().swap(text_);
        bytes_.Clear(true);
        return FileReplaceOutcome::Unreadable(ENOMEM);
      }
  }
  pieces_.Close();
  bytes_.Clear();
  ReleaseOversizedText();
  return outcome;
}

FileReplaceOutcome FileSearcher::WriteReplaced(const std::u16string& path, std::string_view newBytes,
                                                const FileIdentity& asRead, size_t replacements,
                                                const ReplaceScope& scope) {
  const std::string nativePath = ToNativePath(path);
  const std::string_view oldBytes = bytes_.Bytes();
  if (auto refused = RefusedLink(nativePath, asRead, scope)) return *refused;
  if (scope.taken != nullptr && !scope.taken->Take(nativePath, asRead)) return FileReplaceOutcome::SameFile();
  KeptOriginal kept;
  kept.kind = KeptOriginal::Kind::Full;
  if (scope.journal != nullptr) {
    // On disk, and named in the run's record, before the file is touched:
    // a crash after the rename still leaves the original.
    kept = scope.journal->Keep(nativePath, oldBytes, newBytes);
    if (kept.kind != KeptOriginal::Kind::Kept) {
      if (kept.kind == KeptOriginal::Kind::Full) return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::JournalFull);
      FileReplaceOutcome outcome = FileReplaceOutcome::LeftUnchanged(ReplaceProblem::JournalFailed);
      outcome.file = kept.error;
      return outcome;
    }
  }
  const WriteResult written = RewriteFile(nativePath, newBytes, oldBytes, asRead,
                                         scope.fileOps != nullptr ? *scope.fileOps : SystemFileOps(), scope.links);
  if (written.written && scope.taken != nullptr) scope.taken->Placed(written.placed);
  if (scope.journal != nullptr) {
    if (written.written)
      scope.journal->Written(kept.ticket);
    else
      scope.journal->Discard(kept.ticket);
  }
  if (!written.written) return FileReplaceOutcome::FileFailed(written.error);
  return FileReplaceOutcome::Changed(replacements);
}

FileReplaceOutcome FileSearcher::ReplaceXml(const AbortFlag& abortRequested, const std::u16string& path,
                                             const FileIdentity& asRead, const std::u16string& replacementText,
                                             const ReplaceScope& scope) {
  const std::string_view bytes = bytes_.Bytes();
  // Markup must never go down the plain-text road: an XPath that cannot be
  // used leaves the document as it is.
  if (!xpathError_.empty()) return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::XPathDoesNotCompile);
  XmlReplacement xml;
  if (scope.only == nullptr) {
    xml = ReplaceInXml(bytes, xpath_, *matcher_, mode_, abortRequested, replacementText);
  } else {
    // Picked hits count units of the selected nodes' text, as the search gave it.
    if (!ExtractXPathText(bytes, xpath_, text_))
      return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::XPathCannotBeEvaluated);
    SelectedEdits chosen(*scope.only, hasPattern_ ? matcher_.get() : nullptr, mode_, replacementText);
    if (const ReplaceProblem problem = chosen.Check(text_); problem != ReplaceProblem::None)
      return FileReplaceOutcome::LeftUnchanged(problem);
    xml = ReplaceInXml(bytes, xpath_, [&](std::u16string_view nodeText, size_t start, TextEdits& edits) {
      return chosen.Collect(nodeText, start, abortRequested, edits);
    });
    if (IsAborted(abortRequested)) return FileReplaceOutcome::Aborted();
    if (xml.kind != XmlReplacement::Kind::Refused && !chosen.AllFound())
      return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::OccurrenceChanged);
  }
  switch (xml.kind) {
    case XmlReplacement::Kind::PlainText:
      return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::XPathCannotBeEvaluated);
    case XmlReplacement::Kind::NothingToChange: return FileReplaceOutcome::Unchanged();
    case XmlReplacement::Kind::Refused: return Refused(xml.problem, xml.character, xml.codePage);
    case XmlReplacement::Kind::Spliced: return WriteReplaced(path, xml.bytes, asRead, xml.replacements, scope);
  }
  return FileReplaceOutcome::Unchanged();
}

FileReplaceOutcome FileSearcher::CollectSelected(const AbortFlag& abortRequested, const SelectedFile& only,
                                                  const std::u16string& replacementText, TextEdits& edits) {
  SelectedEdits chosen(only, hasPattern_ ? matcher_.get() : nullptr, mode_, replacementText);
  if (const ReplaceProblem problem = chosen.Check(text_); problem != ReplaceProblem::None)
    return FileReplaceOutcome::LeftUnchanged(problem);
  const auto end = chosen.Collect(text_, 0, abortRequested, edits);
  if (end == Matcher::ScanEnd::MatchError)
    return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::ExpressionTooComplex);
  // Unlike a full replace, picked occurrences are written all of them or none.
  if (end == Matcher::ScanEnd::Aborted || IsAborted(abortRequested)) return FileReplaceOutcome::Aborted();
  if (!chosen.AllFound()) return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::OccurrenceChanged);
  return FileReplaceOutcome::Changed(edits.size());
}

FileReplaceOutcome FileSearcher::ReplaceLoaded(const AbortFlag& abortRequested,
                                                const std::u16string& path, CodePage detected,
                                                const FileIdentity& asRead,
                                                const std::u16string& replacementText,
                                                const ReplaceScope& scope) {
  if (scope.only != nullptr) {
    if (scope.only->occurrences.empty()) return FileReplaceOutcome::Unchanged();
    if (scope.only->searched && !scope.only->searched->Unchanged(asRead))
      return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::ChangedSinceSearch);
  }
  if (IsXmlWithXPath()) return ReplaceXml(abortRequested, path, asRead, replacementText, scope);
  const std::string_view bytes = bytes_.Bytes();
  if (scope.only == nullptr && !Prefilter().MayContain(bytes, detected, firstHighByte_))
    return FileReplaceOutcome::Unchanged();

  bool hadBom = false;
  const CodePage codePage = DecodeDetectedBytes(bytes, detected, text_, hadBom);
  TextEdits edits;
  if (scope.only != nullptr) {
    const FileReplaceOutcome collected = CollectSelected(abortRequested, *scope.only, replacementText, edits);
    if (collected.kind != FileReplaceOutcome::Kind::Changed) return collected;
  } else {
    const auto end = CollectEdits(*matcher_, text_, mode_, abortRequested, replacementText, edits);
    if (end == Matcher::ScanEnd::MatchError)
      return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::ExpressionTooComplex);
    // Aborted part-way, the occurrences replaced so far are written, all of them or none.
  }
  if (edits.empty()) return FileReplaceOutcome::Unchanged();

  const SpliceResult spliced = SpliceEdits(bytes, FindByteOrderMark(bytes).length, codePage, text_, edits);
  if (!spliced.done) return Refused(spliced.problem, spliced.character, codePage);
  return WriteReplaced(path, spliced.bytes, asRead, edits.size(), scope);
}

}  // namespace trawlscope
