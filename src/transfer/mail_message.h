#pragma once
// The announcing e-mail as the bytes that are both sent and kept as the ".eml"
// copy: CR LF line ends, an encoded-word subject, a quoted-printable HTML body
// in the ISO-8859-15 it declares. The blind copy never appears in a header.
#include <string>
#include <vector>

#include "platform/clock.h"

namespace tarvelon {

struct MailMessage {
  std::string from;      // Windows-1252, as in the settings
  std::string to;        // one address or a list separated by "," or ";"
  std::string cc;        // empty: no copy header
  std::string subject;   // Windows-1252
  std::string htmlBody;  // Windows-1252
};

// Refuses a header value holding CR, LF or NUL (it would start a header of its own).
void RequireHeaderSafe(const std::string& value, const std::string& settingName);

// The addresses of a list ("a@x, b@y;c@z"), blanks trimmed, empty pieces dropped.
std::vector<std::string> SplitAddresses(const std::string& list);

// "<" + stamp + "." + process number + "@" + the sender's domain + ">".
std::string MakeMessageId(const DateTime& now, const std::string& from);
// "Tue, 14 Feb 2017 10:00:00 +0000", with the host's offset for that local time.
std::string MailDate(const DateTime& now);

// Windows-1252 to ISO-8859-15; a character that has no place there becomes a
// character reference ("&#8217;"), which the HTML reader shows unchanged.
std::string AnsiToIso885915Html(const std::string& ansi);
// Text for an HTML attribute or element: & < > " escaped.
std::string HtmlEscape(const std::string& text);
// Quoted-printable, lines of at most 76 characters; CR LF stays a line end.
std::string QuotedPrintable(const std::string& bytes);
// "=?UTF-8?B?...?=" words of at most 64 characters, folded onto CR LF + blank.
std::string EncodedWordHeader(const std::string& ansi);

std::string ComposeMimeMessage(const MailMessage& message, const DateTime& now, const std::string& messageId);

}  // namespace tarvelon
