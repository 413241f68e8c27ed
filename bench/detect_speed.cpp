// Times code-page detection alone over every file below a folder: the files
// are read into memory first, then detected a few rounds, and the best round
// is reported per file. Usage: trawlscope-detect-speed FOLDER [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/codepage/detection/CodePageDetector.h"
#include "platform/files/FileReader.h"
#include "platform/files/NativePath.h"
#include "search/listing/FileList.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: trawlscope-detect-speed FOLDER [ROUNDS]\n");
    return 2;
  }
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  trawlscope::AbortFlag abort{false};
  trawlscope::FileList list;
  trawlscope::BuildFileList(abort, trawlscope::FromNativePath(argv[1]), list, true, u"");
  std::vector<std::string> files;
  files.reserve(list.size());
  for (const auto& path : list) {
    std::string bytes;
    static_cast<void>(trawlscope::ReadWholeFile(trawlscope::ToNativePath(path), bytes));
    files.push_back(std::move(bytes));
  }
  if (files.empty()) return 1;

  double best = 1e300;
  unsigned checksum = 0;
  for (int round = 0; round < rounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    for (const auto& bytes : files) checksum += trawlscope::DetectCodePage(bytes);
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::printf("%zu files, best of %d rounds: %.1f ms, %.1f us a file (checksum %u)\n", files.size(),
              rounds, best * 1000, best * 1e6 / files.size(), checksum);
  return 0;
}
