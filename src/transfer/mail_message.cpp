#include "transfer/mail_message.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "platform/errors.h"
#include "platform/text.h"

namespace tarvelon {
namespace {

const char* const kCrLf = "\r\n";

std::string Base64(const std::string& bytes) {
  static const char* const digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 2]);
    out += digits[(n >> 18) & 63];
    out += digits[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? digits[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? digits[n & 63] : '=';
  }
  return out;
}

// The ISO-8859-15 byte of a code point, or 0 when the set lacks it.
unsigned char Iso885915Byte(char32_t cp) {
  switch (cp) {
    case 0x20AC: return 0xA4;  // €
    case 0x0160: return 0xA6;  // Š
    case 0x0161: return 0xA8;  // š
    case 0x017D: return 0xB4;  // Ž
    case 0x017E: return 0xB8;  // ž
    case 0x0152: return 0xBC;  // Œ
    case 0x0153: return 0xBD;  // œ
    case 0x0178: return 0xBE;  // Ÿ
    case 0xA4: case 0xA6: case 0xA8: case 0xB4: case 0xB8: case 0xBC: case 0xBD: case 0xBE:
      return 0;  // the places ISO-8859-15 gave to the letters above
    default:
      return cp < 0x100 ? static_cast<unsigned char>(cp) : 0;
  }
}

std::string DomainOf(const std::string& address) {
  const size_t at = address.rfind('@');
  std::string domain = at == std::string::npos ? "" : address.substr(at + 1);
  while (!domain.empty() && (domain.back() == '>' || domain.back() == ' ')) domain.pop_back();
  return domain.empty() ? "localhost" : domain;
}

}  // namespace

void RequireHeaderSafe(const std::string& value, const std::string& settingName) {
  if (value.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
    throw Error(Ansi("Paramètre de mail refusé (retour à la ligne) : ") + settingName);
}

std::vector<std::string> SplitAddresses(const std::string& list) {
  std::vector<std::string> addresses;
  size_t start = 0;
  while (start <= list.size()) {
    const size_t end = list.find_first_of(",;", start);
    const std::string piece = Trim(list.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (!piece.empty()) addresses.push_back(piece);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return addresses;
}

std::string MakeMessageId(const DateTime& now, const std::string& from) {
  return "<" + FormatStamp(now, "yyyymmddhhnnss") + "." + std::to_string(getpid()) + "@" + DomainOf(from) + ">";
}

std::string MailDate(const DateTime& now) {
  static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm local{};
  local.tm_year = now.year - 1900;
  local.tm_mon = now.month - 1;
  local.tm_mday = now.day;
  local.tm_hour = now.hour;
  local.tm_min = now.minute;
  local.tm_sec = now.second;
  local.tm_isdst = -1;
  const std::time_t t = std::mktime(&local);
  std::tm resolved{};
  long offset = 0;
  if (t != static_cast<std::time_t>(-1) && localtime_r(&t, &resolved)) offset = resolved.tm_gmtoff / 60;
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", days[DayOfWeek(now)], now.day,
                months[(now.month - 1) % 12], now.year, now.hour, now.minute, now.second, offset < 0 ? '-' : '+',
                (offset < 0 ? -offset : offset) / 60, (offset < 0 ? -offset : offset) % 60);
  return text;
}

std::string AnsiToIso885915Html(const std::string& ansi) {
  std::string out;
  for (unsigned char c : ansi) {
    const char32_t cp = AnsiToCodePoint(c);
    const unsigned char byte = Iso885915Byte(cp);
    if (byte != 0 || cp == 0) out += static_cast<char>(byte);
    else out += "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";";
  }
  return out;
}

std::string HtmlEscape(const std::string& text) { return EscapeMarkup(text); }

std::string QuotedPrintable(const std::string& bytes) {
  static const char* const hex = "0123456789ABCDEF";
  std::string out;
  size_t lineLength = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      out += kCrLf;
      lineLength = 0;
      ++i;
      continue;
    }
    const bool lineEndFollows = i + 1 == bytes.size() || bytes[i + 1] == '\r';
    const bool literal = (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !lineEndFollows);
    std::string piece = literal ? std::string(1, static_cast<char>(c))
                                : std::string{'=', hex[c >> 4], hex[c & 15]};
    if (lineLength + piece.size() > 75) {  // room for the soft break's "="
      out += std::string("=") + kCrLf;
      lineLength = 0;
    }
    out += piece;
    lineLength += piece.size();
  }
  return out;
}

std::string EncodedWordHeader(const std::string& ansi) {
  const std::string utf8 = AnsiToUtf8(ansi);
  std::string out;
  size_t start = 0;
  do {
    // At most 39 bytes (52 base64 characters) per word, so that even the first
    // line, after "Subject: ", stays within 76 characters; never inside a character.
    size_t end = std::min(utf8.size(), start + 39);
    while (end < utf8.size() && end > start && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
    if (!out.empty()) out += std::string(kCrLf) + " ";
    out += "=?UTF-8?B?" + Base64(utf8.substr(start, end - start)) + "?=";
    start = end;
  } while (start < utf8.size());
  return out;
}

std::string ComposeMimeMessage(const MailMessage& message, const DateTime& now, const std::string& messageId) {
  auto join = [](const std::vector<std::string>& addresses) {
    std::string text;
    for (const auto& a : addresses) text += (text.empty() ? "" : ", ") + a;
    return text;
  };
  std::string m;
  m += "Date: " + MailDate(now) + kCrLf;
  m += "From: " + message.from + kCrLf;
  m += "To: " + join(SplitAddresses(message.to)) + kCrLf;
  if (!SplitAddresses(message.cc).empty()) m += "Cc: " + join(SplitAddresses(message.cc)) + kCrLf;
  m += "Subject: " + EncodedWordHeader(message.subject) + kCrLf;
  m += "Message-ID: " + messageId + kCrLf;
  m += "MIME-Version: 1.0" + std::string(kCrLf);
  m += "Content-Type: text/html; charset=iso-8859-15" + std::string(kCrLf);
  m += "Content-Transfer-Encoding: quoted-printable" + std::string(kCrLf);
  m += kCrLf;
  m += QuotedPrintable(AnsiToIso885915Html(message.htmlBody));
  m += kCrLf;
  return m;
}

}  // namespace tarvelon
