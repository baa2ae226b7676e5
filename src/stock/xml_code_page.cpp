#include "stock/xml_code_page.h"

#include <libxml/encoding.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>

#include "platform/text.h"

namespace tarvelon {
namespace {

bool Unassigned(unsigned char c) { return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D; }

// The byte of a code point, or -1 when the code page has none.
int ByteOf(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  if (cp <= 0x9F) return -1;  // C1 controls: their bytes stand for other characters
  const unsigned char byte = static_cast<unsigned char>(CodePointToAnsi(cp));
  return byte >= 0x80 && byte <= 0x9F && !Unassigned(byte) ? byte : -1;
}

}  // namespace

int DecodeWindows1252(unsigned char* out, int* outlen, const unsigned char* in, int* inlen) {
  unsigned char* o = out;
  unsigned char* const oEnd = out + *outlen;
  const unsigned char* i = in;
  const unsigned char* const iEnd = in + *inlen;
  int result = 0;
  while (i < iEnd) {
    // A run of ASCII is copied whole, found eight bytes at a time.
    const unsigned char* const limit = i + std::min(iEnd - i, oEnd - o);
    const unsigned char* run = i;
    for (std::uint64_t word; limit - run >= 8; run += 8) {
      std::memcpy(&word, run, 8);
      if (word & 0x8080808080808080u) break;
    }
    while (run < limit && *run < 0x80) ++run;
    std::memcpy(o, i, static_cast<size_t>(run - i));
    o += run - i;
    i = run;
    if (i == iEnd || o == oEnd) break;
    if (*i < 0x80) continue;
    if (Unassigned(*i)) {
      result = -2;
      break;
    }
    const char32_t cp = AnsiToCodePoint(*i);
    if (cp < 0x800) {
      if (oEnd - o < 2) break;
      *o++ = static_cast<unsigned char>(0xC0 | (cp >> 6));
    } else {
      if (oEnd - o < 3) break;
      *o++ = static_cast<unsigned char>(0xE0 | (cp >> 12));
      *o++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
    }
    *o++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    ++i;
  }
  *outlen = static_cast<int>(o - out);
  *inlen = static_cast<int>(i - in);
  return result < 0 ? result : *outlen;
}

int EncodeWindows1252(unsigned char* out, int* outlen, const unsigned char* in, int* inlen) {
  unsigned char* o = out;
  unsigned char* const oEnd = out + *outlen;
  const unsigned char* i = in;
  const unsigned char* const iEnd = in + *inlen;
  int result = 0;
  while (i < iEnd && o < oEnd) {
    const unsigned char lead = *i;
    if (lead < 0x80) {
      *o++ = lead;
      ++i;
      continue;
    }
    const int length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0) {
      result = -2;
      break;
    }
    if (iEnd - i < length) break;  // the rest of the character comes with the next call
    char32_t cp = lead & (0x7F >> length);
    bool wellFormed = true;
    for (int k = 1; k < length; ++k) {
      wellFormed = wellFormed && (i[k] & 0xC0) == 0x80;
      cp = (cp << 6) | (i[k] & 0x3F);
    }
    // An overlong form is no character, as for iconv.
    wellFormed = wellFormed && cp >= (length == 3 ? 0x800u : length == 4 ? 0x10000u : 0x80u);
    if (wellFormed && cp >= 0xE0000 && cp <= 0xE007F) {  // language tags: iconv drops them
      i += length;
      continue;
    }
    const int byte = wellFormed ? ByteOf(cp) : -1;
    if (byte < 0) {
      result = -2;
      break;
    }
    *o++ = static_cast<unsigned char>(byte);
    i += length;
  }
  *outlen = static_cast<int>(o - out);
  *inlen = static_cast<int>(i - in);
  return result < 0 ? result : *outlen;
}

void RegisterWindows1252CodePage() {
  static std::once_flag once;
  std::call_once(once, [] {
    // The library keeps the handlers for the life of the process.
    for (const char* name : {"WINDOWS-1252", "CP1252"}) xmlNewCharEncodingHandler(name, DecodeWindows1252, EncodeWindows1252);
  });
}

}  // namespace tarvelon
