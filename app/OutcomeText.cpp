#include "app/OutcomeText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/TextCatalogue.h"
#include "platform/files/NativePath.h"

namespace trawlscope {
namespace {

// Every reason here is a clause that the callers put after a file name and a
// colon, so each translates on its own.
std::string Say(const CatalogueText& text) { return WordsUtf8(text); }

std::string Filled(const CatalogueText& pattern, std::initializer_list<std::string_view> arguments) {
  return FillIn(WordsUtf8(pattern), arguments);
}

std::string StepText(FileStep step) {
  switch (step) {
    case FileStep::None: return {};
    case FileStep::Read: return Say(TRAWLSCOPE_TEXT("Outcome", "cannot read"));
    case FileStep::Find: return Say(TRAWLSCOPE_TEXT("Outcome", "cannot find it"));
    case FileStep::Open: return Say(TRAWLSCOPE_TEXT("Outcome", "cannot open it"));
    case FileStep::OpenForWriting: return Say(TRAWLSCOPE_TEXT("Outcome", "cannot open it for writing"));
    case FileStep::CreateTemporary: return Say(TRAWLSCOPE_TEXT("Outcome", "cannot create a file in its folder"));
    case FileStep::Write: return Say(TRAWLSCOPE_TEXT("Outcome", "writing failed"));
    case FileStep::Reserve: return Say(TRAWLSCOPE_TEXT("Outcome", "cannot make room for it"));
    case FileStep::WriteInPlace: return Say(TRAWLSCOPE_TEXT("Outcome", "writing it in place failed"));
    case FileStep::SetPermissions: return Say(TRAWLSCOPE_TEXT("Outcome", "cannot give it its permissions"));
    case FileStep::Save: return Say(TRAWLSCOPE_TEXT("Outcome", "saving failed"));
    case FileStep::Encode: return Say(TRAWLSCOPE_TEXT("Outcome", "the text cannot be written in its code page"));
    case FileStep::MakeFolder: return Say(TRAWLSCOPE_TEXT("Outcome", "cannot make the folder"));
    case FileStep::Lock: return Say(TRAWLSCOPE_TEXT("Outcome", "cannot take the lock"));
    case FileStep::List: return Say(TRAWLSCOPE_TEXT("Outcome", "cannot read the folder"));
    case FileStep::Load: return Say(TRAWLSCOPE_TEXT("Outcome", "cannot load it"));
  }
  return "";
}

std::string SystemText(FileStep step, int error) {
  std::string text = StepText(step);
  if (error == ENOSPC || error == EDQUOT) return text + ": " + Say(TRAWLSCOPE_TEXT("Outcome", "the disk is full"));
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
    case FileRefusal::ReadOnly: return Say(TRAWLSCOPE_TEXT("Outcome", "the file is read-only"));
    case FileRefusal::NotRegularFile: return Say(TRAWLSCOPE_TEXT("Outcome", "it is not a regular file"));
    case FileRefusal::ChangedSinceRead: return Say(TRAWLSCOPE_TEXT("Outcome", "it changed since it was read"));
    case FileRefusal::ChangedDuringWrite: return Say(TRAWLSCOPE_TEXT("Outcome", "changed during the write"));
    case FileRefusal::OwnerNotKept: return Say(TRAWLSCOPE_TEXT("Outcome", "its owner and group cannot be kept"));
    case FileRefusal::SymbolicLink:
      return Say(TRAWLSCOPE_TEXT("Outcome", "it is a symbolic link, which a replace does not write through"));
    case FileRefusal::SpecialBitsNotKept:
      return Say(TRAWLSCOPE_TEXT("Outcome", "writing it would clear its set-user-ID or set-group-ID bit"));
    case FileRefusal::PutBackFailed:
      return Filled(TRAWLSCOPE_TEXT("Outcome", "changed during the write, and the old content could not be put back: %1"),
                    {error.step == FileStep::None ? Say(TRAWLSCOPE_TEXT("Outcome", "it kept changing"))
                                                  : SystemText(error.step, error.error)});
  }
  return {};
}

std::string ReplaceProblemText(const FileReplaceOutcome& outcome) {
  switch (outcome.problem) {
    case ReplaceProblem::None: return {};
    case ReplaceProblem::File: return FileErrorText(outcome.file);
    case ReplaceProblem::Aborted: return Say(TRAWLSCOPE_TEXT("Outcome", "the run was aborted before the file was changed"));
    case ReplaceProblem::ExpressionTooComplex: return Say(TRAWLSCOPE_TEXT("Outcome", "the expression is too complex for this file"));
    case ReplaceProblem::CodePageCannotHold:
      if (outcome.character == 0)
        return Filled(TRAWLSCOPE_TEXT("Outcome", "the replacement cannot be written in the file's code page, %1"),
                      {CodePageDisplayName(outcome.codePage)});
      return Filled(TRAWLSCOPE_TEXT("Outcome", "the file's code page, %1, cannot hold %2"),
                    {CodePageDisplayName(outcome.codePage), CharacterText(outcome.character)});
    case ReplaceProblem::EncodingNotRewritable: return Say(TRAWLSCOPE_TEXT("Outcome", "its encoding cannot be rewritten without changing other bytes"));
    case ReplaceProblem::NotOnCharacterBoundary: return Say(TRAWLSCOPE_TEXT("Outcome", "an occurrence does not begin or end on a character of the file"));
    case ReplaceProblem::PlacementUncertain: return Say(TRAWLSCOPE_TEXT("Outcome", "the change cannot be placed in the file's bytes with certainty"));
    case ReplaceProblem::InsideCharacterReference: return Say(TRAWLSCOPE_TEXT("Outcome", "an occurrence begins or ends inside a character reference"));
    case ReplaceProblem::CdataCannotHold: return Say(TRAWLSCOPE_TEXT("Outcome", "the replacement cannot stand in a CDATA section"));
    case ReplaceProblem::InAttributeValue: return Say(TRAWLSCOPE_TEXT("Outcome", "an occurrence is in an attribute value, which is not changed"));
    case ReplaceProblem::UsesDocumentEntities: return Say(TRAWLSCOPE_TEXT("Outcome", "an occurrence is in text that uses the document's own entities"));
    case ReplaceProblem::DocumentEncodingUnknown: return Say(TRAWLSCOPE_TEXT("Outcome", "the document's encoding is not known"));
    case ReplaceProblem::SpansChildElement: return Say(TRAWLSCOPE_TEXT("Outcome", "an occurrence spans a child element's boundary"));
    case ReplaceProblem::NodesOverlap: return Say(TRAWLSCOPE_TEXT("Outcome", "the selected nodes' occurrences overlap"));
    case ReplaceProblem::XPathDoesNotCompile: return Say(TRAWLSCOPE_TEXT("Outcome", "the XPath does not compile"));
    case ReplaceProblem::XPathCannotBeEvaluated: return Say(TRAWLSCOPE_TEXT("Outcome", "the XPath cannot be evaluated in it"));
    case ReplaceProblem::ChangedSinceSearch: return Say(TRAWLSCOPE_TEXT("Outcome", "it changed since the search"));
    case ReplaceProblem::OccurrenceChanged: return Say(TRAWLSCOPE_TEXT("Outcome", "a chosen occurrence is no longer there as the search found it"));
    case ReplaceProblem::OccurrencesOverlap: return Say(TRAWLSCOPE_TEXT("Outcome", "the chosen occurrences overlap"));
    case ReplaceProblem::JournalFailed:
      return Filled(TRAWLSCOPE_TEXT("Outcome", "its original could not be kept for undo: %1"),
                    {FileErrorText(outcome.file)});
    case ReplaceProblem::JournalFull:
      return Say(TRAWLSCOPE_TEXT("Outcome", "its original would not fit in the undo journal's limit ([Undo] MaxMegabytes)"));
    case ReplaceProblem::CompressedReadOnly: return Say(TRAWLSCOPE_TEXT("Outcome", "compressed: read-only"));
    case ReplaceProblem::CompressedDamaged: return Say(TRAWLSCOPE_TEXT("Outcome", "damaged: read-only"));
  }
  return {};
}

std::string ModuleProblemText(const ModuleProblem& problem) {
  switch (problem.kind) {
    case ModuleProblem::Kind::None: return {};
    case ModuleProblem::Kind::CannotLoad: return problem.loader;
    case ModuleProblem::Kind::OtherVersion:
      return Filled(TRAWLSCOPE_TEXT("Outcome", "%1 was built for another version of Trawlscope"), {problem.file});
  }
  return {};
}

std::string XPathFaultText(const XPathFault& fault) {
  if (fault.message.empty()) return Say(TRAWLSCOPE_TEXT("Outcome", "the expression cannot be compiled"));
  if (fault.position < 0) return fault.message;
  return Filled(TRAWLSCOPE_TEXT("Outcome", "%1 at character %2 of %3"),
                {fault.message, std::to_string(fault.position + 1), fault.expression});
}

std::string CompressedFaultText(const ArchiveFault& fault) {
  switch (fault.kind) {
    case ArchiveFault::Kind::None: return {};
    case ArchiveFault::Kind::Unreadable: return SystemText(FileStep::Read, fault.error);
    case ArchiveFault::Kind::Damaged:
      return fault.detail.empty() ? Say(TRAWLSCOPE_TEXT("Outcome", "damaged"))
                                  : Filled(TRAWLSCOPE_TEXT("Outcome", "damaged: %1"), {fault.detail});
    case ArchiveFault::Kind::Encrypted: return Say(TRAWLSCOPE_TEXT("Outcome", "encrypted: it needs a passphrase"));
    case ArchiveFault::Kind::ModuleMissing:
      return Filled(TRAWLSCOPE_TEXT("Outcome", "the part of Trawlscope that reads compressed files could not be loaded: %1"),
                    {ModuleProblemText(fault.module)});
    case ArchiveFault::Kind::Link:
      return Filled(TRAWLSCOPE_TEXT("Outcome", "a link to %1: an archive's links are not followed"),
                    {fault.detail});
    case ArchiveFault::Kind::TooLarge:
      return Filled(TRAWLSCOPE_TEXT("Outcome", "expands past %1, so neither it nor what follows it was searched"),
                    {ByteSizeText(fault.limit)});
  }
  return {};
}

std::string UndoRefusalText(const UndoRefusedFile& file) {
  switch (file.reason) {
    case UndoRefusal::ChangedSinceReplace: return Say(TRAWLSCOPE_TEXT("Outcome", "it changed since the replace"));
    case UndoRefusal::Missing: return Say(TRAWLSCOPE_TEXT("Outcome", "it is no longer there"));
    case UndoRefusal::File: return FileErrorText(file.error);
  }
  return {};
}

std::string ByteSizeText(std::uint64_t bytes) {
  constexpr std::uint64_t kKilo = 1024;
  char text[32];
  if (bytes < kKilo) {
    std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(bytes));
    return Filled(TRAWLSCOPE_TEXT("Outcome", "%1 bytes"), {text});
  }
  if (bytes < kKilo * kKilo) {
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / kKilo);
    return Filled(TRAWLSCOPE_TEXT("Outcome", "%1 KB"), {text});
  }
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / (kKilo * kKilo));
  return Filled(TRAWLSCOPE_TEXT("Outcome", "%1 MB"), {text});
}

std::string JournalEndText(const JournalEnd& end) {
  switch (end.kind) {
    case JournalEnd::Kind::NotAsked: return Say(TRAWLSCOPE_TEXT("Outcome", "cannot be undone"));
    case JournalEnd::Kind::NothingKept: return {};
    case JournalEnd::Kind::Kept: return Say(TRAWLSCOPE_TEXT("Outcome", "can be undone"));
  }
  return {};
}

std::string JournalFolderText(const FolderCheck& check) {
  const std::string& folder = check.path;
  // Whoever may change a folder above the journal may move it away or put their own in its place.
  if (check.above && check.trust == FolderTrust::NotOwned)
    return Filled(TRAWLSCOPE_TEXT("Outcome", "the folder %1 above the undo journal belongs to another user"), {folder});
  if (check.above && check.trust == FolderTrust::OpenToOthers)
    return Filled(TRAWLSCOPE_TEXT("Outcome", "the folder %1 above the undo journal may be changed by other users"),
                  {folder});
  switch (check.trust) {
    case FolderTrust::Private: return {};
    case FolderTrust::NotAFolder:
      return Filled(TRAWLSCOPE_TEXT("Outcome", "the undo journal's place %1 is not a folder"), {folder});
    case FolderTrust::NotOwned:
      return Filled(TRAWLSCOPE_TEXT("Outcome", "the undo journal's folder %1 belongs to another user"), {folder});
    case FolderTrust::OpenToOthers:
      return Filled(TRAWLSCOPE_TEXT("Outcome", "the undo journal's folder %1 is open to other users (it must have mode 0700)"),
                    {folder});
    case FolderTrust::Unusable:
      return Filled(TRAWLSCOPE_TEXT("Outcome", "the undo journal's folder %1 cannot be made: %2"),
                    {folder, std::strerror(check.error)});
  }
  return {};
}

std::string JournalRoomText(const JournalRoom& room) {
  if (room.fits) return {};
  if (room.limit == 0) return JournalOffText();
  if (!room.folder) return JournalFolderText(room.folder);
  if (room.needed > room.limit)
    return Filled(TRAWLSCOPE_TEXT("Outcome", "the original files (%1) would not fit in the undo journal (%2)"),
                  {ByteSizeText(room.needed), ByteSizeText(room.limit)});
  return Filled(TRAWLSCOPE_TEXT("Outcome", "the original files (%1) would not fit on the undo journal's disk (%2 free)"),
                {ByteSizeText(room.needed), ByteSizeText(room.available)});
}

std::string JournalOffText() { return Say(TRAWLSCOPE_TEXT("Outcome", "the undo journal is turned off")); }

}  // namespace trawlscope
