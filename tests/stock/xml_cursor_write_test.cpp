// The cursor's own writer gives libxml2's bytes: for the document text
// (GetXML), for single elements and for the saved file in each encoding.
#include <gtest/gtest.h>

#include <libxml/parser.h>

#include "platform/text.h"
#include "stock/xml_cursor_tree.h"

namespace tarvelon {
namespace {

// Values that each escaping rule touches, characters that some encodings
// lack (Euro, currency sign, C with caron, a CJK character) and an element
// changed after parsing so that it holds two text nodes side by side.
std::string Sample(const std::string& encoding) {
  return "<?xml version=\"1.0\" encoding=\"" + encoding +
         "\"?>\n<!-- stock -->\n<?job run?>\n<document><DataVOS EOF=\"False\" RecordName=\"DataVO\">"
         "<DataVO><idVO>12</idVO><Vide/><Texte>a &amp; b &lt; c &gt; d \"e\" 'f' &#13;x&#9;y\n</Texte>"
         "<Attr a=\"x &quot;y&quot; &amp; &lt; &gt; &#10;&#13;&#9;'\" b=\"\xc3\xa9\xe2\x82\xac\xc2\xa4\xc4\x8d\xe4\xb8\xad\" "
         "c=\"\"/><Accents>\xc3\xa9t\xc3\xa9 \xe2\x82\xac \xc2\xa4 \xc4\x8d \xe4\xb8\xad \xc5\x92\xc5\x93\xc5\xb8</Accents>"
         "<!--note--><Deux>un</Deux></DataVO></DataVOS></document>";
}

// The text is UTF-8 whatever it declares; the document keeps the declared encoding.
std::shared_ptr<XmlTree> Parse(const std::string& text, const char* encoding) {
  PrepareXmlLibrary();
  xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "", "UTF-8",
                                XML_PARSE_NONET | XML_PARSE_IGNORE_ENC);
  EXPECT_NE(doc, nullptr);
  if (doc->encoding) xmlFree(const_cast<xmlChar*>(doc->encoding));
  doc->encoding = xmlStrdup(reinterpret_cast<const xmlChar*>(encoding));
  // Two text nodes side by side, as a change after parsing leaves them.
  xmlNodePtr root = xmlDocGetRootElement(doc);
  xmlNodePtr two = xmlGetLastChild(xmlGetLastChild(root->children));
  xmlAddChild(two, xmlNewDocText(doc, reinterpret_cast<const xmlChar*>(" & deux")));
  return std::make_shared<XmlTree>(doc, true, NamespaceList());
}

TEST(XmlCursorWriter, GivesLibxml2BytesInEveryEncoding) {
  for (const char* encoding : {"windows-1252", "ISO-8859-15", "iso-8859-1", "UTF-8"}) {
    SCOPED_TRACE(encoding);
    auto tree = Parse(Sample(encoding), encoding);
    std::string plain;
    ASSERT_TRUE(EncodePlainDocument(plain, *tree));
    EXPECT_EQ(plain, EncodeDocumentByLibrary(*tree));
    plain.clear();
    ASSERT_TRUE(WritePlainDocument(plain, *tree));
    EXPECT_EQ(plain, SerializeDocumentByLibrary(*tree));
    xmlNodePtr record = xmlDocGetRootElement(tree->doc())->children->children;
    plain.clear();
    ASSERT_TRUE(WritePlainNode(plain, record));
    EXPECT_EQ(plain, SerializeNodeByLibrary(record));
  }
}

TEST(XmlCursorWriter, WithoutDeclaredEncodingAttributesTakeCharacterReferences) {
  PrepareXmlLibrary();
  const std::string text = "<?xml version=\"1.0\"?><r a=\"\xc3\xa9\xe4\xb8\xad\"><t>\xc3\xa9</t></r>";
  xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "", "UTF-8", XML_PARSE_NONET);
  ASSERT_NE(doc, nullptr);
  if (doc->encoding) xmlFree(const_cast<xmlChar*>(doc->encoding));
  doc->encoding = nullptr;
  XmlTree tree(doc, true, NamespaceList());
  std::string plain;
  ASSERT_TRUE(WritePlainDocument(plain, tree));
  EXPECT_EQ(plain, SerializeDocumentByLibrary(tree));
  EXPECT_NE(plain.find("&#x4E2D;"), std::string::npos);
  plain.clear();
  ASSERT_TRUE(EncodePlainDocument(plain, tree));
  EXPECT_EQ(plain, EncodeDocumentByLibrary(tree));
}

TEST(XmlCursorWriter, LeavesToLibxml2WhatItDoesNotWrite) {
  PrepareXmlLibrary();
  for (const std::string text : {"<r xmlns:p=\"u\"><p:a/></r>", "<r><![CDATA[x]]></r>", "<?xml version=\"1.0\" encoding=\"KOI8-R\"?><r/>",
                                 "<?xml version=\"1.0\" standalone=\"yes\"?><r/>"}) {
    SCOPED_TRACE(text);
    xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "", nullptr, XML_PARSE_NONET);
    ASSERT_NE(doc, nullptr);
    XmlTree tree(doc, true, NamespaceList());
    std::string plain;
    EXPECT_FALSE(EncodePlainDocument(plain, tree));
    EXPECT_TRUE(plain.empty());
    EXPECT_EQ(EncodeDocument(tree), EncodeDocumentByLibrary(tree));
    EXPECT_EQ(SerializeDocument(tree), SerializeDocumentByLibrary(tree));
  }
}

}  // namespace
}  // namespace tarvelon
