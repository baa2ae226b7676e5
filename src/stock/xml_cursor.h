#pragma once
// IXMLCursor: a shared XML document, a list of its nodes selected by an XPath
// 1.0 expression, and a position in that list. Texts cross as Windows-1252;
// paths are logical paths (see HostPath). Every failure throws Error with the
// cursor's own text.
//
// GetXML of the root element gives the whole document: `<?xml version="1.0"?>`
// and a LF when the document has a declaration, then each top-level node
// followed by a LF; inside the root nothing stands between elements. Save
// writes the same in the encoding the declaration names (UTF-8 when none).
// Parsing never reaches outside: no DTD, no external entity, no network.
#include <memory>
#include <string>
#include <vector>

namespace tarvelon {

class XmlDocument;   // the shared document (libxml2) and its look-up index
struct XmlNodeList;  // the nodes of one selection
class XmlTree;       // one parsed document

class IXMLCursor {
 public:
  IXMLCursor();  // no document, no list, at Eof

  void Load(const std::string& path);
  void LoadXML(const std::string& text);
  IXMLCursor Select(const std::string& xpath) const;
  // The same selection, evaluated by the XPath engine alone (no look-up
  // index, no shortcut): the reference that tests and benchmarks compare with.
  IXMLCursor SelectByXPath(const std::string& xpath) const;
  // Select(records + "[" + child + "=" + XPathLiteral(value) + "]") for a
  // path of plain names from the root ("/a/b/C") and a plain child name,
  // without building or parsing an expression: the same records, through
  // the look-up index.
  IXMLCursor SelectWhereChildIs(const std::string& records, const std::string& child, const std::string& value) const;
  // SelectWhereChildIs(records, child, value).GetValue(wanted), "" when no
  // record has that value: each answer is kept with the tree and asked again
  // only once something on the path or inside a record has changed.
  std::string ValueWhereChildIs(const std::string& records, const std::string& child, const std::string& value,
                                const std::string& wanted) const;
  bool Eof() const;
  void Next();
  std::string GetValue(const std::string& path) const;
  void SetValue(const std::string& name, const std::string& text);
  void SetAttribute(const std::string& name, const std::string& text);
  IXMLCursor AppendChild(const std::string& name, const std::string& text);
  void Delete();
  std::string GetXML() const;
  void Save(const std::string& path) const;

  // Save, then what Load of that file gives, without reading it back when the
  // document in memory gives the same (its whitespace-only texts dropped and
  // neighbouring texts joined, as reading does).
  void SaveAndReload(const std::string& path);
  // Load of the file that `source` saved last, its document unchanged since:
  // a copy of that document, read from the file only when a copy would differ.
  void LoadSaved(const IXMLCursor& source, const std::string& savedPath);
  // LoadXML that lets the current tree go before the text is parsed, so that
  // the two are not held at once; when the text does not parse, the cursor
  // is left without a tree (its namespaces kept).
  void LoadXMLReleasing(const std::string& text);
  // Lets the document's tree go (its namespaces kept), the cursor at Eof: for
  // a document whose text alone is worked on until the next LoadXML. The
  // tree lives on while another cursor still lists its nodes.
  void Release();
  // Save to each path in turn, the document encoded once.
  void SaveEach(const std::vector<std::string>& paths) const;
  // LoadXMLReleasing of a text that is only to be saved: when the text is
  // already what saving its tree writes, no tree is built; Save and SaveEach
  // then write the text in the encoding it declares, and the cursor lists
  // nothing.
  void LoadXMLForSaving(const std::string& text);
  // Its first half: true when the text was taken without a tree; false, the
  // cursor released, when only LoadXML of it can tell what it saves.
  bool LoadXMLAsSaved(const std::string& text);

  int Count() const;  // nodes in the list (0 without a list)

  // True when LoadSaved of this document would take a copy equal to the
  // document as it stands: nothing in it for the copy to settle, nothing
  // that sends LoadSaved to the file.
  bool SavedCopyIsSame() const;
  // The text GetXML of the root gives once the current node of each cursor
  // of `leftOut` (selections of this document, elements below the root) is
  // deleted, while the document stays as it is. False, `text` untouched,
  // for what only libxml2 writes or a node it cannot leave out.
  bool GetXMLLeavingOut(const std::vector<IXMLCursor>& leftOut, std::string& text) const;

 private:
  IXMLCursor SelectFrom(const std::string& xpath, bool useIndex) const;
  void MoveTo(int position);
  void ShowRoot(const std::shared_ptr<XmlTree>& tree);

  std::shared_ptr<XmlDocument> document_;
  std::shared_ptr<XmlNodeList> list_;
  int index_ = -1;
  bool atEnd_ = true;
};

}  // namespace tarvelon
