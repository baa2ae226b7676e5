// Path evaluation for the cursor: plain names and "." by a walk over the
// children, record look-ups through the index, everything else by libxml2's
// XPath engine. Each route gives the node set that XPath gives.
#include <libxml/xpathInternals.h>

#include <array>
#include <cstring>

#include "platform/errors.h"
#include "platform/text.h"
#include "stock/xml_cursor_tree.h"

namespace tarvelon {
namespace {

struct XPathErrors {
  bool set = false;
  std::string message;
};

void CollectXPathError(void* userData, xmlErrorPtr error) {
  auto* errors = static_cast<XPathErrors*>(userData);
  if (errors->set || !error) return;
  errors->set = true;
  errors->message = error->message ? error->message : "";
  while (!errors->message.empty() && errors->message.back() == '\n') errors->message.pop_back();
}

[[noreturn]] void FailExpression(const std::string& expression, const std::string& message) {
  throw Error(Utf8ToAnsi(message + " : " + expression));
}

bool WalkableContext(xmlNodePtr node) {
  return node->type == XML_ELEMENT_NODE || node->type == XML_DOCUMENT_NODE;
}

bool IsPlainElement(xmlNodePtr node, const std::string& name) {
  return node->type == XML_ELEMENT_NODE && node->ns == nullptr &&
         std::strcmp(reinterpret_cast<const char*>(node->name), name.c_str()) == 0;
}

std::vector<xmlNodePtr> EvaluateXPath(xmlNodePtr context, const std::string& expression) {
  XmlTree* tree = XmlTree::Of(context);
  if (!tree) throw Error("XPath: node without document");
  tree->SpreadLeafTexts();  // the engine reads text nodes only
  xmlXPathContextPtr ctx = tree->xpath();
  // The engine's texts reach only the handler of the thread (a context's own
  // handler gets the error without its text).
  XPathErrors errors;
  xmlSetStructuredErrorFunc(&errors, CollectXPathError);
  ctx->node = context;
  xmlXPathObjectPtr result = xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(expression.c_str()), ctx);
  PrepareXmlLibrary();  // silent again
  if (!result) FailExpression(expression, errors.set ? errors.message : "Invalid expression");
  if (result->type != XPATH_NODESET) {
    xmlXPathFreeObject(result);
    FailExpression(expression, "Expression does not return a node set");
  }
  std::vector<xmlNodePtr> nodes;
  if (xmlNodeSetPtr set = result->nodesetval) {
    xmlXPathNodeSetSort(set);
    nodes.reserve(static_cast<size_t>(set->nodeNr));
    for (int i = 0; i < set->nodeNr; ++i)
      // Namespace nodes are copies owned by the result: not selectable here.
      if (set->nodeTab[i]->type != XML_NAMESPACE_DECL) nodes.push_back(set->nodeTab[i]);
  }
  xmlXPathFreeObject(result);
  return nodes;
}

}  // namespace

bool IsPlainName(const std::string& s) {
  // Asked for every value read or written: one table look-up per byte.
  // 1: may start a name, 2: may stand inside one.
  static const auto kKinds = [] {
    std::array<unsigned char, 256> kinds{};
    for (int c = 0; c < 256; ++c) {
      const bool start = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
      kinds[c] = start ? 3 : ((c >= '0' && c <= '9') || c == '-' || c == '.') ? 2 : 0;
    }
    return kinds;
  }();
  if (s.empty() || !(kKinds[static_cast<unsigned char>(s[0])] & 1)) return false;
  for (char c : s)
    if (!kKinds[static_cast<unsigned char>(c)]) return false;
  return true;
}

std::vector<xmlNodePtr> SelectNodes(xmlNodePtr context, const std::string& expression, bool useIndex) {
  if (!useIndex) return EvaluateXPath(context, expression);
  if (expression == ".") return {context};
  if (IsPlainName(expression) && WalkableContext(context)) {
    std::vector<xmlNodePtr> nodes;
    for (xmlNodePtr child = context->children; child; child = child->next)
      if (IsPlainElement(child, expression)) nodes.push_back(child);
    return nodes;
  }
  ChildEqualityPath path;
  if (context->doc && ParseChildEqualityPath(expression, path)) {
    if (path.child.empty()) return WalkPath(context->doc, path.steps);
    XmlTree* tree = XmlTree::Of(context);
    if (tree) return tree->index().Lookup(context->doc, path);
  }
  return EvaluateXPath(context, expression);
}

xmlNodePtr SelectFirst(xmlNodePtr context, const std::string& expression) {
  if (expression == ".") return context;
  if (IsPlainName(expression) && WalkableContext(context)) {
    for (xmlNodePtr child = context->children; child; child = child->next)
      if (IsPlainElement(child, expression)) return child;
    return nullptr;
  }
  if (expression.size() > 1 && expression[0] == '@' && IsPlainName(expression.substr(1)) &&
      context->type == XML_ELEMENT_NODE) {
    const std::string name = expression.substr(1);
    for (xmlAttrPtr a = context->properties; a; a = a->next)
      if (a->ns == nullptr && std::strcmp(reinterpret_cast<const char*>(a->name), name.c_str()) == 0)
        return reinterpret_cast<xmlNodePtr>(a);
    return nullptr;
  }
  std::vector<xmlNodePtr> nodes = SelectNodes(context, expression);
  return nodes.empty() ? nullptr : nodes.front();
}

}  // namespace tarvelon
