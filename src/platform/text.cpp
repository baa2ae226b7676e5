#include "platform/text.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>

namespace tarvelon {
namespace {

// Code points of bytes 0x80..0x9F; the five unassigned bytes keep their C1 value.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

unsigned char UpperByte(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
  }
}

unsigned char LowerByte(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
  }
}

}  // namespace

char32_t AnsiToCodePoint(unsigned char c) {
  if (c >= 0x80 && c <= 0x9F) return kHighControls[c - 0x80];
  return c;
}

char CodePointToAnsi(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == cp) return static_cast<char>(0x80 + i);
  return '?';
}

namespace {

// Length of the run of ASCII bytes from `from`: copied as they are, whole.
// Eight bytes looked at together: documents are ASCII for the most part.
size_t AsciiRun(std::string_view in, size_t from) {
  size_t i = from;
  for (uint64_t word; in.size() - i >= 8; i += 8) {
    std::memcpy(&word, in.data() + i, 8);
    if (word & 0x8080808080808080ULL) break;
  }
  while (i < in.size() && static_cast<unsigned char>(in[i]) < 0x80) ++i;
  return i - from;
}

}  // namespace

std::string Utf8ToAnsi(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  size_t i = 0;
  while (i < in.size()) {
    if (const size_t run = AsciiRun(in, i); run > 0) {
      out.append(in.substr(i, run));
      i += run;
      continue;
    }
    unsigned char c = in[i];
    char32_t cp = 0;
    int extra = 0;
    if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; }
    else { out += '?'; ++i; continue; }
    if (i + extra >= in.size()) { out += '?'; ++i; continue; }
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      unsigned char d = in[i + k];
      if ((d & 0xC0) != 0x80) { valid = false; break; }
      cp = (cp << 6) | (d & 0x3F);
    }
    if (!valid) { out += '?'; ++i; continue; }
    out += CodePointToAnsi(cp);
    i += extra + 1;
  }
  return out;
}

std::string AnsiToUtf8(std::string_view in) {
  std::string out;
  out.reserve(in.size() + in.size() / 8);
  for (size_t i = 0; i < in.size();) {
    if (const size_t run = AsciiRun(in, i); run > 0) {
      out.append(in.substr(i, run));
      i += run;
      continue;
    }
    AppendUtf8(out, AnsiToCodePoint(static_cast<unsigned char>(in[i++])));
  }
  return out;
}

std::string AnsiUpper(std::string_view s) {
  std::string out(s);
  for (auto& c : out) c = static_cast<char>(UpperByte(static_cast<unsigned char>(c)));
  return out;
}

std::string AnsiLower(std::string_view s) {
  std::string out(s);
  for (auto& c : out) c = static_cast<char>(LowerByte(static_cast<unsigned char>(c)));
  return out;
}

std::string AsciiUpper(std::string_view s) {
  std::string out(s);
  for (auto& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperByte(a[i]) != UpperByte(b[i])) return false;
  return true;
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

bool StartsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }
bool EndsWith(std::string_view s, std::string_view p) {
  return s.size() >= p.size() && s.substr(s.size() - p.size()) == p;
}
bool Contains(std::string_view s, std::string_view p) { return s.find(p) != std::string_view::npos; }

namespace {

// UpperByte of every byte, looked up rather than computed in the search loops.
const std::array<unsigned char, 256>& UpperTable() {
  static const std::array<unsigned char, 256> table = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c) t[c] = UpperByte(static_cast<unsigned char>(c));
    return t;
  }();
  return table;
}

}  // namespace

namespace {

// Horspool over the upper-case forms: the byte under the pattern's last
// place tells how far the pattern may move on, so a search over a whole
// document reads about one byte in m. The table is made once per pattern,
// not once per hit.
class CaseIgnoringSearch {
 public:
  explicit CaseIgnoringSearch(std::string_view part) : part_(part), up_(UpperTable()) {
    const size_t m = part.size();
    shift_.fill(m);
    for (size_t k = 0; k + 1 < m; ++k) shift_[up_[static_cast<unsigned char>(part[k])]] = m - 1 - k;
  }

  // For a pattern that is not empty.
  size_t Find(std::string_view s, size_t from) const {
    const size_t m = part_.size();
    if (s.size() < m || from > s.size() - m) return std::string_view::npos;
    const size_t last = s.size() - m;
    for (size_t i = from; i <= last; i += shift_[up_[static_cast<unsigned char>(s[i + m - 1])]]) {
      size_t k = 0;
      while (k < m && up_[static_cast<unsigned char>(s[i + k])] == up_[static_cast<unsigned char>(part_[k])]) ++k;
      if (k == m) return i;
    }
    return std::string_view::npos;
  }

 private:
  std::string_view part_;
  const std::array<unsigned char, 256>& up_;
  std::array<size_t, 256> shift_;
};

// The occurrences of a part in a text, one after the other, ignoring case or not.
class Occurrences {
 public:
  Occurrences(std::string_view text, std::string_view part, bool ignoreCase) : text_(text), part_(part) {
    if (ignoreCase) search_.emplace(part);
  }
  size_t From(size_t at) const { return search_ ? search_->Find(text_, at) : text_.find(part_, at); }
  size_t Count() const {
    size_t count = 0;
    for (size_t at = From(0); at != std::string_view::npos; at = From(at + part_.size())) ++count;
    return count;
  }

 private:
  std::string_view text_, part_;
  std::optional<CaseIgnoringSearch> search_;
};

}  // namespace

size_t FindIgnoringCase(std::string_view s, std::string_view part, size_t from) {
  if (part.empty()) return from <= s.size() ? from : std::string_view::npos;
  return CaseIgnoringSearch(part).Find(s, from);
}

namespace {

// `s` with every occurrence `found` gives replaced by `to`, built in one
// block of `size` bytes.
std::string Rebuilt(std::string_view s, const Occurrences& found, size_t fromSize, std::string_view to, size_t size) {
  std::string out;
  out.reserve(size);
  size_t pos = 0;
  for (size_t hit = found.From(0); hit != std::string_view::npos; hit = found.From(pos)) {
    out.append(s.substr(pos, hit - pos));
    out.append(to);
    pos = hit + fromSize;
  }
  out.append(s.substr(pos));
  return out;
}

}  // namespace

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to, bool ignoreCase) {
  if (from.empty()) return std::string(s);
  const Occurrences found(s, from, ignoreCase);
  if (found.From(0) == std::string_view::npos) return std::string(s);
  // A text that grows is counted first: one block of its final size, not
  // one doubled when the last piece does not fit.
  const size_t growth = to.size() > from.size() ? found.Count() * (to.size() - from.size()) : 0;
  return Rebuilt(s, found, from.size(), to, s.size() + growth);
}

std::string ReplaceAllInText(std::string s, std::string_view from, std::string_view to, bool ignoreCase) {
  if (from.empty()) return s;
  const size_t size = s.size();
  size_t shift = 0;
  if (to.size() > from.size()) {
    // A text that grows is first moved up by its growth, when its block has
    // the room: what is written then stays behind what is read.
    const Occurrences counted(s, from, ignoreCase);
    shift = counted.Count() * (to.size() - from.size());
    if (shift == 0) return s;
    if (size + shift > s.capacity()) return Rebuilt(s, counted, from.size(), to, size + shift);
    s.resize(size + shift);
    std::memmove(s.data() + shift, s.data(), size);
  }
  // What is written stays behind what is read: the text ahead is as it was.
  const std::string_view text(s.data() + shift, size);
  const Occurrences found(text, from, ignoreCase);
  size_t written = 0, read = 0;
  for (size_t hit = found.From(0); hit != std::string_view::npos; hit = found.From(read)) {
    std::memmove(s.data() + written, text.data() + read, hit - read);
    written += hit - read;
    if (!to.empty()) std::memcpy(s.data() + written, to.data(), to.size());
    written += to.size();
    read = hit + from.size();
  }
  if (read == 0) return s;
  std::memmove(s.data() + written, text.data() + read, size - read);
  s.resize(written + size - read);
  return s;
}

bool TryParseInt(std::string_view s, long long& out) {
  if (s.empty()) return false;
  size_t i = 0;
  bool negative = false;
  if (s[0] == '+' || s[0] == '-') { negative = s[0] == '-'; i = 1; }
  if (i >= s.size()) return false;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    if (v > (std::numeric_limits<long long>::max() - 9) / 10) return false;
    v = v * 10 + (s[i] - '0');
  }
  out = negative ? -v : v;
  return true;
}

int ToIntDef(std::string_view s, int def) {
  long long v;
  if (!TryParseInt(s, v) || v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
    return def;
  return static_cast<int>(v);
}

std::string EscapeMarkup(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace tarvelon
