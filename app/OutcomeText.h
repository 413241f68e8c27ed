#pragma once
// The words for what happened to a file: why it could not be read or
// written, and what a replace did to it. The engine hands over values; the
// desktop program and the batch tool both word them here.
#include <string>

#include "platform/files/FileError.h"
#include "search/ReplaceOutcome.h"

namespace trawlscope {

// "saving failed: the disk is full", "the file is read-only"... (UTF-8)
std::string FileErrorText(const FileError& error);

// Why a replace left a file unchanged (UTF-8); empty for the other outcomes.
std::string ReplaceProblemText(const FileReplaceOutcome& outcome);

}  // namespace trawlscope
