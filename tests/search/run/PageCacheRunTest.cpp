// Whole search and replace runs with the cache of detected code pages: a
// page planted in the cache shows that it is used, and is not used once the
// file has changed, when the user chose the page, or by a replace.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/detectcache/BuildId.h"
#include "platform/detectcache/PageCacheFormat.h"
#include "search/replace/FileReplacer.h"
#include "search/run/ReplaceJob.h"
#include "search/run/SearchJob.h"
#include "support/RecordingSink.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::TempTree;
using test::Transcode;
using test::U16;

constexpr std::int64_t kSecond = 1'000'000'000;
// Files made by a test are a moment old: a clock an hour ahead makes them settled.
std::int64_t AnHourAhead() { return SystemWallClock() + 3600 * kSecond; }
constexpr CodePage kPlanted = 1252;  // Shift_JIS bytes read as Windows Latin: wrong, but readable

class PageCacheRunTest : public testing::Test {
 protected:
  TempTree tree;
  JobState state;
  test::RecordingSink sink;
  const std::string text = std::string(test::kJapaneseSentence) + " marker\n";
  std::string file = tree.Write("t/sjis.txt", Transcode(text, "Shift_JIS"));

  void SetUp() override {
    state.request.searchPath = U16(tree.Path("t"));
    state.request.searchText = u"marker";
    state.workers = 1;
    state.pageCache = PageCachePlace{tree.Path("cache"), "codepages", AnHourAhead};
  }
  // The cache as if an earlier run had read `page` for the file as it is now.
  void Plant(CodePage page) {
    struct stat info;
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    tree.Write("cache/codepages", EncodePageCache(DetectorBuildId(), {{PageCacheKeyOf(FileIdentity::Of(info)), page, 1}}));
    chmod(tree.Path("cache").c_str(), 0700);
    chmod(tree.Path("cache/codepages").c_str(), 0600);
  }
  CodePage SearchedPage() {
    RunSearch(state, sink);
    return state.hits.Files().empty() ? codepage::kNone : state.hits.Files().front()->codePage;
  }
  size_t Kept() const {
    const auto entries = DecodePageCache(tree.Read("cache/codepages"), DetectorBuildId());
    return entries ? entries->size() : 0;
  }
};

TEST_F(PageCacheRunTest, AnUnchangedFileTakesItsPageFromTheCache) {
  EXPECT_EQ(SearchedPage(), codepage::kShiftJis);
  EXPECT_EQ(Kept(), 1u);
  Plant(kPlanted);
  EXPECT_EQ(SearchedPage(), kPlanted);
}

TEST_F(PageCacheRunTest, AChangedFileIsDetectedAfresh) {
  const struct {
    const char* change;
    std::function<void(const std::string&)> make;
  } changes[] = {
      {"same size, new modification time",
       [](const std::string& path) {
         struct stat info;
         stat(path.c_str(), &info);
         const timespec times[2] = {info.st_atim, {info.st_mtim.tv_sec + 1, info.st_mtim.tv_nsec}};
         utimensat(AT_FDCWD, path.c_str(), times, 0);
       }},
      {"same modification time, new change time",
       [](const std::string& path) { chmod(path.c_str(), 0640); }},
      {"replaced by a rename, a new inode",
       [this](const std::string& path) {
         const std::string copy = tree.Write("copy.txt", tree.Read("t/sjis.txt"));
         struct stat info;
         stat(path.c_str(), &info);
         const timespec times[2] = {info.st_atim, info.st_mtim};
         utimensat(AT_FDCWD, copy.c_str(), times, 0);
         std::filesystem::rename(copy, path);
       }},
  };
  for (const auto& c : changes) {
    Plant(kPlanted);
    ASSERT_EQ(SearchedPage(), kPlanted);
    c.make(file);
    EXPECT_EQ(SearchedPage(), codepage::kShiftJis) << c.change;
  }
}

TEST_F(PageCacheRunTest, AFileJustWrittenIsNotKept) {
  state.pageCache->clock = SystemWallClock;
  EXPECT_EQ(SearchedPage(), codepage::kShiftJis);
  EXPECT_EQ(Kept(), 0u);  // with the clock an hour ahead, 1 (the first test)
}

TEST_F(PageCacheRunTest, APageTheUserChoseIsNeitherTakenFromTheCacheNorKept) {
  Plant(kPlanted);
  state.request.readAs = 20866;
  EXPECT_EQ(SearchedPage(), 20866u);
  state.request.readAs = codepage::kNone;
  state.fileCodePages[U16(file)] = 20866;
  EXPECT_EQ(SearchedPage(), 20866u);
  state.fileCodePages.clear();
  EXPECT_EQ(SearchedPage(), kPlanted);  // still the planted one: nothing above wrote over it
}

// A searcher handed the cache takes the planted page for its search, and
// still writes Shift_JIS back: "猫" is not in windows-1252, where a replace
// in the planted page would refuse.
TEST_F(PageCacheRunTest, AReplaceDetectsAfreshWhateverTheCacheHolds) {
  Plant(kPlanted);
  DetectedPageCache cache(tree.Path("cache"), "codepages", DetectorBuildId(), AnHourAhead);
  FileSearcher searcher;
  searcher.Prepare(false, true, u"marker", u"");
  searcher.UsePageCache(&cache);
  const AbortFlag noAbort{false};
  HitList hits;
  searcher.SearchFile(noAbort, U16(file), hits, kRunContextLength);
  ASSERT_EQ(hits.Files().front()->codePage, kPlanted);
  const FileReplaceOutcome outcome = FileReplacer(searcher).ReplaceInFile(noAbort, U16(file), u"猫");
  EXPECT_EQ(outcome.kind, FileReplaceOutcome::Kind::Changed);
  EXPECT_EQ(outcome.codePage, codepage::kShiftJis);
  EXPECT_EQ(tree.Read("t/sjis.txt"), Transcode(std::string(test::kJapaneseSentence) + " 猫\n", "Shift_JIS"));
}


// Two files written together share device, size and both stamps to the
// nanosecond (the kernel stamps from a coarse clock): only the inode tells
// them apart, and each must keep its own page.
TEST_F(PageCacheRunTest, TwinsStampedAtOnceKeepTheirOwnPages) {
  const std::string lines = std::string(test::kJapaneseSentence) + " marker\n" + test::kJapaneseSentence + "\n";
  std::filesystem::remove(file);
  std::string euc, sjis;
  // New files each time: a stamp asked for since the last change makes the
  // kernel stamp the next change finely.
  const auto twins = [&] {
    std::filesystem::remove_all(tree.Path("t"));
    euc = tree.Write("t/a.txt", Transcode(lines, "EUC-JP"));
    sjis = tree.Write("t/b.txt", Transcode(lines, "Shift_JIS"));
    const timespec times[2] = {{0, UTIME_OMIT}, {1'700'000'000, 0}};
    utimensat(AT_FDCWD, euc.c_str(), times, 0);
    utimensat(AT_FDCWD, sjis.c_str(), times, 0);
    struct stat a, b;
    stat(euc.c_str(), &a);
    stat(sjis.c_str(), &b);
    return a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
  };
  bool made = false;
  for (int attempt = 0; attempt < 50 && !made; ++attempt) made = twins();
  if (!made) GTEST_SKIP() << "this file system stamped the two files apart";
  ASSERT_EQ(std::filesystem::file_size(euc), std::filesystem::file_size(sjis));
  state.request.searchText = u"名前";  // found only in a file read in its own page
  for (int run = 0; run < 2; ++run) {  // the first detects and keeps, the second takes from the cache
    SCOPED_TRACE(run);
    RunSearch(state, sink);
    ASSERT_EQ(state.hits.Files().size(), 2u);
    EXPECT_EQ(state.hits.Files()[0]->codePage, codepage::kEucJp);
    EXPECT_EQ(state.hits.Files()[1]->codePage, codepage::kShiftJis);
  }
  EXPECT_EQ(Kept(), 2u);
}

}  // namespace
}  // namespace trawlscope
