#include <gtest/gtest.h>

#include "app/dispatch.h"
#include "app/run_state.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "support/temp_folder.h"

#include <filesystem>
#include <fstream>

namespace tarvelon {
namespace {

using testing::ReadHostFile;
using testing::ScopedEnv;
using testing::TempFolder;

class RunExportTest : public ::testing::Test {
 protected:
  RunExportTest()
      : shared_("SharedTemp", work_.path().c_str()),
        home_("TARVELON_HOME", program_.path().c_str()),
        drive_("TARVELON_DRIVE_C", drive_folder_.path().c_str()) {
    registry_.Register("LEBONCOIN", [this](RunState& s, const std::string& argument) {
      calls_.push_back("LEBONCOIN(" + argument + ")");
      s.LogLine("exporting");
      s.finishedFlag = true;
    });
    registry_.Register("RAD1", [this](RunState&, const std::string& argument) { calls_.push_back(argument); });
    registry_.Register("VIVACAR", [this](RunState&, const std::string&) { calls_.push_back("VIVACAR"); });
  }
  std::string Log(const std::string& option) { return ReadHostFile(work_ / ("MarqueUpdate" + option + ".log")); }

  TempFolder work_, program_, drive_folder_;
  ScopedEnv shared_, home_, drive_;
  ExporterRegistry registry_;
  std::vector<std::string> calls_;
  RunState state_;
};

TEST_F(RunExportTest, AKnownOptionSelectsItsExporterAndPrefix) {
  testing::WriteHostFile(program_ / "Tarvelon.ini", "[Options]\n");
  RunExport(state_, "leboncoin", registry_);
  EXPECT_EQ(calls_, std::vector<std::string>{"LEBONCOIN()"});
  EXPECT_EQ(state_.exportOption, "LEBONCOIN");
  EXPECT_EQ(state_.exportOptionLower, "leboncoin");
  EXPECT_EQ(state_.referencePrefix, "LBC");
  EXPECT_EQ(state_.window.caption(), Ansi("Export des données pour LEBONCOIN"));
  EXPECT_EQ(state_.window.boxServerCaption(), "Connexion FTP pour LEBONCOIN : ");
  EXPECT_FALSE(state_.window.startControlsVisible());
  EXPECT_EQ(testing::MaskLogStamps(Log("LEBONCOIN")), "<stamp> - exporting\r\n");
  EXPECT_EQ(state_.window.memo().front(), "-> ");
}

TEST_F(RunExportTest, TheExporterReceivesItsArgument) {
  RunExport(state_, "Rad1", registry_);
  EXPECT_EQ(calls_, std::vector<std::string>{"Rad1"});
}

TEST_F(RunExportTest, AnOptionOutsideTheTableRunsNothingAndLogsNothing) {
  testing::WriteHostFile(program_ / "Tarvelon.ini", "[Options]\n");
  for (const std::string& option : std::vector<std::string>{"foo", Ansi("leboncoin élargi"), std::string(10000, 'x')}) {
    RunExport(state_, option, registry_);
    EXPECT_TRUE(calls_.empty());
    EXPECT_TRUE(state_.exportOption.empty());
    EXPECT_TRUE(state_.window.startControlsVisible());
    EXPECT_EQ(state_.window.caption(), Ansi("Export des données pour ") + AnsiUpper(option));
  }
  EXPECT_TRUE(state_.window.memo().empty());
}

TEST_F(RunExportTest, AMissingSettingsFileIsLoggedAndTheRunGoesOn) {
  RunExport(state_, "LEBONCOIN", registry_);
  EXPECT_EQ(testing::MaskLogStamps(Log("")),
            "<stamp> - " + Ansi("Fichier INI non trouvé : ") + program_.path() + "/Tarvelon.ini\r\n");
  EXPECT_EQ(state_.options.photoStore, "c:\\projects\\kord\\images");
  EXPECT_EQ(calls_.size(), 1u);
}

TEST_F(RunExportTest, AKnownOptionWithoutExporterIsAClearError) {
  try {
    RunExport(state_, "pvo", registry_);
    FAIL();
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("PVO"), std::string::npos);
  }
  EXPECT_FALSE(state_.finishedFlag);
}

TEST_F(RunExportTest, AnImpossibleAtpDateEndsTheRunBeforeTheExporter) {
  testing::WriteHostFile(program_ / "Tarvelon.ini", "[Options]\nDateMaxATP_Month=2\n");
  EXPECT_THROW(RunExport(state_, "LEBONCOIN", registry_), Error);
  EXPECT_TRUE(calls_.empty());
}

TEST_F(RunExportTest, AMissingWorkFolderEndsTheExport) {
  ScopedEnv shared("SharedTemp", (work_.path() + "/missing").c_str());
  testing::WriteHostFile(program_ / "Tarvelon.ini", "[Options]\n");
  EXPECT_THROW(RunExport(state_, "LEBONCOIN", registry_), Error);
  EXPECT_TRUE(calls_.empty());
}

TEST_F(RunExportTest, VivacarEmptiesItsDropFolderOfTextFilesFirst) {
  const std::string drop = drive_folder_ / "Projects/Kord/Data/Tarvelon/Vivacar";
  testing::WriteHostFile(drop + "/old.txt", "x");
  testing::WriteHostFile(drop + "/OLD2.TXT", "x");
  testing::WriteHostFile(drop + "/keep.json", "x");
  RunExport(state_, "vivacar", registry_);
  EXPECT_EQ(ReadHostFile(drop + "/keep.json"), "x");
  EXPECT_FALSE(std::ifstream(drop + "/old.txt").good());
  EXPECT_FALSE(std::ifstream(drop + "/OLD2.TXT").good());
  EXPECT_EQ(calls_, std::vector<std::string>{"VIVACAR"});
}

TEST_F(RunExportTest, VivacarCreatesAMissingDropFolder) {
  testing::MakeHostFolders(drive_folder_ / "Projects/Kord/Data/Tarvelon");
  RunExport(state_, "VIVACAR", registry_);
  EXPECT_TRUE(std::filesystem::is_directory(drive_folder_ / "Projects/Kord/Data/Tarvelon/Vivacar"));
}

TEST(AutoClose, TheWindowClosesAtTheThirtiethTickAfterTheFlag) {
  RunState state;
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(state.Tick());
  state.finishedFlag = true;
  for (int i = 1; i < 30; ++i) EXPECT_FALSE(state.Tick()) << i;
  EXPECT_TRUE(state.Tick());
  EXPECT_TRUE(state.Tick());
}

TEST(OptionTable, TwentyKeysAndNineteenDropDownEntries) {
  EXPECT_EQ(OptionTable().size(), 20u);
  EXPECT_EQ(DropDownTargets().size(), 19u);
  EXPECT_EQ(FindOption("GMBFI")->referencePrefix, std::string());
  EXPECT_EQ(FindOption("ANNONCESJAUNES")->referencePrefix, std::string("AJ_"));
  EXPECT_EQ(FindOption("gmbfi"), nullptr);
}

}  // namespace
}  // namespace tarvelon
