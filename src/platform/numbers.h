#pragma once
// Decimal numbers as the process locale writes them (LC_NUMERIC: a comma under
// a French locale, a point under C).
#include <string>

namespace tarvelon {

// Takes the process locale's decimal separator; called once at start-up.
void InitProcessLocale();
char DecimalSeparator();
void SetDecimalSeparator(char separator);  // tests

// Digits with at most one decimal separator and an optional sign; no
// thousands separators. False for anything else (the empty text included).
bool TryParseDecimal(const std::string& text, double& out);
double ParseDecimalOrZero(const std::string& text);
// The shortest text that reads back as the value ("20000", "12500,5").
std::string FormatShortest(double value);
// A fixed number of decimals, halves away from zero ("0" → 0 decimals, "0.0" → 1).
std::string FormatFixed(double value, int decimals);
// Rounding of the system: halves to the even neighbour.
long long RoundHalfEven(double value);

}  // namespace tarvelon
