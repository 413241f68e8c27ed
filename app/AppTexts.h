#pragma once
// Texts the desktop program and the batch tool show, by their English
// source; Words() gives them in the user's language.
#include "app/TextCatalogue.h"

namespace trawlscope::texts {

inline constexpr CatalogueText kCantSelectFolder = TRAWLSCOPE_TEXT("Messages", "Can't select folder path.");
inline constexpr CatalogueText kRunNotStarted = TRAWLSCOPE_TEXT("Messages", "The search could not be started.");
inline constexpr CatalogueText kFilesLeftUnchanged =
    TRAWLSCOPE_TEXT("Messages", "The following files could not be changed.");
inline constexpr CatalogueText kOutputNotWritten =
    TRAWLSCOPE_TEXT("Messages", "The output file could not be written.");
inline constexpr CatalogueText kPathsNotFound = TRAWLSCOPE_TEXT("Messages", "The following paths were not found.");
inline constexpr CatalogueText kSearchTheRest =
    TRAWLSCOPE_TEXT("Messages", "Search only the paths that were found?");
inline constexpr CatalogueText kPathsNotSearched =
    TRAWLSCOPE_TEXT("Messages", "The following paths are neither files nor folders and were not searched.");
inline constexpr CatalogueText kIsFifo = TRAWLSCOPE_TEXT("Messages", "a FIFO (named pipe)");
inline constexpr CatalogueText kIsSocket = TRAWLSCOPE_TEXT("Messages", "a socket");
inline constexpr CatalogueText kIsDevice = TRAWLSCOPE_TEXT("Messages", "a device");
inline constexpr CatalogueText kRegexError = TRAWLSCOPE_TEXT("Messages", "The regular expression has an error.");
inline constexpr CatalogueText kXPathError = TRAWLSCOPE_TEXT("Messages", "The XPath has an error.");
inline constexpr CatalogueText kModuleMissing =
    TRAWLSCOPE_TEXT("Messages", "A part of Trawlscope that this search needs could not be loaded, so nothing was searched.");
inline constexpr CatalogueText kFilesNotRead = TRAWLSCOPE_TEXT("Messages", "The following files could not be read.");
inline constexpr CatalogueText kCompressedNotSearched =
    TRAWLSCOPE_TEXT("Messages", "The following compressed files or members of archives could not be searched.");
inline constexpr CatalogueText kFilesNotSearched =
    TRAWLSCOPE_TEXT("Messages", "The following files could not be searched with the regular expression.");
inline constexpr CatalogueText kNothingToUndo = TRAWLSCOPE_TEXT("Undo", "There is no replace to undo.");
inline constexpr CatalogueText kNoSearchPath =
    TRAWLSCOPE_TEXT("Messages", "Type the folders or files to search in \"Search path\", or pick them with \"...\".");
inline constexpr CatalogueText kNoSearchText = TRAWLSCOPE_TEXT("Messages", "Type what to search for in \"Search for\".");
inline constexpr CatalogueText kStopped =
    TRAWLSCOPE_TEXT("Messages", "Stopped after %1 of %2 files; %3 found.\n\nShow what was found so far?");
inline constexpr CatalogueText kSearchAgainStopped =
    TRAWLSCOPE_TEXT("Messages", "Searching again was stopped: the list is the one from before.");
inline constexpr CatalogueText kPartial = TRAWLSCOPE_TEXT("Messages", "Stopped early: only part of the files was searched.");
inline constexpr CatalogueText kSubfoldersNotSearched =
    TRAWLSCOPE_TEXT("Messages", "Its subfolders were not searched: \"Include subfolders\" is off.");

}  // namespace trawlscope::texts
