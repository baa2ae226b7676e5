// The cursor's own Windows-1252 conversions against iconv's, which they replace.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "platform/errors.h"
#include "platform/text.h"
#include "stock/xml_code_page.h"
#include "stock/xml_cursor.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

// What iconv makes of the bytes, or "refused".
std::string ByIconv(const char* to, const char* from, const std::string& bytes) {
  iconv_t cd = iconv_open(to, from);
  std::string out(bytes.size() * 4 + 4, '\0');
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size(), outLeft = out.size();
  char* o = out.data();
  const size_t done = iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  if (done == static_cast<size_t>(-1)) return "refused";
  out.resize(out.size() - outLeft);
  return out;
}

using Converter = int (*)(unsigned char*, int*, const unsigned char*, int*);

std::string ByOurs(Converter convert, const std::string& bytes) {
  std::string out(bytes.size() * 4 + 4, '\0');
  int outLen = static_cast<int>(out.size()), inLen = static_cast<int>(bytes.size());
  const int result = convert(reinterpret_cast<unsigned char*>(out.data()), &outLen,
                             reinterpret_cast<const unsigned char*>(bytes.data()), &inLen);
  if (result == -2) return "refused";
  EXPECT_EQ(inLen, static_cast<int>(bytes.size()));
  out.resize(static_cast<size_t>(outLen));
  return out;
}

std::string Utf8Of(char32_t cp) {
  std::string s;
  if (cp < 0x80) return std::string(1, static_cast<char>(cp));
  if (cp < 0x800) return {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
  if (cp < 0x10000)
    return {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
            static_cast<char>(0x80 | (cp & 0x3F))};
  return {static_cast<char>(0xF0 | (cp >> 18)), static_cast<char>(0x80 | ((cp >> 12) & 0x3F)),
          static_cast<char>(0x80 | ((cp >> 6) & 0x3F)), static_cast<char>(0x80 | (cp & 0x3F))};
}

TEST(Windows1252CodePage, EveryByteAndEveryCharacterAsIconvConvertsThem) {
  for (int byte = 1; byte < 256; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    EXPECT_EQ(ByOurs(DecodeWindows1252, one), ByIconv("UTF-8", "WINDOWS-1252", one)) << byte;
  }
  for (char32_t cp = 1; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    const std::string utf8 = Utf8Of(cp);
    ASSERT_EQ(ByOurs(EncodeWindows1252, utf8), ByIconv("WINDOWS-1252", "UTF-8", utf8)) << static_cast<unsigned>(cp);
  }
  // No character at all: overlong forms, stray or missing continuation bytes, bytes UTF-8 never uses.
  for (const std::string bad : {"\xC0\x80", "\xE0\x80\xA9", "\xF0\x80\x80\xA9", "\x80", "\xC3(", "\xE2\x82(", "\xFF"})
    EXPECT_EQ(ByOurs(EncodeWindows1252, bad), "refused");
}

TEST(Windows1252CodePage, StopsAtTheEndOfTheRoomAndBeforeACutCharacter) {
  std::string text;
  for (int round = 0; round < 50; ++round) text += "Prix : 12\x80 \x96 \x93\x8A\x9F\xE9t\xE9 ";
  const std::string whole = ByIconv("UTF-8", "WINDOWS-1252", text);
  // Pieces of every size the room allows, as libxml2 hands them over.
  for (int room : {1, 2, 3, 7, 64}) {
    std::string got;
    size_t at = 0;
    while (at < text.size()) {
      unsigned char out[64];
      int outLen = room, inLen = static_cast<int>(text.size() - at);
      ASSERT_GE(DecodeWindows1252(out, &outLen, reinterpret_cast<const unsigned char*>(text.data() + at), &inLen), 0);
      ASSERT_TRUE(inLen > 0 || room < 3);
      if (inLen == 0) break;
      got.append(reinterpret_cast<char*>(out), static_cast<size_t>(outLen));
      at += static_cast<size_t>(inLen);
    }
    if (room >= 3) {
      EXPECT_EQ(got, whole) << room;
    }
  }
  // The first byte of "€" alone: left for the next call, not refused.
  const std::string cut = "ab\xE2\x82";
  unsigned char out[8];
  int outLen = 8, inLen = 4;
  EXPECT_EQ(EncodeWindows1252(out, &outLen, reinterpret_cast<const unsigned char*>(cut.data()), &inLen), 2);
  EXPECT_EQ(inLen, 2);
}

TEST(Windows1252CodePage, ExtractsReadThroughItAndAnUnassignedByteStillStopsTheLoad) {
  testing::TempFolder drive;
  testing::ScopedEnv driveC("TARVELON_DRIVE_C", drive.path().c_str());
  std::string every;
  for (int byte = 0x20; byte < 256; ++byte)
    if (byte != '<' && byte != '&' && byte != 0x81 && byte != 0x8D && byte != 0x8F && byte != 0x90 && byte != 0x9D)
      every += static_cast<char>(byte);
  const std::string head = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<document><v>";
  testing::WriteHostFile(drive.path() + "/ok.xml", head + every + "</v></document>\n");
  IXMLCursor cursor;
  cursor.Load("c:\\ok.xml");
  EXPECT_EQ(cursor.GetValue("v"), every);

  testing::WriteHostFile(drive.path() + "/bad.xml", head + "ab\x81</v></document>\n");
  try {
    cursor.Load("c:\\bad.xml");
    FAIL() << "an unassigned byte loaded";
  } catch (const Error& e) {
    // The text iconv's refusal gave: the parser ends at the byte it could not read.
    EXPECT_NE(e.text().find("Error 77 on line 2, char 16 in URL"), std::string::npos) << e.text();
    EXPECT_NE(e.text().find("Reason : Premature end of data in tag v line 2"), std::string::npos) << e.text();
  }
}

}  // namespace
}  // namespace tarvelon
