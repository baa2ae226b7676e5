#include <gtest/gtest.h>

#include "app/config.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using testing::TempFolder;
using testing::WriteHostFile;

class IniFileTest : public ::testing::Test {
 protected:
  IniFile Write(const std::string& bytes) {
    WriteHostFile(folder_ / "Tarvelon.ini", bytes);
    return IniFile(folder_ / "Tarvelon.ini");
  }
  TempFolder folder_;
};

TEST_F(IniFileTest, SectionsAndKeysIgnoreCase) {
  IniFile ini = Write("[leboncoin]\r\nServeurFTP = ftp.example.org \r\n");
  EXPECT_EQ(ini.Read("LEBONCOIN", "serveurftp", "x"), "ftp.example.org");
}

TEST_F(IniFileTest, ValuesLoseOnePairOfQuotesAndKeepWhatFollowsTheFirstEquals) {
  IniFile ini = Write("[S]\na=\"quoted\"\nb='single'\nc=\"\"twice\"\"\nd=x=y\ne=\"open\n");
  EXPECT_EQ(ini.Read("S", "a", ""), "quoted");
  EXPECT_EQ(ini.Read("S", "b", ""), "single");
  EXPECT_EQ(ini.Read("S", "c", ""), "\"twice\"");
  EXPECT_EQ(ini.Read("S", "d", ""), "x=y");
  EXPECT_EQ(ini.Read("S", "e", ""), "\"open");
}

TEST_F(IniFileTest, AbsentGivesTheDefaultPresentButEmptyGivesEmpty) {
  IniFile ini = Write("[S]\nPathFTP=\n");
  EXPECT_EQ(ini.Read("S", "PathFTP", "www"), "");
  EXPECT_EQ(ini.Read("S", "Other", "www"), "www");
  EXPECT_EQ(ini.Read("T", "PathFTP", "www"), "www");
  EXPECT_EQ(IniFile(folder_ / "none.ini").Read("S", "PathFTP", "www"), "www");
}

TEST_F(IniFileTest, LongValuesAreCutTo2047Characters) {
  IniFile ini = Write("[S]\nk=" + std::string(100000, 'v') + "\n");
  EXPECT_EQ(ini.Read("S", "k", "").size(), 2047u);
}

TEST_F(IniFileTest, OddFilesAreReadWithoutHarm) {
  std::string binary("\x00\x01\xff[S]\n", 7);
  IniFile ini = Write("orphan=1\r\n" + binary + "[S]\r\nk=first\r\nk=second\r\n\xe9t\xe9=\"\xe9\"\r\n");
  EXPECT_EQ(ini.Read("S", "k", ""), "first");
  EXPECT_EQ(ini.Read("", "orphan", "none"), "none");
  EXPECT_EQ(ini.Read("S", Ansi("ÉTÉ"), ""), Ansi("é"));
}

TEST_F(IniFileTest, TheFileIsConsultedAtEachRead) {
  IniFile ini = Write("[Options]\nNoFTP=0\n");
  EXPECT_EQ(ini.Read("Options", "NoFTP", ""), "0");
  Write("[Options]\nNoFTP=1\n");
  EXPECT_EQ(ini.Read("Options", "NoFTP", ""), "1");
}

TEST_F(IniFileTest, OptionsDefaults) {
  Options o = Options::Load(IniFile(folder_ / "missing.ini"));
  EXPECT_EQ(o.photoStore, "c:\\projects\\kord\\images");
  EXPECT_EQ(o.watermarkTargets, ";leboncoin;autoscout24;axecibles;");
  EXPECT_EQ(o.dwaGuarantees, ";Das WeltAuto;");
  EXPECT_EQ(FormatLogStamp(FromDayCount(o.atpEnd)), "30/10/2017 20:00:00");
  EXPECT_TRUE(o.AtpRunning(DateTime{2017, 10, 30, 19, 59, 59}));
  EXPECT_FALSE(o.AtpRunning(DateTime{2017, 10, 30, 20, 0, 0}));
}

TEST_F(IniFileTest, OptionsListsAreLowerCasedAndBadNumbersTakeDefaults) {
  Options o = Options::Load(Write("[Options]\nFiligraneListExport=;LeBonCoin;\nDateMaxATP_Day=abc\n"
                                  "CstTagDWA=;DAS WeltAuto;\n"));
  EXPECT_EQ(o.watermarkTargets, ";leboncoin;");
  EXPECT_EQ(o.dwaGuarantees, ";DAS WeltAuto;");
  EXPECT_EQ(FormatLogStamp(FromDayCount(o.atpEnd)), "30/10/2017 20:00:00");
}

TEST_F(IniFileTest, AnImpossibleAtpDateStopsTheRun) {
  try {
    Options::Load(Write("[Options]\nDateMaxATP_Month=2\n"));
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Argument incorrect pour l'encodage de date");
  }
}

}  // namespace
}  // namespace tarvelon
