#include "search/archive/CompressedSearch.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "search/archive/MemberPath.h"
#include "search/run/ReplaceJob.h"
#include "search/run/SearchJob.h"
#include "support/ArchiveMaker.h"
#include "support/RecordingSink.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::MemberBytes;
using test::TempTree;
using test::Transcode;
using test::U16;
using test::U8;
using Kind = ArchiveFault::Kind;

const std::string kJapanese = test::kJapaneseSentence;
// Bytes no reading takes for text: a PNG header and its NULs.
constexpr char kPngHead[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x06\0\0\0";
const std::string kBinary(kPngHead, sizeof kPngHead - 1);  // its NULs and all, not the literal's end

std::string Utf16LeWithMark(const std::string& utf8) { return "\xFF\xFE" + Transcode(utf8, "UTF-16LE"); }

class CompressedSearchTest : public testing::Test {
 protected:
  TempTree tree;
  JobState state;
  test::RecordingSink sink;

  void SetUp() override {
    state.request.searchPath = U16(tree.Path("t"));
    state.request.searchText = u"名前";
    state.request.includeSubfolders = true;
  }
  // Each hit's path (relative to t/) and its file's code page, in list order.
  std::map<std::string, CodePage> Search() {
    RunSearch(state, sink);
    std::map<std::string, CodePage> found;
    for (const Hit& hit : state.hits) found[U8(hit.FullPath()).substr(tree.Path("t/").size())] = hit.FileCodePage();
    return found;
  }
};

TEST_F(CompressedSearchTest, EachFormatIsSearchedAndEachMemberKeepsItsOwnCodePage) {
  test::WriteStream(tree.Path("t/man/ls.1.gz"), "gzip", Transcode(kJapanese, "EUC-JP"));
  test::WriteStream(tree.Path("t/man/cp.1.gz"), "gzip", kJapanese);
  test::WriteStream(tree.Path("t/log.bz2"), "bzip2", kJapanese);
  test::WriteStream(tree.Path("t/log.xz"), "xz", kJapanese);
  test::WriteStream(tree.Path("t/log.zst"), "zstd", kJapanese);
  test::WriteStream(tree.Path("t/log.lz4"), "lz4", kJapanese);
  test::WriteArchive(tree.Path("t/pages.tar.xz"), "ustar", "xz",
                     {{"ja/sjis.txt", Transcode(kJapanese, "Shift_JIS")}, {"ja/none.txt", "nothing"}});
  test::WriteArchive(tree.Path("t/mixed.zip"), "zip", "none",
                     {{"wide.txt", Utf16LeWithMark(kJapanese)}, {"logo.png", kBinary + kJapanese}});
  test::WriteArchive(tree.Path("t/seven.7z"), "7zip", "none", {{"a/b.txt", kJapanese}});
  const std::map<std::string, CodePage> expected = {
      {"log.bz2", codepage::kUtf8},          {"log.lz4", codepage::kUtf8},
      {"log.xz", codepage::kUtf8},           {"log.zst", codepage::kUtf8},
      {"man/cp.1.gz", codepage::kUtf8},      {"man/ls.1.gz", codepage::kEucJp},
      {"mixed.zip//wide.txt", codepage::kUtf16Le}, {"pages.tar.xz//ja/sjis.txt", codepage::kShiftJis},
      {"seven.7z//a/b.txt", codepage::kUtf8}};
  EXPECT_EQ(Search(), expected);
  EXPECT_EQ(sink.summary.filesSearched, 9u + 1u);  // none.txt is searched too
  EXPECT_EQ(sink.summary.binarySkipped, 1u);      // logo.png
  EXPECT_TRUE(sink.summary.compressed.empty());
  for (const Hit& hit : state.hits) EXPECT_EQ(hit.Keyword(), u"名前");
}

TEST_F(CompressedSearchTest, TurnedOffCompressedFilesAreBinaryAsBefore) {
  test::WriteStream(tree.Path("t/ls.1.gz"), "gzip", kJapanese);
  state.request.searchCompressed = false;
  EXPECT_TRUE(Search().empty());
  EXPECT_EQ(sink.summary.binarySkipped, 1u);
}

TEST_F(CompressedSearchTest, APlainFileBehindACompressedNameIsSearchedAsAFile) {
  tree.Write("t/notes.gz", kJapanese);
  EXPECT_EQ(Search(), (std::map<std::string, CodePage>{{"notes.gz", codepage::kUtf8}}));
}

TEST_F(CompressedSearchTest, DamageEncryptionAndBombsAreReportedAndTheRunGoesOn) {
  test::WriteArchive(tree.Path("t/whole.tar.gz"), "ustar", "gzip", {{"a.txt", kJapanese}});
  const std::string whole = tree.Read("t/whole.tar.gz");
  tree.Write("t/cut.tar.gz", whole.substr(0, whole.size() / 2));
  test::WriteArchive(tree.Path("t/locked.zip"), "zip", "none", {{"secret.txt", kJapanese}}, "passphrase");
  // Past the limit only once expanded: a small limit stands for 1 GiB.
  state.compressedMemberLimit = 1u << 16;
  test::WriteArchive(tree.Path("t/bomb.zip"), "zip", "none",
                     {{"big.txt", kJapanese + std::string(100000, ' ')}, {"after.txt", kJapanese}});
  // Binary past the limit: skipped as binary alone when nothing follows it,
  // and said once, as what kept the rest unsearched, when something does.
  test::WriteStream(tree.Path("t/zeros.gz"), "gzip", std::string(1000000, '\0'));
  test::WriteArchive(tree.Path("t/zeros.tar.gz"), "ustar", "gzip",
                     {{"big.bin", std::string(1000000, '\0')}, {"after.txt", kJapanese}});
  tree.Write("t/plain.txt", kJapanese);
  // Links stored in a tar have no bytes of their own: said, not passed over in silence.
  tree.Write("src/d/real.txt", kJapanese);
  ASSERT_EQ(symlink("real.txt", tree.Path("src/d/soft.txt").c_str()), 0);
  ASSERT_EQ(link(tree.Path("src/d/real.txt").c_str(), tree.Path("src/d/hard.txt").c_str()), 0);
  ASSERT_EQ(std::system(("tar -C " + tree.Path("src") + " -cf " + tree.Path("t/links.tar") + " d/real.txt d/soft.txt d/hard.txt").c_str()), 0);
  EXPECT_EQ(Search(), (std::map<std::string, CodePage>{{"links.tar//d/real.txt", codepage::kUtf8},
                                                       {"plain.txt", codepage::kUtf8},
                                                       {"whole.tar.gz//a.txt", codepage::kUtf8}}));
  std::map<std::string, Kind> problems;
  for (const CompressedProblem& problem : sink.summary.compressed)
    problems[U8(problem.path).substr(tree.Path("t/").size())] = problem.fault.kind;
  EXPECT_EQ(problems, (std::map<std::string, Kind>{{"bomb.zip//big.txt", Kind::TooLarge},
                                                    {"cut.tar.gz", Kind::Damaged},
                                                    {"links.tar//d/hard.txt", Kind::Link},
                                                    {"links.tar//d/soft.txt", Kind::Link},
                                                    {"locked.zip//secret.txt", Kind::Encrypted},
                                                    {"zeros.tar.gz//big.bin", Kind::TooLarge}}));
  EXPECT_EQ(sink.summary.binarySkipped, 1u);
  EXPECT_FALSE(sink.summary.aborted);
}

// A member larger than a searcher holds whole (but for a gzip small enough for
// the one-call inflate) is searched as it is expanded, never held whole, and
// gives exactly the hits of the same bytes in a file.
TEST(CompressedMemberPieces, ALargeMemberIsNeverHeldWholeAndGivesTheFilesHits) {
  std::string lines;
  for (int i = 0; i < 8000; ++i) lines += "line " + std::to_string(i) + " needle, and\r\n" + std::string(i % 90, 'x') + "\n";
  const struct {
    const char* name;
    std::string bytes;
    std::u16string pattern;
    bool regex;
    bool heldWhole;
  } cases[] = {
      {"latin1", Transcode("caf\u00e9 " + lines, "ISO-8859-1"), u"needle", false, false},
      {"late-eucjp", lines + Transcode(kJapanese + " needle", "EUC-JP"), u"NEEDLE", false, false},
      {"utf16", Utf16LeWithMark(lines), u"needle", false, false},
      // A match may hold a line feed, and a page shown late may not be cut
      // after line feeds (Shift_JIS): read whole after all.
      {"across", lines, u"and\\s+x", true, true},
      {"late-sjis", lines + Transcode(kJapanese + " needle", "Shift_JIS"), u"NEEDLE", false, true},
  };
  TempTree tree;
  for (const auto& c : cases) {
    const std::string plain = tree.Write(std::string("plain-") + c.name + ".txt", c.bytes);
    const std::string packed = tree.Path(std::string(c.name) + ".xz");
    test::WriteStream(packed, "xz", c.bytes);
    const auto search = [&](const std::string& path, size_t* mostHeld) {
      FileSearcher searcher;
      searcher.Prepare(c.regex, false, c.pattern, u"");
      searcher.SetPieceSizes(4096, 16384);
      HitList hits;
      const AbortFlag never{false};
      if (mostHeld == nullptr) {
        EXPECT_EQ(searcher.SearchFile(never, U16(path), hits, 30).kind, FileSearchOutcome::Kind::Searched);
      } else {
        const CompressedSearchResult result = CompressedSearch(u"").Search(searcher, never, U16(path), hits, 30);
        EXPECT_EQ(result.searched, 1u) << c.name;
        *mostHeld = result.mostHeld;
      }
      std::vector<std::string> found;
      for (const Hit& hit : hits)
        found.push_back(std::to_string(hit.line) + " " + std::to_string(hit.position) + " " +
                        std::to_string(hit.FileCodePage()) + " " + U8(hit.LeftContext() + u"[" + hit.Keyword() + u"]" + hit.RightContext()));
      return found;
    };
    size_t mostHeld = 0;
    const auto expected = search(plain, nullptr);
    EXPECT_GT(expected.size(), 1000u) << c.name;
    EXPECT_EQ(search(packed, &mostHeld), expected) << c.name;
    EXPECT_EQ(mostHeld < c.bytes.size() / 4, !c.heldWhole) << c.name;
  }
}

TEST_F(CompressedSearchTest, FileTypesFitTheMembersNameOrTheArchives) {
  test::WriteStream(tree.Path("t/ls.1.gz"), "gzip", kJapanese);
  test::WriteArchive(tree.Path("t/docs.zip"), "zip", "none", {{"d/a.txt", kJapanese}, {"d/b.md", kJapanese}});
  const std::pair<const char16_t*, std::map<std::string, CodePage>> cases[] = {
      {u"*.txt", {{"docs.zip//d/a.txt", codepage::kUtf8}}},
      {u"*.1", {{"ls.1.gz", codepage::kUtf8}}},
      {u"*.zip", {{"docs.zip//d/a.txt", codepage::kUtf8}, {"docs.zip//d/b.md", codepage::kUtf8}}},
      {u"*.gz", {{"ls.1.gz", codepage::kUtf8}}},
  };
  for (const auto& [types, expected] : cases) {
    state.request.fileTypes = types;
    EXPECT_EQ(Search(), expected) << U8(types);
  }
}

TEST_F(CompressedSearchTest, AMemberPathHoldingTheSeparatorSplitsAfterTheArchive) {
  test::WriteArchive(tree.Path("t/odd.zip"), "zip", "none", {{"x//y.txt", kJapanese}});
  test::WriteStream(tree.Path("t/ls.1.gz"), "gzip", kJapanese);
  EXPECT_EQ(Search(), (std::map<std::string, CodePage>{{"ls.1.gz", codepage::kUtf8},
                                                       {"odd.zip//x//y.txt", codepage::kUtf8}}));
  // The list's file name: a member under its archive's, not as a file of its own.
  std::map<std::u16string, std::u16string> names;
  for (const Hit& hit : state.hits)
    names[hit.FileName()] = hit.FullPath().substr(0, hit.FullPath().size() - hit.FileName().size());
  EXPECT_EQ(names, (std::map<std::u16string, std::u16string>{{u"ls.1.gz", U16(tree.Path("t/"))},
                                                            {u"odd.zip//x//y.txt", U16(tree.Path("t/"))}}));
  const struct {
    const char16_t* path;
    const char16_t* archive;  // null: not a member
    const char16_t* member;
  } cases[] = {
      {u"/d/odd.zip//x//y.txt", u"/d/odd.zip", u"x//y.txt"},
      {u"/d//odd.zip//y", u"/d//odd.zip", u"y"},
      {u"/d//notes.txt", nullptr, nullptr},
      {u"/d/log.gz", nullptr, nullptr},
  };
  for (const auto& c : cases) {
    const auto parts = SplitMemberPath(c.path);
    ASSERT_EQ(parts.has_value(), c.archive != nullptr) << U8(c.path);
    if (parts) {
      EXPECT_EQ(parts->archive, c.archive);
      EXPECT_EQ(parts->member, c.member);
    }
  }
  EXPECT_EQ(MemberPathOf(u"/d//odd.zip", u"x//y.txt"), u"/d/odd.zip//x//y.txt");
}

TEST_F(CompressedSearchTest, AReplaceLeavesCompressedFilesAndMembersAsTheyAre) {
  test::WriteStream(tree.Path("t/ls.1.gz"), "gzip", kJapanese);
  test::WriteStream(tree.Path("t/none.gz"), "gzip", "nothing");
  test::WriteArchive(tree.Path("t/docs.zip"), "zip", "none", {{"a.txt", kJapanese}});
  test::WriteArchive(tree.Path("t/whole.tar.gz"), "ustar", "gzip", {{"a.txt", "nothing"}});
  tree.Write("t/cut.tar.gz", tree.Read("t/whole.tar.gz").substr(0, tree.Read("t/whole.tar.gz").size() / 2));
  std::filesystem::remove(tree.Path("t/whole.tar.gz"));
  const std::string gz = tree.Read("t/ls.1.gz"), zip = tree.Read("t/docs.zip");
  state.request.replacementText = u"氏名";
  test::RecordingSink replaced;
  RunReplace(state, replaced);
  std::map<std::string, ReplaceProblem> outcomes;
  for (const ReplacedFile& file : replaced.summary.replaced)
    outcomes[U8(file.path).substr(tree.Path("t/").size())] = file.outcome.problem;
  // Whether the damaged one holds the text cannot be told: not "unchanged".
  EXPECT_EQ(outcomes, (std::map<std::string, ReplaceProblem>{{"cut.tar.gz", ReplaceProblem::CompressedDamaged},
                                                             {"docs.zip", ReplaceProblem::CompressedReadOnly},
                                                             {"ls.1.gz", ReplaceProblem::CompressedReadOnly},
                                                             {"none.gz", ReplaceProblem::None}}));
  // The picked hits of a search: a member by its path.
  Search();
  state.selection = SelectionOfHits([&] {
    std::vector<Hit> hits;
    for (const Hit& hit : state.hits) hits.push_back(hit);
    return hits;
  }());
  test::RecordingSink picked;
  RunReplace(state, picked);
  ASSERT_EQ(picked.summary.replaced.size(), 2u);
  for (const ReplacedFile& file : picked.summary.replaced)
    EXPECT_EQ(file.outcome.problem, ReplaceProblem::CompressedReadOnly) << U8(file.path);
  EXPECT_EQ(tree.Read("t/ls.1.gz"), gz);
  EXPECT_EQ(tree.Read("t/docs.zip"), zip);
}

}  // namespace
}  // namespace trawlscope
