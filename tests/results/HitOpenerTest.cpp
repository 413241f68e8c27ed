#include "results/HitOpener.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "search/hits/HitList.h"
#include "support/ScopedEnv.h"
#include "support/TempTree.h"

namespace trawlscope {
namespace {

// A fake editor behind a desktop entry and a MIME default, all in temporary
// XDG folders: the launch must reach it with "+LINE FILE" as its arguments.
TEST(HitOpener, StartsTheAssociatedEditorWithTheLine) {
  test::TempTree tree;
  const std::string record = tree.Path("args.txt");
  const std::string editor = tree.Write("bin/gedit", "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record + ".tmp'\nmv '" +
                                                         record + ".tmp' '" + record + "'\n");
  chmod(editor.c_str(), 0755);
  tree.Write("data/applications/fake-editor.desktop",
             "[Desktop Entry]\nType=Application\nName=Fake\nExec=" + editor +
                 " %F\nMimeType=text/plain;\nTerminal=false\n");
  tree.Write("config/mimeapps.list", "[Default Applications]\ntext/plain=fake-editor.desktop\n");
  const test::ScopedEnv data("XDG_DATA_HOME", tree.Path("data"));
  const test::ScopedEnv config("XDG_CONFIG_HOME", tree.Path("config"));
  const std::string file = tree.Write("docs/a file $(x).txt", "hello\n");

  HitList hits;
  hits.AppendStandalone(test::U16(tree.Path("docs/")), u"a file $(x).txt", u"", u"hello", u"", 42, 0);
  ASSERT_TRUE(OpenHit(hits[0], ""));
  for (int i = 0; i < 200 && access(record.c_str(), F_OK) != 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(tree.Read("args.txt"), "+42\n" + file + "\n");
}

// Three selected rows of one file start its editor once, at the first of them.
TEST(HitOpener, SeveralRowsOfOneFileOpenItOnce) {
  HitList hits;
  for (const char16_t* name : {u"a.txt", u"b.txt", u"a.txt", u"a.txt", u"b.txt"})
    hits.AppendStandalone(u"/d/", name, u"", u"x", u"", 1, 0);
  std::vector<Hit> rows;
  for (const Hit& hit : hits) rows.push_back(hit);
  // Standalone hits each have a file of their own: the same file is the same HitFile.
  EXPECT_EQ(FirstHitOfEachFile(rows).size(), rows.size());
  rows = {hits[0], hits[0], hits[1], hits[0]};
  EXPECT_TRUE(FirstHitOfEachFile(rows) == (std::vector<Hit>{hits[0], hits[1]}));
}

}  // namespace
}  // namespace trawlscope
