// Prints the file list of one folder and everything below it, one path a line,
// as a search run would build it: the listing's half of a run, timed alone.
#include <cstdio>
#include <string>

#include "platform/files/NativePath.h"
#include "search/listing/FileList.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: trawlscope-list-files FOLDER\n");
    return 2;
  }
  trawlscope::AbortFlag abort{false};
  trawlscope::FileList list;
  trawlscope::BuildFileList(abort, trawlscope::FromNativePath(argv[1]), list, true, u"");
  std::string out;
  for (const auto& path : list) {
    out += trawlscope::ToNativeBytes(path);
    out += '\n';
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
