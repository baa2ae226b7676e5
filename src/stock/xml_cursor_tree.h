#pragma once
// Inside the XML cursor: one parsed libxml2 document (XmlTree), the shared
// document object that cursors hold (XmlDocument) and a selection (XmlNodeList).
//
// Nodes never die while their tree lives: a deleted node is unlinked and kept
// until the tree goes, so a cursor that still lists it (or a node inside it)
// reads valid memory. A tree replaced by Load stays alive as long as a list
// still refers to it.
#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "stock/xml_cursor_index.h"

namespace tarvelon {

// The texts of leaf elements (see XmlTree::TakeLeafText), in blocks that
// live as long as their tree.
class LeafTextStore {
 public:
  const xmlChar* Keep(const char* text, size_t size);
  // Takes the parser's texts along with its tree.
  void Adopt(LeafTextStore&& other);
  size_t count() const { return count_; }

 private:
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* free_ = nullptr;
  size_t room_ = 0;
  size_t count_ = 0;
};

// Prefix and address of each namespace declaration of the root, in document order.
using NamespaceList = std::vector<std::pair<std::string, std::string>>;

class XmlTree {
 public:
  XmlTree(xmlDocPtr doc, bool hasDeclaration, NamespaceList namespaces);
  ~XmlTree();
  XmlTree(const XmlTree&) = delete;
  XmlTree& operator=(const XmlTree&) = delete;

  xmlDocPtr doc() const { return doc_; }
  bool hasDeclaration() const { return hasDeclaration_; }
  const NamespaceList& namespaces() const { return namespaces_; }

  // The tree that owns a node (every node of a tree points to its document).
  static XmlTree* Of(xmlNodePtr node);

  // Keeps an unlinked node (and its subtree) until the tree goes.
  void Retire(xmlNodePtr node);
  // How many children `parent` has once `appended` became its last one:
  // counted from the previous answer while the parent only grew at its end,
  // so that appending n children in a row costs n, not n*n/2.
  size_t ChildCountAfterAppend(xmlNodePtr parent, xmlNodePtr appended);
  // Called before a node is unlinked, after one is linked, and when the text
  // of an element's subtree changes: drops the look-up indexes it may affect.
  void Touched(xmlNodePtr node) {
    settled_ = false;
    index_.Touched(node);
  }
  // Anything else the cursor changes (an attribute) unsettles the tree too.
  void Changed() { settled_ = false; }
  // True while reading the tree's saved text again gives the same tree, and
  // settling it (SettleAsReloaded) would find nothing to do. Set by the
  // parser for a text without a DTD, comments, processing instructions,
  // CDATA or entity references, and by the writer when a save found nothing
  // to settle; any change through the cursor clears it.
  bool settled() const { return settled_; }
  void SetSettled() const { settled_ = true; }

  XmlLookupIndex& index() { return index_; }

  // The first child element of that name (no namespace). A parent with more
  // than a few children gets its children indexed by name on the look-up
  // that walks past them, so that a name it lacks costs what one it has does.
  // The index stays right because the cursor only ever appends children
  // (ChildAppended), never moves a node, tells the tree before it unlinks one
  // (Unlinking) and never frees one while the tree lives: an indexed node
  // whose parent changed is known to be gone.
  xmlNodePtr FirstChildNamed(xmlNodePtr parent, const char* name);
  void ChildAppended(xmlNodePtr parent, xmlNodePtr child);
  void Unlinking(xmlNodePtr node);
  // The XPath context of this tree, with the namespace declarations registered.
  xmlXPathContextPtr xpath();

  // About what a write of the whole document takes: the size it was read
  // from, then what the last write took. Room is reserved from it.
  size_t sizeHint() const { return sizeHint_.load(std::memory_order_relaxed); }
  void SetSizeHint(size_t bytes) const { sizeHint_.store(bytes, std::memory_order_relaxed); }

  // Leaf texts. The one text of an element, as the parser reads it or the
  // cursor sets it, is kept in the element itself (its `content`, which
  // libxml2 leaves unused for elements) instead of in a text node of its
  // own: a record holds a hundred values, and the text node doubled what
  // each cost. Only the cursor's own readers and writer know of them.
  //
  // Keeps `utf8` as the element's text and answers true, or answers false
  // for a text that needs its node: an element with children, an empty or
  // blank text (reading drops it), bytes a reader refuses.
  bool TakeLeafText(xmlNodePtr element, const std::string& utf8);
  // The same for the value of an attribute without one, kept in its `psvi`
  // (left to schema validation, which the cursor never runs): a feed sets
  // half a million short attribute values. False for an empty value (the
  // attribute then has none), bytes a reader refuses, and a document whose
  // DTD may make the attribute an ID.
  bool TakeAttributeValue(xmlAttrPtr attribute, const std::string& utf8);
  // Gives one element its text node back (before it takes children), and
  // its attributes theirs.
  void GiveTextNode(xmlNodePtr element) const;
  // Gives every element its text node back, before the tree reaches libxml2
  // itself (its XPath engine, its writer, a copy). A tree that had to does
  // not keep leaf texts any more, so that a feed reading it through the
  // library does not walk it again and again.
  void SpreadLeafTexts() const;
  // The leaf texts the parser made for this tree.
  void AdoptLeafTexts(LeafTextStore&& store);
  // About what a change adds to the written text (a value, or a new node's
  // tags): a document that grew since its last write is reserved room for
  // all of it at once, not copied into a doubled block halfway.
  void Grew(size_t bytes) const { sizeHint_.fetch_add(bytes, std::memory_order_relaxed); }

 private:
  xmlDocPtr doc_;
  bool hasDeclaration_;
  mutable std::atomic<size_t> sizeHint_{0};
  NamespaceList namespaces_;
  std::vector<xmlNodePtr> retired_;
  XmlLookupIndex index_;
  xmlXPathContextPtr xpath_ = nullptr;
  mutable bool settled_ = false;
  LeafTextStore leafTextStore_;
  mutable size_t leafTexts_ = 0;        // taken since the last spread
  mutable bool leafTextsSpread_ = false;
  // Open addressing over the child elements of one parent, by name.
  struct ChildSlot {
    xmlNodePtr node = nullptr;
    unsigned hash = 0;
  };
  struct ChildTable {
    std::vector<ChildSlot> slots;  // a power of two, at most three quarters used
    size_t used = 0;
  };
  static ChildSlot& SlotFor(std::vector<ChildSlot>& slots, const char* name, unsigned hash);
  void Index(ChildTable& table, xmlNodePtr child, unsigned hash);
  std::vector<ChildSlot> EmptySlots(size_t size);  // a spare array when there is one
  ChildTable* TableOf(xmlNodePtr parent);
  ChildTable& TableFor(xmlNodePtr parent);  // a new one, or the one taken from the older generation
  std::unordered_map<xmlNodePtr, ChildTable> children_, olderChildren_;
  std::unordered_map<size_t, std::vector<std::vector<ChildSlot>>> spareSlots_;  // by size
  xmlNodePtr lastParent_ = nullptr;  // the parent asked last, and its table
  ChildTable* lastTable_ = nullptr;
  // The last answer of ChildCountAfterAppend; forgotten when a node leaves.
  struct AppendCount {
    xmlNodePtr parent = nullptr;
    xmlNodePtr last = nullptr;
    size_t count = 0;
  } appendCount_;
};

// What cursors share: the current tree (replaced by Load and LoadXML) and the
// namespace declarations collected by the last Load.
class XmlDocument {
 public:
  std::shared_ptr<XmlTree> tree;
  NamespaceList namespaces;
  // Without a tree: what Save writes for a text loaded only to be saved.
  std::string savedBytes;
};

struct XmlNodeList {
  std::shared_ptr<XmlTree> tree;  // keeps the nodes alive
  std::vector<xmlNodePtr> nodes;
  // Listed nodes that stand before `nodes` and are not kept: a cursor never
  // moves back, so a list whose position is its last node needs only that
  // node and the count (see AppendChild).
  size_t notKeptBefore = 0;
};

// Parsing (xml_cursor_parse.cpp). Both throw Error with the cursor's texts.
std::shared_ptr<XmlTree> ParseXmlFile(const std::string& path);
std::shared_ptr<XmlTree> ParseXmlText(const std::string& ansiText, const NamespaceList& namespaces);
// Brings a tree in memory to what saving and reading it again would give:
// neighbouring texts joined, whitespace-only texts dropped. False (the tree
// then maybe half done) when reading could give something else or fail:
// nodes other than elements and texts, characters XML does not allow, an
// encoding without a declaration, root namespaces unlike the tree's own.
bool SettleAsReloaded(XmlTree& tree);
// Whitespace alone, or no text at all: what reading a saved text drops.
bool IsBlankText(const xmlChar* s);
// Called by the parser as it closes an element: an element whose one child
// is a text keeps it as its leaf text, and the node goes. `blankTexts` are
// the parser's notes of texts that were blank when last seen.
void KeepLeafTextOf(xmlNodePtr element, LeafTextStore& store, std::vector<xmlNodePtr>& blankTexts);
// No byte a reader refuses: control characters other than TAB, LF and CR,
// the non-characters U+FFFE and U+FFFF.
bool ReadableText(const xmlChar* s);
// The text of a node as libxml2 gives it (UTF-8), leaf texts included.
std::string TextOfNode(xmlNodePtr node);
// The value an attribute keeps in itself (see XmlTree::TakeAttributeValue), or null.
inline const xmlChar* AttributeValueOf(xmlNodePtr attribute) {
  return attribute->type == XML_ATTRIBUTE_NODE ? static_cast<const xmlChar*>(reinterpret_cast<xmlAttrPtr>(attribute)->psvi)
                                               : nullptr;
}
// Suppresses libxml2's own error printing and refuses every external load.
void PrepareXmlLibrary();

// Selection (xml_cursor_select.cpp). Expressions are UTF-8; a bad expression
// throws Error with the engine's text.
std::vector<xmlNodePtr> SelectNodes(xmlNodePtr context, const std::string& expression, bool useIndex = true);
xmlNodePtr SelectFirst(xmlNodePtr context, const std::string& expression);
// A name test alone ("Kilometrage"): an ASCII name without prefix.
bool IsPlainName(const std::string& expression);

// Serialization (xml_cursor_serialize.cpp), UTF-8.
std::string SerializeNode(xmlNodePtr node);
std::string SerializeDocument(const XmlTree& tree);
// The same as Utf8ToAnsi gives them: what GetXML shows.
std::string SerializeNodeAnsi(xmlNodePtr node);
std::string SerializeDocumentAnsi(const XmlTree& tree);
// The bytes of the file that Save writes, in the declared encoding.
std::string EncodeDocument(const XmlTree& tree);
// The same through libxml2's own writer alone: what the cursor's writer
// (xml_cursor_write.cpp) must equal, and what serves when it declines.
std::string SerializeNodeByLibrary(xmlNodePtr node);
std::string SerializeDocumentByLibrary(const XmlTree& tree);
std::string EncodeDocumentByLibrary(const XmlTree& tree);
// The cursor's writer: appends to `out` and answers true, or leaves `out`
// as it was and answers false for what only libxml2 writes. kAnsi gives
// Utf8ToAnsi of the UTF-8 text; it also answers false when bytes that are no
// UTF-8 make that depend on what stands next to them: the UTF-8 text then.
enum class WrittenIn { kUtf8, kAnsi };
bool WritePlainNode(std::string& out, xmlNodePtr node, WrittenIn in = WrittenIn::kUtf8);
bool WritePlainDocument(std::string& out, const XmlTree& tree, WrittenIn in = WrittenIn::kUtf8);
bool EncodePlainDocument(std::string& out, const XmlTree& tree);
// Appends a Windows-1252 text in the encoding of that name (UTF-8 when
// none), as the cursor's writer encodes a document; false, `out` untouched,
// for an encoding it does not write.
bool EncodeAnsiText(std::string& out, std::string_view ansi, const char* encodingName);

// Saving a text unparsed (xml_cursor_text_save.cpp): the bytes Save writes
// for the tree that LoadXML of `ansiText` builds, when the text alone tells
// them; false, `bytes` untouched, when only the tree can.
bool SavedBytesOfText(const std::string& ansiText, std::string& bytes);

}  // namespace tarvelon
