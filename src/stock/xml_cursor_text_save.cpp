// Saving an edited text without parsing it. The feeds edit a document's
// text, load it and save it; when the text is already what the writer gives
// for the tree it parses into, the saved file is that text in the declared
// encoding, and the tree is not needed. The check below accepts only texts
// of which that is sure: one root element in the writer's own forms (a
// start tag's attributes as ` name="value"`, an element without content
// written `<name/>`, the writer's escapes and no others), no whitespace-only
// text (reading drops it), nothing the parser refuses or limits (control
// characters, duplicate attributes, namespaces, great depths or sizes).
// Anything else is loaded and saved as before.
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "stock/xml_cursor_tree.h"

namespace tarvelon {
namespace {

constexpr size_t kDeepest = 200;          // the parser refuses 256 levels
constexpr size_t kLongestName = 1000;     // and names of 50 000 characters
constexpr size_t kLongestRun = 1u << 20;  // and texts or values of 10 MB

class WriterForm {
 public:
  explicit WriterForm(std::string_view text) : s_(text) {}

  // One root element from `at`, then a LF and the end of the text.
  bool RootFrom(size_t at) {
    i_ = at;
    std::vector<std::string_view> open;
    bool justOpened = false;
    do {
      if (At('<') && At('/', 1)) {
        if (open.empty() || justOpened) return false;  // an empty element is written <name/>
        const std::string_view name = open.back();
        if (s_.substr(i_ + 2, name.size()) != name || !At('>', 2 + name.size())) return false;
        i_ += 3 + name.size();
        open.pop_back();
        justOpened = false;
      } else if (At('<')) {
        ++i_;
        std::string_view name;
        bool empty = false;
        if (!StartTag(name, empty)) return false;
        justOpened = !empty;
        if (!empty) open.push_back(name);
        if (open.size() > kDeepest) return false;
      } else {
        if (open.empty() || !Text()) return false;
        justOpened = false;
      }
    } while (!open.empty());
    return i_ + 1 == s_.size() && s_[i_] == '\n';
  }

 private:
  bool At(char c, size_t ahead = 0) const { return i_ + ahead < s_.size() && s_[i_ + ahead] == c; }
  unsigned char Byte() const { return static_cast<unsigned char>(s_[i_]); }

  bool Name(std::string_view& name) {
    const size_t from = i_;
    if (i_ >= s_.size() || !IsAsciiNameStart(Byte())) return false;
    while (i_ < s_.size() && IsAsciiNameChar(Byte())) ++i_;
    name = s_.substr(from, i_ - from);
    return name.size() <= kLongestName;
  }

  // After "<": the name, the attributes, then ">" or "/>".
  bool StartTag(std::string_view& name, bool& empty) {
    if (!Name(name)) return false;
    attributes_.clear();
    while (At(' ')) {
      ++i_;
      std::string_view attribute;
      if (!Name(attribute) || attribute == "xmlns") return false;
      for (std::string_view seen : attributes_)
        if (seen == attribute) return false;
      attributes_.push_back(attribute);
      if (!At('=') || !At('"', 1)) return false;
      i_ += 2;
      if (!Value()) return false;
    }
    empty = At('/');
    if (empty) ++i_;
    if (!At('>')) return false;
    ++i_;
    return true;
  }

  // Whether an escape the writer writes starts here; steps over it.
  bool Escape(bool inAttribute, bool& blank) {
    static const std::string_view kEverywhere[] = {"&lt;", "&gt;", "&amp;"};
    static const std::string_view kAttributeOnly[] = {"&quot;", "&#10;", "&#9;"};
    const std::string_view rest = s_.substr(i_);
    for (std::string_view e : kEverywhere)
      if (rest.substr(0, e.size()) == e) {
        i_ += e.size();
        blank = false;
        return true;
      }
    if (rest.substr(0, 5) == "&#13;") {  // a CR, blank to the reader
      i_ += 5;
      return true;
    }
    if (inAttribute)
      for (std::string_view e : kAttributeOnly)
        if (rest.substr(0, e.size()) == e) {
          i_ += e.size();
          return true;
        }
    return false;
  }

  // An attribute value up to its closing quote, which is stepped over.
  bool Value() {
    if (!Run(true) || !At('"')) return false;
    ++i_;
    return true;
  }

  // A text up to the next "<": not blank, in the writer's escapes.
  bool Text() { return Run(false) && i_ < s_.size(); }

  // Up to the end of an attribute value (`inAttribute`) or of a text: only
  // the bytes and escapes the writer leaves there, and a text not blank.
  bool Run(bool inAttribute) {
    const size_t from = i_;
    const char end = inAttribute ? '"' : '<';
    bool blank = true;
    while (i_ < s_.size() && !At(end)) {
      const unsigned char c = Byte();
      if (c == '&') {
        if (!Escape(inAttribute, blank)) return false;
        continue;
      }
      if (c == '<' || c == '>') return false;
      if (c < 0x20 && (inAttribute || (c != '\t' && c != '\n'))) return false;
      if (c != ' ' && c != '\t' && c != '\n') blank = false;
      ++i_;
    }
    return (inAttribute || !blank) && i_ - from <= kLongestRun;
  }

  std::string_view s_;
  size_t i_ = 0;
  std::vector<std::string_view> attributes_;
};

// The declaration the text starts with, in the forms the feeds write, and
// what follows it; `encoding` empty when it names none.
bool Declaration(std::string_view text, size_t& end, std::string& encoding) {
  const std::string_view plain = "<?xml version=\"1.0\"?>\n", named = "<?xml version=\"1.0\" encoding=\"";
  encoding.clear();
  end = 0;
  if (text.substr(0, 2) != "<?") return true;
  if (text.substr(0, plain.size()) == plain) {
    end = plain.size();
    return true;
  }
  if (text.substr(0, named.size()) != named) return false;
  size_t i = named.size();
  if (i >= text.size() || !((text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z'))) return false;
  while (i < text.size() && IsAsciiNameChar(static_cast<unsigned char>(text[i]))) ++i;
  encoding = std::string(text.substr(named.size(), i - named.size()));
  for (std::string_view close : {"\"?>\n", "\" ?>\n"})
    if (text.substr(i, close.size()) == close) {
      end = i + close.size();
      return true;
    }
  return false;
}

}  // namespace

bool SavedBytesOfText(const std::string& ansiText, std::string& bytes) {
  size_t rootAt = 0;
  std::string encoding;
  if (!Declaration(ansiText, rootAt, encoding) || !WriterForm(ansiText).RootFrom(rootAt)) return false;
  // What the tree's save writes: the declaration as the writer puts it, then
  // the root and its LF, encoded as declared.
  std::string out;
  if (rootAt > 0)
    out = encoding.empty() ? "<?xml version=\"1.0\"?>\n" : "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>\n";
  if (!EncodeAnsiText(out, std::string_view(ansiText).substr(rootAt), encoding.empty() ? nullptr : encoding.c_str()))
    return false;
  bytes = std::move(out);
  return true;
}

}  // namespace tarvelon
