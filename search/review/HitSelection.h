#pragma once
// The occurrences a replace is to change, and no others: per file its path,
// what the file was when it was searched, and each occurrence's place in the
// file's searchable text. Made from the hits the user picked, or from the
// batch tool's own hit lines.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/FileIdentity.h"
#include "search/hits/Hit.h"
#include "search/hits/HitList.h"
#include "search/hits/HitPicks.h"

namespace trawlscope {

struct SelectedOccurrence {
  // UTF-16 units of the file's searchable text, as Hit::position and Hit::length count them.
  std::int64_t position = 0;
  std::int64_t length = 0;
  std::optional<std::u16string> keyword;  // the text that must still stand there, when known
};

struct SelectedFile {
  std::u16string path;
  std::optional<FileIdentity> searched;     // the file as the search read it, when known
  std::vector<SelectedOccurrence> occurrences;  // ascending by position
};

// Files in the order they are to be visited.
struct HitSelection {
  std::vector<SelectedFile> files;
};

// The hits grouped by file, files in the order of their first hit, each
// file's occurrences sorted by position (a hit given twice counts once),
// each with its keyword and its file's identity at the search.
HitSelection SelectionOfHits(const HitPicks& hits);

// The sum of the sizes the selected files had when they were searched (the
// size on disk now for a file searched without an identity): what their
// originals will take in the undo journal.
std::uint64_t SelectedFileBytes(const HitSelection& selection);

// The same for every file of a search's hits: a replace of everything it found.
std::uint64_t HitFileBytes(const HitList& hits);

}  // namespace trawlscope
