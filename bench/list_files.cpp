// Prints the file list of one folder and everything below it, one path a line,
// as a search run would build it: the listing's half of a run, timed alone.
// The options after the folder aim the listing as a run's would.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/files/NativePath.h"
#include "search/listing/FileList.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: trawlscope-list-files FOLDER [--types PATTERNS] [--skip-vcs] [--gitignore]\n"
                         "       [--max-size BYTES]\n");
    return 2;
  }
  std::u16string types;
  trawlscope::ListingRules rules;
  rules.includeSubfolders = true;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--types") == 0 && i + 1 < argc) types = trawlscope::FromNativePath(argv[++i]);
    else if (std::strcmp(argv[i], "--skip-vcs") == 0) rules.skipVersionControl = true;
    else if (std::strcmp(argv[i], "--gitignore") == 0) rules.followGitignore = true;
    // What a bound costs: each file found is looked up.
    else if (std::strcmp(argv[i], "--max-size") == 0 && i + 1 < argc) rules.bounds.maxSize = std::stoull(argv[++i]);
  }
  rules.fileTypes = types;
  trawlscope::AbortFlag abort{false};
  size_t leftOut = 0;
  std::string out;
  trawlscope::ListFiles(
      abort, trawlscope::FromNativePath(argv[1]), rules,
      [&](std::u16string path) {
        out += trawlscope::ToNativeBytes(path);
        out += '\n';
      },
      nullptr, {}, [&](trawlscope::LeftOut) { ++leftOut; });
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (leftOut > 0) std::fprintf(stderr, "left out: %zu\n", leftOut);
  return 0;
}
