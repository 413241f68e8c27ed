#include "search/replace/FileReplacer.h"

#include <cerrno>
#include <new>
#include <optional>

#include "platform/codepage/ByteScan.h"
#include "platform/codepage/conversion/CodePageConverter.h"
#include "platform/codepage/detection/CodePageDetector.h"
#include "platform/codepage/conversion/LineFeedCuts.h"
#include "platform/files/NativePath.h"
#include "platform/files/StreamedRewrite.h"
#include "platform/journal/ContentHash.h"
#include "search/review/SelectedEdits.h"
#include "search/text/ByteSplice.h"
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

FileReplaceOutcome FileReplacer::ReplaceInFile(const AbortFlag& abortRequested,
                                                const std::u16string& path,
                                                const std::u16string& replacementText,
                                                const ReplaceScope& scope) {
  using Kind = FileSearchOutcome::Kind;
  FileIdentity asRead;
  // A large file is replaced in pieces when it would be searched so, its
  // page settled before the first piece. Picked stretches without a search
  // text may hold line feeds: such a file is read whole.
  window_.MayGuessPage(false);
  const bool mayUsePieces = scope.only == nullptr || pattern_.hasPattern;
  // Never from the cache of detected pages: the bytes written back are read
  // in the page detected afresh from them, whatever a search found.
  const FileWindow::Loaded loaded = window_.Load(pattern_, abortRequested, path, &asRead, mayUsePieces);
  FileReplaceOutcome outcome;
  switch (loaded.kind) {
    // A file whose reading was cut short is never written.
    case Kind::Aborted: outcome = FileReplaceOutcome::Aborted(); break;
    case Kind::Unreadable: outcome = FileReplaceOutcome::Unreadable(loaded.error); break;
    case Kind::Binary: outcome = FileReplaceOutcome::Binary(); break;
    default:
      try {
        if (window_.Pieces().IsOpen()) {
          outcome = ReplaceInPieces(abortRequested, path, loaded.detected, asRead, replacementText, scope);
        } else {
          outcome = ReplaceLoaded(abortRequested, path, loaded.detected, asRead, replacementText, scope);
          if (outcome.kind == FileReplaceOutcome::Kind::Changed) outcome.codePage = loaded.detected;
        }
      } catch (const std::bad_alloc&) {
        window_.ReleaseMemory();
        return FileReplaceOutcome::Unreadable(ENOMEM);
      }
  }
  window_.Pieces().Close();
  window_.LetGoOfBytes();
  window_.ReleaseOversizedText();
  return outcome;
}

FileReplaceOutcome FileReplacer::WriteReplaced(const std::u16string& path, std::string_view newBytes,
                                                const FileIdentity& asRead, size_t replacements,
                                                const ReplaceScope& scope) {
  const std::string nativePath = ToNativePath(path);
  const std::string_view oldBytes = window_.Bytes();
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
  const Outcome<FileIdentity> written = RewriteFile(
      nativePath, newBytes, oldBytes, asRead, scope.fileOps != nullptr ? *scope.fileOps : SystemFileOps(), scope.links);
  if (written && scope.taken != nullptr) scope.taken->Placed(written.Value());
  if (scope.journal != nullptr) {
    if (written)
      scope.journal->Written(kept.ticket);
    else
      scope.journal->Discard(kept.ticket);
  }
  if (!written) return FileReplaceOutcome::FileFailed(written.Failure());
  return FileReplaceOutcome::Changed(replacements);
}

FileReplaceOutcome FileReplacer::ReplaceXml(const AbortFlag& abortRequested, const std::u16string& path,
                                             const FileIdentity& asRead, const std::u16string& replacementText,
                                             const ReplaceScope& scope) {
  const std::string_view bytes = window_.Bytes();
  // Markup must never go down the plain-text road: an XPath that cannot be
  // used leaves the document as it is.
  if (pattern_.xpathFault) return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::XPathDoesNotCompile);
  XmlReplacement xml;
  if (scope.only == nullptr) {
    xml = ReplaceInXml(bytes, pattern_.xpath, *pattern_.matcher, pattern_.mode, abortRequested, replacementText);
  } else {
    // Picked hits count units of the selected nodes' text, as the search gave it.
    if (!ExtractXPathText(bytes, pattern_.xpath, window_.Text()))
      return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::XPathCannotBeEvaluated);
    SelectedEdits chosen(*scope.only, pattern_.hasPattern ? pattern_.matcher.get() : nullptr, pattern_.mode, replacementText);
    if (const ReplaceProblem problem = chosen.Check(window_.Text()); problem != ReplaceProblem::None)
      return FileReplaceOutcome::LeftUnchanged(problem);
    xml = ReplaceInXml(bytes, pattern_.xpath, [&](std::u16string_view nodeText, size_t start, TextEdits& edits) {
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

FileReplaceOutcome FileReplacer::CollectSelected(const AbortFlag& abortRequested, const SelectedFile& only,
                                                  const std::u16string& replacementText, TextEdits& edits) {
  SelectedEdits chosen(only, pattern_.hasPattern ? pattern_.matcher.get() : nullptr, pattern_.mode, replacementText);
  if (const ReplaceProblem problem = chosen.Check(window_.Text()); problem != ReplaceProblem::None)
    return FileReplaceOutcome::LeftUnchanged(problem);
  const auto end = chosen.Collect(window_.Text(), 0, abortRequested, edits);
  if (end == Matcher::ScanEnd::MatchError)
    return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::ExpressionTooComplex);
  // Unlike a full replace, picked occurrences are written all of them or none.
  if (end == Matcher::ScanEnd::Aborted || IsAborted(abortRequested)) return FileReplaceOutcome::Aborted();
  if (!chosen.AllFound()) return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::OccurrenceChanged);
  return FileReplaceOutcome::Changed(edits.size());
}

FileReplaceOutcome FileReplacer::ReplaceLoaded(const AbortFlag& abortRequested,
                                                const std::u16string& path, CodePage detected,
                                                const FileIdentity& asRead,
                                                const std::u16string& replacementText,
                                                const ReplaceScope& scope) {
  if (scope.only != nullptr) {
    if (scope.only->occurrences.empty()) return FileReplaceOutcome::Unchanged();
    if (scope.only->searched && !scope.only->searched->Unchanged(asRead))
      return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::ChangedSinceSearch);
  }
  if (pattern_.XPathApplies(window_.FileName()))
    return ReplaceXml(abortRequested, path, asRead, replacementText, scope);
  const std::string_view bytes = window_.Bytes();
  if (scope.only == nullptr && !pattern_.Prefilter().MayContain(bytes, detected, window_.FirstHighByte()))
    return FileReplaceOutcome::Unchanged();

  bool hadBom = false;
  const CodePage codePage = DecodeDetectedBytes(bytes, detected, window_.Text(), hadBom);
  TextEdits edits;
  if (scope.only != nullptr) {
    const FileReplaceOutcome collected = CollectSelected(abortRequested, *scope.only, replacementText, edits);
    if (collected.kind != FileReplaceOutcome::Kind::Changed) return collected;
  } else {
    const auto end =
        CollectEdits(*pattern_.matcher, window_.Text(), pattern_.mode, abortRequested, replacementText, edits);
    if (end == Matcher::ScanEnd::MatchError)
      return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::ExpressionTooComplex);
    // Aborted part-way, the occurrences replaced so far are written, all of them or none.
  }
  if (edits.empty()) return FileReplaceOutcome::Unchanged();

  const SpliceResult spliced = SpliceEdits(bytes, FindByteOrderMark(bytes).length, codePage, window_.Text(), edits);
  if (!spliced.done) return Refused(spliced.problem, spliced.character, codePage);
  return WriteReplaced(path, spliced.bytes, asRead, edits.size(), scope);
}

// A replace in pieces as it goes: the piece at hand's edits and what was written so far.
struct FileReplacer::PieceRewrite {
  explicit PieceRewrite(IFileOps& fileOps) : rewrite(fileOps) {}
  StreamedRewrite rewrite;
  // With a journal, the original and the new bytes are hashed as they pass;
  // the new bytes' hash goes on from the original's at the first edit.
  std::optional<ContentHasher> originalHash;
  std::optional<ContentHasher> writtenHash;
  size_t replacements = 0;
  std::optional<SelectedEdits> chosen;  // with picked occurrences, those
  TextEdits edits;  // of the piece at hand, in its decoded text
  size_t units = 0;  // of the piece's text
  size_t markLength = 0;  // of its byte-order mark
  CodePage codePage = codepage::kNone;  // that it is written back in
};

FileReplaceOutcome FileReplacer::ReplaceInPieces(const AbortFlag& abortRequested, const std::u16string& path,
                                                  CodePage detected, const FileIdentity& asRead,
                                                  const std::u16string& replacementText, const ReplaceScope& scope) {
  PieceRewrite out(scope.fileOps != nullptr ? *scope.fileOps : SystemFileOps());
  if (scope.only != nullptr) {
    if (scope.only->occurrences.empty()) return FileReplaceOutcome::Unchanged();
    if (scope.only->searched && !scope.only->searched->Unchanged(asRead))
      return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::ChangedSinceSearch);
    out.chosen.emplace(*scope.only, pattern_.hasPattern ? pattern_.matcher.get() : nullptr, pattern_.mode,
                       replacementText);
    if (const ReplaceProblem problem = out.chosen->CheckOrder(); problem != ReplaceProblem::None)
      return FileReplaceOutcome::LeftUnchanged(problem);
  }
  const std::string nativePath = ToNativePath(path);
  if (scope.journal != nullptr) out.originalHash.emplace();
  size_t textAt = 0;  // units of the whole text before the piece
  bool atStart = true;
  bool atEnd = false;
  while (!atEnd || !window_.Unread().empty()) {
    const long long cut = window_.NextPiece(detected, atEnd);
    if (cut < 0) return FileReplaceOutcome::Unreadable(errno);
    const std::string_view piece = window_.Unread().substr(0, static_cast<size_t>(cut));
    const unsigned long long pieceOffset = window_.UnreadOffset();
    if (auto refused = EditPiece(abortRequested, out, piece, atStart, textAt, detected, replacementText))
      return *refused;
    // Cut short, nothing is written: the temporary file goes with `rewrite`.
    if (IsAborted(abortRequested)) return FileReplaceOutcome::Aborted();
    if (auto failed = WritePiece(out, piece, pieceOffset, nativePath, asRead, scope)) return *failed;
    textAt += out.units;
    atStart = false;
    window_.DropPiece(static_cast<size_t>(cut));
  }
  if (out.chosen && !out.chosen->AllFound())
    return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::OccurrenceChanged);
  if (!out.rewrite.HasBegun()) return FileReplaceOutcome::Unchanged();
  FileReplaceOutcome outcome = FinishPieces(out, nativePath, scope);
  if (outcome.kind == FileReplaceOutcome::Kind::Changed) outcome.codePage = detected;
  return outcome;
}

std::optional<FileReplaceOutcome> FileReplacer::EditPiece(const AbortFlag& abortRequested, PieceRewrite& out,
                                                         std::string_view piece, bool atStart, size_t textAt,
                                                         CodePage detected, const std::u16string& replacementText) {
  const size_t firstHigh = FindFirstHighByte(piece);
  const bool ascii = IsAsciiTransparent(detected) && firstHigh == piece.size();
  // Only the picked occurrences' units need counting; a full replace
  // decodes only what may hold a match.
  const bool decode = out.chosen ? !ascii || out.chosen->AnyWithin(textAt, piece.size())
                                 : pattern_.Prefilter().MayContain(piece, detected, firstHigh);
  out.units = piece.size();
  out.markLength = 0;
  out.codePage = detected;
  out.edits.clear();
  if (!decode) return std::nullopt;
  if (atStart) {
    bool hadBom = false;
    out.codePage = DecodeDetectedBytes(piece, detected, window_.PieceText(), hadBom);
    out.markLength = FindByteOrderMark(piece).length;
  } else {
    DecodeToUtf16(piece, detected, window_.PieceText());
  }
  out.units = window_.PieceText().size();
  Matcher::ScanEnd end;
  if (out.chosen) {
    if (const ReplaceProblem problem = out.chosen->CheckKeywords(window_.PieceText(), textAt);
        problem != ReplaceProblem::None)
      return FileReplaceOutcome::LeftUnchanged(problem);
    end = out.chosen->Collect(window_.PieceText(), textAt, abortRequested, out.edits);
  } else {
    end = CollectEdits(*pattern_.matcher, window_.PieceText(), pattern_.mode, abortRequested, replacementText,
                       out.edits);
  }
  if (end == Matcher::ScanEnd::MatchError)
    return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::ExpressionTooComplex);
  return std::nullopt;
}

std::optional<FileReplaceOutcome> FileReplacer::WritePiece(PieceRewrite& out, std::string_view piece,
                                                          unsigned long long pieceOffset, const std::string& nativePath,
                                                          const FileIdentity& asRead, const ReplaceScope& scope) {
  StreamedRewrite& rewrite = out.rewrite;
  if (!out.edits.empty() && !rewrite.HasBegun()) {
    if (auto refused = RefusedLink(nativePath, asRead, scope)) return *refused;
    if (scope.taken != nullptr && !scope.taken->Take(nativePath, asRead)) return FileReplaceOutcome::SameFile();
    if (const Outcome<> begun = rewrite.Begin(nativePath, asRead, scope.links); !begun)
      return FileReplaceOutcome::FileFailed(begun.Failure());
    if (out.originalHash) out.writtenHash.emplace(*out.originalHash);
    // The bytes before the first change, as they are.
    if (!rewrite.AppendFrom(window_.Pieces().Fd(), 0, pieceOffset))
      return FileReplaceOutcome::FileFailed(rewrite.Finish().Failure());
  }
  if (rewrite.HasBegun()) {
    std::string_view bytes = piece;
    SpliceResult spliced;
    if (!out.edits.empty()) {
      spliced = SpliceEdits(piece, out.markLength, out.codePage, window_.PieceText(), out.edits);
      if (!spliced.done) return Refused(spliced.problem, spliced.character, out.codePage);
      bytes = spliced.bytes;
      out.replacements += out.edits.size();
    }
    if (!rewrite.Append(bytes)) return FileReplaceOutcome::FileFailed(rewrite.Finish().Failure());
    if (out.writtenHash) out.writtenHash->Add(bytes);
  }
  if (out.originalHash) out.originalHash->Add(piece);
  return std::nullopt;
}

FileReplaceOutcome FileReplacer::FinishPieces(PieceRewrite& out, const std::string& nativePath,
                                              const ReplaceScope& scope) {
  KeptOriginal kept;
  if (scope.journal != nullptr) {
    // On disk, and named in the run's record, before the file is touched.
    kept = scope.journal->KeepFrom(nativePath, window_.Pieces().Fd(), window_.Pieces().Size(), out.originalHash->Hex(),
                                   out.writtenHash->Hex());
    if (kept.kind == KeptOriginal::Kind::Full) return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::JournalFull);
    if (kept.kind != KeptOriginal::Kind::Kept) {
      FileReplaceOutcome outcome = FileReplaceOutcome::LeftUnchanged(ReplaceProblem::JournalFailed);
      outcome.file = kept.error;
      return outcome;
    }
  }
  const Outcome<FileIdentity> written = out.rewrite.Finish();
  if (written && scope.taken != nullptr) scope.taken->Placed(written.Value());
  if (scope.journal != nullptr) {
    if (written) scope.journal->Written(kept.ticket);
    else scope.journal->Discard(kept.ticket);
  }
  if (!written) return FileReplaceOutcome::FileFailed(written.Failure());
  return FileReplaceOutcome::Changed(out.replacements);
}

}  // namespace trawlscope
