// The cursor's own writer gives libxml2's bytes: for the document text
// (GetXML), for single elements and for the saved file in each encoding.
#include <gtest/gtest.h>

#include <libxml/parser.h>

#include <algorithm>
#include <functional>
#include <random>

#include "platform/errors.h"
#include "platform/text.h"
#include "stock/xml_cursor_leave_out.h"
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
    EXPECT_EQ(SerializeDocumentAnsi(tree), Utf8ToAnsi(SerializeDocumentByLibrary(tree)));
  }
}

const xmlChar* X(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }

// Links a child last, beside a text without joining it, as a deletion leaves them.
void Link(xmlNodePtr parent, xmlNodePtr child) {
  child->parent = parent;
  child->prev = parent->last;
  (parent->last ? parent->last->next : parent->children) = child;
  parent->last = child;
}

// A random document: names, texts, attributes, comments and processing
// instructions made of ASCII, what each escaping rule touches, characters
// that some or all of the one-byte encodings lack, control characters of
// Windows-1252's gaps. `leftOut` gets some elements below the root's
// children; `without` deletes them instead. The same seed, the same tree.
xmlDocPtr RandomDocument(unsigned seed, const char* encoding, std::vector<xmlNodePtr>& leftOut, bool without) {
  static const char* const kPieces[] = {
      "a", "Golf 1.5 TSI", " ", "<", ">", "&", "\"", "'", "\n", "\r", "\t", "]]>", "\xc3\xa9", "\xc2\xa4",
      "\xe2\x82\xac", "\xc5\x92", "\xc5\xa0", "\xc5\xb8", "\xc2\x81", "\xc2\x9d", "\xc2\xa0", "\xc3\xbf",
      "\xc4\x8d", "\xe2\x80\x9c", "\xe2\x84\xa2", "\xcb\x9c", "\xe4\xb8\xad", "\xf0\x9f\x9a\x97",
      "Volkswagen Golf VII 1.5 TSI 150 Evo Life Business DSG7, premi\xc3\xa8re main, garantie 12 mois, TVA r\xc3\xa9" "cup\xc3\xa9rable"};
  static const char* const kNames[] = {"DataVO", "idVO", "Prix", "Pr\xc3\xa9nom", "\xc5\x92uvre", "\xe4\xb8\xad",
                                       "EquipementsDeSerieEtOptionsDuVehicule"};
  std::mt19937 rng(seed);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  auto text = [&](int most) {
    std::string t;
    for (int n = pick(most + 1); n > 0; --n) t += kPieces[pick(std::size(kPieces))];
    return t;
  };
  xmlDocPtr doc = xmlNewDoc(X("1.0"));
  if (encoding) doc->encoding = xmlStrdup(X(encoding));
  if (pick(2)) Link(reinterpret_cast<xmlNodePtr>(doc), xmlNewDocComment(doc, X(text(3))));
  if (pick(2)) Link(reinterpret_cast<xmlNodePtr>(doc), xmlNewDocPI(doc, X("job"), pick(2) ? X(text(3)) : nullptr));
  xmlNodePtr root = xmlNewDocNode(doc, nullptr, X("document"), nullptr);
  Link(reinterpret_cast<xmlNodePtr>(doc), root);
  std::vector<xmlNodePtr> gone;
  std::function<void(xmlNodePtr, int)> fill = [&](xmlNodePtr parent, int depth) {
    for (int n = parent == root ? 4 + pick(12) : pick(6); n > 0; --n) {
      const int kind = depth < 3 ? pick(8) : 4 + pick(4);
      if (kind < 4) {
        xmlNodePtr e = xmlNewDocNode(doc, nullptr, X(kNames[pick(std::size(kNames))]), nullptr);
        for (int a = pick(3); a > 0; --a) xmlNewProp(e, X(a == 1 ? "a" : "Libell\xc3\xa9"), X(text(4)));
        Link(parent, e);
        fill(e, depth + 1);
        if (parent != root && pick(4) == 0) (without ? gone : leftOut).push_back(e);
      } else if (kind < 6) {
        Link(parent, xmlNewDocText(doc, X(text(5))));
      } else if (kind == 6) {
        Link(parent, xmlNewDocComment(doc, X(text(3))));
      } else {
        Link(parent, xmlNewDocPI(doc, X("pi"), pick(2) ? X(text(3)) : nullptr));
      }
    }
  };
  fill(root, 0);
  for (xmlNodePtr e : gone) xmlUnlinkNode(e);
  for (xmlNodePtr e : gone) xmlFreeNode(e);
  std::sort(leftOut.begin(), leftOut.end());
  return doc;
}

// Every way of writing against libxml2's own writer: the saved file, the
// UTF-8 text, GetXML's Windows-1252 (Utf8ToAnsi of that text), a record
// alone, and the document less some records.
TEST(XmlCursorWriter, GivesLibxml2BytesForRandomDocuments) {
  PrepareXmlLibrary();
  for (const char* encoding : {(const char*)nullptr, "UTF-8", "ISO-8859-1", "ISO-8859-15", "windows-1252", "CP1252"}) {
    for (unsigned seed = 1; seed <= 30; ++seed) {
      SCOPED_TRACE(std::string(encoding ? encoding : "none") + " seed " + std::to_string(seed));
      std::vector<xmlNodePtr> leftOut, none;
      XmlTree tree(RandomDocument(seed, encoding, leftOut, false), seed % 3 != 0, NamespaceList());
      XmlTree less(RandomDocument(seed, encoding, none, true), seed % 3 != 0, NamespaceList());
      const std::string utf8 = SerializeDocumentByLibrary(tree);
      if (getenv("PEEK")) printf("%s %u %zu %zu left %zu\n%s\n", encoding ? encoding : "-", seed, utf8.size(), EncodeDocumentByLibrary(tree).size(), leftOut.size(), seed == 2 ? EncodeDocumentByLibrary(tree).c_str() : "");
      std::string plain;
      ASSERT_TRUE(EncodePlainDocument(plain, tree));
      EXPECT_EQ(plain, EncodeDocumentByLibrary(tree));
      for (WrittenIn in : {WrittenIn::kUtf8, WrittenIn::kAnsi}) {
        auto as = [in](const std::string& text) { return in == WrittenIn::kAnsi ? Utf8ToAnsi(text) : text; };
        plain.clear();
        ASSERT_TRUE(WritePlainDocument(plain, tree, in));
        EXPECT_EQ(plain, as(utf8));
        xmlNodePtr record = xmlDocGetRootElement(tree.doc())->children;
        while (record && record->type != XML_ELEMENT_NODE) record = record->next;
        if (record) {
          plain.clear();
          ASSERT_TRUE(WritePlainNode(plain, record, in));
          EXPECT_EQ(plain, as(SerializeNodeByLibrary(record)));
        }
        plain.clear();
        ASSERT_TRUE(WritePlainDocumentLeavingOut(plain, tree, leftOut, in));
        EXPECT_EQ(plain, as(SerializeDocumentByLibrary(less)));
      }
      EXPECT_EQ(SerializeDocumentAnsi(tree), Utf8ToAnsi(utf8));
    }
  }
}

// Bytes that are no UTF-8 (or characters XML lacks) in a text, an attribute,
// a comment: GetXML gives what Utf8ToAnsi makes of libxml2's text, and the
// cursor's writer gives way where it would not write libxml2's bytes.
TEST(XmlCursorWriter, BytesThatAreNoUtf8GiveWhatUtf8ToAnsiMakesOfThem) {
  PrepareXmlLibrary();
  for (const char* encoding : {(const char*)nullptr, "windows-1252"}) {
    for (const std::string bad : {"\xff", "\x80", "\xc3(", "\xe2\x82", "\xe2\x82<", "\xc0\xbc", "\xc1\x81",
                                  "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xef\xbf\xbe", "\xf8\x88\x80\x80\x80"}) {
      SCOPED_TRACE(std::string(encoding ? encoding : "none") + " " + bad);
      xmlDocPtr doc = xmlNewDoc(X("1.0"));
      if (encoding) doc->encoding = xmlStrdup(X(encoding));
      xmlNodePtr root = xmlNewDocNode(doc, nullptr, X("r"), nullptr);
      Link(reinterpret_cast<xmlNodePtr>(doc), root);
      xmlNewProp(root, X("a"), X("x" + bad + "y"));
      Link(root, xmlNewDocText(doc, X("t" + bad + "&u")));
      Link(root, xmlNewDocComment(doc, X(bad + "c")));
      XmlTree tree(doc, true, NamespaceList());
      for (bool cut : {false, true}) {
        if (cut) {  // a sequence that one text starts and the next one ends
          Link(root, xmlNewDocText(doc, X("v\xc3")));
          Link(root, xmlNewDocText(doc, X("\xa9w")));
        }
        const std::string utf8 = SerializeDocumentByLibrary(tree);
        EXPECT_EQ(SerializeDocument(tree), utf8);
        EXPECT_EQ(SerializeDocumentAnsi(tree), Utf8ToAnsi(utf8));
        EXPECT_EQ(SerializeNodeAnsi(root), Utf8ToAnsi(SerializeNodeByLibrary(root)));
        // Without a declared encoding an attribute's bad bytes are left to
        // libxml2; with one every byte is written as Utf8ToAnsi writes it.
        std::string ansi;
        const bool written = WritePlainDocument(ansi, tree, WrittenIn::kAnsi);
        if (encoding) {
          EXPECT_EQ(written, !cut);
        }
        EXPECT_EQ(ansi, written ? Utf8ToAnsi(utf8) : "");
      }
    }
  }
}

}  // namespace
}  // namespace tarvelon
