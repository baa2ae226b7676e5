// Leaf texts: the value of an element without children, kept in the element
// rather than in a text node below it (see XmlTree::TakeLeafText).
#include <libxml/tree.h>

#include <cstring>

#include "stock/xml_cursor_tree.h"

namespace tarvelon {
namespace {

// Blocks of this size hold many values; a longer value has a block of its own.
constexpr size_t kTextBlock = 64 * 1024;

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

const xmlChar* XmlTree::KeepText(const std::string& utf8) {
  const size_t size = utf8.size() + 1;
  char* at;
  if (size > kTextBlock / 4) {
    textBlocks_.push_back(std::unique_ptr<char[]>(new char[size]));
    at = textBlocks_.back().get();
  } else {
    if (size > textRoom_) {
      textBlocks_.push_back(std::unique_ptr<char[]>(new char[kTextBlock]));
      textFree_ = textBlocks_.back().get();
      textRoom_ = kTextBlock;
    }
    at = textFree_;
    textFree_ += size;
    textRoom_ -= size;
  }
  std::memcpy(at, utf8.c_str(), size);
  return reinterpret_cast<const xmlChar*>(at);
}

bool XmlTree::TakeLeafText(xmlNodePtr element, const std::string& utf8) {
  if (leafTextsSpread_ || element->type != XML_ELEMENT_NODE || element->children) return false;
  const auto* text = reinterpret_cast<const xmlChar*>(utf8.c_str());
  if (utf8.empty() || IsBlankText(text) || !ReadableText(text)) return false;
  element->content = const_cast<xmlChar*>(KeepText(utf8));
  ++leafTexts_;
  return true;
}

void XmlTree::GiveTextNode(xmlNodePtr element) const {
  if (element->type != XML_ELEMENT_NODE || !element->content) return;
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

std::string TextOfNode(xmlNodePtr node) {
  if (node->type == XML_ELEMENT_NODE && node->content) return reinterpret_cast<const char*>(node->content);
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
