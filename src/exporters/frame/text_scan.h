#pragma once
// The searches the text passes are built on: markers over a whole document
// text, record limits, tag-by-tag end searches, and the cutting of found
// stretches. Only the text passes (text_cuts.cpp) use them.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelon::text_scan {


// The next "<" at or after `from` whose following byte the table marks (the
// first letters of the tags a pass looks for), or npos.
inline size_t NextTagStart(const std::string& text, size_t from, const bool (&marked)[256]) {
  const char* const data = text.data();
  while (from < text.size()) {
    const void* lt = std::memchr(data + from, '<', text.size() - from);
    if (!lt) break;
    const size_t at = static_cast<size_t>(static_cast<const char*>(lt) - data);
    if (at + 1 < text.size() && marked[static_cast<unsigned char>(data[at + 1])]) return at;
    from = at + 1;
  }
  return std::string::npos;
}

inline const std::string kRecordEnd = "</DataVO>";

struct Stretch {
  size_t begin = std::string::npos;
  size_t end = std::string::npos;  // one past the last character
};

// One marker searched for over the whole document text: Boyer-Moore-Horspool
// skips ahead by the marker's length where a plain search stops at every "<".
class Marker {
 public:
  explicit Marker(std::string marker) : marker_(std::move(marker)), searcher_(marker_.begin(), marker_.end()) {}
  Marker(const Marker&) = delete;  // the searcher points into marker_
  Marker& operator=(const Marker&) = delete;

  // Where the marker occurs in [from, limit), or npos.
  size_t In(const std::string& text, size_t from, size_t limit) const {
    if (from >= limit || limit - from < marker_.size()) return std::string::npos;
    const auto first = text.cbegin() + static_cast<std::ptrdiff_t>(from);
    const auto last = text.cbegin() + static_cast<std::ptrdiff_t>(limit);
    const auto at = std::search(first, last, searcher_);
    return at == last ? std::string::npos : static_cast<size_t>(at - text.cbegin());
  }
  size_t In(const std::string& text, size_t from) const { return In(text, from, text.size()); }
  size_t size() const { return marker_.size(); }

 private:
  const std::string marker_;
  const std::boyer_moore_horspool_searcher<std::string::const_iterator> searcher_;
};

// The end of the record that holds a position (the text's end outside
// records). Positions asked for only grow, so the text is read once.
class RecordLimits {
 public:
  explicit RecordLimits(const std::string& text) : text_(text), recordEnd_(kRecordEnd) {}
  size_t For(size_t at) {
    if (at < searchedFrom_ || at > next_) {
      searchedFrom_ = at;
      const size_t end = recordEnd_.In(text_, at);
      next_ = end == std::string::npos ? text_.size() : end;
    }
    return next_;
  }

 private:
  const std::string& text_;
  const Marker recordEnd_;
  size_t searchedFrom_ = 1;
  size_t next_ = 0;
};

// Cuts the stretches `find` gives, in the text itself: what stays moves
// forward over what is cut. `find` only ever reads at or after the position
// it is given, which is never behind what has been moved.
template <typename FindStretch>
void CutStretchesInPlace(std::string& text, FindStretch find) {
  size_t kept = 0, pos = 0;
  while (true) {
    const Stretch s = find(pos);
    if (s.begin == std::string::npos) break;
    if (kept != pos) std::memmove(&text[kept], text.data() + pos, s.begin - pos);
    kept += s.begin - pos;
    pos = s.end;
  }
  if (kept == pos) return;
  std::memmove(&text[kept], text.data() + pos, text.size() - pos);
  text.resize(kept + text.size() - pos);
}

// A stretch of the text and what takes its place.
struct Edit {
  size_t begin = 0;
  size_t end = 0;  // one past the last character replaced
  std::string_view replacement;
};

// Makes the edits (in text order, none overlapping) in the text's own block
// when it has the room: the text is first moved up by the most any run of
// edits from the start grows it, so that what is written never overtakes
// what is still to be read. Without the room, one new block of the final
// size. A document text is tens of MB: a second block would take new pages.
inline void ApplyEdits(std::string& text, const std::vector<Edit>& edits) {
  if (edits.empty()) return;
  const size_t size = text.size();
  size_t grown = 0, shrunk = 0, shift = 0;
  for (const Edit& e : edits) {
    grown += e.replacement.size();
    shrunk += e.end - e.begin;
    if (grown > shrunk) shift = std::max(shift, grown - shrunk);
  }
  const size_t finalSize = size + grown - shrunk;
  std::string fresh;
  const bool inPlace = size + shift <= text.capacity();
  const char* from = text.data();
  char* to = text.data();
  if (!inPlace) {
    fresh.resize(finalSize);
    to = fresh.data();
  } else if (shift > 0) {
    text.resize(size + shift);
    std::memmove(text.data() + shift, text.data(), size);
    from = text.data() + shift;
    to = text.data();
  }
  size_t written = 0, read = 0;
  for (const Edit& e : edits) {
    std::memmove(to + written, from + read, e.begin - read);
    written += e.begin - read;
    if (!e.replacement.empty()) std::memcpy(to + written, e.replacement.data(), e.replacement.size());
    written += e.replacement.size();
    read = e.end;
  }
  std::memmove(to + written, from + read, size - read);
  if (inPlace) text.resize(finalSize);
  else text = std::move(fresh);
}

inline bool IsAsciiLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

// The marker at `at`; with `ignoreCase`, its ASCII letters in either case
// (which is what FindIgnoringCase makes of a marker of ASCII bytes).
inline bool IsAt(const std::string& text, size_t at, std::string_view marker, bool ignoreCase = false) {
  if (at > text.size() || text.size() - at < marker.size()) return false;
  const char* const p = text.data() + at;
  if (!ignoreCase) return std::memcmp(p, marker.data(), marker.size()) == 0;
  for (size_t k = 0; k < marker.size(); ++k) {
    const unsigned char a = static_cast<unsigned char>(p[k]), b = static_cast<unsigned char>(marker[k]);
    if (a != b && (!IsAsciiLetter(b) || (a | 0x20) != (b | 0x20))) return false;
  }
  return true;
}

// Where one of a few markers may start: the next place whose bytes, for the
// length of the shortest marker, begin one of them. The two bytes that end
// that window tell how far it may move on without passing a marker (Wu and
// Manber's shift, from a table of pairs folded onto 13 bits); most byte
// pairs of an extract occur in no marker, so the window moves on by nearly
// its length at each step, where a search for each marker would read the
// text once per marker.
class MarkerScan {
 public:
  struct Wanted {
    std::string marker;  // two bytes at least
    bool ignoreCase = false;
  };

  explicit MarkerScan(std::vector<Wanted> wanted) : wanted_(std::move(wanted)) {
    window_ = kMaxWindow;
    for (const Wanted& w : wanted_) window_ = std::min(window_, w.marker.size());
    std::memset(shift_, static_cast<int>(window_ - 1), sizeof shift_);
    for (const Wanted& w : wanted_) {
      for (size_t k = 0; k + 1 < window_; ++k) {
        for (const unsigned char x : Cases(static_cast<unsigned char>(w.marker[k]), w.ignoreCase))
          for (const unsigned char y : Cases(static_cast<unsigned char>(w.marker[k + 1]), w.ignoreCase)) {
            unsigned char& s = shift_[Pair(x, y)];
            s = std::min<unsigned char>(s, static_cast<unsigned char>(window_ - 2 - k));
          }
      }
      const std::vector<unsigned char> first = Cases(static_cast<unsigned char>(w.marker[0]), w.ignoreCase);
      firsts_.push_back({first.front(), first.back()});
    }
  }

  // The first place at or after `from` where a marker may start, or npos:
  // no marker starts in between.
  size_t Next(const std::string& text, size_t from) const {
    const size_t m = window_;
    if (text.size() < m || from > text.size() - m) return std::string::npos;
    const unsigned char* const data = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* const pairs = data + m - 2;  // the pair ending the window at `at` starts at pairs + at
    const size_t last = text.size() - m;
    size_t at = from;
    // Away from the end three steps go unchecked: none can pass the last
    // window, and a step of none leaves the window where it is.
    // One checked step: true when a marker starts at `at`.
    const auto found = [&] {
      const size_t s = shift_[Pair(pairs + at)];
      if (s != 0) {
        at += s;
        return false;
      }
      if (Starts(data + at)) return true;
      ++at;
      return false;
    };
    const size_t stride = 3 * (m - 1);
    if (last >= stride) {
      const size_t lastRoomy = last - stride;
      while (at <= lastRoomy) {
        at += shift_[Pair(pairs + at)];
        at += shift_[Pair(pairs + at)];
        at += shift_[Pair(pairs + at)];
        if (found()) return at;
      }
    }
    while (at <= last)
      if (found()) return at;
    return std::string::npos;
  }

 private:
  static constexpr size_t kMaxWindow = 255;  // shifts are bytes

  // Two bytes read as one, folded onto 13 bits.
  static size_t Pair(const unsigned char* p) {
    uint16_t both;
    std::memcpy(&both, p, sizeof both);
    return both & 0x1FFFu;
  }
  static size_t Pair(unsigned char a, unsigned char b) {
    const unsigned char both[2] = {a, b};
    return Pair(both);
  }

  // A marker's window at `p`.
  bool Starts(const unsigned char* p) const {
    for (size_t k = 0; k < wanted_.size(); ++k) {
      if (p[0] != firsts_[k][0] && p[0] != firsts_[k][1]) continue;
      const auto* const marker = reinterpret_cast<const unsigned char*>(wanted_[k].marker.data());
      size_t i = 1;
      if (wanted_[k].ignoreCase) {
        while (i < window_ && (p[i] == marker[i] || (IsAsciiLetter(marker[i]) && (p[i] | 0x20) == (marker[i] | 0x20))))
          ++i;
      } else {
        while (i < window_ && p[i] == marker[i]) ++i;
      }
      if (i == window_) return true;
    }
    return false;
  }

  // The byte and, for an ASCII letter whose case is ignored, its other case.
  static std::vector<unsigned char> Cases(unsigned char c, bool ignoreCase) {
    if (!ignoreCase || !IsAsciiLetter(c)) return {c};
    return {static_cast<unsigned char>(c | 0x20), static_cast<unsigned char>(c & ~0x20)};
  }

  std::vector<Wanted> wanted_;
  std::vector<std::array<unsigned char, 2>> firsts_;  // each marker's first byte in the cases it is found in
  size_t window_;
  unsigned char shift_[1 << 13];
};

// How a search for the end of an element within its record came out: the
// end found at `at`, the text going on at `past`; or none (`at` npos) before
// the record's end or the text's, at `past`.
struct EndSearch {
  size_t at = std::string::npos;
  size_t past = std::string::npos;
};

// The first `end` or `emptyEnd` at or after `from` that comes before the next
// record end, read tag by tag. For ends whose only "<" is their first byte:
// no end can then run over a record end, so one found before the record end
// lies within the record, as a search bounded by it would have it.
inline EndSearch EndInRecord(const std::string& text, size_t from, std::string_view end,
                             std::string_view emptyEnd = {}) {
  const char* const data = text.data();
  for (size_t at = from; at < text.size(); ++at) {
    const void* lt = std::memchr(data + at, '<', text.size() - at);
    if (!lt) break;
    at = static_cast<size_t>(static_cast<const char*>(lt) - data);
    if (IsAt(text, at, kRecordEnd)) return EndSearch{std::string::npos, at};
    if (IsAt(text, at, end)) return EndSearch{at, at + end.size()};
    if (!emptyEnd.empty() && IsAt(text, at, emptyEnd)) return EndSearch{at, at + emptyEnd.size()};
  }
  return EndSearch{std::string::npos, text.size()};
}

}  // namespace tarvelon::text_scan
