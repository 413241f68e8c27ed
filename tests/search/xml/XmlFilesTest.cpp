// Search and replace through XPath in real XML documents.
#include "search/xml/XmlFiles.h"

#include <gtest/gtest.h>

#include "search/file/FileSearcher.h"
#include "search/replace/FileReplacer.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::U16;

std::u16string Text(const std::string& xml, const std::u16string& xpath, bool* usable = nullptr) {
  std::u16string text;
  const bool ok = ExtractXPathText(xml, xpath, text);
  if (usable) *usable = ok;
  return text;
}

XmlReplacement Replace(const std::string& xml, const std::u16string& xpath, const std::u16string& pattern,
                       const std::u16string& replacement, MatchMode mode = MatchMode::Exact) {
  const Matcher matcher(pattern, mode != MatchMode::CaseInsensitive);
  const AbortFlag never{false};
  return ReplaceInXml(xml, xpath, matcher, mode, never, replacement);
}

const std::string kDoc =
    "<?xml version=\"1.0\"?>\n<doc>\n<p>one</p>\n<p>two <b>bold</b> tail</p>\n<q><r>deep</r></q>\n"
    "<p/>\n<p><![CDATA[raw]]></p>\n<p>three</p>\n</doc>\n";

TEST(XmlFiles, SelectedNodesWhoseFirstChildIsTextEachEndWithLf) {
  EXPECT_EQ(Text(kDoc, u"//p"), u"one\ntwo bold tail\nthree\n");
  EXPECT_EQ(Text(kDoc, u"//q"), u"");     // its first child is an element
  EXPECT_EQ(Text(kDoc, u"//r"), u"deep\n");
  EXPECT_EQ(Text(kDoc, u"count(//p)"), u"");  // a number selects no node
}

TEST(XmlFiles, RejectedExpressionsMakeThePlainTextFallback) {
  bool usable = true;
  Text(kDoc, u"//p[", &usable);
  EXPECT_FALSE(usable);
  Text(kDoc, u"//x:p", &usable);  // unbound prefix
  EXPECT_FALSE(usable);
}

TEST(XmlFiles, BrokenDocumentGivesNoTextAndIsNeverChanged) {
  bool usable = false;
  EXPECT_EQ(Text("<doc><p>one</doc>", u"//p", &usable), u"");
  EXPECT_TRUE(usable);
  EXPECT_EQ(Replace("<doc><p>one</doc>", u"//p", u"one", u"1").kind, XmlReplacement::Kind::NothingToChange);
}

TEST(XmlFiles, EntityBombAndExternalEntitiesAreNeverExpanded) {
  const std::string bomb =
      "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">"
      "<!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">"
      "<!ENTITY lol3 \"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\">"
      "<!ENTITY lol4 \"&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;\">"
      "<!ENTITY lol5 \"&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;\">"
      "<!ENTITY lol6 \"&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;\">"
      "<!ENTITY lol7 \"&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;\">"
      "<!ENTITY lol8 \"&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;\">"
      "<!ENTITY lol9 \"&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;\">"
      "]><lolz><p>x &lol9;</p></lolz>";
  EXPECT_LT(Text(bomb, u"//p").size(), 100000u);

  test::TempTree tree;
  const std::string secret = tree.Write("secret.txt", "TOP SECRET");
  const std::string external = "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY s SYSTEM \"file://" + secret +
                               "\">]><d><p>a &s; b</p></d>";
  EXPECT_EQ(Text(external, u"//p").find(u"SECRET"), std::u16string::npos);
}

TEST(XmlFiles, ReplaceChangesOnlyTheTextItMust) {
  const std::string source =
      "<?xml version='1.0' encoding='UTF-8'?>\r\n<doc a='1'>\r\n<p>a &amp; word</p>\r\n"
      "<p>word <b>word</b> &#x41;word</p>\r\n<e></e>\r\n<!-- word -->\r\n</doc>\r\n";
  const XmlReplacement result = Replace(source, u"//p", u"word", u"W<&>");
  ASSERT_EQ(result.kind, XmlReplacement::Kind::Spliced) << static_cast<int>(result.problem);
  EXPECT_EQ(result.replacements, 4u);
  EXPECT_EQ(result.bytes,
            "<?xml version='1.0' encoding='UTF-8'?>\r\n<doc a='1'>\r\n<p>a &amp; W&lt;&amp;&gt;</p>\r\n"
            "<p>W&lt;&amp;&gt; <b>W&lt;&amp;&gt;</b> &#x41;W&lt;&amp;&gt;</p>\r\n<e></e>\r\n<!-- word -->\r\n</doc>\r\n");
}

TEST(XmlFiles, NothingChangedMeansNothingWritten) {
  EXPECT_EQ(Replace(kDoc, u"//p", u"absent", u"x").kind, XmlReplacement::Kind::NothingToChange);
}

TEST(XmlFiles, AnOccurrenceAcrossAChildElementLeavesTheFileAlone) {
  const XmlReplacement result = Replace(kDoc, u"//p", u"two bold", u"x");
  EXPECT_EQ(result.kind, XmlReplacement::Kind::Refused);
  EXPECT_EQ(result.problem, ReplaceProblem::SpansChildElement);
}

TEST(XmlFiles, NestedSelectionsChangeAnOccurrenceOnce) {
  const XmlReplacement result = Replace("<d><p>x <i>yes</i></p></d>", u"//*", u"yes", u"no");
  ASSERT_EQ(result.kind, XmlReplacement::Kind::Spliced) << static_cast<int>(result.problem);
  EXPECT_EQ(result.bytes, "<d><p>x <i>no</i></p></d>");
}

TEST(XmlFiles, NamespacesEncodingsAndMarks) {
  const std::string ns = "<r xmlns=\"urn:x\"><p>text</p></r>";
  EXPECT_EQ(Text(ns, u"//*[local-name()='p']"), u"text\n");
  const std::string utf8 = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<d><p>名前と名前</p></d>\n";
  const std::string sjis = test::Transcode(utf8, "windows-31j");
  EXPECT_EQ(Text(sjis, u"//p"), u"名前と名前\n");
  XmlReplacement result = Replace(sjis, u"//p", u"名前", u"氏名");
  ASSERT_EQ(result.kind, XmlReplacement::Kind::Spliced) << static_cast<int>(result.problem);
  EXPECT_EQ(result.bytes, test::Transcode("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<d><p>氏名と氏名</p></d>\n", "windows-31j"));
  const std::string utf16 = "\xFF\xFE" + test::Transcode("<?xml version=\"1.0\" encoding=\"UTF-16\"?><d><p>word</p></d>", "UTF-16LE");
  result = Replace(utf16, u"//p", u"word", u"WORD");
  ASSERT_EQ(result.kind, XmlReplacement::Kind::Spliced) << static_cast<int>(result.problem);
  EXPECT_EQ(result.bytes, "\xFF\xFE" + test::Transcode("<?xml version=\"1.0\" encoding=\"UTF-16\"?><d><p>WORD</p></d>", "UTF-16LE"));
}

TEST(XmlFiles, AttributeValuesAndEntityTextAreNotChanged) {
  EXPECT_EQ(Replace("<d a=\"word\"/>", u"//@a", u"word", u"x").kind, XmlReplacement::Kind::Refused);
  EXPECT_EQ(Replace("<!DOCTYPE d [<!ENTITY e \"ent\">]><d><p>word &e;</p></d>", u"//p", u"word", u"x").kind,
            XmlReplacement::Kind::Refused);
}

// Through the searcher: an ".XML" file with an XPath is searched by node,
// with an empty XPath as plain text, and a hit's line is its node's ordinal.
TEST(XmlFiles, TheSearcherNarrowsXmlFilesOnlyWithAnXPath) {
  test::TempTree tree;
  tree.Write("a.XML", "<d>\n<p>x</p>\n<p>y</p>\n<p>key</p>\n<!-- key -->\n</d>\n");
  const AbortFlag never{false};
  for (const auto& [xpath, hits, line] : {std::tuple{u"//p", 1u, 3}, std::tuple{u"", 2u, 4}}) {
    FileSearcher searcher;
    searcher.Prepare(false, true, u"key", xpath);
    HitList list;
    searcher.SearchFile(never, U16(tree.Path("a.XML")), list, 30);
    ASSERT_EQ(list.size(), hits);
    EXPECT_EQ(list[0].line, line);
  }
  FileSearcher replacer;
  replacer.Prepare(false, true, u"key", u"//p");
  const auto outcome = FileReplacer(replacer).ReplaceInFile(never, U16(tree.Path("a.XML")), u"KEY");
  EXPECT_EQ(outcome.replacements, 1u);
  EXPECT_EQ(tree.Read("a.XML"), "<d>\n<p>x</p>\n<p>y</p>\n<p>KEY</p>\n<!-- key -->\n</d>\n");
}

}  // namespace
}  // namespace trawlscope
