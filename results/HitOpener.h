#pragma once
// Opening hits in the user's editor at their lines: the settings' own
// command when there is one, else the program associated with the file's
// type, in a terminal when it needs one. One start per hit.
#include <string>
#include <vector>

#include "search/hits/Hit.h"

namespace trawlscope {

// `commandTemplate`: the settings' [Editor] Command, empty when unset.
// False when nothing could be started for this hit. A hit inside a
// compressed file opens that file (the archive of a member) in the
// desktop's program for its type, which no editor command and no line fit.
bool OpenHit(const Hit& hit, const std::string& commandTemplate);

// Whether the hit is inside a compressed file or an archive, which only
// the desktop's own program for it may open.
bool IsInCompressed(const Hit& hit);

// The file that opening the hit opens: the archive a member is in, else the hit's own.
std::u16string FileToOpen(const Hit& hit);

// The first of `hits` in each file, in their order: several rows of one file
// open it once, at the first of them.
std::vector<Hit> FirstHitOfEachFile(const std::vector<Hit>& hits);

}  // namespace trawlscope
