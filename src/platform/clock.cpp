#include "platform/clock.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace tarvelon {
namespace {

// Days from 0001-01-01 to the date (proleptic Gregorian), 1-based as in the classic algorithm.
long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;  // days since 1970-01-01
}

void CivilFromDays(long z, int& y, int& m, int& d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long yy = static_cast<long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

const long kEpochOffset = DaysFromCivil(1899, 12, 30);

std::string Two(int v) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

}  // namespace

DateTime Now() {
  if (const char* fixed = std::getenv("TARVELON_NOW"); fixed && *fixed) {
    DateTime t;
    if (std::sscanf(fixed, "%d-%d-%d %d:%d:%d", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                    &t.second) >= 3 && IsValidDate(t.year, t.month, t.day))
      return t;
  }
  auto now = std::chrono::system_clock::now();
  std::time_t secs = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&secs, &local);
  DateTime t;
  t.year = local.tm_year + 1900;
  t.month = local.tm_mon + 1;
  t.day = local.tm_mday;
  t.hour = local.tm_hour;
  t.minute = local.tm_min;
  t.second = local.tm_sec;
  t.millisecond = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  return t;
}

bool IsValidDate(int y, int m, int d) {
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  int max = kDays[m - 1] + (m == 2 && leap ? 1 : 0);
  return d <= max;
}

double ToDayCount(const DateTime& t) {
  double days = static_cast<double>(DaysFromCivil(t.year, t.month, t.day) - kEpochOffset);
  double fraction = (t.hour * 3600000.0 + t.minute * 60000.0 + t.second * 1000.0 + t.millisecond) / 86400000.0;
  return days + fraction;
}

DateTime FromDayCount(double value) {
  double whole = std::floor(value);
  DateTime t;
  CivilFromDays(static_cast<long>(whole) + kEpochOffset, t.year, t.month, t.day);
  long long ms = std::llround((value - whole) * 86400000.0);
  if (ms >= 86400000) ms = 86399999;
  t.hour = static_cast<int>(ms / 3600000);
  t.minute = static_cast<int>(ms / 60000 % 60);
  t.second = static_cast<int>(ms / 1000 % 60);
  t.millisecond = static_cast<int>(ms % 1000);
  return t;
}

int DayOfWeek(const DateTime& t) {
  long days = DaysFromCivil(t.year, t.month, t.day);  // 1970-01-01 was a Thursday
  long w = (days + 4) % 7;
  return static_cast<int>(w < 0 ? w + 7 : w);
}

bool ParseShortDate(const std::string& text, DateTime& out) {
  int d = 0, m = 0, y = 0;
  char extra = 0;
  if (std::sscanf(text.c_str(), "%d/%d/%d%c", &d, &m, &y, &extra) != 3) return false;
  if (!IsValidDate(y, m, d)) return false;
  out = DateTime{y, m, d};
  return true;
}

std::string FormatStamp(const DateTime& t, const std::string& pattern) {
  std::string out;
  for (size_t i = 0; i < pattern.size();) {
    auto at = [&](const char* token) { return pattern.compare(i, std::char_traits<char>::length(token), token) == 0; };
    if (at("yyyy")) { char b[8]; std::snprintf(b, sizeof b, "%04d", t.year); out += b; i += 4; }
    else if (at("mm")) { out += Two(t.month); i += 2; }
    else if (at("dd")) { out += Two(t.day); i += 2; }
    else if (at("hh")) { out += Two(t.hour); i += 2; }
    else if (at("nn")) { out += Two(t.minute); i += 2; }
    else if (at("ss")) { out += Two(t.second); i += 2; }
    else { out += pattern[i]; ++i; }
  }
  return out;
}

std::string FormatLogStamp(const DateTime& t) { return FormatStamp(t, "dd/mm/yyyy hh:nn:ss"); }

}  // namespace tarvelon
