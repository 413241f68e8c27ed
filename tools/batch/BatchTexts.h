#pragma once
// What the batch tool says on stderr, in the user's language. The lines on
// stdout (hits, outcomes, code pages) keep fixed words: scripts read them.
#include <initializer_list>
#include <string>
#include <string_view>

#include "app/TextCatalogue.h"

namespace trawlscope::batch {

namespace texts {
inline constexpr CatalogueText kBinarySkipped = TRAWLSCOPE_TEXT("Batch", "%1 binary files skipped");
inline constexpr CatalogueText kTooComplex =
    TRAWLSCOPE_TEXT("Batch", "could not be searched (the expression is too complex for it): %1");
inline constexpr CatalogueText kNotRead = TRAWLSCOPE_TEXT("Batch", "could not be read (%1): %2");
inline constexpr CatalogueText kCompressedNotSearched = TRAWLSCOPE_TEXT("Batch", "could not be searched (%1): %2");
inline constexpr CatalogueText kHitsInFiles = TRAWLSCOPE_TEXT("Batch", "%1 hits in %2 files");
inline constexpr CatalogueText kNotWritten = TRAWLSCOPE_TEXT("Batch", "could not write %1: %2");
inline constexpr CatalogueText kAborted = TRAWLSCOPE_TEXT("Batch", "aborted");
inline constexpr CatalogueText kReplaced =
    TRAWLSCOPE_TEXT("Batch", "%1 replacements in %2 files; %3 files left unchanged");
inline constexpr CatalogueText kCannotBeUndone = TRAWLSCOPE_TEXT("Batch", "this replace cannot be undone: %1");
inline constexpr CatalogueText kCannotRead = TRAWLSCOPE_TEXT("Batch", "trawlscope-batch: cannot read %1: %2");
inline constexpr CatalogueText kStandardInput = TRAWLSCOPE_TEXT("Batch", "(standard input)");
inline constexpr CatalogueText kXPathError = TRAWLSCOPE_TEXT(
    "Batch", "the XPath does not compile (%1); .xml files are searched as plain text and never replaced");
inline constexpr CatalogueText kNotFound = TRAWLSCOPE_TEXT("Batch", "not found: %1");
inline constexpr CatalogueText kIsFifo = TRAWLSCOPE_TEXT("Batch", "not searched (it is a FIFO): %1");
inline constexpr CatalogueText kIsSocket = TRAWLSCOPE_TEXT("Batch", "not searched (it is a socket): %1");
inline constexpr CatalogueText kIsDevice = TRAWLSCOPE_TEXT("Batch", "not searched (it is a device): %1");
inline constexpr CatalogueText kNothingToUndo = TRAWLSCOPE_TEXT("Batch", "trawlscope-batch: there is no replace to undo");
inline constexpr CatalogueText kUndoDamaged = TRAWLSCOPE_TEXT(
    "Batch",
    "trawlscope-batch: the journal of the last replace is damaged or incomplete; nothing was restored (it is kept in %1)");
inline constexpr CatalogueText kRestored = TRAWLSCOPE_TEXT("Batch", "%1 files restored; %2 files left unchanged");
inline constexpr CatalogueText kNoJournalPlace =
    TRAWLSCOPE_TEXT("Batch", "neither HOME nor XDG_STATE_HOME is set, so there is no place for the undo journal");
inline constexpr CatalogueText kNothingChanged =
    TRAWLSCOPE_TEXT("Batch", "trawlscope-batch: nothing was changed: %1");
inline constexpr CatalogueText kOriginalsKept = TRAWLSCOPE_TEXT(
    "Batch", "the originals of the %1 files left unchanged are still kept; --undo-beside puts them beside their files");
inline constexpr CatalogueText kPutBeside =
    TRAWLSCOPE_TEXT("Batch", "%1 originals put beside their files; %2 could not be written and are still kept");
}  // namespace texts

// The text in the user's language with its arguments put in, and a line break, on stderr.
void Say(const CatalogueText& text, std::initializer_list<std::string_view> arguments = {});

}  // namespace trawlscope::batch
