// File and process operations of the exporters.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

#include "app/run_state.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "stock/file_operations.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using testing::ReadHostFile;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::WriteHostFile;
namespace fs = std::filesystem;

class FileOperations : public ::testing::Test {
 protected:
  TempFolder drive;
  ScopedEnv driveC{"TARVELON_DRIVE_C", drive.path().c_str()};
  ScopedEnv shared{"SharedTemp", "c:\\work"};
};

TEST_F(FileOperations, WriteTextFileReplacesTheBytes) {
  testing::MakeHostFolders(drive / "out");
  WriteHostFile(drive / "out/a.txt", "old content, longer");
  WriteTextFile("c:\\out\\a.txt", Ansi("é;x\r\n"));
  EXPECT_EQ(ReadHostFile(drive / "out/a.txt"), "\xe9;x\r\n");
  EXPECT_THROW(WriteTextFile("c:\\missing\\a.txt", "x"), Error);  // the folder must exist
}

TEST_F(FileOperations, WriteAnsiStringMakesFoldersAndReportsFailures) {
  RunState state;
  state.exportOption = "VPN";
  testing::MakeHostFolders(drive / "work");
  WriteAnsiStringToFile(state, "a;b\r\n", "c:\\work\\Tarvelon\\VPN\\export.csv");
  EXPECT_EQ(ReadHostFile(drive / "work/Tarvelon/VPN/export.csv"), "a;b\r\n");

  WriteHostFile(drive / "work/blocker", "a file where a folder should be");
  std::string text;
  try {
    WriteAnsiStringToFile(state, "x", "c:\\work\\blocker\\export.csv");
    FAIL() << "a failed write must end the export";
  } catch (const Error& e) {
    text = e.text();
  }
  EXPECT_NE(text.find("c:\\work\\blocker"), std::string::npos) << text;
  // The same line is in the log.
  std::string log = ReadHostFile(drive / "work/MarqueUpdateVPN.log");
  EXPECT_NE(log.find(" - " + text + "\r\n"), std::string::npos) << log;
}

TEST_F(FileOperations, CopyFileStreamReplacesTheTarget) {
  WriteHostFile(drive / "a.jpg", std::string("\xff\xd8\x00" "data", 7));
  WriteHostFile(drive / "b.jpg", "older and longer content");
  CopyFileStream("c:\\a.jpg", "c:\\b.jpg");
  EXPECT_EQ(ReadHostFile(drive / "b.jpg"), std::string("\xff\xd8\x00" "data", 7));
  EXPECT_THROW(CopyFileStream("c:\\none.jpg", "c:\\c.jpg"), Error);
}

TEST_F(FileOperations, ClearFolderEmptiesButKeepsFolders) {
  WriteHostFile(drive / "out/a.txt", "a");
  WriteHostFile(drive / "out/.hidden-file", "h");
  WriteHostFile(drive / "out/sub/b.txt", "b");
  WriteHostFile(drive / "out/sub/deeper/c.txt", "c");
  WriteHostFile(drive / "out/.keep/d.txt", "d");
  ::chmod((drive / "out/a.txt").c_str(), 0444);
  EXPECT_TRUE(ClearFolder("c:\\out"));
  EXPECT_FALSE(fs::exists(drive / "out/a.txt"));
  EXPECT_FALSE(fs::exists(drive / "out/.hidden-file"));
  EXPECT_FALSE(fs::exists(drive / "out/sub/b.txt"));
  EXPECT_FALSE(fs::exists(drive / "out/sub/deeper/c.txt"));
  EXPECT_TRUE(fs::is_directory(drive / "out/sub/deeper"));
  EXPECT_TRUE(fs::exists(drive / "out/.keep/d.txt"));  // a hidden folder is left whole
  EXPECT_TRUE(ClearFolder("c:\\nothing\\here"));
}

TEST_F(FileOperations, ClearFolderNeverLeavesTheFolder) {
  WriteHostFile(drive / "outside/precious.txt", "keep me");
  WriteHostFile(drive / "victim", "keep me too");
  testing::MakeHostFolders(drive / "out");
  fs::create_directory_symlink(drive / "outside", drive / "out/link-to-folder");
  fs::create_symlink(drive / "outside/precious.txt", drive / "out/link-to-file");
  WriteHostFile(drive / "out/..\\victim", "a name with a backslash");
  EXPECT_TRUE(ClearFolder("c:\\out"));
  EXPECT_EQ(ReadHostFile(drive / "outside/precious.txt"), "keep me");
  EXPECT_EQ(ReadHostFile(drive / "victim"), "keep me too");
  EXPECT_FALSE(fs::exists(fs::symlink_status(drive / "out/link-to-folder")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(drive / "out/link-to-file")));
  EXPECT_FALSE(fs::exists(drive / "out/..\\victim"));
  EXPECT_TRUE(fs::is_empty(drive / "out"));
}

TEST_F(FileOperations, FileAgeInMilliseconds) {
  EXPECT_EQ(FileAgeMs("c:\\none.jpg"), 2327);
  WriteHostFile(drive / "p.jpg", "x");
  std::tm local{};
  local.tm_year = 2020 - 1900;
  local.tm_mon = 0;
  local.tm_mday = 1;
  local.tm_hour = 10;
  local.tm_isdst = -1;
  timeval times[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 0}};
  ASSERT_EQ(::utimes((drive / "p.jpg").c_str(), times), 0);
  {
    ScopedEnv now("TARVELON_NOW", "2020-01-01 10:00:05");
    EXPECT_EQ(FileAgeMs("c:\\p.jpg"), 5000);
  }
  ScopedEnv before("TARVELON_NOW", "2019-12-31 10:00:00");
  EXPECT_EQ(FileAgeMs("c:\\p.jpg"), 2327);  // written after "now"
}

std::string Jpeg(const std::string& body) { return std::string("\xff\xd8", 2) + body; }

TEST_F(FileOperations, JpegSizeFromTheFrameHeader) {
  const std::string app0 = std::string("\xff\xe0\x00\x10", 4) + std::string(14, 'j');
  const std::string sof = std::string("\xff\xff\xc0\x00\x11\x08\x01\xe0\x02\x80", 10);  // 480 high, 640 wide
  WriteHostFile(drive / "ok.jpg", Jpeg(app0 + std::string("\xff\xd0", 2) + sof + "rest"));
  int width = -1, height = -1;
  JpegSize("c:\\ok.jpg", width, height);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);

  const std::string broken[] = {
      std::string("\x89PNG....", 8),                 // not a JPEG
      Jpeg(app0),                                     // no frame header
      Jpeg(app0 + "x" + sof),                         // a stray byte where a marker is expected
      Jpeg(std::string("\xff\xc0\x00\x11\x08\x01", 6)),  // cut inside the frame header
      Jpeg(std::string("\xff\xe1\x00\x01", 4) + sof),    // a length that walks backwards
  };
  for (const auto& bytes : broken) {
    WriteHostFile(drive / "bad.jpg", bytes);
    width = height = -1;
    JpegSize("c:\\bad.jpg", width, height);
    EXPECT_EQ(width, -1);
    EXPECT_EQ(height, -1);
  }
  JpegSize("c:\\missing.jpg", width, height);
  EXPECT_EQ(width, -1);
}

class Recorder : public WindowObserver {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void ProcessMessages() override { ++pumps; }
  std::vector<std::string> messages;
  int pumps = 0;
};

TEST_F(FileOperations, RunAndWaitPassesArgumentsAsTheyAre) {
  RunState state;
  Recorder recorder;
  state.window.SetObserver(&recorder);
  WriteHostFile(drive / "scripts/go.bat",
                "sleep 0.2\nfor a in \"$@\"; do printf '%s|' \"$a\"; done > \"" + drive / "args.txt" + "\"\n");
  RunAndWait(state, "c:\\scripts\\go.bat", {"a b", "$(touch " + drive / "pwned" + ")", "c;d"});
  EXPECT_EQ(ReadHostFile(drive / "args.txt"), "a b|$(touch " + drive / "pwned" + ")|c;d|");
  EXPECT_FALSE(fs::exists(drive / "pwned"));
  EXPECT_GT(recorder.pumps, 0);
  EXPECT_TRUE(recorder.messages.empty());

  // An executable script without "#!" line runs through the shell as well.
  WriteHostFile(drive / "scripts/plain.bat", "echo ran > \"" + drive / "plain.txt" + "\"\n");
  ::chmod((drive / "scripts/plain.bat").c_str(), 0755);
  RunAndWait(state, "c:\\scripts\\plain.bat", {});
  EXPECT_EQ(ReadHostFile(drive / "plain.txt"), "ran\n");
  EXPECT_TRUE(recorder.messages.empty());

  RunAndWait(state, "c:\\scripts\\missing.bat", {});
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_FALSE(recorder.messages[0].empty());
  state.window.SetObserver(nullptr);
}

}  // namespace
}  // namespace tarvelon
