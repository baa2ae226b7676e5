// The tarvelon binary as the scheduler and an operator call it.
#include <gtest/gtest.h>

#include "support/temp_folder.h"

#include <filesystem>

namespace tarvelon {
namespace {

using testing::RunCommand;
using testing::TempFolder;

class CommandLineTest : public ::testing::Test {
 protected:
  int Run(const std::string& args, std::string* out = nullptr) {
    std::string env = "SharedTemp='" + work_.path() + "' TARVELON_HOME='" + home_.path() + "' TARVELON_DRIVE_C='" +
                      drive_.path() + "' ";
    return RunCommand(env + TARVELON_CLI + std::string(" ") + args + " 2>&1", out);
  }
  TempFolder work_, home_, drive_;
};

TEST_F(CommandLineTest, NoArgumentOrSeveralShowTheSyntaxLine) {
  std::string out;
  EXPECT_EQ(Run("", &out), 2);
  EXPECT_EQ(out, "Syntax : Tarvelon \"option\"\n");
  EXPECT_EQ(Run("LEBONCOIN VPN", &out), 2);
  EXPECT_EQ(out, "Syntax : Tarvelon \"option\"\n");
  EXPECT_FALSE(std::filesystem::exists(work_ / "MarqueUpdate.log"));
}

TEST_F(CommandLineTest, AnOptionOutsideTheTablePrintsTheCaptions) {
  testing::WriteHostFile(home_ / "Tarvelon.ini", "[Options]\n");
  std::string out;
  EXPECT_EQ(Run("foo", &out), 2);
  EXPECT_EQ(out, "Export des données pour FOO\nConnexion FTP pour FOO : \n");
}

TEST_F(CommandLineTest, VersionListsTheVersionItems) {
  std::string out;
  EXPECT_EQ(Run("--version", &out), 0);
  EXPECT_NE(out.find("FileVersion : 1.15.7.30\n"), std::string::npos);
  EXPECT_NE(out.find("ProductVersion : 1.0.0.0\n"), std::string::npos);
}

TEST_F(CommandLineTest, HelpNamesTheEnvironmentAndTheKeys) {
  std::string out;
  EXPECT_EQ(Run("--help", &out), 0);
  for (const char* word : {"SharedTemp", "TARVELON_DRIVE_", "TARVELON_HOME", "GMBFI", "ANNONCESJAUNES"})
    EXPECT_NE(out.find(word), std::string::npos) << word;
}

TEST_F(CommandLineTest, AnErrorPrintsItsWholeTextAndExitsWithOne) {
  testing::WriteHostFile(home_ / "Tarvelon.ini", "[Options]\nDateMaxATP_Month=2\n");
  std::string out;
  EXPECT_EQ(Run("LEBONCOIN", &out), 1);
  EXPECT_NE(out.find("Argument incorrect pour l'encodage de date"), std::string::npos);
}

}  // namespace
}  // namespace tarvelon
