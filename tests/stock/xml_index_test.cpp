// Record look-ups through the index give exactly what XPath gives, across
// every change the cursor can make.
#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <cstring>
#include <random>

#include "stock/xml_cursor.h"
#include "stock/xml_cursor_index.h"

namespace tarvelon {
namespace {

// The records' k attributes, in selection order.
std::string Keys(IXMLCursor c) {
  std::string keys;
  for (; !c.Eof(); c.Next()) keys += c.GetValue("@k") + ",";
  return keys;
}

void ExpectSameAsXPath(const IXMLCursor& from, const std::string& path) {
  EXPECT_EQ(Keys(from.Select(path)), Keys(from.SelectByXPath(path))) << path;
}

const char* const kOddValues =
    "<document><DataVOS>"
    "<DataVO k='a'><idVO>12</idVO></DataVO>"
    "<DataVO k='b'><idVO> 12 </idVO></DataVO>"
    "<DataVO k='c'><idVO>12.0</idVO></DataVO>"
    "<DataVO k='d'><idVO>012</idVO><Ref>X</Ref></DataVO>"
    "<DataVO k='e'><idVO>1</idVO><idVO>12</idVO><idVO>12</idVO></DataVO>"
    "<DataVO k='f'><idVO>1.2e1</idVO></DataVO>"
    "<DataVO k='g'><idVO><x>1</x>2</idVO></DataVO>"
    "<DataVO k='h'><idVO/></DataVO>"
    "<DataVO k='i'><idVO>abc</idVO><Ref>x</Ref></DataVO>"
    "<DataVO k='j' xmlns='urn:other'><idVO>12</idVO></DataVO>"
    "<DataVO k='k'><other><idVO>12</idVO></other></DataVO>"
    "<DataVO k='l'><idVO>-0</idVO><Ref> X</Ref></DataVO>"
    "<DataVO k='m'><idVO>0</idVO><Ref>X </Ref></DataVO>"
    "</DataVOS><DataVOS><DataVO k='n'><idVO>12</idVO></DataVO></DataVOS></document>";

TEST(XmlIndex, ComparisonsFollowXPath) {
  IXMLCursor doc;
  doc.LoadXML(kOddValues);
  EXPECT_EQ(Keys(doc.Select("/document/DataVOS/DataVO[idVO=12]")), "a,b,c,d,e,f,g,n,");
  EXPECT_EQ(Keys(doc.Select("/document/DataVOS/DataVO[idVO='12']")), "a,e,g,n,");
  EXPECT_EQ(Keys(doc.Select("/document/DataVOS/DataVO[Ref='X']")), "d,");
  for (const char* path :
       {"/document/DataVOS/DataVO[idVO=12]", "/document/DataVOS/DataVO[idVO='12']", "/document/DataVOS/DataVO[idVO=0]",
        "/document/DataVOS/DataVO[idVO=00]", "/document/DataVOS/DataVO[idVO='']", "/document/DataVOS/DataVO[idVO=\"abc\"]",
        "/document/DataVOS/DataVO[ idVO = 1 ]", "/document/DataVOS/DataVO[Ref='X']", "/document/DataVOS/DataVO[Ref=' X']",
        "/document/DataVOS/DataVO[idVO=12.0]", "/document/DataVOS/DataVO[idVO=-0]", "/document/DataVOS/DataVO",
        "/document/DataVOS", "/document/Nothing/DataVO[idVO=1]", "/other/DataVOS/DataVO[idVO=12]"}) {
    ExpectSameAsXPath(doc, path);
  }
}

// A small document of records with random identifiers and photo links.
std::string RandomDocument(std::mt19937& random, int records) {
  std::string xml = "<document><DataVOS EOF=\"0\" RecordName=\"DataVO\">";
  for (int i = 0; i < records; ++i) {
    xml += "<DataVO k='r" + std::to_string(i) + "'><idVO>" + std::to_string(random() % 6) + "</idVO>";
    if (random() % 4 == 0) xml += "<idVO>" + std::to_string(random() % 6) + "</idVO>";
    xml += "<Ref>" + std::string(1, static_cast<char>('A' + random() % 3)) + "</Ref></DataVO>";
  }
  xml += "</DataVOS><LiensImagesS>";
  for (int i = 0; i < records * 2; ++i)
    xml += "<LiensImages k='p" + std::to_string(i) + "'><idVO>" + std::to_string(random() % 6) +
           "</idVO><NomImage>n</NomImage></LiensImages>";
  return xml + "</LiensImagesS></document>";
}

std::string RandomQuery(std::mt19937& random) {
  switch (random() % 5) {
    case 0: return "/document/DataVOS/DataVO[idVO=" + std::to_string(random() % 7) + "]";
    case 1: return "/document/DataVOS/DataVO[idVO='" + std::to_string(random() % 7) + "']";
    case 2: return "/document/DataVOS/DataVO[Ref='" + std::string(1, static_cast<char>('A' + random() % 3)) + "']";
    case 3: return "/document/LiensImagesS/LiensImages[idVO=" + std::to_string(random() % 7) + "]";
    default: return "/document/DataVOS/DataVO";
  }
}

IXMLCursor RandomRecord(std::mt19937& random, const IXMLCursor& doc) {
  const char* lists[] = {"/document/DataVOS/DataVO", "/document/LiensImagesS/LiensImages"};
  IXMLCursor all = doc.Select(lists[random() % 2]);
  int skip = all.Count() ? static_cast<int>(random() % all.Count()) : 0;
  for (int i = 0; i < skip; ++i) all.Next();
  return all;
}

TEST(XmlIndex, RandomMutationsKeepLookUpsEqualToXPath) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 20; ++round) {
    IXMLCursor doc;
    doc.LoadXML(RandomDocument(random, 12));
    for (int step = 0; step < 300; ++step) {
      ExpectSameAsXPath(doc, RandomQuery(random));
      IXMLCursor record = RandomRecord(random, doc);
      const std::string value = std::to_string(random() % 6);
      switch (random() % 10) {
        case 0:
          record.SetValue("idVO", value);
          if (!record.Eof()) {
            EXPECT_EQ(record.GetValue("idVO"), value);  // the first idVO was written
          }
          break;
        case 1: record.SetValue("Ref", std::string(1, static_cast<char>('A' + random() % 3))); break;
        case 2: record.SetValue("Other", value); break;
        case 3: record.Delete(); break;
        case 4: record.Select("idVO").Delete(); break;
        case 5: record.AppendChild("idVO", value); break;
        case 6: {
          IXMLCursor list = doc.Select("/document/DataVOS");
          IXMLCursor added = list.AppendChild("DataVO", "");
          added.SetAttribute("k", "n" + std::to_string(step));
          added.AppendChild("idVO", value);
          break;
        }
        case 7: record.Select("idVO").SetValue(".", value); break;
        case 8: {
          IXMLCursor id = record.Select("idVO/text()");
          if (!id.Eof()) id.Delete();
          break;
        }
        default: record.SetAttribute("seen", value); break;
      }
    }
  }
}

TEST(XmlIndex, ReplacedDocumentIsLookedUpAfresh) {
  IXMLCursor doc;
  doc.LoadXML("<document><DataVOS><DataVO k='a'><idVO>1</idVO></DataVO></DataVOS></document>");
  EXPECT_EQ(Keys(doc.Select("/document/DataVOS/DataVO[idVO=1]")), "a,");
  doc.LoadXML("<document><DataVOS><DataVO k='b'><idVO>1</idVO></DataVO></DataVOS></document>");
  EXPECT_EQ(Keys(doc.Select("/document/DataVOS/DataVO[idVO=1]")), "b,");
}

// The index itself: built once, and rebuilt only after a change that can
// alter its answer.
class IndexTable : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* xml =
        "<document><DataVOS><DataVO><idVO>1</idVO><t>x</t></DataVO><DataVO><idVO>2</idVO></DataVO></DataVOS>"
        "<Other><DataVO><idVO>1</idVO></DataVO></Other></document>";
    doc = xmlReadMemory(xml, static_cast<int>(strlen(xml)), nullptr, nullptr, XML_PARSE_NONET);
    ASSERT_TRUE(ParseChildEqualityPath("/document/DataVOS/DataVO[idVO=1]", path));
  }
  void TearDown() override { xmlFreeDoc(doc); }
  // The first element of that name in document order.
  static xmlNodePtr FindIn(xmlNodePtr node, const char* name) {
    for (; node; node = node->next) {
      if (node->type == XML_ELEMENT_NODE && xmlStrEqual(node->name, BAD_CAST name)) return node;
      if (xmlNodePtr inside = FindIn(node->children, name)) return inside;
    }
    return nullptr;
  }
  xmlNodePtr Find(const char* name) { return FindIn(doc->children, name); }
  xmlDocPtr doc = nullptr;
  ChildEqualityPath path;
  XmlLookupIndex index;
};

TEST_F(IndexTable, OtherChildrenDoNotRebuild) {
  EXPECT_EQ(index.Lookup(doc, path).size(), 1u);
  index.Touched(Find("t"));
  index.Touched(Find("t")->children);
  index.Touched(Find("Other"));
  index.Touched(reinterpret_cast<xmlNodePtr>(Find("DataVO")->properties));
  index.Lookup(doc, path);
  EXPECT_EQ(index.builds(), 1);
}

TEST_F(IndexTable, KeysRecordsAndListsRebuild) {
  const char* touched[] = {"idVO", "DataVO", "DataVOS", "document"};
  int expected = 1;
  index.Lookup(doc, path);
  for (const char* name : touched) {
    index.Touched(Find(name));
    index.Lookup(doc, path);
    EXPECT_EQ(index.builds(), ++expected) << name;
  }
  index.Touched(Find("idVO")->children);  // the key's text
  index.Lookup(doc, path);
  EXPECT_EQ(index.builds(), ++expected);
}

TEST(XmlIndexShape, OnlyPlainPathsWithOneComparisonAreIndexed) {
  ChildEqualityPath p;
  EXPECT_TRUE(ParseChildEqualityPath("/document/LiensImagesS/LiensImages[idVO=123]", p));
  EXPECT_EQ(p.steps.size(), 3u);
  EXPECT_EQ(p.child, "idVO");
  EXPECT_TRUE(p.numeric);
  EXPECT_EQ(p.number, 123);
  EXPECT_TRUE(ParseChildEqualityPath("/document/InfosSRS/InfosSR[idSite=\"A'B\"]", p));
  EXPECT_FALSE(p.numeric);
  EXPECT_EQ(p.text, "A'B");
  for (const char* other : {"document/DataVOS", "/document//DataVO[idVO=1]", "/document/DataVO[idVO=1.5]",
                            "/document/DataVO[idVO=-1]", "/document/DataVO[idVO=1][2]", "/document/DataVO[@idVO=1]",
                            "/document/v:DataVO[idVO=1]", "/document/DataVO[idVO!=1]", "/document/DataVO[idVO=]",
                            "/document/DataVO[idVO='1]", "/document/*[idVO=1]", "/"}) {
    EXPECT_FALSE(ParseChildEqualityPath(other, p)) << other;
  }
}

}  // namespace
}  // namespace tarvelon
