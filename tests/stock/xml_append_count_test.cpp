// The cursor AppendChild returns lists every child of the parent as it stood
// right after the append: its count must follow appends in a row, appends to
// other parents in between, children added by SetValue and children deleted.
#include <gtest/gtest.h>

#include "stock/xml_cursor.h"

namespace tarvelon {
namespace {

// The parent's children counted by an independent selection.
int ChildrenOf(const IXMLCursor& parent) { return parent.Select("node()").Count(); }

TEST(XmlAppendCount, FollowsEveryChangeOfTheParent) {
  IXMLCursor doc;
  doc.LoadXML("<r><a>x</a> <b/><c>t<d/></c></r>");
  IXMLCursor a = doc.Select("/r");
  IXMLCursor c = doc.Select("/r/c");
  for (int i = 0; i < 40; ++i) {
    IXMLCursor added = a.AppendChild("n" + std::to_string(i), i % 3 ? "v" : "");
    ASSERT_FALSE(added.Eof());
    EXPECT_EQ(added.Count(), ChildrenOf(a)) << i;
    EXPECT_EQ(added.GetValue("."), i % 3 ? "v" : "");
    if (i % 5 == 1) {
      const int inC = c.AppendChild("in_c", "").Count();
      EXPECT_EQ(inC, ChildrenOf(c)) << i;
    }
    if (i % 7 == 2) a.SetValue("set" + std::to_string(i), "s");  // a child appended past the cursor
    if (i % 11 == 3) doc.Select("/r/b").Delete();
    if (i % 13 == 4) a.Select("n0").Delete();
    const int before = added.Count();
    added.Next();
    EXPECT_TRUE(added.Eof());
    EXPECT_EQ(added.Count(), before);  // a list keeps its nodes once taken
  }
  IXMLCursor last = a.AppendChild("end", "e");
  EXPECT_EQ(last.Count(), ChildrenOf(a));
  EXPECT_EQ(last.GetXML(), "<end>e</end>");
}

TEST(XmlAppendCount, ListTakenBeforeLaterAppendsKeepsItsCount) {
  IXMLCursor doc;
  doc.LoadXML("<r/>");
  IXMLCursor root = doc.Select("/r");
  IXMLCursor first = root.AppendChild("a", "");
  IXMLCursor second = root.AppendChild("b", "");
  root.Select("a").Delete();
  IXMLCursor third = root.AppendChild("c", "");
  EXPECT_EQ(first.Count(), 1);
  EXPECT_EQ(second.Count(), 2);
  EXPECT_EQ(third.Count(), 2);
  EXPECT_EQ(doc.GetXML(), "<r><b/><c/></r>\n");
}

}  // namespace
}  // namespace tarvelon
