#pragma once
// Local date and time, and the day-count arithmetic the system's rules use
// (days since 30 December 1899, the time of day as the fraction).
#include <string>

namespace tarvelon {

struct DateTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// The current local time. TARVELON_NOW ("yyyy-mm-dd hh:mm:ss") fixes it, so that
// runs whose output carries the date or the week can be compared byte for byte.
DateTime Now();

bool IsValidDate(int year, int month, int day);
// Days since 30/12/1899 plus the fraction of the day.
double ToDayCount(const DateTime& t);
DateTime FromDayCount(double days);
int DayOfWeek(const DateTime& t);  // 0 Sunday .. 6 Saturday

// "dd/mm/yyyy" → date; false when the text is no date.
bool ParseShortDate(const std::string& text, DateTime& out);
// Patterns made of yyyy, mm, dd, hh, nn, ss (the file-name stamps), and the
// log stamp "dd/mm/yyyy hh:mm:ss".
std::string FormatStamp(const DateTime& t, const std::string& pattern);
std::string FormatLogStamp(const DateTime& t);

}  // namespace tarvelon
