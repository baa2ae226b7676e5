// Leaf texts: the one text of an element, as the parser reads it or the
// cursor sets it, kept in the element rather than in a text node below it
// (see XmlTree::TakeLeafText).
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include <cstring>

#include "stock/xml_cursor_tree.h"

namespace tarvelon {
namespace {

// Blocks of this size hold many values; a longer value has a block of its own.
constexpr size_t kTextBlock = 64 * 1024;

// The text a reader keeps in a leaf: not blank (reading drops it), nothing a reader refuses.
bool KeepsAsLeafText(const xmlChar* text) { return !IsBlankText(text) && ReadableText(text); }

xmlNodePtr FirstElement(xmlNodePtr node) {
  while (node && node->type != XML_ELEMENT_NODE) node = node->next;
  return node;
}

// Every element of a subtree given its text node back, depth first through
// the tree's links.
void SpreadIn(const XmlTree& tree, xmlNodePtr top) {
  if (top->type != XML_ELEMENT_NODE) return;
  for (xmlNodePtr node = top;;) {
    tree.GiveTextNode(node);
    if (xmlNodePtr child = FirstElement(node->children)) {
      node = child;
      continue;
    }
    for (;;) {  // up to the first ancestor (or the node) with an element after it
      if (node == top) return;
      if (xmlNodePtr sibling = FirstElement(node->next)) {
        node = sibling;
        break;
      }
      node = node->parent;
    }
  }
}

}  // namespace

const xmlChar* LeafTextStore::Keep(const char* text, size_t length) {
  const size_t size = length + 1;
  char* at;
  if (size > kTextBlock / 4) {
    blocks_.push_back(std::unique_ptr<char[]>(new char[size]));
    at = blocks_.back().get();
  } else {
    if (size > room_) {
      blocks_.push_back(std::unique_ptr<char[]>(new char[kTextBlock]));
      free_ = blocks_.back().get();
      room_ = kTextBlock;
    }
    at = free_;
    free_ += size;
    room_ -= size;
  }
  std::memcpy(at, text, length);
  at[length] = '\0';
  ++count_;
  return reinterpret_cast<const xmlChar*>(at);
}

void LeafTextStore::Adopt(LeafTextStore&& other) {
  for (auto& block : other.blocks_) blocks_.push_back(std::move(block));
  other.blocks_.clear();
  // The other's free room stays unused: new texts start a block of their own.
  count_ += other.count_;
  other.count_ = 0;
  other.free_ = nullptr;
  other.room_ = 0;
}

bool XmlTree::TakeLeafText(xmlNodePtr element, const std::string& utf8) {
  if (leafTextsSpread_ || element->type != XML_ELEMENT_NODE || element->children) return false;
  const auto* text = reinterpret_cast<const xmlChar*>(utf8.c_str());
  if (utf8.empty() || !KeepsAsLeafText(text)) return false;
  element->content = const_cast<xmlChar*>(leafTextStore_.Keep(utf8.data(), utf8.size()));
  ++leafTexts_;
  return true;
}

bool XmlTree::TakeAttributeValue(xmlAttrPtr attribute, const std::string& utf8) {
  if (leafTextsSpread_ || attribute->children || utf8.empty() || doc_->intSubset || doc_->extSubset) return false;
  const auto* text = reinterpret_cast<const xmlChar*>(utf8.c_str());
  if (!ReadableText(text) || std::strchr(reinterpret_cast<const char*>(attribute->name), ':')) return false;
  attribute->psvi = const_cast<xmlChar*>(leafTextStore_.Keep(utf8.data(), utf8.size()));
  ++leafTexts_;
  return true;
}

void XmlTree::GiveTextNode(xmlNodePtr element) const {
  if (element->type != XML_ELEMENT_NODE) return;
  for (xmlAttrPtr a = element->properties; a; a = a->next) {
    if (!a->psvi) continue;
    xmlNodePtr text = xmlNewDocText(element->doc, static_cast<const xmlChar*>(a->psvi));
    a->psvi = nullptr;
    text->parent = reinterpret_cast<xmlNodePtr>(a);
    a->children = a->last = text;
  }
  if (!element->content) return;
  xmlNodePtr text = xmlNewDocText(element->doc, element->content);
  element->content = nullptr;
  xmlAddChild(element, text);
}

void XmlTree::SpreadLeafTexts() const {
  if (leafTexts_ == 0) return;
  for (xmlNodePtr child = doc_->children; child; child = child->next) SpreadIn(*this, child);
  // Deleted nodes too: a cursor may still list them.
  for (xmlNodePtr node : retired_) SpreadIn(*this, node);
  leafTexts_ = 0;
  leafTextsSpread_ = true;
}

void XmlTree::AdoptLeafTexts(LeafTextStore&& store) {
  leafTexts_ += store.count();
  leafTextStore_.Adopt(std::move(store));
}

void KeepLeafTextOf(xmlNodePtr element, LeafTextStore& store, std::vector<xmlNodePtr>& blankTexts) {
  xmlNodePtr text = element->children;
  if (!text || text->next || text->type != XML_TEXT_NODE || text->name != xmlStringText) return;
  if (!text->content || !KeepsAsLeafText(text->content)) return;
  element->content = const_cast<xmlChar*>(store.Keep(reinterpret_cast<const char*>(text->content),
                                                      std::strlen(reinterpret_cast<const char*>(text->content))));
  // A text noted blank that grew since is the last note, if noted at all.
  if (!blankTexts.empty() && blankTexts.back() == text) blankTexts.pop_back();
  xmlUnlinkNode(text);
  xmlFreeNode(text);
}

std::string TextOfNode(xmlNodePtr node) {
  if (node->type == XML_ELEMENT_NODE && node->content) return reinterpret_cast<const char*>(node->content);
  if (const xmlChar* value = AttributeValueOf(node)) return reinterpret_cast<const char*>(value);
  // Elements below may hold theirs: libxml2 reads only text nodes.
  const bool parent = node->type == XML_ELEMENT_NODE || node->type == XML_DOCUMENT_NODE;
  if (parent && FirstElement(node->children))
    if (const XmlTree* tree = XmlTree::Of(node)) tree->SpreadLeafTexts();
  xmlChar* content = xmlNodeGetContent(node);
  std::string text = content ? reinterpret_cast<const char*>(content) : "";
  xmlFree(content);
  return text;
}

}  // namespace tarvelon
