#pragma once
// The tool's exit statuses, grep's, so that `if trawlscope-batch ...; then`
// reads as scripts expect: trouble wins over hits, as in GNU grep, because a
// file that could not be read may have held what was looked for.
namespace trawlscope::batch {

inline constexpr int kExitFound = 0;      // a hit, a file changed, every file restored
inline constexpr int kExitNotFound = 1;   // the run completed and found or changed nothing
inline constexpr int kExitTrouble = 2;    // usage, a path or file not read, a file left unchanged
inline constexpr int kExitInterrupted = 130;

}  // namespace trawlscope::batch
