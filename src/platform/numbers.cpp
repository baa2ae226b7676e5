#include "platform/numbers.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tarvelon {
namespace {
char g_separator = '.';
}

void InitProcessLocale() {
  std::setlocale(LC_NUMERIC, "");
  const std::lconv* conv = std::localeconv();
  if (conv && conv->decimal_point && conv->decimal_point[0]) g_separator = conv->decimal_point[0];
  // Our own parsing and formatting handle the separator; the C library stays neutral.
  std::setlocale(LC_NUMERIC, "C");
}

char DecimalSeparator() { return g_separator; }
void SetDecimalSeparator(char separator) { g_separator = separator; }

bool TryParseDecimal(const std::string& text, double& out) {
  if (text.empty()) return false;
  std::string normalized;
  bool digits = false, separator = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if ((c == '+' || c == '-') && i == 0) {
      normalized += c;
    } else if (c >= '0' && c <= '9') {
      normalized += c;
      digits = true;
    } else if (c == g_separator && !separator) {
      normalized += '.';
      separator = true;
    } else {
      return false;
    }
  }
  if (!digits) return false;
  out = std::strtod(normalized.c_str(), nullptr);
  return true;
}

double ParseDecimalOrZero(const std::string& text) {
  double v = 0;
  return TryParseDecimal(text, v) ? v : 0.0;
}

std::string FormatShortest(double value) {
  char buffer[64];
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
    if (std::strtod(buffer, nullptr) == value) break;
  }
  std::string text = buffer;
  if (text.find('e') != std::string::npos) {  // plain notation for large values
    std::snprintf(buffer, sizeof buffer, "%.15f", value);
    text = buffer;
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
  }
  for (auto& c : text)
    if (c == '.') c = g_separator;
  return text;
}

long long RoundHalfEven(double value) { return std::llrint(value); }

std::string FormatFixed(double value, int decimals) {
  // Halves go away from zero, as the system's number patterns do.
  double scale = std::pow(10.0, decimals);
  double rounded = std::round(value * scale) / scale;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, rounded);
  std::string text = buffer;
  if (text == "-0") text = "0";
  for (auto& c : text)
    if (c == '.') c = g_separator;
  return text;
}

}  // namespace tarvelon
