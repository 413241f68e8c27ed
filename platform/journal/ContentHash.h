#pragma once
// The hash that tells whether a file is still what a replace wrote, and
// whether a journal's own files came through whole: SHA-256, from GLib,
// which the desktop side links already and which is kept by many eyes.
#include <string>
#include <string_view>

namespace trawlscope {

// 64 lowercase hex digits. Any thread.
std::string ContentHash(std::string_view bytes);

}  // namespace trawlscope
