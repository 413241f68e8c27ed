#include "app/OutcomeText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files/NativePath.h"

namespace trawlscope {
namespace {

const char* StepText(FileStep step) {
  switch (step) {
    case FileStep::None: return "";
    case FileStep::Read: return "cannot read";
    case FileStep::Find: return "cannot find it";
    case FileStep::Open: return "cannot open it";
    case FileStep::OpenForWriting: return "cannot open it for writing";
    case FileStep::CreateTemporary: return "cannot create a file in its folder";
    case FileStep::Write: return "writing failed";
    case FileStep::Reserve: return "cannot make room for it";
    case FileStep::WriteInPlace: return "writing it in place failed";
    case FileStep::SetPermissions: return "cannot give it its permissions";
    case FileStep::Save: return "saving failed";
    case FileStep::Encode: return "the text cannot be written in its code page";
  }
  return "";
}

std::string SystemText(FileStep step, int error) {
  std::string text = StepText(step);
  if (error == ENOSPC || error == EDQUOT) return text + ": the disk is full";
  if (error != 0) text += std::string(": ") + std::strerror(error);
  return text;
}

std::string CharacterText(char32_t c) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
  std::u16string character;
  if (c < 0x10000) {
    character += static_cast<char16_t>(c);
  } else {
    character += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    character += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
  }
  return "\"" + ToNativeBytes(character) + "\" (" + code + ")";
}

}  // namespace

std::string FileErrorText(const FileError& error) {
  switch (error.refusal) {
    case FileRefusal::None: return SystemText(error.step, error.error);
    case FileRefusal::ReadOnly: return "the file is read-only";
    case FileRefusal::NotRegularFile: return "it is not a regular file";
    case FileRefusal::ChangedSinceRead: return "it changed since it was read";
    case FileRefusal::ChangedDuringWrite: return "changed during the write";
    case FileRefusal::PutBackFailed:
      return std::string("changed during the write, and the old content could not be put back: ") +
             (error.step == FileStep::None ? "it kept changing" : SystemText(error.step, error.error));
  }
  return {};
}

std::string ReplaceProblemText(const FileReplaceOutcome& outcome) {
  switch (outcome.problem) {
    case ReplaceProblem::None: return {};
    case ReplaceProblem::File: return FileErrorText(outcome.file);
    case ReplaceProblem::Aborted: return "the run was aborted before the file was changed";
    case ReplaceProblem::ExpressionTooComplex: return "the expression is too complex for this file";
    case ReplaceProblem::CodePageCannotHold:
      if (outcome.character == 0)
        return "the replacement cannot be written in the file's code page (" + std::to_string(outcome.codePage) + ")";
      return "the file's code page (" + std::to_string(outcome.codePage) + ") cannot hold " +
             CharacterText(outcome.character);
    case ReplaceProblem::EncodingNotRewritable: return "its encoding cannot be rewritten without changing other bytes";
    case ReplaceProblem::NotOnCharacterBoundary: return "an occurrence does not begin or end on a character of the file";
    case ReplaceProblem::PlacementUncertain: return "the change cannot be placed in the file's bytes with certainty";
    case ReplaceProblem::InsideCharacterReference: return "an occurrence begins or ends inside a character reference";
    case ReplaceProblem::CdataCannotHold: return "the replacement cannot stand in a CDATA section";
    case ReplaceProblem::InAttributeValue: return "an occurrence is in an attribute value, which is not changed";
    case ReplaceProblem::UsesDocumentEntities: return "an occurrence is in text that uses the document's own entities";
    case ReplaceProblem::DocumentEncodingUnknown: return "the document's encoding is not known";
    case ReplaceProblem::SpansChildElement: return "an occurrence spans a child element's boundary";
    case ReplaceProblem::NodesOverlap: return "the selected nodes' occurrences overlap";
    case ReplaceProblem::XPathDoesNotCompile: return "the XPath does not compile";
    case ReplaceProblem::XPathCannotBeEvaluated: return "the XPath cannot be evaluated in it";
    case ReplaceProblem::ChangedSinceSearch: return "it changed since the search";
    case ReplaceProblem::OccurrenceChanged: return "a chosen occurrence is no longer there as the search found it";
    case ReplaceProblem::OccurrencesOverlap: return "the chosen occurrences overlap";
    case ReplaceProblem::JournalFailed:
      return "its original could not be kept for undo: " + FileErrorText(outcome.file);
  }
  return {};
}

std::string UndoRefusalText(const UndoRefusedFile& file) {
  switch (file.reason) {
    case UndoRefusal::ChangedSinceReplace: return "it changed since the replace";
    case UndoRefusal::Missing: return "it is no longer there";
    case UndoRefusal::File: return FileErrorText(file.error);
  }
  return {};
}

std::string ByteSizeText(std::uint64_t bytes) {
  constexpr std::uint64_t kKilo = 1024;
  char text[32];
  if (bytes < kKilo) {
    std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
  } else if (bytes < kKilo * kKilo) {
    std::snprintf(text, sizeof text, "%.1f KB", static_cast<double>(bytes) / kKilo);
  } else {
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (kKilo * kKilo));
  }
  return text;
}

std::string JournalEndText(const JournalEnd& end) {
  switch (end.kind) {
    case JournalEnd::Kind::NotAsked: return "cannot be undone";
    case JournalEnd::Kind::NothingKept: return {};
    case JournalEnd::Kind::Kept: return "can be undone";
    case JournalEnd::Kind::TooLarge:
      return "cannot be undone: its original files did not fit in the undo journal";
    case JournalEnd::Kind::Failed:
      return "cannot be undone: the undo journal could not be written: " + FileErrorText(end.error);
  }
  return {};
}

std::string JournalRoomText(const JournalRoom& room) {
  if (room.fits) return {};
  if (room.limit == 0) return "the undo journal is turned off";
  if (room.needed > room.limit)
    return "the original files (" + ByteSizeText(room.needed) + ") would not fit in the undo journal (" +
           ByteSizeText(room.limit) + ")";
  return "the original files (" + ByteSizeText(room.needed) + ") would not fit on the undo journal's disk (" +
         ByteSizeText(room.available) + " free)";
}

}  // namespace trawlscope
