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

void XmlTree::Retire(xmlNodePtr node) { retired_.push_back(node); }

xmlNodePtr XmlTree::FirstChildNamed(xmlNodePtr parent, const std::string& name) {
  const xmlChar* key = doc_->dict ? xmlDictExists(doc_->dict, reinterpret_cast<const xmlChar*>(name.c_str()), -1)
                                  : nullptr;
  if (key) {
    auto known = firstChild_.find({parent, key});
    if (known != firstChild_.end() && known->second->parent == parent) return known->second;
  }
  for (xmlNodePtr child = parent->children; child; child = child->next) {
    if (child->type == XML_ELEMENT_NODE && child->ns == nullptr &&
        std::strcmp(reinterpret_cast<const char*>(child->name), name.c_str()) == 0) {
      if (key) firstChild_[{parent, key}] = child;
      return child;
    }
  }
  return nullptr;
}

void XmlTree::RememberFirstChild(xmlNodePtr parent, xmlNodePtr child) {
  if (!doc_->dict) return;
  if (const xmlChar* key = xmlDictExists(doc_->dict, child->name, -1)) firstChild_[{parent, key}] = child;
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
