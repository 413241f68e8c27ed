#pragma once
// The words for what happened to a file: why it could not be read or
// written, and what a replace did to it. The engine hands over values; the
// desktop program and the batch tool both word them here.
#include <cstdint>
#include <string>

#include "platform/archive/CompressedReader.h"
#include "platform/files/FileError.h"
#include "platform/journal/JournalFolder.h"
#include "platform/journal/RunJournal.h"
#include "platform/journal/UndoRun.h"
#include "platform/modules/ModuleProblem.h"
#include "platform/xml/XmlDocument.h"
#include "search/review/ReplaceOutcome.h"

namespace trawlscope {

// "saving failed: the disk is full", "the file is read-only"... (UTF-8)
std::string FileErrorText(const FileError& error);

// Why a replace left a file unchanged (UTF-8); empty for the other outcomes.
std::string ReplaceProblemText(const FileReplaceOutcome& outcome);

// Why a compressed file or a member of one was not searched (UTF-8):
// "damaged: ...", "encrypted", "expands past ...".
std::string CompressedFaultText(const ArchiveFault& fault);

// Why one of the program's modules was not loaded (UTF-8): the loader's
// description, or "trawlscope-git.so was built for another version of Trawlscope".
std::string ModuleProblemText(const ModuleProblem& problem);

// Why an XPath does not compile (UTF-8): the XML library's description and
// where in the expression it found the fault.
std::string XPathFaultText(const XPathFault& fault);

// Why an undo left a file as it was (UTF-8).
std::string UndoRefusalText(const UndoRefusedFile& file);

// Whether a finished replace run can be undone, and why not (UTF-8): "can be
// undone", "cannot be undone: ..."; empty when it changed nothing.
std::string JournalEndText(const JournalEnd& end);

// Before a replace: why its originals would not fit in the undo journal
// (UTF-8), for "cannot be undone" in the question; empty when they fit.
std::string JournalRoomText(const JournalRoom& room);

// Why the undo journal's folder is not used (UTF-8); empty when it is private.
std::string JournalFolderText(const FolderCheck& check);

// "the undo journal is turned off" (UTF-8), for a question asked without one.
std::string JournalOffText();

// A size for people: "12 KB", "1.5 MB", "2048 MB".
std::string ByteSizeText(std::uint64_t bytes);

}  // namespace trawlscope
