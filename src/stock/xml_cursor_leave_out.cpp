// The client files of the annonce feeds are the prepared document less the
// blocks and records other clients get: written from the document itself
// rather than from a copy that loses them.
#include "stock/xml_cursor_leave_out.h"

#include <algorithm>

#include "platform/text.h"
#include "stock/xml_cursor.h"

namespace tarvelon {

bool IXMLCursor::SavedCopyIsSame() const {
  return document_ && document_->tree && IsSettledAsReloaded(*document_->tree);
}

bool IXMLCursor::GetXMLLeavingOut(const std::vector<IXMLCursor>& leftOut, std::string& text) const {
  if (!document_ || !document_->tree) return false;
  const std::shared_ptr<XmlTree>& tree = document_->tree;
  std::vector<xmlNodePtr> nodes;
  nodes.reserve(leftOut.size());
  for (const IXMLCursor& c : leftOut) {
    if (c.Eof() || !c.list_) continue;  // no current node: Delete does nothing
    if (c.list_->tree != tree) return false;
    xmlNodePtr node = c.list_->nodes[static_cast<size_t>(c.index_)];
    // Deleted already: Delete does nothing either.
    if (!node->parent) continue;
    if (node->type != XML_ELEMENT_NODE || node->parent->type != XML_ELEMENT_NODE) return false;
    nodes.push_back(node);
  }
  std::sort(nodes.begin(), nodes.end());
  if (std::string ansi; WritePlainDocumentLeavingOut(ansi, *tree, nodes, WrittenIn::kAnsi)) {
    text = std::move(ansi);
    return true;
  }
  std::string utf8;
  if (!WritePlainDocumentLeavingOut(utf8, *tree, nodes)) return false;
  text = Utf8ToAnsi(utf8);
  return true;
}

}  // namespace tarvelon
