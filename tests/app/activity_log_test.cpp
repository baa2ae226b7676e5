#include <gtest/gtest.h>

#include "app/run_state.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using testing::ReadHostFile;
using testing::ScopedEnv;
using testing::TempFolder;

class ActivityLogTest : public ::testing::Test {
 protected:
  ActivityLogTest() : shared_("SharedTemp", work_.path().c_str()), now_("TARVELON_NOW", "2017-10-25 14:03:07") {}
  TempFolder work_;
  ScopedEnv shared_, now_;
  RunState state_;
};

TEST_F(ActivityLogTest, LinesCarryTheStampAndEndWithCrLf) {
  state_.exportOption = "LEBONCOIN";
  state_.LogLine(Ansi("Après premier Select DataVO"));
  EXPECT_EQ(ReadHostFile(work_ / "MarqueUpdateLEBONCOIN.log"),
            "25/10/2017 14:03:07 - Apr\xe8s premier Select DataVO\r\n");
  EXPECT_EQ(state_.window.memo().back(), "-> 25/10/2017 14:03:07 - " + Ansi("Après premier Select DataVO"));
}

TEST_F(ActivityLogTest, AnEmptyMessageRestartsOnlyItsOwnFile) {
  state_.exportOption = "VPN";
  state_.LogLine("one");
  state_.LogLine("two");
  state_.exportOption = "PVO";
  state_.LogLine("other");
  state_.exportOption = "VPN";
  state_.LogLine("");
  EXPECT_EQ(ReadHostFile(work_ / "MarqueUpdateVPN.log"), "");
  EXPECT_EQ(ReadHostFile(work_ / "MarqueUpdatePVO.log"), "25/10/2017 14:03:07 - other\r\n");
  EXPECT_EQ(state_.window.memo().back(), "-> ");
}

TEST_F(ActivityLogTest, EmbeddedLineBreaksAreWrittenUnchanged) {
  state_.LogLine("a\r\nb");
  EXPECT_EQ(ReadHostFile(work_ / "MarqueUpdate.log"), "25/10/2017 14:03:07 - a\r\nb\r\n");
}

TEST_F(ActivityLogTest, AnUnwritableLogEndsTheExportWithoutAMemoLine) {
  ScopedEnv shared("SharedTemp", (work_.path() + "/missing").c_str());
  EXPECT_THROW(state_.LogLine("lost"), Error);
  EXPECT_TRUE(state_.window.memo().empty());
}

TEST_F(ActivityLogTest, AppendLineToFileAddsPlainLines) {
  AppendLineToFile(work_ / "rows.txt", "a;b");
  AppendLineToFile(work_ / "rows.txt", "c");
  EXPECT_EQ(ReadHostFile(work_ / "rows.txt"), "a;b\r\nc\r\n");
  EXPECT_TRUE(state_.window.memo().empty());
}

}  // namespace
}  // namespace tarvelon
