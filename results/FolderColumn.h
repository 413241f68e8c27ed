#pragma once
// The Folder column: where a hit's file lies below the folder that was searched.
#include <string>
#include <string_view>
#include <vector>

#include "search/hits/HitList.h"
#include "search/SearchRequest.h"

namespace trawlscope {

// The folders the request's Search path names, each absolute and ending in
// "/"; files named in it stand for their own folder.
std::vector<std::u16string> SearchedFolders(const SearchRequest& request);

// `folder` (ending in "/") below the longest of `roots` that holds it, with
// no "/" at its end: empty for the root itself. The whole folder when no
// root holds it.
std::u16string RelativeFolder(std::u16string_view folder, const std::vector<std::u16string>& roots);

// How many hits the file of hit `index` holds: a file's hits lie side by side in the list.
size_t HitsInFileOf(const HitList& hits, size_t index);

}  // namespace trawlscope
