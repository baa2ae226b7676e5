// Parsing of stock extracts and of edited document texts into XmlTree, with
// the cursor's error texts.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <regex>
#include <string_view>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/xml_code_page.h"
#include "stock/xml_cursor_leave_out.h"
#include "stock/xml_cursor_tree.h"

namespace tarvelon {

bool IsBlankText(const xmlChar* s) {
  if (!s) return true;
  for (; *s; ++s)
    if (*s != ' ' && *s != '\t' && *s != '\r' && *s != '\n') return false;
  return true;
}

namespace {

const char* const kCrLf = "\r\n";
const char* const kTextUrl = "(text)";

// Safe parsing: no network, entities stay references (never loaded from
// outside), no DTD loading, the library's default size and depth limits.
const int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOBLANKS | XML_PARSE_COMPACT;

struct ParserReport {
  bool set = false;
  bool fromInput = false;  // raised on the document itself (not inside an entity)
  int code = 0, line = 0, column = 0;
  std::string reason;  // UTF-8
  std::string url;     // what libxml2 knows the input as
};

// What a parse collects beside the tree: its first error, and the texts that
// were whitespace alone when the parser last added to them (the only ones
// that can end blank: a text that holds anything else never becomes blank).
struct ParseNotes {
  ParserReport report;
  std::vector<xmlNodePtr> blankTexts;
  bool onlyElementsAndTexts = true;  // no comment, PI, CDATA or entity reference met
  LeafTextStore leafTexts;
  bool dtd = false;  // entity content is copied by libxml2, which knows no leaf texts
};

void CollectError(void* userData, xmlErrorPtr error) {
  auto* ctxt = static_cast<xmlParserCtxtPtr>(userData);
  auto* notes = static_cast<ParseNotes*>(ctxt->_private);
  ParserReport* report = notes ? &notes->report : nullptr;
  if (!report || !error || error->level < XML_ERR_ERROR) return;
  bool fromInput = error->file && report->url == error->file;
  // The first error raised on the document's own text explains it best.
  if (report->set && (report->fromInput || !fromInput)) return;
  report->set = true;
  report->fromInput = fromInput;
  report->code = error->code;
  report->line = error->line;
  report->column = error->int2;
  report->reason = error->message ? error->message : "";
  while (!report->reason.empty() && (report->reason.back() == '\n' || report->reason.back() == '\r'))
    report->reason.pop_back();
}

bool IsValidUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = s[i];
    int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + extra >= s.size()) return false;
    for (int k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

// The offending line as program text. A very long line (a document written
// on one line) is cut to a window around the column.
std::string SourceLineText(std::string line, int column) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const size_t kMax = 1024;
  if (line.size() > kMax) {
    size_t from = column > static_cast<int>(kMax / 2) ? static_cast<size_t>(column) - kMax / 2 : 0;
    if (from > line.size()) from = line.size() > kMax ? line.size() - kMax : 0;
    line = line.substr(from, kMax);
  }
  for (char& c : line)
    if (c == '\0') c = '?';  // an error text ends at a NUL byte
  return IsValidUtf8(line) ? Utf8ToAnsi(line) : line;
}

std::string LineOfText(const std::string& text, int number) {
  size_t start = 0;
  for (int i = 1; i < number; ++i) {
    start = text.find('\n', start);
    if (start == std::string::npos) return "";
    ++start;
  }
  size_t end = text.find('\n', start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string LineOfFile(const std::string& hostPath, int number) {
  std::ifstream in(hostPath, std::ios::binary);
  std::string line;
  for (int i = 1; i <= number && std::getline(in, line); ++i) {
    if (i == number) return line;
  }
  return "";
}

std::string FormatReport(int code, int line, int column, const std::string& url, const std::string& srcText,
                         const std::string& reason) {
  return "Error " + std::to_string(code) + " on line " + std::to_string(line) + ", char " +
         std::to_string(column) + " in URL : \"" + url + "\"" + kCrLf + kCrLf + "srcText : " + srcText + kCrLf +
         kCrLf + "Reason : " + reason + kCrLf + kCrLf;
}

// Whether the bytes start with an XML declaration (after a byte-order mark).
bool StartsWithDeclaration(const char* p, size_t n) {
  auto at = [&](size_t i, const char* s, size_t step) {
    for (size_t k = 0; s[k]; ++k)
      if (i + k * step >= n || p[i + k * step] != s[k]) return false;
    return true;
  };
  auto blankAt = [&](size_t i) { return i < n && (p[i] == ' ' || p[i] == '\t' || p[i] == '\r' || p[i] == '\n'); };
  auto u = [](char c) { return static_cast<unsigned char>(c); };
  if (n >= 3 && u(p[0]) == 0xEF && u(p[1]) == 0xBB && u(p[2]) == 0xBF) return at(3, "<?xml", 1) && blankAt(8);
  if (n >= 2 && u(p[0]) == 0xFF && u(p[1]) == 0xFE) return at(2, "<?xml", 2) && blankAt(12);
  if (n >= 2 && u(p[0]) == 0xFE && u(p[1]) == 0xFF) return at(3, "<?xml", 2) && blankAt(13);
  if (n >= 2 && p[0] == '<' && p[1] == 0) return at(0, "<?xml", 2) && blankAt(10);
  if (n >= 2 && p[0] == 0 && p[1] == '<') return at(1, "<?xml", 2) && blankAt(11);
  return at(0, "<?xml", 1) && blankAt(5);
}

// Whitespace-only text is not kept (xml:space="preserve" excepted). The
// parser's own blank removal is a heuristic that keeps some of it.
void DropBlankText(xmlDocPtr doc) {
  std::vector<xmlNodePtr> pending{reinterpret_cast<xmlNodePtr>(doc)};
  while (!pending.empty()) {
    xmlNodePtr parent = pending.back();
    pending.pop_back();
    for (xmlNodePtr child = parent->children; child;) {
      xmlNodePtr next = child->next;
      if (child->type == XML_ELEMENT_NODE) {
        pending.push_back(child);
      } else if (child->type == XML_TEXT_NODE && IsBlankText(child->content) &&
                 xmlNodeGetSpacePreserve(parent) != 1) {
        xmlUnlinkNode(child);
        xmlFreeNode(child);
      }
      child = next;
    }
  }
}

// The same, knowing the only texts that can be blank. A document with a DTD
// may hold texts made outside the parser's character calls (entity content):
// it is walked whole.
void DropBlankText(xmlDocPtr doc, const std::vector<xmlNodePtr>& blankTexts) {
  if (doc->intSubset || doc->extSubset) return DropBlankText(doc);
  for (xmlNodePtr text : blankTexts) {
    if (text->type == XML_TEXT_NODE && text->parent && IsBlankText(text->content) &&
        xmlNodeGetSpacePreserve(text->parent) != 1) {
      xmlUnlinkNode(text);
      xmlFreeNode(text);
    }
  }
}

// The parser's own calls for what a tree of elements and texts lacks, noted.
ParseNotes& NotesOf(void* ctx) { return *static_cast<ParseNotes*>(static_cast<xmlParserCtxtPtr>(ctx)->_private); }
void NoteComment(void* ctx, const xmlChar* value) {
  NotesOf(ctx).onlyElementsAndTexts = false;
  xmlSAX2Comment(ctx, value);
}
void NoteInstruction(void* ctx, const xmlChar* target, const xmlChar* data) {
  NotesOf(ctx).onlyElementsAndTexts = false;
  xmlSAX2ProcessingInstruction(ctx, target, data);
}
void NoteCData(void* ctx, const xmlChar* value, int len) {
  NotesOf(ctx).onlyElementsAndTexts = false;
  xmlSAX2CDataBlock(ctx, value, len);
}
void NoteReference(void* ctx, const xmlChar* name) {
  NotesOf(ctx).onlyElementsAndTexts = false;
  xmlSAX2Reference(ctx, name);
}

// The parser's own end of an element, the element's one text kept in it.
void EndElementKeepingLeafText(void* ctx, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri) {
  auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
  xmlNodePtr element = ctxt->node;
  xmlSAX2EndElementNs(ctx, localName, prefix, uri);
  ParseNotes& notes = NotesOf(ctx);
  if (element && element->type == XML_ELEMENT_NODE && !notes.dtd)
    KeepLeafTextOf(element, notes.leafTexts, notes.blankTexts);
}

// The parser's own character call, then a note of the text it added to when
// that text is still blank. A text only grows while it is its parent's last
// child, so its notes come in a row: one is kept.
void CollectCharacters(void* ctx, const xmlChar* ch, int len) {
  xmlSAX2Characters(ctx, ch, len);
  auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
  xmlNodePtr last = ctxt->node ? ctxt->node->last : nullptr;
  if (!last || last->type != XML_TEXT_NODE || !IsBlankText(last->content)) return;
  auto& texts = static_cast<ParseNotes*>(ctxt->_private)->blankTexts;
  if (texts.empty() || texts.back() != last) texts.push_back(last);
}

NamespaceList RootNamespaces(xmlDocPtr doc) {
  NamespaceList list;
  xmlNodePtr root = xmlDocGetRootElement(doc);
  if (!root) return list;
  for (xmlNsPtr ns = root->nsDef; ns; ns = ns->next)
    if (ns->prefix && ns->href)
      list.emplace_back(reinterpret_cast<const char*>(ns->prefix), reinterpret_cast<const char*>(ns->href));
  return list;
}

// The encoding named by the declaration at the start of the text, or empty.
std::string DeclaredEncoding(const std::string& text) {
  if (!StartsWithDeclaration(text.data(), text.size())) return "";
  size_t end = text.find("?>");
  if (end == std::string::npos) return "";
  static const std::regex pattern(R"(encoding\s*=\s*["']([A-Za-z0-9._:-]+)["'])");
  std::smatch match;
  std::string declaration = text.substr(0, end);
  if (std::regex_search(declaration, match, pattern)) return match[1];
  return "";
}

// A document that names an outside DTD or declares an external entity is
// refused where it does so: such a reference is never loaded, and a value
// made of it would silently read as empty (or travel on in a saved feed).
void RefuseDeclaration(void* userData, const char* what, const xmlChar* name, const xmlChar* systemId) {
  auto* ctxt = static_cast<xmlParserCtxtPtr>(userData);
  auto* notes = static_cast<ParseNotes*>(ctxt->_private);
  ParserReport* report = notes ? &notes->report : nullptr;
  if (report && !report->set) {
    report->set = report->fromInput = true;
    report->code = XML_IO_NETWORK_ATTEMPT;
    report->line = ctxt->input ? ctxt->input->line : 0;
    report->column = ctxt->input ? ctxt->input->col : 0;
    report->reason = std::string(what) + " refused: " + (name ? reinterpret_cast<const char*>(name) : "") +
                     (systemId ? std::string(" \"") + reinterpret_cast<const char*>(systemId) + "\"" : "");
  }
  ctxt->wellFormed = 0;
  xmlStopParser(ctxt);
}

void InternalSubset(void* ctx, const xmlChar* name, const xmlChar* publicId, const xmlChar* systemId) {
  NotesOf(ctx).dtd = true;
  if (publicId || systemId) return RefuseDeclaration(ctx, "External DTD", name, systemId ? systemId : publicId);
  xmlSAX2InternalSubset(ctx, name, publicId, systemId);
}

void EntityDecl(void* ctx, const xmlChar* name, int type, const xmlChar* publicId, const xmlChar* systemId,
                xmlChar* content) {
  if (type != XML_INTERNAL_GENERAL_ENTITY && type != XML_INTERNAL_PARAMETER_ENTITY)
    return RefuseDeclaration(ctx, "External entity", name, systemId ? systemId : publicId);
  xmlSAX2EntityDecl(ctx, name, type, publicId, systemId, content);
}

void UnparsedEntityDecl(void* ctx, const xmlChar* name, const xmlChar*, const xmlChar* systemId, const xmlChar*) {
  RefuseDeclaration(ctx, "External entity", name, systemId);
}

class ParserContext {
 public:
  explicit ParserContext(const std::string& url) {
    PrepareXmlLibrary();
    RegisterWindows1252CodePage();
    notes_.report.url = url;
    ctxt_ = xmlNewParserCtxt();
    if (!ctxt_) throw Error("XML parser: out of memory");
    ctxt_->_private = &notes_;
    ctxt_->sax->characters = CollectCharacters;
    ctxt_->sax->endElementNs = EndElementKeepingLeafText;
    ctxt_->sax->comment = NoteComment;
    ctxt_->sax->processingInstruction = NoteInstruction;
    ctxt_->sax->cdataBlock = NoteCData;
    ctxt_->sax->reference = NoteReference;
    ctxt_->sax->serror = CollectError;
    ctxt_->sax->internalSubset = InternalSubset;
    ctxt_->sax->entityDecl = EntityDecl;
    ctxt_->sax->unparsedEntityDecl = UnparsedEntityDecl;
  }
  ~ParserContext() { xmlFreeParserCtxt(ctxt_); }
  xmlParserCtxtPtr get() { return ctxt_; }
  const ParserReport& report() const { return notes_.report; }
  const std::vector<xmlNodePtr>& blankTexts() const { return notes_.blankTexts; }
  LeafTextStore& leafTexts() { return notes_.leafTexts; }
  // A tree of elements and texts alone, without a DTD, as reading its saved text gives.
  bool AsReadAgain(xmlDocPtr doc) const { return notes_.onlyElementsAndTexts && !doc->intSubset && !doc->extSubset; }

 private:
  ParseNotes notes_;
  xmlParserCtxtPtr ctxt_;
};

}  // namespace

namespace {

// Bytes a reader refuses: control characters other than TAB, LF and CR, and
// the non-characters U+FFFE and U+FFFF.
bool ReadableByte(const xmlChar* s) {
  if (*s < 0x20 && *s != '\t' && *s != '\n' && *s != '\r') return false;
  return !(*s == 0xEF && s[1] == 0xBF && (s[2] == 0xBE || s[2] == 0xBF));
}

bool SettleElement(XmlTree& tree, xmlNodePtr element) {
  for (xmlAttrPtr a = element->properties; a; a = a->next)
    for (xmlNodePtr v = a->children; v; v = v->next)
      if (v->type != XML_TEXT_NODE || !ReadableText(v->content)) return false;
  for (xmlNodePtr child = element->children; child;) {
    if (child->type == XML_ELEMENT_NODE) {
      child = child->next;
      continue;
    }
    if (child->type != XML_TEXT_NODE || child->name == xmlStringTextNoenc || !ReadableText(child->content))
      return false;
    // A run of texts is read back as one text.
    while (xmlNodePtr next = child->next) {
      if (next->type != XML_TEXT_NODE || next->name == xmlStringTextNoenc || !ReadableText(next->content)) break;
      tree.Touched(element);
      xmlNodeAddContent(child, next->content);
      xmlUnlinkNode(next);
      tree.Retire(next);
    }
    xmlNodePtr after = child->next;
    if (IsBlankText(child->content) && xmlNodeGetSpacePreserve(element) != 1) {
      tree.Touched(element);
      xmlUnlinkNode(child);
      tree.Retire(child);
    }
    child = after;
  }
  return true;
}

// The document's top-level elements, unless reading its saved text could
// give another document whatever its content: an encoding without a
// declaration, root namespaces unlike the tree's own, a top-level node that
// is no element.
bool ReloadableTopElements(const XmlTree& tree, std::vector<xmlNodePtr>& elements) {
  xmlDocPtr doc = tree.doc();
  if (doc->encoding && !tree.hasDeclaration()) return false;
  if (RootNamespaces(doc) != tree.namespaces()) return false;
  for (xmlNodePtr child = doc->children; child; child = child->next) {
    if (child->type != XML_ELEMENT_NODE) return false;
    elements.push_back(child);
  }
  return true;
}

}  // namespace

bool ReadableText(const xmlChar* s) {
  if (!s) return true;
  const size_t n = std::strlen(reinterpret_cast<const char*>(s));
  // Eight bytes at a time; only a word holding a control byte or 0xEF is
  // looked at byte by byte.
  constexpr uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
  size_t i = 0;
  for (uint64_t w; n - i >= 8; i += 8) {
    std::memcpy(&w, s + i, 8);
    const uint64_t ef = w ^ (kOnes * 0xEF);
    if ((((w - kOnes * 0x20) & ~w) | ((ef - kOnes) & ~ef)) & kHighs)
      for (size_t k = i; k < i + 8; ++k)
        if (!ReadableByte(s + k)) return false;
  }
  for (; i < n; ++i)
    if (!ReadableByte(s + i)) return false;
  return true;
}

bool SettleAsReloaded(XmlTree& tree) {
  std::vector<xmlNodePtr> pending;
  if (!ReloadableTopElements(tree, pending)) return false;
  if (tree.settled()) return true;  // nothing in it to settle
  while (!pending.empty()) {
    xmlNodePtr element = pending.back();
    pending.pop_back();
    if (!SettleElement(tree, element)) return false;
    for (xmlNodePtr child = element->children; child; child = child->next)
      if (child->type == XML_ELEMENT_NODE) pending.push_back(child);
  }
  return true;
}

bool IsSettledAsReloaded(const XmlTree& tree) {
  std::vector<xmlNodePtr> pending;
  if (!ReloadableTopElements(tree, pending)) return false;
  if (tree.settled()) return true;
  // What SettleAsReloaded refuses, joins or drops, found without changing anything.
  const auto keptText = [](xmlNodePtr n) {
    return n->type == XML_TEXT_NODE && n->name != xmlStringTextNoenc && ReadableText(n->content);
  };
  while (!pending.empty()) {
    xmlNodePtr element = pending.back();
    pending.pop_back();
    for (xmlAttrPtr a = element->properties; a; a = a->next)
      for (xmlNodePtr v = a->children; v; v = v->next)
        if (v->type != XML_TEXT_NODE || !ReadableText(v->content)) return false;
    for (xmlNodePtr child = element->children; child; child = child->next) {
      if (child->type == XML_ELEMENT_NODE) {
        pending.push_back(child);
        continue;
      }
      if (!keptText(child) || (child->next && keptText(child->next))) return false;
      if (IsBlankText(child->content) && xmlNodeGetSpacePreserve(element) != 1) return false;
    }
  }
  return true;
}

std::shared_ptr<XmlTree> ParseXmlFile(const std::string& path) {
  const std::string host = HostPath(path);
  if (!FileExists(path)) {
    throw Error("TXMLCursor.Load FileName[" + path + "] does not exists" + kCrLf +
                FormatReport(XML_IO_ENOENT, 0, 0, path, "", SystemErrorText(ENOENT)));
  }
  const std::string prefix = "TXMLCursor.Load FileName: \"" + path + "\"" + kCrLf + "from TXMLCursor.Load - " +
                             path + " --- ";
  int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw Error(prefix + FormatReport(XML_IO_LOAD_ERROR, 0, 0, path, "", SystemErrorText(errno)));
  char head[16];
  ssize_t got = ::pread(fd, head, sizeof head, 0);
  bool declaration = got > 0 && StartsWithDeclaration(head, static_cast<size_t>(got));
  struct stat st {};
  const size_t fileSize = ::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0;

  ParserContext parser(host);
  xmlDocPtr doc = xmlCtxtReadFd(parser.get(), fd, host.c_str(), nullptr, kParseOptions);
  ::close(fd);
  if (!doc || !parser.get()->wellFormed) {
    if (doc) xmlFreeDoc(doc);
    const ParserReport& r = parser.report();
    std::string source = r.line > 0 ? SourceLineText(LineOfFile(host, r.line), r.column) : "";
    throw Error(prefix + FormatReport(r.code, r.line, r.column, path, source, Utf8ToAnsi(r.reason)));
  }
  DropBlankText(doc, parser.blankTexts());
  NamespaceList namespaces = RootNamespaces(doc);
  auto tree = std::make_shared<XmlTree>(doc, declaration, std::move(namespaces));
  tree->AdoptLeafTexts(std::move(parser.leafTexts()));
  if (parser.AsReadAgain(doc)) tree->SetSettled();
  tree->SetSizeHint(fileSize);
  return tree;
}

namespace {

// The text handed to the parser as UTF-8 a piece at a time, so that neither
// the whole converted text nor the parser's own copy of it is held beside
// the tree being built (for a feed's edited document, three times its size).
class Utf8Feed {
 public:
  explicit Utf8Feed(const std::string& ansi) : ansi_(ansi) {}
  static int Read(void* feed, char* buffer, int len) { return static_cast<Utf8Feed*>(feed)->Give(buffer, len); }

 private:
  int Give(char* buffer, int len) {
    if (given_ == piece_.size()) {
      if (taken_ == ansi_.size()) return 0;
      const size_t take = std::min(kPiece, ansi_.size() - taken_);
      piece_ = AnsiToUtf8(std::string_view(ansi_).substr(taken_, take));
      taken_ += take;
      given_ = 0;
    }
    const size_t n = std::min(piece_.size() - given_, static_cast<size_t>(len > 0 ? len : 0));
    std::memcpy(buffer, piece_.data() + given_, n);
    given_ += n;
    return static_cast<int>(n);
  }

  static constexpr size_t kPiece = size_t(1) << 16;
  const std::string& ansi_;
  std::string piece_;
  size_t taken_ = 0, given_ = 0;
};

// The parser guesses an encoding from the first four bytes only when one of
// them is NUL; such a text is given whole and read as UTF-8, as always.
xmlDocPtr ReadAnsiText(xmlParserCtxtPtr ctxt, const std::string& ansiText) {
  const int options = kParseOptions | XML_PARSE_IGNORE_ENC;
  if (ansiText.substr(0, 4).find('\0') != std::string::npos) {
    const std::string utf8 = AnsiToUtf8(ansiText);
    return xmlCtxtReadMemory(ctxt, utf8.data(), static_cast<int>(utf8.size()), kTextUrl, "UTF-8", options);
  }
  Utf8Feed feed(ansiText);
  return xmlCtxtReadIO(ctxt, Utf8Feed::Read, nullptr, &feed, kTextUrl, nullptr, options);
}

}  // namespace

std::shared_ptr<XmlTree> ParseXmlText(const std::string& ansiText, const NamespaceList& namespaces) {
  // The text is already decoded: its declaration names the encoding of a
  // later Save, not of these bytes.
  ParserContext parser(kTextUrl);
  xmlDocPtr doc = ReadAnsiText(parser.get(), ansiText);
  if (!doc || !parser.get()->wellFormed) {
    if (doc) xmlFreeDoc(doc);
    const ParserReport& r = parser.report();
    std::string source = r.line > 0 ? SourceLineText(AnsiToUtf8(LineOfText(ansiText, r.line)), r.column) : "";
    throw Error("from TXMLCursor.LoadXML - " + ansiText + " --- " +
                FormatReport(r.code, r.line, r.column, "", source, Utf8ToAnsi(r.reason)));
  }
  std::string encoding = DeclaredEncoding(ansiText);
  if (doc->encoding) xmlFree(const_cast<xmlChar*>(doc->encoding));
  doc->encoding = encoding.empty() ? nullptr : xmlStrdup(reinterpret_cast<const xmlChar*>(encoding.c_str()));
  DropBlankText(doc, parser.blankTexts());
  auto tree = std::make_shared<XmlTree>(doc, StartsWithDeclaration(ansiText.data(), ansiText.size()), namespaces);
  tree->AdoptLeafTexts(std::move(parser.leafTexts()));
  if (parser.AsReadAgain(doc)) tree->SetSettled();
  tree->SetSizeHint(ansiText.size());
  return tree;
}

}  // namespace tarvelon
