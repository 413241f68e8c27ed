// A replace of a file too large to hold whole: read, changed and written a
// piece of lines at a time, under the same conditions as a search in pieces.
#include <algorithm>
#include <cerrno>
#include <optional>

#include "platform/codepage/ByteScan.h"
#include "platform/codepage/CodePageConverter.h"
#include "platform/codepage/CodePageDetector.h"
#include "platform/codepage/LineFeedCuts.h"
#include "platform/files/NativePath.h"
#include "platform/files/StreamedRewrite.h"
#include "platform/journal/ContentHash.h"
#include "search/FileSearcher.h"
#include "search/LinePieces.h"
#include "search/review/SelectedEdits.h"
#include "search/text/ByteSplice.h"
#include "search/text/TextDecoding.h"

namespace trawlscope {
namespace {

FileReplaceOutcome Refused(const SpliceResult& spliced, CodePage codePage) {
  FileReplaceOutcome outcome = FileReplaceOutcome::LeftUnchanged(spliced.problem);
  outcome.character = spliced.character;
  outcome.codePage = codePage;
  return outcome;
}

}  // namespace

FileReplaceOutcome FileSearcher::ReplaceInPieces(const AbortFlag& abortRequested, const std::u16string& path,
                                                  CodePage detected, const FileIdentity& asRead,
                                                  const std::u16string& replacementText, const ReplaceScope& scope) {
  std::optional<SelectedEdits> chosen;
  if (scope.only != nullptr) {
    if (scope.only->occurrences.empty()) return FileReplaceOutcome::Unchanged();
    if (scope.only->searched && !scope.only->searched->Unchanged(asRead))
      return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::ChangedSinceSearch);
    chosen.emplace(*scope.only, hasPattern_ ? matcher_.get() : nullptr, mode_, replacementText);
    if (const ReplaceProblem problem = chosen->CheckOrder(); problem != ReplaceProblem::None)
      return FileReplaceOutcome::LeftUnchanged(problem);
  }
  const std::string nativePath = ToNativePath(path);
  StreamedRewrite rewrite(scope.fileOps != nullptr ? *scope.fileOps : SystemFileOps());
  // With a journal, the original and the new bytes are hashed as they pass;
  // the new bytes' hash goes on from the original's at the first edit.
  std::optional<ContentHasher> originalHash;
  std::optional<ContentHasher> writtenHash;
  if (scope.journal != nullptr) originalHash.emplace();
  const bool asciiTransparent = IsAsciiTransparent(detected);
  size_t replacements = 0;
  size_t textAt = 0;  // units of the whole text before the piece
  bool atStart = true;
  bool atEnd = false;
  TextEdits edits;
  while (!atEnd || raw_.size() > 0) {
    const long long cut = NextLinePiece(pieces_, raw_, pieceBytes_, detected, atEnd);
    if (cut < 0) return FileReplaceOutcome::Unreadable(errno);
    const std::string_view piece = raw_.View().substr(0, static_cast<size_t>(cut));
    const unsigned long long pieceOffset = pieces_.Position() - raw_.size();
    const size_t firstHigh = FindFirstHighByte(piece);
    const bool ascii = asciiTransparent && firstHigh == piece.size();
    // Only the picked occurrences' units need counting; a full replace
    // decodes only what may hold a match.
    const bool decode = chosen ? !ascii || chosen->AnyWithin(textAt, piece.size())
                               : Prefilter().MayContain(piece, detected, firstHigh);
    size_t units = piece.size();
    size_t markLength = 0;
    CodePage codePage = detected;
    edits.clear();
    if (decode) {
      if (atStart) {
        bool hadBom = false;
        codePage = DecodeDetectedBytes(piece, detected, decoded_, hadBom);
        markLength = FindByteOrderMark(piece).length;
      } else {
        DecodeToUtf16(piece, detected, decoded_);
      }
      units = decoded_.size();
      Matcher::ScanEnd end;
      if (chosen) {
        if (const ReplaceProblem problem = chosen->CheckKeywords(decoded_, textAt); problem != ReplaceProblem::None)
          return FileReplaceOutcome::LeftUnchanged(problem);
        end = chosen->Collect(decoded_, textAt, abortRequested, edits);
      } else {
        end = CollectEdits(*matcher_, decoded_, mode_, abortRequested, replacementText, edits);
      }
      if (end == Matcher::ScanEnd::MatchError)
        return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::ExpressionTooComplex);
    }
    // Cut short, nothing is written: the temporary file goes with `rewrite`.
    if (IsAborted(abortRequested)) return FileReplaceOutcome::Aborted();
    if (!edits.empty() && !rewrite.HasBegun()) {
      if (auto refused = RefusedLink(nativePath, asRead, scope)) return *refused;
      if (scope.taken != nullptr && !scope.taken->Take(nativePath, asRead)) return FileReplaceOutcome::SameFile();
      if (const WriteResult begun = rewrite.Begin(nativePath, asRead, scope.links); !begun.written)
        return FileReplaceOutcome::FileFailed(begun.error);
      if (originalHash) writtenHash.emplace(*originalHash);
      // The bytes before the first change, as they are.
      if (!rewrite.AppendFrom(pieces_.Fd(), 0, pieceOffset)) return FileReplaceOutcome::FileFailed(rewrite.Finish().error);
    }
    if (rewrite.HasBegun()) {
      std::string_view out = piece;
      SpliceResult spliced;
      if (!edits.empty()) {
        spliced = SpliceEdits(piece, markLength, codePage, decoded_, edits);
        if (!spliced.done) return Refused(spliced, codePage);
        out = spliced.bytes;
        replacements += edits.size();
      }
      if (!rewrite.Append(out)) return FileReplaceOutcome::FileFailed(rewrite.Finish().error);
      if (writtenHash) writtenHash->Add(out);
    }
    if (originalHash) originalHash->Add(piece);
    textAt += units;
    atStart = false;
    raw_.DropFront(static_cast<size_t>(cut));
  }
  if (chosen && !chosen->AllFound()) return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::OccurrenceChanged);
  if (!rewrite.HasBegun()) return FileReplaceOutcome::Unchanged();

  KeptOriginal kept;
  if (scope.journal != nullptr) {
    // On disk, and named in the run's record, before the file is touched.
    kept = scope.journal->KeepFrom(nativePath, pieces_.Fd(), pieces_.Size(), originalHash->Hex(), writtenHash->Hex());
    if (kept.kind == KeptOriginal::Kind::Full) return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::JournalFull);
    if (kept.kind != KeptOriginal::Kind::Kept) {
      FileReplaceOutcome outcome = FileReplaceOutcome::LeftUnchanged(ReplaceProblem::JournalFailed);
      outcome.file = kept.error;
      return outcome;
    }
  }
  const WriteResult written = rewrite.Finish();
  if (written.written && scope.taken != nullptr) scope.taken->Placed(written.placed);
  if (scope.journal != nullptr) {
    if (written.written) scope.journal->Written(kept.ticket);
    else scope.journal->Discard(kept.ticket);
  }
  if (!written.written) return FileReplaceOutcome::FileFailed(written.error);
  FileReplaceOutcome outcome = FileReplaceOutcome::Changed(replacements);
  outcome.codePage = detected;
  return outcome;
}

}  // namespace trawlscope
