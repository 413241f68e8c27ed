#include "results/EditorCommand.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "results/HitOpener.h"
#include "support/TempTree.h"

namespace trawlscope {
namespace {

using A = Arguments;

TEST(EditorCommand, EachKnownEditorGetsTheLineWhereItExpectsIt) {
  const std::string f = "/d/my file.txt";
  EXPECT_EQ(EditorArguments("/usr/bin/gedit", f, 7), (A{"+7", f}));
  for (const char* e : {"xed", "pluma", "vim", "nvim", "emacs", "geany", "featherpad"})
    EXPECT_EQ(EditorArguments(e, f, 7), (A{"+7", f})) << e;
  EXPECT_EQ(EditorArguments("gnome-text-editor", f, 7), (A{f, "+7"}));
  for (const char* e : {"kate", "kwrite", "mousepad"}) EXPECT_EQ(EditorArguments(e, f, 7), (A{"--line", "7", f})) << e;
  EXPECT_EQ(EditorArguments("notepadqq", f, 7), (A{"-l", "7", f}));
  EXPECT_EQ(EditorArguments("/usr/share/code/code", f, 7), (A{"--goto", f + ":7"}));
  EXPECT_EQ(EditorArguments("codium", f, 7), (A{"--goto", f + ":7"}));
  EXPECT_EQ(EditorArguments("subl", f, 7), (A{f + ":7"}));
  EXPECT_EQ(EditorArguments("libreoffice", f, 7), (A{f}));
}

TEST(EditorCommand, TemplateIsSplitBeforeThePathGoesIn) {
  const std::string hostile = "/d/it's \"$(rm -rf ~)\" `x`.txt";
  EXPECT_EQ(CommandFromTemplate("myedit --line=%d '%s'", hostile, 12),
            (A{"myedit", "--line=12", hostile}));
  EXPECT_EQ(CommandFromTemplate("ed %s", "/a b", 3), (A{"ed", "/a b"}));
  EXPECT_FALSE(CommandFromTemplate("ed 'unclosed %s", "/a", 1));
}

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
  setenv("XDG_DATA_HOME", tree.Path("data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", tree.Path("config").c_str(), 1);
  const std::string file = tree.Write("docs/a file $(x).txt", "hello\n");

  Hit hit;
  hit.folder = test::U16(tree.Path("docs/"));
  hit.fileName = u"a file $(x).txt";
  hit.line = 42;
  ASSERT_TRUE(OpenHit(hit, ""));
  for (int i = 0; i < 200 && access(record.c_str(), F_OK) != 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(tree.Read("args.txt"), "+42\n" + file + "\n");
}

}  // namespace
}  // namespace trawlscope
