#pragma once
// Opening hits in the user's editor at their lines: the settings' own
// command when there is one, else the program associated with the file's
// type, in a terminal when it needs one. One start per hit.
#include <string>
#include <vector>

#include "search/Hit.h"

namespace trawlscope {

// `commandTemplate`: the settings' [Editor] Command, empty when unset.
// False when nothing could be started for this hit.
bool OpenHit(const Hit& hit, const std::string& commandTemplate);

// The first of `hits` in each file, in their order: several rows of one file
// open it once, at the first of them.
std::vector<const Hit*> FirstHitOfEachFile(const std::vector<const Hit*>& hits);

}  // namespace trawlscope
