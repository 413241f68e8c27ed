// The undo journal over real files: originals kept before a file is
// replaced, put back byte for byte, never over a file changed since, never
// from a journal cut short; the oldest runs pruned.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>

#include <filesystem>
#include <functional>
#include <string_view>

#include "platform/files/FileReader.h"
#include "platform/files/SafeFileWriter.h"
#include "platform/journal/KeptRuns.h"
#include "platform/journal/RunJournal.h"
#include "platform/journal/UndoRun.h"
#include "support/CutShortOps.h"
#include "support/ForwardingFileOps.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::CutShortOps;
using test::TempTree;

class UndoJournalTest : public testing::Test {
 protected:
  TempTree tree;
  JournalPlace place{tree.Path("state/undo")};

  // One run that replaces each file's content as a replace run does: the
  // original kept first, then the safe writer.
  JournalEnd Run(const std::vector<std::pair<std::string, std::string>>& changes, const std::string& replacement = "x",
                 IFileOps& ops = SystemFileOps()) {
    RunJournal journal(place, {1700000000, "search", replacement, ""}, ops);
    for (const auto& [relative, bytes] : changes) {
      const std::string path = tree.Path(relative);
      std::string old;
      FileBuffer buffer;
      FileIdentity asRead;
      EXPECT_TRUE(ReadWholeFile(path, buffer, &asRead));
      old.assign(buffer.Bytes());
      const KeptOriginal kept = journal.Keep(path, old, bytes);
      if (kept.kind != KeptOriginal::Kind::Kept) continue;
      EXPECT_TRUE(RewriteFile(path, bytes, old, asRead, SystemFileOps(), Links::Followed).Ok());
      journal.Written(kept.ticket);
    }
    return journal.Finish();
  }

  std::vector<std::string> KeptPaths() const {
    const auto run = LastKeptRun(place.folder);
    std::vector<std::string> paths;
    if (run && run->manifest)
      for (const JournalEntry& file : run->manifest->files) paths.push_back(file.path);
    return paths;
  }

  std::vector<std::string> Replacements() const {
    std::vector<std::string> texts;
    for (const KeptRun& run : ListKeptRuns(place.folder))
      texts.push_back(run.manifest ? run.manifest->description.replacementText : "damaged");
    return texts;
  }
};

TEST_F(UndoJournalTest, UndoPutsBackEveryFileByteForByteAndThenTheRunBefore) {
  const std::string sjis = test::Transcode("関数を呼ぶ\r\n", "windows-31j");
  const std::string utf16 = test::Transcode("\xEF\xBB\xBF関数\n", "UTF-16LE");
  tree.Write("a.txt", sjis);
  tree.Write("b.txt", utf16);
  ASSERT_EQ(Run({{"a.txt", "first"}}, "one").kind, JournalEnd::Kind::Kept);
  const JournalEnd second = Run({{"a.txt", "second"}, {"b.txt", "second b"}}, "two");
  ASSERT_EQ(second.kind, JournalEnd::Kind::Kept);
  EXPECT_EQ(second.files, 2u);
  EXPECT_EQ(Replacements(), (std::vector<std::string>{"two", "one"}));

  UndoReport report = UndoLastRun(place);
  EXPECT_EQ(report.status, UndoReport::Status::Undone);
  EXPECT_EQ(report.description.replacementText, "two");
  EXPECT_EQ(report.restored, (std::vector<std::string>{tree.Path("a.txt"), tree.Path("b.txt")}));
  EXPECT_TRUE(report.refused.empty());
  EXPECT_EQ(tree.Read("a.txt"), "first");
  EXPECT_EQ(tree.Read("b.txt"), utf16);

  report = UndoLastRun(place);
  EXPECT_EQ(report.status, UndoReport::Status::Undone);
  EXPECT_EQ(tree.Read("a.txt"), sjis);
  EXPECT_EQ(UndoLastRun(place).status, UndoReport::Status::NothingToUndo);
}

TEST_F(UndoJournalTest, AFileChangedSinceTheReplaceKeepsItsOriginalUntilPutBackOrBeside) {
  tree.Write("a.txt", "alpha");
  tree.Write("b.txt", "beta");
  tree.Write("c.txt", "gamma");
  tree.Write("d.txt", "delta");
  ASSERT_EQ(Run({{"a.txt", "ALPHA"}, {"b.txt", "BETA"}, {"c.txt", "GAMMA"}, {"d.txt", "DELTA"}}).kind,
            JournalEnd::Kind::Kept);
  tree.Write("b.txt", "edited by hand");
  // Same size and time as the run left it, other bytes: only the hash tells.
  struct stat before;
  stat(tree.Path("c.txt").c_str(), &before);
  tree.Write("c.txt", "GAMMa");
  const timespec times[2] = {before.st_atim, before.st_mtim};
  utimensat(AT_FDCWD, tree.Path("c.txt").c_str(), times, 0);
  // Only touched: still what the run wrote.
  utimensat(AT_FDCWD, tree.Path("d.txt").c_str(), nullptr, 0);

  UndoReport report = UndoLastRun(place);
  EXPECT_EQ(report.status, UndoReport::Status::Undone);
  EXPECT_EQ(report.restored, (std::vector<std::string>{tree.Path("a.txt"), tree.Path("d.txt")}));
  ASSERT_EQ(report.refused.size(), 2u);
  EXPECT_EQ(report.refused[0].path, tree.Path("b.txt"));
  EXPECT_EQ(report.refused[0].reason, UndoRefusal::ChangedSinceReplace);
  EXPECT_EQ(report.refused[1].path, tree.Path("c.txt"));
  EXPECT_EQ(report.refused[1].reason, UndoRefusal::ChangedSinceReplace);
  EXPECT_EQ(tree.Read("a.txt"), "alpha");
  EXPECT_EQ(tree.Read("b.txt"), "edited by hand");
  EXPECT_EQ(tree.Read("c.txt"), "GAMMa");
  EXPECT_EQ(tree.Read("d.txt"), "delta");

  // The run stays with what it could not put back; the next undo tries again.
  EXPECT_EQ(KeptPaths(), (std::vector<std::string>{tree.Path("b.txt"), tree.Path("c.txt")}));
  tree.Write("b.txt", "BETA");
  report = UndoLastRun(place);
  EXPECT_EQ(report.restored, (std::vector<std::string>{tree.Path("b.txt")}));
  EXPECT_EQ(tree.Read("b.txt"), "beta");

  tree.Write("c.txt.original", "the user's own");
  const BesideReport beside = PutOriginalsBeside(place);
  ASSERT_EQ(beside.placed.size(), 1u);
  EXPECT_EQ(beside.placed[0].second, tree.Path("c.txt.original-2"));
  EXPECT_EQ(tree.Read("c.txt.original-2"), "gamma");
  EXPECT_EQ(tree.Read("c.txt.original"), "the user's own");
  EXPECT_EQ(tree.Read("c.txt"), "GAMMa");
  EXPECT_EQ(UndoLastRun(place).status, UndoReport::Status::NothingToUndo);
}

TEST_F(UndoJournalTest, AFileGoneSinceTheReplaceIsListedAsMissing) {
  tree.Write("a.txt", "alpha");
  ASSERT_EQ(Run({{"a.txt", "ALPHA"}}).kind, JournalEnd::Kind::Kept);
  unlink(tree.Path("a.txt").c_str());
  const UndoReport report = UndoLastRun(place);
  ASSERT_EQ(report.refused.size(), 1u);
  EXPECT_EQ(report.refused[0].reason, UndoRefusal::Missing);
  EXPECT_EQ(KeptPaths(), (std::vector<std::string>{tree.Path("a.txt")}));
}

TEST_F(UndoJournalTest, RestoreKeepsPermissionsLinksAndHardLinks) {
  tree.Write("real.txt", "original");
  chmod(tree.Path("real.txt").c_str(), 0640);
  symlink(tree.Path("real.txt").c_str(), tree.Path("link.txt").c_str());
  tree.Write("hard.txt", "hard original");
  link(tree.Path("hard.txt").c_str(), tree.Path("hard2.txt").c_str());
  ASSERT_EQ(Run({{"link.txt", "changed"}, {"hard.txt", "hard changed"}}).kind, JournalEnd::Kind::Kept);
  ASSERT_EQ(tree.Read("hard2.txt"), "hard changed");

  const UndoReport report = UndoLastRun(place);
  EXPECT_EQ(report.restored.size(), 2u);
  EXPECT_EQ(tree.Read("real.txt"), "original");
  EXPECT_EQ(tree.Read("hard2.txt"), "hard original");
  struct stat info;
  ASSERT_EQ(lstat(tree.Path("link.txt").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_EQ(stat(tree.Path("real.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  ASSERT_EQ(stat(tree.Path("hard.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_nlink, 2u);
}

TEST_F(UndoJournalTest, ARecordTheDiskFillsUpUnderKeepsEveryFileChangedSoFarUndoable) {
  tree.Write("a.txt", "alpha");
  tree.Write("b.txt", "beta");
  // The run's opening lines and a.txt's line go through; then the disk is full.
  CutShortOps ops("/log", CutShortOps::Cut::FullDisk, 2);
  const JournalEnd end = Run({{"a.txt", "ALPHA"}, {"b.txt", "BETA"}}, "x", ops);
  EXPECT_GT(ops.cutWrites, 0);
  EXPECT_EQ(end.kind, JournalEnd::Kind::Kept);
  EXPECT_EQ(end.files, 1u);
  EXPECT_EQ(tree.Read("b.txt"), "beta");  // its record could not be written: left as it was
  EXPECT_EQ(UndoLastRun(place).restored, (std::vector<std::string>{tree.Path("a.txt")}));
  EXPECT_EQ(tree.Read("a.txt"), "alpha");
}

TEST_F(UndoJournalTest, ARunKilledAtAnyMomentLeavesEveryChangedFileUndoable) {
  tree.Write("a.txt", "alpha");
  tree.Write("b.txt", "beta");
  const std::string temporary = tree.Path(".b.txt.trawlscope-Ab12Cd");
  const pid_t child = fork();
  if (child == 0) {
    RunJournal journal(place, {1700000000, "search", "x", ""});
    for (const auto& [name, bytes] : {std::pair{"a.txt", "ALPHA"}, std::pair{"b.txt", "BETA"}}) {
      FileBuffer old;
      FileIdentity asRead;
      static_cast<void>(ReadWholeFile(tree.Path(name), old, &asRead));
      journal.Keep(tree.Path(name), old.Bytes(), bytes);
      if (std::string(name) == "a.txt") static_cast<void>(RewriteFile(tree.Path(name), bytes, old.Bytes(), asRead));
    }
    // Killed while b.txt's new content was on its way to disk.
    static_cast<void>(WriteWholeFile(temporary, "BET"));
    kill(getpid(), SIGKILL);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_EQ(tree.Read("a.txt"), "ALPHA");

  const UndoReport report = UndoLastRun(place);
  EXPECT_EQ(report.status, UndoReport::Status::Undone);
  EXPECT_EQ(report.restored, (std::vector<std::string>{tree.Path("a.txt"), tree.Path("b.txt")}));
  EXPECT_EQ(tree.Read("a.txt"), "alpha");
  EXPECT_EQ(tree.Read("b.txt"), "beta");
  EXPECT_NE(access(temporary.c_str(), F_OK), 0);  // the killed write's leftover is cleared
}

TEST_F(UndoJournalTest, ARecordWrittenShortOrDamagedIsNeverRestoredFrom) {
  tree.Write("a.txt", "alpha");
  tree.Write("b.txt", "beta");
  ASSERT_EQ(Run({{"a.txt", "one"}}, "earlier").kind, JournalEnd::Kind::Kept);
  // A disk that claims bytes it did not take: seen, and nothing is replaced on its word.
  CutShortOps ops("/log", CutShortOps::Cut::SilentHalf);
  EXPECT_EQ(Run({{"a.txt", "two"}, {"b.txt", "BETA"}}, "cut", ops).kind, JournalEnd::Kind::NothingKept);
  ASSERT_GT(ops.cutWrites, 0);
  EXPECT_EQ(tree.Read("a.txt"), "one");
  EXPECT_EQ(Replacements(), (std::vector<std::string>{"earlier"}));

  ASSERT_EQ(Run({{"a.txt", "two"}, {"b.txt", "BETA"}}, "later").kind, JournalEnd::Kind::Kept);
  const auto run = LastKeptRun(place.folder);
  const std::string record = run->folder.substr(tree.Path("").size()) + "/log";
  std::string bytes = tree.Read(record);
  bytes[bytes.find("keep\t") + 1] = 'K';
  tree.Write(record, bytes);
  EXPECT_EQ(Replacements(), (std::vector<std::string>{"damaged", "earlier"}));
  const UndoReport report = UndoLastRun(place);
  EXPECT_EQ(report.status, UndoReport::Status::Damaged);
  EXPECT_TRUE(report.restored.empty());
  EXPECT_EQ(tree.Read("a.txt"), "two");
  // The damaged run stays for the user to look at, and keeps blocking: an
  // undo must not skip to an older run behind the user's back.
  EXPECT_EQ(UndoLastRun(place).status, UndoReport::Status::Damaged);
}

TEST_F(UndoJournalTest, AnOriginalDamagedUnseenRestoresNothingAtAll) {
  tree.Write("a.txt", "alpha");
  tree.Write("b.txt", "beta");
  ASSERT_EQ(Run({{"a.txt", "ALPHA"}, {"b.txt", "BETA"}}).kind, JournalEnd::Kind::Kept);
  const auto run = LastKeptRun(place.folder);
  ASSERT_TRUE(run && run->manifest);
  // Same size, one bit off: only the hash tells.
  tree.Write(run->folder.substr(tree.Path("").size()) + "/" + run->manifest->files[1].originalName, "bets");
  EXPECT_EQ(UndoLastRun(place).status, UndoReport::Status::Damaged);
  EXPECT_EQ(tree.Read("a.txt"), "ALPHA");
}

TEST_F(UndoJournalTest, AnOriginalCutShortUnseenRestoresNothingAtAll) {
  tree.Write("a.txt", "alpha");
  tree.Write("b.txt", "a longer original of the second file");
  CutShortOps ops("000001.orig", CutShortOps::Cut::SilentHalf);
  ASSERT_EQ(Run({{"a.txt", "ALPHA"}, {"b.txt", "B"}}, "x", ops).kind, JournalEnd::Kind::Kept);
  ASSERT_GT(ops.cutWrites, 0);
  const UndoReport report = UndoLastRun(place);
  EXPECT_EQ(report.status, UndoReport::Status::Damaged);
  EXPECT_EQ(tree.Read("a.txt"), "ALPHA");  // intact itself, but its run is not
  EXPECT_EQ(tree.Read("b.txt"), "B");
}

TEST_F(UndoJournalTest, AnOriginalTheDiskHadNoRoomForLeavesItsFileUnreplaced) {
  tree.Write("a.txt", "alpha");
  CutShortOps ops(".orig", CutShortOps::Cut::FullDisk);
  RunJournal journal(place, {}, ops);
  const KeptOriginal kept = journal.Keep(tree.Path("a.txt"), "alpha", "ALPHA");
  EXPECT_EQ(kept.kind, KeptOriginal::Kind::Failed);
  EXPECT_EQ(kept.error.error, ENOSPC);
  EXPECT_EQ(journal.Finish().kind, JournalEnd::Kind::NothingKept);
  EXPECT_TRUE(ListKeptRuns(place.folder).empty());
}

TEST_F(UndoJournalTest, OnlyTheLastTenRunsAreKept) {
  tree.Write("a.txt", "start");
  for (int i = 1; i <= 12; ++i) ASSERT_EQ(Run({{"a.txt", "run " + std::to_string(i)}}, std::to_string(i)).kind,
                                          JournalEnd::Kind::Kept);
  EXPECT_EQ(Replacements(), (std::vector<std::string>{"12", "11", "10", "9", "8", "7", "6", "5", "4", "3"}));
}

TEST_F(UndoJournalTest, OldestRunsGoWhenTheSizeLimitIsPassed) {
  place.maxBytes = 3000;
  tree.Write("a.txt", std::string(1000, 'a'));
  for (int i = 1; i <= 4; ++i)
    ASSERT_EQ(Run({{"a.txt", std::string(1000, static_cast<char>('a' + i))}}, std::to_string(i)).kind,
              JournalEnd::Kind::Kept);
  // The limit weighs the originals, as the check before a run does.
  EXPECT_EQ(Replacements(), (std::vector<std::string>{"4", "3", "2"}));
  place.maxBytes = 1000;
  ASSERT_TRUE(RoomForOriginals(place, 1000).fits);
  ASSERT_EQ(Run({{"a.txt", "last"}}, "at the limit").kind, JournalEnd::Kind::Kept);
  EXPECT_EQ(Replacements(), (std::vector<std::string>{"at the limit"}));
}

TEST_F(UndoJournalTest, AFileWhoseOriginalPassesTheLimitIsLeftAsItWas) {
  place.maxBytes = 10;
  tree.Write("a.txt", "small");
  tree.Write("b.txt", "far more than ten bytes");
  const JournalEnd end = Run({{"a.txt", "A"}, {"b.txt", "B"}});
  EXPECT_EQ(end.kind, JournalEnd::Kind::Kept);
  EXPECT_EQ(tree.Read("b.txt"), "far more than ten bytes");
  EXPECT_EQ(UndoLastRun(place).restored, (std::vector<std::string>{tree.Path("a.txt")}));
}

TEST_F(UndoJournalTest, AJournalFolderNotTheUsersOwnAndClosedIsRefused) {
  tree.Write("a.txt", "alpha");
  ASSERT_EQ(Run({{"a.txt", "ALPHA"}}).kind, JournalEnd::Kind::Kept);
  chmod(place.folder.c_str(), 0777);
  const UndoReport report = UndoLastRun(place);
  EXPECT_EQ(report.status, UndoReport::Status::NotPrivate);
  EXPECT_EQ(report.folder.trust, FolderTrust::OpenToOthers);
  EXPECT_EQ(tree.Read("a.txt"), "ALPHA");
  EXPECT_FALSE(RoomForOriginals(place, 1).fits);
  chmod(place.folder.c_str(), 0700);

  const struct {
    const char* what;
    std::function<void(const std::string&)> make;
    FolderTrust trust;
  } places[] = {
      {"a file", [&](const std::string& at) { tree.Write(at.substr(tree.Path("").size()), "x"); }, FolderTrust::NotAFolder},
      {"a dangling link", [](const std::string& at) { symlink("/nonexistent/undo", at.c_str()); }, FolderTrust::NotAFolder},
  };
  for (const auto& bad : places) {
    JournalPlace elsewhere{tree.Path(std::string("bad/") + bad.what)};
    mkdir(tree.Path("bad").c_str(), 0700);
    bad.make(elsewhere.folder);
    EXPECT_EQ(RoomForOriginals(elsewhere, 1).folder.trust, bad.trust) << bad.what;
    RunJournal journal(elsewhere, {});
    EXPECT_EQ(journal.Keep(tree.Path("a.txt"), "ALPHA", "x").kind, KeptOriginal::Kind::Failed) << bad.what;
  }
}

// Refuses the folders, the lock and the disk's figures it is told to, as a
// full quota, a read-only disk or a file system without locks would.
class RefusingOps final : public test::ForwardingFileOps {
 public:
  std::function<bool(std::string_view)> refuseFolder = [](std::string_view) { return false; };
  int refuseLock = -1;  // the flock operation refused
  bool refuseStats = false;
  int refused = 0;

  int FileSystemStats(const char* path, struct statvfs* info) override {
    if (!refuseStats) return real_.FileSystemStats(path, info);
    ++refused;
    errno = EIO;
    return -1;
  }
  int MakeFolderAt(int folder, const char* name, mode_t mode) override {
    if (!refuseFolder(name)) return real_.MakeFolderAt(folder, name, mode);
    ++refused;
    errno = EACCES;
    return -1;
  }
  int Lock(int fd, int operation) override {
    if (operation != refuseLock) return real_.Lock(fd, operation);
    ++refused;
    errno = ENOLCK;
    return -1;
  }
};

TEST_F(UndoJournalTest, AFolderOrLockTheSystemRefusesLeavesTheFileUnreplacedOrTheRunUnlocked) {
  const std::string runs = place.folder + "/";
  const struct {
    const char* what;
    std::function<bool(std::string_view)> folder;
    int lock;
    FileError error;  // none: the run goes on
  } faults[] = {
      {"the journal's folder", [&](std::string_view name) { return name == place.folder; }, -1,
       FileError::System(FileStep::MakeFolder, EACCES)},
      {"the run's folder", [&](std::string_view name) { return name.starts_with(runs); }, -1,
       FileError::System(FileStep::MakeFolder, EACCES)},
      {"the record's lock", [](std::string_view) { return false; }, LOCK_EX | LOCK_NB,
       FileError::System(FileStep::Lock, ENOLCK)},
      // Waited for by whoever settles, prunes or undoes runs; without it they go on unlocked.
      {"the journal's lock", [](std::string_view) { return false; }, LOCK_EX, {}},
  };
  for (const auto& fault : faults) {
    tree.Write("a.txt", "alpha");
    RefusingOps ops;
    ops.refuseFolder = fault.folder;
    ops.refuseLock = fault.lock;
    RunJournal journal(place, {}, ops);
    const KeptOriginal kept = journal.Keep(tree.Path("a.txt"), "alpha", "ALPHA");
    EXPECT_GT(ops.refused, 0) << fault.what;
    if (fault.error == FileError{}) {
      ASSERT_EQ(kept.kind, KeptOriginal::Kind::Kept) << fault.what;
      journal.Written(kept.ticket);
      EXPECT_EQ(journal.Finish().kind, JournalEnd::Kind::Kept) << fault.what;
      EXPECT_EQ(ListKeptRuns(place.folder).size(), 1u) << fault.what;
    } else {
      EXPECT_EQ(kept.kind, KeptOriginal::Kind::Failed) << fault.what;
      EXPECT_EQ(kept.error, fault.error) << fault.what;
      EXPECT_EQ(journal.Finish().kind, JournalEnd::Kind::NothingKept) << fault.what;
      EXPECT_TRUE(ListKeptRuns(place.folder).empty()) << fault.what;
    }
    std::filesystem::remove_all(place.folder);
  }
}

TEST_F(UndoJournalTest, RoomForOriginalsWeighsTheLimit) {
  place.maxBytes = 1000;
  EXPECT_TRUE(RoomForOriginals(place, 1000).fits);
  EXPECT_FALSE(RoomForOriginals(place, 1001).fits);
  EXPECT_GT(RoomForOriginals(place, 1).available, 0u);  // measured on the disk of the nearest folder
  RefusingOps ops;
  ops.refuseStats = true;
  const JournalRoom unknown = RoomForOriginals(place, 1, ops);
  EXPECT_FALSE(unknown.fits);  // a disk whose free room cannot be told is not trusted with the originals
  EXPECT_EQ(unknown.available, 0u);
  EXPECT_GT(ops.refused, 0);
  place.folder.clear();
  EXPECT_FALSE(RoomForOriginals(place, 1).fits);
}

// The hidden temporary files the safe writer left in `folder`.
std::vector<std::string> TemporariesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (IsWritersTemporaryName(entry.path().filename().string())) names.push_back(entry.path().filename().string());
  return names;
}

// Dies as a kill -9 would, once the first temporary file outside the journal is made.
class DyingOps : public test::ForwardingFileOps {
 public:
  static constexpr int kKilled = 9;
  explicit DyingOps(std::string journal) : journal_(std::move(journal)) {}
  int CreateTemporaryAt(int folder, std::string& nameTemplate) override {
    const int fd = real_.CreateTemporaryAt(folder, nameTemplate);
    const std::string folderPath = std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(folder));
    if (folderPath.rfind(journal_, 0) != 0) _exit(kKilled);
    return fd;
  }

 private:
  std::string journal_;
};

TEST_F(UndoJournalTest, TheTemporaryFileOfAKilledUndoIsRemovedByTheNextUndo) {
  const struct {
    const char* what;
    std::function<void(const JournalPlace&, IFileOps&)> undo;
  } undos[] = {
      {"undo", [](const JournalPlace& at, IFileOps& ops) { UndoLastRun(at, ops); }},
      {"beside", [](const JournalPlace& at, IFileOps& ops) { PutOriginalsBeside(at, ops); }},
  };
  for (const auto& killed : undos) {
    tree.Write("docs/a.txt", "alpha");
    ASSERT_EQ(Run({{"docs/a.txt", "ALPHA"}}).kind, JournalEnd::Kind::Kept);
    const pid_t child = fork();
    if (child == 0) {
      DyingOps ops(place.folder);
      killed.undo(place, ops);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_EQ(WEXITSTATUS(status), DyingOps::kKilled) << killed.what;
    ASSERT_EQ(TemporariesIn(tree.Path("docs")).size(), 1u) << killed.what;

    EXPECT_EQ(UndoLastRun(place).restored, (std::vector<std::string>{tree.Path("docs/a.txt")})) << killed.what;
    EXPECT_EQ(TemporariesIn(tree.Path("docs")), std::vector<std::string>{}) << killed.what;
    EXPECT_EQ(tree.Read("docs/a.txt"), "alpha");
  }
}

// Makes a dangling link at the name the original is about to take, as another process might.
class LinkMakingOps : public test::ForwardingFileOps {
 public:
  int CreateTemporaryAt(int folder, std::string& nameTemplate) override {
    const std::string beside = nameTemplate.substr(1, nameTemplate.rfind(".trawlscope-") - 1);
    if (!made_) made_ = symlinkat("/nonexistent/target", folder, beside.c_str()) == 0;
    return real_.CreateTemporaryAt(folder, nameTemplate);
  }

 private:
  bool made_ = false;
};

TEST_F(UndoJournalTest, PuttingOriginalsBesideNeverReplacesALink) {
  const struct {
    const char* what;
    bool linkBefore;
  } cases[] = {{"a dangling link there before", true}, {"a link made while the original is written", false}};
  for (const auto& at : cases) {
    const std::string folder = std::string("beside/") + (at.linkBefore ? "before" : "during");
    tree.Write(folder + "/f.txt", "original");
    ASSERT_EQ(Run({{folder + "/f.txt", "replaced"}}).kind, JournalEnd::Kind::Kept);
    if (at.linkBefore) symlink("/nonexistent/target", tree.Path(folder + "/f.txt.original").c_str());
    LinkMakingOps racing;
    test::ForwardingFileOps plain;
    const BesideReport report = PutOriginalsBeside(place, at.linkBefore ? static_cast<IFileOps&>(plain) : racing);
    EXPECT_EQ(report.placed, (std::vector<std::pair<std::string, std::string>>{
                                 {tree.Path(folder + "/f.txt"), tree.Path(folder + "/f.txt.original-2")}}))
        << at.what;
    char target[64] = {};
    EXPECT_EQ(readlink(tree.Path(folder + "/f.txt.original").c_str(), target, sizeof target - 1), 19) << at.what;
    EXPECT_EQ(tree.Read(folder + "/f.txt.original-2"), "original") << at.what;
  }
}

// As ssh checks a user's keys: a folder above the journal that another user
// may change lets them move the journal away, or put their own in its place.
TEST_F(UndoJournalTest, EveryFolderAboveTheJournalMustBeClosedToOtherUsers) {
  const struct {
    const char* what;
    std::function<std::string(const std::string& state)> spoil;  // gives the folder to name
    FolderTrust trust;
  } cases[] = {
      {"open", [](const std::string& state) { chmod(state.c_str(), 0777); return state; }, FolderTrust::OpenToOthers},
      {"linked to an open folder",
       [&](const std::string& state) {
         const std::string open = tree.MakeFolder("open");
         chmod(open.c_str(), 0777);
         std::filesystem::rename(state + "/trawlscope", open + "/trawlscope");
         symlink((open + "/trawlscope").c_str(), (state + "/trawlscope").c_str());
         return open;
       },
       FolderTrust::OpenToOthers},
  };
  for (const auto& spoiled : cases) {
    const std::string state = tree.MakeFolder(std::string("chain/") + spoiled.what);
    place.folder = state + "/trawlscope/undo";
    tree.Write("a.txt", "alpha");
    ASSERT_EQ(Run({{"a.txt", "ALPHA"}}).kind, JournalEnd::Kind::Kept);
    const std::string unsafe = spoiled.spoil(state);

    UndoReport report = UndoLastRun(place);
    EXPECT_EQ(report.status, UndoReport::Status::NotPrivate) << spoiled.what;
    EXPECT_EQ(report.folder.trust, spoiled.trust) << spoiled.what;
    EXPECT_EQ(report.folder.path, unsafe) << spoiled.what;
    EXPECT_FALSE(RoomForOriginals(place, 1).fits) << spoiled.what;
    // Moved away by another user, the journal is not taken to be empty.
    std::filesystem::rename(place.folder, place.folder + ".moved");
    report = UndoLastRun(place);
    EXPECT_EQ(report.status, UndoReport::Status::NotPrivate) << spoiled.what;
    EXPECT_EQ(report.folder.path, unsafe) << spoiled.what;
    EXPECT_EQ(tree.Read("a.txt"), "ALPHA");
  }
}

}  // namespace
}  // namespace trawlscope
