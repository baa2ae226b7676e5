// Reading the operators' transfer logs: the three encodings and the count.
#include <gtest/gtest.h>

#include "transfer/script_delivery.h"

namespace tarvelon {
namespace {

std::string Utf16(const std::string& ascii, bool bigEndian) {
  std::string bytes = bigEndian ? std::string("\xFE\xFF", 2) : std::string("\xFF\xFE", 2);
  for (char c : ascii) bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
  return bytes;
}

TEST(ScriptLog, Utf16BothWaysAndWindows1252) {
  EXPECT_EQ(DecodeScriptLog(Utf16("Transfer done\r\n", false)), "Transfer done\r\n");
  EXPECT_EQ(DecodeScriptLog(Utf16("Transfer done\r\n", true)), "Transfer done\r\n");
  EXPECT_EQ(DecodeScriptLog("refus\xe9"), "refus\xe9");
  // é in UTF-16 becomes its Windows-1252 byte; a character the code page lacks becomes "?".
  EXPECT_EQ(DecodeScriptLog(std::string("\xFF\xFE\xE9\x00\x3A\x04", 6)), "\xe9?");
  EXPECT_EQ(DecodeScriptLog(std::string("\xFF\xFE" "A", 3)), "");
}

TEST(ScriptLog, EveryTransferDoneCounts) {
  EXPECT_EQ(CountTransfersDone(""), 0);
  EXPECT_EQ(CountTransfersDone("Transfer done Transfer doneTransfer done"), 3);
  std::string big(700000, 'x');
  big += "Transfer done";
  EXPECT_EQ(CountTransfersDone("Transfer done" + big), 2);
}

}  // namespace
}  // namespace tarvelon
