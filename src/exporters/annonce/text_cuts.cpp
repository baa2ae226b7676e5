#include "exporters/annonce/text_cuts.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "platform/text.h"

namespace tarvelon {
namespace {

const std::string kRecordEnd = "</DataVO>";

struct Stretch {
  size_t begin = std::string::npos;
  size_t end = std::string::npos;  // one past the last character
};

// Where a marker occurs in [from, limit), or npos.
size_t FindBefore(const std::string& text, const std::string& marker, size_t from, size_t limit) {
  if (from >= limit) return std::string::npos;
  const size_t at = std::string_view(text).substr(from, limit - from).find(marker);
  return at == std::string::npos ? at : from + at;
}

// The end of the record that holds a position (the text's end outside
// records). Positions asked for only grow, so the text is read once.
class RecordLimits {
 public:
  explicit RecordLimits(const std::string& text) : text_(text) {}
  size_t For(size_t at) {
    if (at < searchedFrom_ || at > next_) {
      searchedFrom_ = at;
      const size_t end = text_.find(kRecordEnd, at);
      next_ = end == std::string::npos ? text_.size() : end;
    }
    return next_;
  }

 private:
  const std::string& text_;
  size_t searchedFrom_ = 1;
  size_t next_ = 0;
};

template <typename FindStretch>
std::string CutStretches(const std::string& text, FindStretch find) {
  std::string out;
  size_t pos = 0;
  while (true) {
    const Stretch s = find(pos);
    if (s.begin == std::string::npos) break;
    out.append(text, pos, s.begin - pos);
    pos = s.end;
  }
  out.append(text, pos, std::string::npos);
  return out;
}

}  // namespace

std::string CutWithinRecords(const std::string& text, const std::string& start, const std::string& end) {
  RecordLimits limits(text);
  return CutStretches(text, [&](size_t from) {
    for (size_t s = text.find(start, from); s != std::string::npos; s = text.find(start, s + 1)) {
      const size_t e = FindBefore(text, end, s + start.size(), limits.For(s));
      if (e != std::string::npos) return Stretch{s, e + end.size()};
    }
    return Stretch{};
  });
}

std::string CutElementRun(const std::string& text, const std::string& first, const std::string& last) {
  // The run may start at the first element written empty ("<first/>") as well.
  const std::string open = "<" + first + ">", openEmpty = "<" + first + "/>";
  const std::string close = "</" + last + ">", closeEmpty = "<" + last + "/>";
  const auto nextStart = [&](size_t from, size_t& length) {
    const size_t full = text.find(open, from), empty = text.find(openEmpty, from);
    length = empty < full ? openEmpty.size() : open.size();
    return std::min(full, empty);
  };
  RecordLimits limits(text);
  return CutStretches(text, [&](size_t from) {
    size_t openLength = 0;
    for (size_t s = nextStart(from, openLength); s != std::string::npos; s = nextStart(s + 1, openLength)) {
      const size_t limit = limits.For(s);
      const size_t e = FindBefore(text, close, s + openLength, limit);
      const size_t eEmpty = FindBefore(text, closeEmpty, s + openLength, limit);
      if (e != std::string::npos && e < eEmpty) return Stretch{s, e + close.size()};
      if (eEmpty != std::string::npos) return Stretch{s, eEmpty + closeEmpty.size()};
    }
    return Stretch{};
  });
}

std::string WrapPhotoSlots(const std::string& text, int slots) {
  const std::string opened = ReplaceAll(text, "<IDPHOTO1>", "<PHOTOS><PHOTO>", true);
  // Each record that received a first photo closes its PHOTOS block.
  std::string wrapped;
  size_t pos = 0;
  while (true) {
    const size_t close = FindIgnoringCase(opened, kRecordEnd, pos);
    if (close == std::string::npos) break;
    const bool hasPhotos = FindBefore(opened, "<PHOTOS><PHOTO>", pos, close) != std::string::npos;
    wrapped.append(opened, pos, close - pos);
    if (hasPhotos) wrapped += "</PHOTOS>";
    wrapped += kRecordEnd;
    pos = close + kRecordEnd.size();
  }
  wrapped.append(opened, pos, std::string::npos);

  // "IDPHOTO" + q + ">" becomes "PHOTO>" for every slot q from 1 to `slots`.
  std::string out;
  const std::string slotName = "IDPHOTO";
  pos = 0;
  for (size_t hit = FindIgnoringCase(wrapped, slotName); hit != std::string::npos;
       hit = FindIgnoringCase(wrapped, slotName, std::max(hit + 1, pos))) {
    size_t digitsEnd = hit + slotName.size();
    while (digitsEnd < wrapped.size() && std::isdigit(static_cast<unsigned char>(wrapped[digitsEnd]))) ++digitsEnd;
    const std::string digits = wrapped.substr(hit + slotName.size(), digitsEnd - hit - slotName.size());
    if (digits.empty() || digits[0] == '0' || digits.size() > 9 || digitsEnd >= wrapped.size() ||
        wrapped[digitsEnd] != '>' || std::stol(digits) > slots)
      continue;
    out.append(wrapped, pos, hit - pos);
    out += "PHOTO>";
    pos = digitsEnd + 1;
  }
  out.append(wrapped, pos, std::string::npos);
  return out;
}

std::string RemoveElement(const std::string& text, const std::string& name) {
  return ReplaceAll(CutWithinRecords(text, "<" + name + ">", "</" + name + ">"), "<" + name + "/>", "");
}

}  // namespace tarvelon
