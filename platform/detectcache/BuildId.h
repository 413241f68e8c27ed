#pragma once
// The GNU build-id of loaded code: a hash the linker writes into every
// executable and shared library (the NT_GNU_BUILD_ID note), different for
// each build. Answers kept across runs name the build that gave them.
#include <string>

namespace trawlscope {

// The build-id bytes of the loaded object (the executable or a shared
// library) whose code holds `address`; empty when it was linked without one.
// Any thread.
std::string BuildIdOf(const void* address);

// The build-id of the object that holds the code-page detector: its answers
// are those of this build and no other. Any thread.
std::string DetectorBuildId();

}  // namespace trawlscope
