// The announcing message's form: code page, transfer encoding, subject words,
// refused header values.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/text.h"
#include "transfer/mail_message.h"

namespace tarvelon {
namespace {

TEST(MailMessage, TheBodyIsIso885915WithReferencesForWhatItLacks) {
  // € and Œ have their own places in ISO-8859-15; ’ and “ have none.
  EXPECT_EQ(AnsiToIso885915Html(Ansi("é € Œ ’ “x”")), "\xE9 \xA4 \xBC &#8217; &#8220;x&#8221;");
  // The Latin-1 signs that ISO-8859-15 gave away are written as references too.
  EXPECT_EQ(AnsiToIso885915Html(Ansi("¤ ½")), "&#164; &#189;");
}

TEST(MailMessage, QuotedPrintableKeepsLinesShort) {
  const std::string text = std::string(200, 'a') + "=\xE9 \r\nfin ";
  const std::string encoded = QuotedPrintable(text);
  size_t start = 0;
  while (start < encoded.size()) {
    size_t end = encoded.find("\r\n", start);
    if (end == std::string::npos) end = encoded.size();
    EXPECT_LE(end - start, 76u);
    start = end + 2;
  }
  EXPECT_NE(encoded.find("=3D=E9=20\r\nfin=20"), std::string::npos) << encoded;
}

TEST(MailMessage, TheSubjectIsMadeOfShortEncodedWords) {
  const std::string header = EncodedWordHeader(Ansi("Stock € “NeoWebCar” : un sujet assez long pour être coupé en morceaux"));
  EXPECT_TRUE(StartsWith(header, "=?UTF-8?B?"));
  size_t words = 0;
  for (size_t at = 0; (at = header.find("=?UTF-8?B?", at)) != std::string::npos; ++at) ++words;
  EXPECT_GE(words, 2u);
  for (size_t start = 0; start < header.size();) {
    size_t end = header.find("\r\n", start);
    if (end == std::string::npos) end = header.size();
    EXPECT_LE(end - start, 66u);
    start = end + 2;
  }
}

TEST(MailMessage, ALineBreakInAHeaderValueIsRefused) {
  EXPECT_THROW(RequireHeaderSafe("a@b.fr\r\nBcc: c@d.fr", "SendTO"), Error);
  EXPECT_THROW(RequireHeaderSafe("Sujet\n", "Subject"), Error);
  EXPECT_NO_THROW(RequireHeaderSafe("a@b.fr, c@d.fr", "SendTO"));
}

TEST(MailMessage, TheBlindCopyIsNoHeaderAndLinesEndWithCrLf) {
  MailMessage m{"exports@groupe-kord.fr", "a@b.fr; c@d.fr", "", "Sujet", "<body>\xE9</body>"};
  const std::string bytes = ComposeMimeMessage(m, DateTime{2017, 2, 14, 10, 0, 0}, "<id@groupe-kord.fr>");
  EXPECT_NE(bytes.find("\r\nTo: a@b.fr, c@d.fr\r\n"), std::string::npos) << bytes;
  EXPECT_EQ(bytes.find("Cc:"), std::string::npos);
  EXPECT_EQ(bytes.find("Bcc"), std::string::npos);
  for (size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] == '\n') EXPECT_EQ(bytes[i - 1], '\r');
  EXPECT_NE(bytes.find("\r\n\r\n<body>=E9</body>\r\n"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("MIME-Version: 1.0\r\n"), std::string::npos);
}

TEST(MailMessage, TheLinkIsEscapedForHtml) {
  EXPECT_EQ(HtmlEscape("http://h/a.csv\"><script>&"), "http://h/a.csv&quot;&gt;&lt;script&gt;&amp;");
}

}  // namespace
}  // namespace tarvelon
