#include "results/EditorCommand.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace trawlscope
