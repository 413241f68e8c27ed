// The main dialog's "Size" and "Modified" fields: refused when unreadable,
// kept in the settings as typed, and reaching the run as its bounds.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "support/SearchDialogFixture.h"

namespace trawlscope {
namespace {

using test::SearchDialogTest;
using test::Texts;

struct BadBounds {
  std::u16string minSize, maxSize, after, before;
  ControlId focused;
  std::u16string named;  // the field the message names
};

TEST_F(SearchDialogTest, AnUnreadableOrEmptyBoundIsNamedFocusedAndNothingRuns) {
  const BadBounds cases[] = {
      {u"10q", u"", u"", u"", ControlId::MinSize, u"\"Size, at least\""},
      {u"", u"1T", u"", u"", ControlId::MaxSize, u"\"Size, at most\""},
      {u"", u"", u"2026-13-01", u"", ControlId::ModifiedAfter, u"\"Modified, after\""},
      {u"", u"", u"", u"yesterday", ControlId::ModifiedBefore, u"\"Modified, before\""},
      {u"", u"", u"", u"７d", ControlId::ModifiedBefore, u"\"Modified, before\""},
      {u"10k", u"1k", u"", u"", ControlId::MinSize, u"\"Size, at least\""},
      {u"", u"", u"2026-12-01", u"2026-12-01", ControlId::ModifiedAfter, u"\"Modified, after\""},
  };
  WriteDocs();
  for (const BadBounds& bad : cases) {
    view.fields = {{ControlId::MinSize, bad.minSize}, {ControlId::MaxSize, bad.maxSize},
                   {ControlId::ModifiedAfter, bad.after}, {ControlId::ModifiedBefore, bad.before}};
    view.messages.clear();
    view.events.clear();
    view.focused.reset();
    SearchDocs();
    SCOPED_TRACE(std::string(bad.named.begin(), bad.named.end()));
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].rfind(bad.named, 0), 0u);
    EXPECT_EQ(view.events, (test::Events{"error"}));
    EXPECT_EQ(view.focused, bad.focused);
    EXPECT_EQ(view.results, nullptr);
  }
}

TEST_F(SearchDialogTest, TheBoundsComeFromTheSettingsAsTypedAndGoBack) {
  tree.Write("trawlscope.ini", "[Bounds]\nMinSize=1k\nModifiedAfter=7d\n");
  dialog.OnInitDialog();
  EXPECT_EQ(view.FieldText(ControlId::MinSize), u"1k");
  EXPECT_EQ(view.FieldText(ControlId::MaxSize), u"");
  EXPECT_EQ(view.FieldText(ControlId::ModifiedAfter), u"7d");
  view.fields[ControlId::MinSize] = u"";
  view.fields[ControlId::MaxSize] = u"5M";
  view.fields[ControlId::ModifiedBefore] = u"2026-12-01 10:00";
  EXPECT_TRUE(dialog.OnClose());
  EXPECT_EQ(Stored(u"Bounds", u"MinSize"), u"");
  EXPECT_EQ(Stored(u"Bounds", u"MaxSize"), u"5M");
  EXPECT_EQ(Stored(u"Bounds", u"ModifiedAfter"), u"7d");
  EXPECT_EQ(Stored(u"Bounds", u"ModifiedBefore"), u"2026-12-01 10:00");
}

// A file on each side of each bound: sizes 1023, 1024, 10240 and 10241 bytes
// against "1k" to "10k", and times a week and a day back against "3d".
TEST_F(SearchDialogTest, TheBoundsReachTheRunAndWhatTheyLeftOutIsCounted) {
  const auto sized = [&](const char* name, size_t bytes) {
    return tree.Write(std::string("docs/") + name, "needle" + std::string(bytes - 6, '.'));
  };
  sized("under.txt", 1023);
  sized("least.txt", 1024);
  sized("most.txt", 10240);
  sized("over.txt", 10241);
  const std::string old = sized("old.txt", 2000);
  std::filesystem::last_write_time(old, std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 7));
  const std::string recent = sized("recent.txt", 2000);
  std::filesystem::last_write_time(recent, std::filesystem::file_time_type::clock::now() - std::chrono::hours(24));
  view.fields = {{ControlId::MinSize, u" 1k "}, {ControlId::MaxSize, u"10k"}, {ControlId::ModifiedAfter, u"3d"}};
  SearchDocs();
  ASSERT_NE(view.results, nullptr);
  Texts found;
  for (size_t i = 0; i < view.results->hits.size(); ++i) found.push_back(view.results->hits[i].FullPath());
  std::ranges::sort(found);
  EXPECT_EQ(found, (Texts{Docs("least.txt"), Docs("most.txt"), Docs("recent.txt")}));
  EXPECT_EQ(view.results->note, u"3 files searched. Left out: 3 files.");
  EXPECT_EQ(view.results->searchRequest.bounds.maxSize, 10240u);
}

}  // namespace
}  // namespace trawlscope
