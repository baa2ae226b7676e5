#include "stock/xml_cursor.h"

#include <libxml/tree.h>

#include <cstring>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/xml_cursor_tree.h"
#include "stock/xpath_values.h"

namespace tarvelon {
namespace {

const xmlChar* X(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }

bool IsAscii(const std::string& s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// The UTF-8 form of a Windows-1252 text: the text itself when it is ASCII.
const std::string& Utf8Of(const std::string& ansi, std::string& converted) {
  if (IsAscii(ansi)) return ansi;
  converted = AnsiToUtf8(ansi);
  return converted;
}

std::string ContentOf(xmlNodePtr node) {
  const char* direct = nullptr;
  if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
    direct = reinterpret_cast<const char*>(node->content);
  } else if (node->type == XML_ELEMENT_NODE || node->type == XML_ATTRIBUTE_NODE) {
    // The usual field: a leaf text, no child, or one text read in place.
    if (node->type == XML_ELEMENT_NODE && node->content) return Utf8ToAnsi(reinterpret_cast<const char*>(node->content));
    if (const xmlChar* value = AttributeValueOf(node)) return Utf8ToAnsi(reinterpret_cast<const char*>(value));
    xmlNodePtr only = node->children;
    if (!only) return std::string();
    if (!only->next && (only->type == XML_TEXT_NODE || only->type == XML_CDATA_SECTION_NODE))
      direct = reinterpret_cast<const char*>(only->content);
  }
  return direct ? Utf8ToAnsi(direct) : Utf8ToAnsi(TextOfNode(node));
}

void CheckName(const std::string& utf8Name, const char* what) {
  if (utf8Name.empty() || xmlValidateName(X(utf8Name), 0) != 0)
    throw Error(std::string("Invalid ") + what + " name : " + Utf8ToAnsi(utf8Name));
}

// A short text is kept inside its node, in the room of the attributes and
// namespaces a text node never has, as the parser keeps the texts it reads:
// a feed adds hundreds of thousands of one-letter values, and a block of
// their own would cost each more than its node's share.
constexpr size_t kTextInNode = 2 * sizeof(void*);

void StoreText(xmlNodePtr text, const std::string& utf8) {
  if (utf8.size() >= kTextInNode) {
    xmlNodeSetContent(text, X(utf8));
    return;
  }
  xmlNodeSetContent(text, nullptr);  // lets the previous text go
  auto* room = reinterpret_cast<xmlChar*>(&text->properties);
  std::memcpy(room, utf8.c_str(), utf8.size() + 1);
  text->content = room;
}

xmlNodePtr NewText(xmlDocPtr doc, const std::string& utf8) {
  xmlNodePtr text = xmlNewDocText(doc, nullptr);
  if (text) StoreText(text, utf8);
  return text;
}

// What a new element's tags add to the written text: "<name>" and "</name>".
size_t TagBytes(const std::string& utf8Name) { return 2 * utf8Name.size() + 5; }

// Moves every child of a node out of the tree (kept alive for other cursors).
void RetireChildren(XmlTree& tree, xmlNodePtr parent) {
  while (xmlNodePtr child = parent->children) {
    xmlUnlinkNode(child);
    tree.Retire(child);
  }
}

// The text of an element or attribute becomes one text node (none for an
// empty text); other nodes take the text as their content.
void ReplaceContent(xmlNodePtr target, const std::string& utf8) {
  XmlTree& tree = *XmlTree::Of(target);
  tree.Grew(utf8.size());
  switch (target->type) {
    case XML_ELEMENT_NODE: {
      tree.Touched(target);
      target->content = nullptr;  // a leaf text, replaced
      if (tree.TakeLeafText(target, utf8)) return;
      xmlNodePtr only = target->children;
      if (only && !only->next && only->type == XML_TEXT_NODE && !utf8.empty()) {
        StoreText(only, utf8);  // the common case: same node, new text
        return;
      }
      RetireChildren(tree, target);
      if (!utf8.empty()) xmlAddChild(target, NewText(target->doc, utf8));
      return;
    }
    case XML_ATTRIBUTE_NODE: {
      reinterpret_cast<xmlAttrPtr>(target)->psvi = nullptr;  // a kept value, replaced
      RetireChildren(tree, target);
      if (tree.TakeAttributeValue(reinterpret_cast<xmlAttrPtr>(target), utf8)) return;
      xmlNodePtr text = NewText(target->doc, utf8);
      text->parent = target;
      target->children = target->last = text;
      return;
    }
    case XML_TEXT_NODE:
      tree.Touched(target);
      StoreText(target, utf8);
      return;
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
      tree.Touched(target);
      xmlNodeSetContent(target, X(utf8));
      return;
    default:
      throw Error("This operation can not be performed on this type of node.");
  }
}

void SetAttributeOf(xmlNodePtr node, const std::string& name, const std::string& value) {
  if (node->type != XML_ELEMENT_NODE) throw Error("Attributes can only be set on an element.");
  std::string convertedName, convertedValue;
  const std::string& utf8Name = Utf8Of(name, convertedName);
  if (!IsPlainName(name)) CheckName(utf8Name, "attribute");  // a plain name is a valid one
  const std::string& utf8 = Utf8Of(value, convertedValue);
  XmlTree::Of(node)->Changed();
  for (xmlAttrPtr a = node->properties; a; a = a->next) {
    if (a->ns == nullptr && std::strcmp(reinterpret_cast<const char*>(a->name), utf8Name.c_str()) == 0) {
      ReplaceContent(reinterpret_cast<xmlNodePtr>(a), utf8);
      return;
    }
  }
  XmlTree::Of(node)->Grew(utf8Name.size() + 4);  // the value's own share comes with it
  if (xmlAttrPtr attribute = xmlNewProp(node, X(utf8Name), nullptr))
    ReplaceContent(reinterpret_cast<xmlNodePtr>(attribute), utf8);
}

}  // namespace

IXMLCursor::IXMLCursor() = default;

void IXMLCursor::MoveTo(int position) {
  index_ = -1;
  atEnd_ = true;
  if (!list_ || list_->nodes.empty()) return;
  const int count = static_cast<int>(list_->nodes.size());
  if (position < 0 || position >= count)
    throw Error("TXMLCursor.MoveTo - Index out of range: " + std::to_string(position) + "/" + std::to_string(count));
  index_ = position;
  atEnd_ = false;
}

// Where a load leaves the cursor: on the root element alone.
void IXMLCursor::ShowRoot(const std::shared_ptr<XmlTree>& tree) {
  list_ = std::make_shared<XmlNodeList>();
  list_->tree = tree;
  if (xmlNodePtr root = xmlDocGetRootElement(tree->doc())) list_->nodes.push_back(root);
  MoveTo(0);
}

void IXMLCursor::Load(const std::string& path) {
  std::shared_ptr<XmlTree> tree = ParseXmlFile(path);
  if (!document_) document_ = std::make_shared<XmlDocument>();
  document_->namespaces = tree->namespaces();
  document_->tree = tree;
  document_->savedBytes.clear();
  ShowRoot(tree);
}

void IXMLCursor::LoadXML(const std::string& text) {
  std::shared_ptr<XmlTree> tree = ParseXmlText(text, document_ ? document_->namespaces : NamespaceList());
  if (!document_) document_ = std::make_shared<XmlDocument>();
  document_->tree = tree;
  document_->savedBytes.clear();
  ShowRoot(tree);
}

void IXMLCursor::LoadXMLForSaving(const std::string& text) {
  if (!LoadXMLAsSaved(text)) LoadXML(text);
}

bool IXMLCursor::LoadXMLAsSaved(const std::string& text) {
  Release();
  std::string bytes;
  if (!SavedBytesOfText(text, bytes)) return false;
  if (!document_) document_ = std::make_shared<XmlDocument>();
  document_->savedBytes = std::move(bytes);
  return true;
}

IXMLCursor IXMLCursor::SelectFrom(const std::string& xpath, bool useIndex) const {
  IXMLCursor result;
  result.document_ = document_;
  if (!list_ || index_ < 0) return result;
  auto list = std::make_shared<XmlNodeList>();
  list->tree = list_->tree;
  list->nodes = SelectNodes(list_->nodes[static_cast<size_t>(index_)], AnsiToUtf8(xpath), useIndex);
  result.list_ = std::move(list);
  result.MoveTo(0);
  return result;
}

IXMLCursor IXMLCursor::Select(const std::string& xpath) const { return SelectFrom(xpath, true); }
IXMLCursor IXMLCursor::SelectByXPath(const std::string& xpath) const { return SelectFrom(xpath, false); }

IXMLCursor IXMLCursor::SelectWhereChildIs(const std::string& records, const std::string& child,
                                          const std::string& value) const {
  xmlNodePtr context = list_ && index_ >= 0 ? list_->nodes[static_cast<size_t>(index_)] : nullptr;
  XmlTree* tree = context && context->doc ? XmlTree::Of(context) : nullptr;
  std::string converted, convertedPath;
  const std::vector<xmlNodePtr>* found =
      tree && IsPlainName(child)
          ? tree->index().LookupText(context->doc, Utf8Of(records, convertedPath), child, Utf8Of(value, converted))
          : nullptr;
  if (!found) return Select(records + "[" + child + "=" + XPathLiteral(value) + "]");
  IXMLCursor result;
  result.document_ = document_;
  result.list_ = std::make_shared<XmlNodeList>();
  result.list_->tree = list_->tree;
  result.list_->nodes = *found;
  result.MoveTo(0);
  return result;
}

std::string IXMLCursor::ValueWhereChildIs(const std::string& records, const std::string& child,
                                          const std::string& value, const std::string& wanted) const {
  auto ask = [&] {
    IXMLCursor found = SelectWhereChildIs(records, child, value);
    return found.Eof() ? std::string() : found.GetValue(wanted);
  };
  xmlNodePtr context = list_ && index_ >= 0 ? list_->nodes[static_cast<size_t>(index_)] : nullptr;
  XmlTree* tree = context && context->doc ? XmlTree::Of(context) : nullptr;
  XmlLookupIndex::Answers* answers = tree ? tree->index().AnswersFor(records, child, wanted) : nullptr;
  if (!answers) return ask();
  auto known = answers->find(value);
  if (known != answers->end()) return known->second;
  // Asking changes nothing in the tree: the answers stay valid.
  return answers->emplace(value, ask()).first->second;
}

bool IXMLCursor::Eof() const { return atEnd_ || index_ == -1; }

void IXMLCursor::Next() {
  if (!list_ || static_cast<int>(list_->nodes.size()) == index_ + 1) {
    atEnd_ = true;
    return;
  }
  ++index_;
}

std::string IXMLCursor::GetValue(const std::string& path) const {
  if (!list_ || index_ < 0) return "";
  xmlNodePtr node = list_->nodes[static_cast<size_t>(index_)];
  // A child's name alone (ASCII, so the same in UTF-8): the first child of
  // that name, as SetValue finds it.
  xmlNodePtr target = node->type == XML_ELEMENT_NODE && IsPlainName(path)
                          ? XmlTree::Of(node)->FirstChildNamed(node, path.c_str())
                          : SelectFirst(node, AnsiToUtf8(path));
  return target ? ContentOf(target) : std::string();
}

void IXMLCursor::SetValue(const std::string& name, const std::string& text) {
  if (!list_ || index_ < 0) return;
  xmlNodePtr node = list_->nodes[static_cast<size_t>(index_)];
  if (!name.empty() && name[0] == '@') {
    SetAttributeOf(node, name.substr(1), text);
    return;
  }
  XmlTree& tree = *XmlTree::Of(node);
  // A plain name is ASCII and a valid element name as it stands.
  const bool plainChild = node->type == XML_ELEMENT_NODE && IsPlainName(name);
  std::string converted;
  xmlNodePtr target = plainChild ? tree.FirstChildNamed(node, name.c_str()) : SelectFirst(node, Utf8Of(name, converted));
  if (!target) {
    const std::string& utf8Name = plainChild ? name : Utf8Of(name, converted);
    if (!plainChild) CheckName(utf8Name, "element");
    if (node->type != XML_ELEMENT_NODE) throw Error("This operation can not be performed on this type of node.");
    tree.GiveTextNode(node);
    target = xmlNewDocNode(node->doc, nullptr, X(utf8Name), nullptr);
    xmlAddChild(node, target);
    tree.ChildAppended(node, target);
    tree.Grew(TagBytes(utf8Name));
  }
  std::string convertedText;
  ReplaceContent(target, Utf8Of(text, convertedText));
}

void IXMLCursor::SetAttribute(const std::string& name, const std::string& text) {
  if (!list_ || index_ < 0) return;
  SetAttributeOf(list_->nodes[static_cast<size_t>(index_)], name, text);
}

IXMLCursor IXMLCursor::AppendChild(const std::string& name, const std::string& text) {
  std::string convertedName, convertedText;
  const std::string& utf8Name = Utf8Of(name, convertedName);
  const std::string& utf8Text = Utf8Of(text, convertedText);
  IXMLCursor result;
  if (!document_) {
    CheckName(utf8Name, "element");
    xmlDocPtr doc = xmlNewDoc(X("1.0"));
    xmlNodePtr root = xmlNewDocNode(doc, nullptr, X(utf8Name), nullptr);
    xmlDocSetRootElement(doc, root);
    if (!utf8Text.empty()) xmlAddChild(root, NewText(doc, utf8Text));
    document_ = std::make_shared<XmlDocument>();
    document_->tree = std::make_shared<XmlTree>(doc, false, NamespaceList());
    result.document_ = document_;
    result.list_ = std::make_shared<XmlNodeList>();
    result.list_->tree = document_->tree;
    result.list_->nodes.push_back(root);
    result.MoveTo(0);
    return result;
  }
  if (!list_ || index_ < 0) throw Error("TXMLCursor.AppendChild - EOF");
  xmlNodePtr parent = list_->nodes[static_cast<size_t>(index_)];
  if (!IsPlainName(name)) CheckName(utf8Name, "element");  // a plain name is a valid one
  if (parent->type == XML_DOCUMENT_NODE) {
    if (xmlDocGetRootElement(reinterpret_cast<xmlDocPtr>(parent)))
      throw Error("Only one top level element is allowed in an XML document.");
  } else if (parent->type != XML_ELEMENT_NODE) {
    throw Error("This operation can not be performed on this type of node.");
  }
  list_->tree->GiveTextNode(parent);
  xmlNodePtr element = xmlNewDocNode(parent->doc, nullptr, X(utf8Name), nullptr);
  if (!utf8Text.empty() && !list_->tree->TakeLeafText(element, utf8Text))
    xmlAddChild(element, NewText(parent->doc, utf8Text));
  xmlAddChild(parent, element);
  list_->tree->ChildAppended(parent, element);
  list_->tree->Touched(element);
  list_->tree->Grew(TagBytes(utf8Name) + utf8Text.size());

  result.document_ = document_;
  result.list_ = std::make_shared<XmlNodeList>();
  result.list_->tree = list_->tree;
  // The list of all the parent's children, positioned on the new last one.
  result.list_->nodes.push_back(element);
  result.list_->notKeptBefore = list_->tree->ChildCountAfterAppend(parent, element) - 1;
  result.MoveTo(0);
  return result;
}

void IXMLCursor::Delete() {
  if (!list_ || index_ < 0) return;
  xmlNodePtr node = list_->nodes[static_cast<size_t>(index_)];
  // Already out of the tree (deleted through another cursor), or not a node
  // that a document can lose: nothing to do.
  if (!node->parent || node->type == XML_DOCUMENT_NODE || node->type == XML_DTD_NODE) return;
  list_->tree->Touched(node);
  list_->tree->Unlinking(node);
  xmlUnlinkNode(node);
  list_->tree->Retire(node);
}

std::string IXMLCursor::GetXML() const {
  if (!list_ || index_ < 0) return "";
  xmlNodePtr node = list_->nodes[static_cast<size_t>(index_)];
  bool whole = node->type == XML_DOCUMENT_NODE || (node->parent && node->parent->type == XML_DOCUMENT_NODE);
  return whole ? SerializeDocumentAnsi(*list_->tree) : SerializeNodeAnsi(node);
}

void IXMLCursor::Save(const std::string& path) const { SaveEach({path}); }

void IXMLCursor::SaveAndReload(const std::string& path) {
  Save(path);
  if (!document_ || !document_->tree || !SettleAsReloaded(*document_->tree)) {
    Load(path);
    return;
  }
  std::shared_ptr<XmlTree> tree = document_->tree;
  document_->namespaces = tree->namespaces();
  ShowRoot(tree);
}

void IXMLCursor::LoadSaved(const IXMLCursor& source, const std::string& savedPath) {
  const XmlTree* from = source.document_ ? source.document_->tree.get() : nullptr;
  if (from) from->SpreadLeafTexts();  // libxml2 copies text nodes only
  xmlDocPtr copy = from ? xmlCopyDoc(from->doc(), 1) : nullptr;
  if (!copy) {
    Load(savedPath);
    return;
  }
  auto tree = std::make_shared<XmlTree>(copy, from->hasDeclaration(), from->namespaces());
  tree->SetSizeHint(from->sizeHint());
  if (!SettleAsReloaded(*tree)) {
    Load(savedPath);
    return;
  }
  if (!document_) document_ = std::make_shared<XmlDocument>();
  document_->namespaces = tree->namespaces();
  document_->tree = tree;
  ShowRoot(tree);
}

void IXMLCursor::LoadXMLReleasing(const std::string& text) {
  Release();
  LoadXML(text);
}

void IXMLCursor::Release() {
  if (document_) {
    document_->tree.reset();
    document_->savedBytes.clear();
  }
  list_.reset();
  index_ = -1;
  atEnd_ = true;
}

void IXMLCursor::SaveEach(const std::vector<std::string>& paths) const {
  if (!document_ || (!document_->tree && document_->savedBytes.empty())) return;
  std::string encodedHere;
  const std::string* bytes = document_->tree ? nullptr : &document_->savedBytes;
  for (const std::string& path : paths) {
    const std::string folder = FolderOf(path);
    if (folder.empty()) throw Error("Cannot Create Blank Directory");
    try {
      CreateFolders(folder);
      if (!bytes) bytes = &(encodedHere = EncodeDocument(*document_->tree));
      WriteFileBytes(path, *bytes);
    } catch (const Error& e) {
      throw Error("TXMLCursor.Save FileName: \"" + path + "\"\r\n" + e.text());
    }
  }
}

int IXMLCursor::Count() const {
  return list_ ? static_cast<int>(list_->notKeptBefore + list_->nodes.size()) : 0;
}

}  // namespace tarvelon
