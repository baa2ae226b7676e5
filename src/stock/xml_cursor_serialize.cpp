// The cursor's serialization: libxml2's output without formatting, so that
// nothing stands between elements, empty elements are "<name/>", attributes
// keep their order and double quotes. The document form is the declaration
// (when the document has one) "<?xml version="1.0"?>", then each top-level
// node, each followed by one LF, as libxml2 writes a document.
#include <libxml/xmlsave.h>

#include "platform/errors.h"
#include "platform/text.h"
#include "stock/xml_cursor_tree.h"

namespace tarvelon {
namespace {

int AppendToString(void* context, const char* bytes, int length) {
  static_cast<std::string*>(context)->append(bytes, static_cast<size_t>(length));
  return length;
}

int CloseNothing(void*) { return 0; }

// libxml2 writes an element's text from its text nodes only.
void SpreadLeafTextsOf(xmlNodePtr node) {
  if (const XmlTree* tree = XmlTree::Of(node)) tree->SpreadLeafTexts();
}

void DumpInto(std::string& out, xmlNodePtr node) {
  SpreadLeafTextsOf(node);
  xmlOutputBufferPtr buffer = xmlOutputBufferCreateIO(AppendToString, CloseNothing, &out, nullptr);
  if (!buffer) throw Error("XML: out of memory");
  xmlNodeDumpOutput(buffer, node->doc, node, 0, 0, nullptr);
  xmlOutputBufferClose(buffer);
}

}  // namespace

std::string SerializeNode(xmlNodePtr node) {
  if (std::string out; node->type == XML_ELEMENT_NODE && WritePlainNode(out, node)) return out;
  return SerializeNodeByLibrary(node);
}

std::string SerializeDocument(const XmlTree& tree) {
  if (std::string out; WritePlainDocument(out, tree)) return out;
  return SerializeDocumentByLibrary(tree);
}

std::string SerializeNodeAnsi(xmlNodePtr node) {
  if (std::string out; node->type == XML_ELEMENT_NODE && WritePlainNode(out, node, WrittenIn::kAnsi)) return out;
  return Utf8ToAnsi(SerializeNode(node));
}

std::string SerializeDocumentAnsi(const XmlTree& tree) {
  if (std::string out; WritePlainDocument(out, tree, WrittenIn::kAnsi)) return out;
  return Utf8ToAnsi(SerializeDocument(tree));
}

std::string EncodeDocument(const XmlTree& tree) {
  if (std::string out; EncodePlainDocument(out, tree)) return out;
  return EncodeDocumentByLibrary(tree);
}

std::string SerializeNodeByLibrary(xmlNodePtr node) {
  if (node->type == XML_DOCUMENT_NODE) {
    XmlTree* tree = XmlTree::Of(node);
    return tree ? SerializeDocument(*tree) : std::string();
  }
  std::string out;
  DumpInto(out, node);
  if (node->type == XML_ATTRIBUTE_NODE && !out.empty() && out[0] == ' ') out.erase(0, 1);
  return out;
}

std::string SerializeDocumentByLibrary(const XmlTree& tree) {
  std::string out;
  if (tree.hasDeclaration()) out = "<?xml version=\"1.0\"?>\n";
  for (xmlNodePtr child = tree.doc()->children; child; child = child->next) {
    DumpInto(out, child);
    out += '\n';
  }
  return out;
}

std::string EncodeDocumentByLibrary(const XmlTree& tree) {
  // Without a declared encoding the file is UTF-8 and its declaration (when
  // the document has one) is the one GetXML shows.
  const char* declared = tree.doc()->encoding ? reinterpret_cast<const char*>(tree.doc()->encoding) : nullptr;
  std::string out = !declared && tree.hasDeclaration() ? "<?xml version=\"1.0\"?>\n" : "";
  tree.SpreadLeafTexts();
  int options = XML_SAVE_AS_XML | (declared && tree.hasDeclaration() ? 0 : XML_SAVE_NO_DECL);
  xmlSaveCtxtPtr save = xmlSaveToIO(AppendToString, CloseNothing, &out, declared ? declared : "UTF-8", options);
  if (!save) throw Error(Utf8ToAnsi(std::string("unsupported encoding ") + (declared ? declared : "")));
  long written = xmlSaveDoc(save, tree.doc());
  int closed = xmlSaveClose(save);
  if (written < 0 || closed < 0) {
    const xmlError* error = xmlGetLastError();
    std::string reason = error && error->message ? error->message : "output error";
    while (!reason.empty() && reason.back() == '\n') reason.pop_back();
    throw Error(Utf8ToAnsi(reason));
  }
  return out;
}

}  // namespace tarvelon
