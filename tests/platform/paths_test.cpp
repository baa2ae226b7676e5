#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using testing::ScopedEnv;
using testing::TempFolder;

TEST(HostPath, DriveLettersMapToTheirFolders) {
  TempFolder drive;
  ScopedEnv c("TARVELON_DRIVE_C", drive.path().c_str());
  EXPECT_EQ(HostPath("c:\\projects\\kord\\x.xml"), drive.path() + "/projects/kord/x.xml");
  EXPECT_EQ(HostPath("C:/projects/kord/"), drive.path() + "/projects/kord/");
}

TEST(HostPath, ExistingComponentsAreFoundWhateverTheirCase) {
  TempFolder drive;
  ScopedEnv c("TARVELON_DRIVE_C", drive.path().c_str());
  testing::MakeHostFolders(drive / "Projects/Kord/Data");
  EXPECT_EQ(HostPath("c:\\projects\\KORD\\data\\Tarvelon\\ExpDatasVPN.xml"),
            drive.path() + "/Projects/Kord/Data/Tarvelon/ExpDatasVPN.xml");
}

TEST(HostPath, RemembersFoldersButSeesLaterChanges) {
  TempFolder drive;
  ScopedEnv c("TARVELON_DRIVE_C", drive.path().c_str());
  testing::MakeHostFolders(drive / "Out");
  EXPECT_EQ(HostPath("c:\\out\\A.jpg"), drive.path() + "/Out/A.jpg");  // not there yet
  WriteFileBytes("c:\\out\\First.jpg", "1");
  testing::WriteHostFile(drive / "Out/Second.JPG", "2");  // written by someone else
  EXPECT_EQ(HostPath("c:\\OUT\\first.JPG"), drive.path() + "/Out/First.jpg");
  EXPECT_EQ(HostPath("c:\\out\\second.jpg"), drive.path() + "/Out/Second.JPG");
  std::filesystem::rename(drive / "Out", drive / "OUTPUT");
  testing::MakeHostFolders(drive / "oUt");
  EXPECT_EQ(HostPath("c:\\out\\second.jpg"), drive.path() + "/oUt/second.jpg");
  EXPECT_EQ(HostPath("c:\\output\\second.jpg"), drive.path() + "/OUTPUT/Second.JPG");
}

// The existence checks take what the matching already found, through the
// remembered folder as well as from the drive's root.
TEST(HostPath, ExistenceChecksAgreeWithTheMatchedName) {
  TempFolder drive;
  ScopedEnv c("TARVELON_DRIVE_C", drive.path().c_str());
  testing::MakeHostFolders(drive / "Store/Sub");
  testing::WriteHostFile(drive / "Store/Photo.JPG", "12345");
  std::filesystem::create_symlink(drive / "Store/Photo.JPG", drive / "Store/link.jpg");
  std::filesystem::create_symlink(drive / "Store/gone.jpg", drive / "Store/dangling.jpg");
  for (int round = 0; round < 2; ++round) {  // the second round starts from the remembered folder
    EXPECT_TRUE(FileExists("c:\\store\\Photo.JPG"));
    EXPECT_TRUE(FileExists("c:\\STORE\\photo.jpg"));
    EXPECT_EQ(FileSizeOf("c:\\store\\photo.jpg"), 5);
    EXPECT_TRUE(FileExists("c:\\store\\link.jpg"));
    EXPECT_FALSE(FileExists("c:\\store\\dangling.jpg"));
    EXPECT_EQ(HostPath("c:\\store\\DANGLING.jpg"), drive.path() + "/Store/dangling.jpg");
    EXPECT_FALSE(FileExists("c:\\store\\missing.jpg"));
    EXPECT_FALSE(FileExists("c:\\store\\sub"));
    EXPECT_TRUE(FolderExists("c:\\store\\SUB"));
    EXPECT_TRUE(FolderExists("c:\\store\\sub\\"));
    EXPECT_FALSE(FileExists("c:\\store\\photo.jpg\\"));
    EXPECT_EQ(FileSizeOf("c:\\store\\sub"), -1);
  }
  std::filesystem::remove_all(drive / "Store");
  EXPECT_FALSE(FileExists("c:\\store\\photo.jpg"));
  EXPECT_FALSE(FolderExists("c:\\store\\sub"));
}

TEST(HostPath, HostPathsStayAndAccentsBecomeUtf8) {
  TempFolder root;
  EXPECT_EQ(HostPath(root.path() + "\\sub/" + Ansi("réservé.txt")), root.path() + "/sub/réservé.txt");
}

TEST(WorkDir, SharedTempWinsThenWindir) {
  {
    ScopedEnv shared("SharedTemp", "D:\\temp");
    EXPECT_EQ(WorkDir(), "D:\\temp\\");
  }
  {
    ScopedEnv shared("SharedTemp", nullptr);
    ScopedEnv windir("Windir", "C:\\WINDOWS");
    EXPECT_EQ(WorkDir(), "C:\\WINDOWS\\TEMP\\");
  }
  {
    ScopedEnv shared("SharedTemp", "D:\\temp\\");
    EXPECT_EQ(WorkDir(), "D:\\temp\\\\");
  }
  ScopedEnv shared("SharedTemp", nullptr);
  ScopedEnv windir("Windir", nullptr);
  EXPECT_EQ(WorkDir(), "C:\\WINDOWS\\TEMP\\");
}

TEST(ProgramFolder, TarvelonHomeNamesIt) {
  ScopedEnv home("TARVELON_HOME", "/opt/tarvelon");
  EXPECT_EQ(ProgramFolder(), "/opt/tarvelon/");
}

TEST(Files, WriteAppendReadAndFolders) {
  TempFolder root;
  const std::string file = root.path() + "\\a\\b\\c.txt";
  CreateFolders(FolderOf(file));
  WriteFileBytes(file, "one");
  AppendFileBytes(file, "+two");
  EXPECT_EQ(ReadFileBytes(file), "one+two");
  EXPECT_EQ(FileSizeOf(file), 7);
  EXPECT_TRUE(DeleteFile(file));
  EXPECT_EQ(FileSizeOf(file), -1);
  EXPECT_THROW(WriteFileBytes(root.path() + "/missing/x.txt", "x"), Error);
}

TEST(PlainFileName, ANameTheFileSystemCannotHoldIsNotPlain) {
  EXPECT_TRUE(IsPlainFileName(std::string(251, 'a') + ".xml"));
  EXPECT_FALSE(IsPlainFileName(std::string(252, 'a') + ".xml"));
  EXPECT_FALSE(IsPlainFileName(std::string(100000, 'L')));
}

}  // namespace
}  // namespace tarvelon
