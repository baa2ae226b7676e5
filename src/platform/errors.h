#pragma once
// Every failure that ends an export is an Error carrying the system's own text
// (Windows-1252), which reaches the operator whole.
#include <stdexcept>
#include <string>

namespace tarvelon {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& ansiText) : std::runtime_error(ansiText) {}
  const std::string& text() const { return text_ = what(); }

 private:
  mutable std::string text_;
};

}  // namespace tarvelon
