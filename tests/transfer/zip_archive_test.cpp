#include <gtest/gtest.h>

#include <filesystem>

#include "app/run_state.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "support/temp_folder.h"
#include "transfer/zip_archive.h"

namespace tarvelon {
namespace {

using testing::ReadHostFile;
using testing::RunCommand;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::WriteHostFile;

const std::string kEndRecord = std::string("PK\x05\x06", 4) + std::string(18, '\0');

// Every entry as Python's zipfile reads it, one a line: name, method and
// content; "deflate9" is deflate with the flag of maximum compression.
std::string EntriesByPython(const std::string& hostZip) {
  std::string out;
  RunCommand("/usr/bin/python3 -c 'import sys, zipfile\n"
             "z = zipfile.ZipFile(sys.argv[1])\n"
             "for i in z.infolist():\n"
             "  m = \"deflate9\" if i.compress_type == 8 and (i.flag_bits >> 1) & 3 == 1 else i.compress_type\n"
             "  print(i.filename, m, z.read(i).decode(\"latin-1\"))' " +
                 hostZip,
             &out);
  return out;
}

class ZipArchiveTest : public ::testing::Test {
 protected:
  ZipArchiveTest() : drive_("TARVELON_DRIVE_C", driveC_.path().c_str()) {
    std::filesystem::create_directories(driveC_ / "work/Tarvelon");
    WriteHostFile(driveC_ / "work/out/b.csv", "second;file\r\n");
    WriteHostFile(driveC_ / "work/out/A.xml", std::string(3000, 'x'));
    WriteHostFile(driveC_ / "work/out/.hidden", "h");
    WriteHostFile(driveC_ / "work/out/sub/inner.txt", "not taken");
  }
  std::string Host(const std::string& relative) { return driveC_ / relative; }

  TempFolder driveC_;
  ScopedEnv drive_;
  RunState state_;
  const std::string zip_ = "c:\\work\\Tarvelon\\Export.zip";
};

TEST_F(ZipArchiveTest, AFolderGivesItsFilesUnderBareNamesDeflated) {
  MakeZip(state_, zip_, "c:\\work\\out\\*.*");
  EXPECT_EQ(RunCommand("unzip -tq " + Host("work/Tarvelon/Export.zip")), 0);
  EXPECT_EQ(EntriesByPython(Host("work/Tarvelon/Export.zip")),
            ".hidden deflate9 h\nA.xml deflate9 " + std::string(3000, 'x') + "\nb.csv deflate9 second;file\r\n\n");
  EXPECT_LT(std::filesystem::file_size(Host("work/Tarvelon/Export.zip")), 1000u);
  EXPECT_EQ(state_.window.memo(), std::vector<std::string>{Ansi("Fichier c:\\work\\Tarvelon\\Export.zip créé")});
}

// Every name found in the folder is packed with its own bytes, also two names
// that differ only in case; a link to a file counts as the file.
TEST_F(ZipArchiveTest, EachFoundNameKeepsItsOwnBytes) {
  WriteHostFile(driveC_ / "photos/p.jpg", "photo bytes");
  std::filesystem::create_directories(driveC_ / "work/case");
  WriteHostFile(driveC_ / "work/case/ref_1.jpg", "lower");
  WriteHostFile(driveC_ / "work/case/REF_1.jpg", "upper");
  std::filesystem::create_symlink(driveC_ / "photos/p.jpg", driveC_ / "work/case/link_2.jpg");
  MakeZip(state_, zip_, "c:\\work\\case\\*.*");
  const std::string entries = EntriesByPython(Host("work/Tarvelon/Export.zip"));
  EXPECT_NE(entries.find("link_2.jpg deflate9 photo bytes\n"), std::string::npos) << entries;
  EXPECT_NE(entries.find("ref_1.jpg deflate9 lower\n"), std::string::npos) << entries;
  EXPECT_NE(entries.find("REF_1.jpg deflate9 upper\n"), std::string::npos) << entries;
  EXPECT_EQ(entries.find("link_2"), 0u) << entries;  // l before r, whatever the case
}

TEST_F(ZipArchiveTest, OneFileIsStoredWithoutItsFolder) {
  MakeZip(state_, zip_, "c:\\work\\out\\b.csv");
  EXPECT_EQ(RunCommand("unzip -tq " + Host("work/Tarvelon/Export.zip")), 0);
  EXPECT_EQ(EntriesByPython(Host("work/Tarvelon/Export.zip")), "b.csv deflate9 second;file\r\n\n");
}

TEST_F(ZipArchiveTest, AnExistingArchiveIsReplacedNotExtended) {
  WriteHostFile(Host("work/Tarvelon/Export.zip"), "old bytes, not even a zip");
  MakeZip(state_, zip_, "c:\\work\\out\\b.csv");
  MakeZip(state_, zip_, "c:\\work\\out\\A.xml");
  EXPECT_EQ(EntriesByPython(Host("work/Tarvelon/Export.zip")), "A.xml deflate9 " + std::string(3000, 'x') + "\n");
}

TEST_F(ZipArchiveTest, NoMatchingFileGivesTheEmptyArchiveRecord) {
  std::filesystem::create_directories(Host("work/empty"));
  MakeZip(state_, zip_, "c:\\work\\empty\\*.*");
  EXPECT_EQ(ReadHostFile(Host("work/Tarvelon/Export.zip")), kEndRecord);
  EXPECT_EQ(EntriesByPython(Host("work/Tarvelon/Export.zip")), "");
  MakeZip(state_, zip_, "c:\\work\\out\\absent.csv");
  EXPECT_EQ(ReadHostFile(Host("work/Tarvelon/Export.zip")), kEndRecord);
  MakeZip(state_, zip_, "c:\\work\\missing\\*.*");
  EXPECT_EQ(ReadHostFile(Host("work/Tarvelon/Export.zip")), kEndRecord);
  EXPECT_EQ(state_.window.memo().size(), 3u);
}

TEST_F(ZipArchiveTest, AMaskTakesOnlyTheFilesItMatches) {
  MakeZip(state_, zip_, "c:\\work\\out\\*.CSV");
  EXPECT_EQ(EntriesByPython(Host("work/Tarvelon/Export.zip")), "b.csv deflate9 second;file\r\n\n");
}

TEST_F(ZipArchiveTest, TheArchiveInsideItsOwnFolderIsNotPackedIntoItself) {
  MakeZip(state_, "c:\\work\\out\\self.zip", "c:\\work\\out\\*.*");
  std::string entries = EntriesByPython(Host("work/out/self.zip"));
  EXPECT_EQ(entries.find("self.zip"), std::string::npos);
  EXPECT_NE(entries.find("b.csv"), std::string::npos);
}

TEST_F(ZipArchiveTest, AnAccentedNameReadsBackTheSame) {
  WriteHostFile(Host("work/acc/") + "Véhicules.csv", "v");
  MakeZip(state_, zip_, Ansi("c:\\work\\acc\\*.*"));
  EXPECT_EQ(EntriesByPython(Host("work/Tarvelon/Export.zip")), "Véhicules.csv deflate9 v\n");
}

TEST_F(ZipArchiveTest, AnUnreachableDriveOrFolderIsAnError) {
  ScopedEnv missingDrive("TARVELON_DRIVE_Q", "/nonexistent/tarvelon-drive-q");
  try {
    MakeZip(state_, "q:\\out\\a.zip", "c:\\work\\out\\*.*");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to access the selected drive!");
  }
  try {
    MakeZip(state_, "c:\\nowhere\\a.zip", "c:\\work\\out\\*.*");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to create \r\n\"c:\\nowhere\\a.zip\"");
  }
  EXPECT_TRUE(state_.window.memo().empty());
}

}  // namespace
}  // namespace tarvelon
