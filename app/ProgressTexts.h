#pragma once
// The progress window's captions. The job only publishes a RunPhase; these
// are its words, shared by the desktop program and the batch tool.
#include "app/TextCatalogue.h"
#include "search/run/RunProgress.h"

namespace trawlscope::texts {

inline constexpr CatalogueText kListingPhase = TRAWLSCOPE_TEXT("Progress", "Making a list of files...");
inline constexpr CatalogueText kSearchingPhase = TRAWLSCOPE_TEXT("Progress", "Searching...");
inline constexpr CatalogueText kReplacingPhase = TRAWLSCOPE_TEXT("Progress", "Replacing...");
inline constexpr CatalogueText kHitsCaption = TRAWLSCOPE_TEXT("Progress", "Hits:");
inline constexpr CatalogueText kFilesChangedCaption = TRAWLSCOPE_TEXT("Progress", "Files changed:");

// The caption of a phase; nullptr for Idle, which shows none.
inline const CatalogueText* PhaseText(RunPhase phase) {
  switch (phase) {
    case RunPhase::Listing: return &kListingPhase;
    case RunPhase::Searching: return &kSearchingPhase;
    case RunPhase::Replacing: return &kReplacingPhase;
    case RunPhase::Idle: break;
  }
  return nullptr;
}

}  // namespace trawlscope::texts
