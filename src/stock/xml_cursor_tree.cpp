#include "stock/xml_cursor_tree.h"

#include <libxml/parser.h>
#include <libxml/xpathInternals.h>

#include <cstring>
#include <mutex>

namespace tarvelon {
namespace {

void Silent(void*, const char*, ...) {}
void SilentStructured(void*, xmlErrorPtr) {}

// No document of ours may pull anything from outside: no DTD, no external
// entity, no network, no local file other than the one Load names.
xmlParserInputPtr RefuseExternal(const char*, const char*, xmlParserCtxtPtr) { return nullptr; }

}  // namespace

void PrepareXmlLibrary() {
  static std::once_flag once;
  std::call_once(once, [] {
    xmlInitParser();
    xmlSetExternalEntityLoader(RefuseExternal);
  });
  // Per thread in libxml2: errors are collected by the callers, never printed.
  xmlSetGenericErrorFunc(nullptr, Silent);
  xmlSetStructuredErrorFunc(nullptr, SilentStructured);
}

XmlTree::XmlTree(xmlDocPtr doc, bool hasDeclaration, NamespaceList namespaces)
    : doc_(doc), hasDeclaration_(hasDeclaration), namespaces_(std::move(namespaces)) {
  PrepareXmlLibrary();
  doc_->_private = this;
}

XmlTree::~XmlTree() {
  if (xpath_) xmlXPathFreeContext(xpath_);
  // Retired subtrees first: their names may live in the document's dictionary.
  for (xmlNodePtr node : retired_) {
    if (node->type == XML_ATTRIBUTE_NODE) xmlFreeProp(reinterpret_cast<xmlAttrPtr>(node));
    else xmlFreeNode(node);
  }
  xmlFreeDoc(doc_);
}

XmlTree* XmlTree::Of(xmlNodePtr node) {
  if (!node || !node->doc) return nullptr;
  return static_cast<XmlTree*>(node->doc->_private);
}

void XmlTree::Retire(xmlNodePtr node) {
  settled_ = false;
  retired_.push_back(node);
  appendCount_ = AppendCount();
}

size_t XmlTree::ChildCountAfterAppend(xmlNodePtr parent, xmlNodePtr appended) {
  AppendCount& known = appendCount_;
  if (known.parent == parent && known.last && known.last == appended->prev) {
    ++known.count;
  } else {
    known.count = 0;
    for (xmlNodePtr child = parent->children; child; child = child->next) ++known.count;
  }
  known.parent = parent;
  known.last = appended;
  return known.count;
}

namespace {

// Parents with at most this many child elements are walked, not indexed.
constexpr int kWalkedChildren = 8;

bool IsIndexable(xmlNodePtr node) { return node->type == XML_ELEMENT_NODE && node->ns == nullptr; }

unsigned NameHash(const char* name) {
  unsigned h = 2166136261u;  // FNV-1a
  for (; *name; ++name) h = (h ^ static_cast<unsigned char>(*name)) * 16777619u;
  return h;
}

const char* NameOf(xmlNodePtr node) { return reinterpret_cast<const char*>(node->name); }

}  // namespace

XmlTree::ChildTable* XmlTree::TableOf(xmlNodePtr parent) {
  if (parent == lastParent_) return lastTable_;
  auto found = children_.find(parent);
  if (found == children_.end()) {
    auto older = olderChildren_.find(parent);
    if (older == olderChildren_.end()) return nullptr;
    ChildTable table = std::move(older->second);
    olderChildren_.erase(older);
    return &(TableFor(parent) = std::move(table));
  }
  lastParent_ = parent;
  lastTable_ = &found->second;
  return lastTable_;
}

XmlTree::ChildTable& XmlTree::TableFor(xmlNodePtr parent) {
  // The tables of the parents asked for lately, in two generations: a pass
  // over ten thousand records would otherwise keep a table for each. The
  // slots of the tables dropped serve the next ones: given back to the
  // allocator, their holes would take blocks that outlive the tree and cut
  // up the room it leaves for the document texts that follow it.
  constexpr size_t kTablesKept = 256;
  if (children_.size() >= kTablesKept) {
    for (auto& [dropped, table] : olderChildren_) spareSlots_[table.slots.size()].push_back(std::move(table.slots));
    olderChildren_.swap(children_);
    children_.clear();
  }
  ChildTable& table = children_[parent];
  lastParent_ = parent;
  lastTable_ = &table;
  return table;
}

// The slot of that name, or the empty slot where it would go. A slot whose
// node left the parent still holds the name: a later child of that name
// takes it over.
XmlTree::ChildSlot& XmlTree::SlotFor(std::vector<ChildSlot>& slots, const char* name, unsigned hash) {
  const size_t mask = slots.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    ChildSlot& slot = slots[i];
    if (!slot.node || (slot.hash == hash && std::strcmp(NameOf(slot.node), name) == 0)) return slot;
  }
}

std::vector<XmlTree::ChildSlot> XmlTree::EmptySlots(size_t size) {
  auto spare = spareSlots_.find(size);
  if (spare == spareSlots_.end() || spare->second.empty()) return std::vector<ChildSlot>(size);
  std::vector<ChildSlot> slots = std::move(spare->second.back());
  spare->second.pop_back();
  std::fill(slots.begin(), slots.end(), ChildSlot{});
  return slots;
}

void XmlTree::Index(ChildTable& table, xmlNodePtr child, unsigned hash) {
  if ((table.used + 1) * 4 > table.slots.size() * 3) {
    std::vector<ChildSlot> old = EmptySlots(table.slots.size() * 2);
    old.swap(table.slots);
    for (const ChildSlot& slot : old)
      if (slot.node) SlotFor(table.slots, NameOf(slot.node), slot.hash) = slot;
    spareSlots_[old.size()].push_back(std::move(old));
  }
  ChildSlot& slot = SlotFor(table.slots, NameOf(child), hash);
  if (!slot.node) {
    ++table.used;
    slot = {child, hash};
  } else if (slot.node->parent != child->parent) {
    slot.node = child;  // the earlier first child of that name is gone
  }
}

xmlNodePtr XmlTree::FirstChildNamed(xmlNodePtr parent, const char* name) {
  ChildTable* table = TableOf(parent);
  if (!table) {
    int seen = 0;
    xmlNodePtr child = parent->children;
    for (; child && seen <= kWalkedChildren; child = child->next) {
      if (!IsIndexable(child)) continue;
      if (std::strcmp(NameOf(child), name) == 0) return child;
      ++seen;
    }
    if (!child) return nullptr;
    size_t count = 0;
    for (child = parent->children; child; child = child->next) count += IsIndexable(child);
    size_t size = 16;
    while (size * 3 < count * 4) size *= 2;
    table = &TableFor(parent);
    table->slots = EmptySlots(size);
    for (child = parent->children; child; child = child->next)
      if (IsIndexable(child)) Index(*table, child, NameHash(NameOf(child)));
  }
  const ChildSlot& slot = SlotFor(table->slots, name, NameHash(name));
  return slot.node && slot.node->parent == parent ? slot.node : nullptr;
}

void XmlTree::ChildAppended(xmlNodePtr parent, xmlNodePtr child) {
  settled_ = false;
  if (!IsIndexable(child) || child->parent != parent) return;
  if (ChildTable* table = TableOf(parent)) Index(*table, child, NameHash(NameOf(child)));
}

void XmlTree::Unlinking(xmlNodePtr node) {
  settled_ = false;
  if (!node->parent || !IsIndexable(node)) return;
  ChildTable* table = TableOf(node->parent);
  if (!table) return;
  ChildSlot& slot = SlotFor(table->slots, NameOf(node), NameHash(NameOf(node)));
  if (slot.node != node) return;
  // The next child of that name becomes the first, as a walk would find it.
  for (xmlNodePtr next = node->next; next; next = next->next) {
    if (IsIndexable(next) && std::strcmp(NameOf(next), NameOf(node)) == 0) {
      slot.node = next;
      return;
    }
  }
}

xmlXPathContextPtr XmlTree::xpath() {
  if (!xpath_) {
    xpath_ = xmlXPathNewContext(doc_);
    for (const auto& [prefix, uri] : namespaces_)
      xmlXPathRegisterNs(xpath_, reinterpret_cast<const xmlChar*>(prefix.c_str()),
                         reinterpret_cast<const xmlChar*>(uri.c_str()));
  }
  return xpath_;
}

}  // namespace tarvelon
