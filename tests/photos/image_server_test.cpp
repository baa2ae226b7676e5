#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

#include "app/run_state.h"
#include "photos/image_server.h"
#include "support/ftp_server.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using testing::FtpServer;
using testing::ReadHostFile;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::WriteHostFile;
using Commands = std::vector<std::string>;

class ImageServerTest : public ::testing::Test {
 protected:
  ImageServerTest() : drive_("TARVELON_DRIVE_C", driveC_.path().c_str()), shared_("SharedTemp", work_.path().c_str()) {
    std::filesystem::create_directories(driveC_ / "projects/kord/images");
    std::filesystem::create_directories(serverRoot_ / "www/pictlore/ccc/dd");
    WriteHostFile(serverRoot_ / "www/pictlore/aaa/bb/p1.jpg", std::string("\xff\xd8 one\r\n\0", 10));
    WriteHostFile(serverRoot_ / "www/pictlore/aaa/bb/p2.jpg", "two");
    server_.Start(serverRoot_.path(), "pict", "pw");
    state_.exportOption = "LEBONCOIN";
    state_.options.photoStore = "c:\\projects\\kord\\images";
    state_.testPhotoServer = true;
    state_.window.SetImageServer({server_.address(), "pict", "pw", "www/pictlore"});
  }
  void TearDown() override {
    server_.Stop();
    if (HasFailure())
      for (const auto& line : state_.window.memo()) std::cerr << "  memo: " << line << "\n";
  }
  std::string Store(const std::string& relative) { return driveC_ / ("projects/kord/images/" + relative); }
  std::string Log() { return ReadHostFile(work_ / "MarqueUpdateLEBONCOIN.log"); }

  TempFolder driveC_, serverRoot_, work_;
  ScopedEnv drive_, shared_;
  FtpServer server_;
  RunState state_;
};

TEST_F(ImageServerTest, PhotosOfOneFolderShareOneFolderChangeAndAskOneMdtmEach) {
  state_.window.SetLabel1("Image 1 : p1");
  EXPECT_TRUE(PhotoOnServer(state_, "aaa/bb/p1.jpg"));
  EXPECT_EQ(state_.window.label1(), "Image 1 : p1 - on connection aaa/bb/p1.jpg");
  state_.window.SetLabel1("Image 2 : p2");
  EXPECT_TRUE(PhotoOnServer(state_, "aaa/bb/p2.jpg"));
  EXPECT_EQ(state_.window.label1(), "Image 2 : p2");  // already connected
  EXPECT_FALSE(PhotoOnServer(state_, "aaa/bb/none.jpg"));
  EXPECT_FALSE(PhotoOnServer(state_, "ccc/dd/p1.jpg"));
  EXPECT_EQ(server_.Commands(),
            (Commands{"USER pict", "PASS ******", "PWD", "CWD /www/pictlore", "CWD /www/pictlore/aaa/bb/",
                      "MDTM p1.jpg", "MDTM p2.jpg", "MDTM none.jpg", "CWD /www/pictlore/ccc/dd/", "MDTM p1.jpg"}));
}

// A folder missing on the server is asked once for the photos of it in a row:
// the refused change leaves the server in the previous folder, which stays
// the current one (no CWD back to it), and the answers are those of a
// refused change for every photo.
TEST_F(ImageServerTest, AMissingServerFolderIsAskedOnceForThePhotosOfItInARow) {
  EXPECT_TRUE(PhotoOnServer(state_, "aaa/bb/p1.jpg"));
  for (const char* name : {"eee/ff/x1.jpg", "eee/ff/x2.jpg", "eee/ff/x3.jpg"})
    EXPECT_FALSE(PhotoOnServer(state_, name)) << name;
  state_.testPhotoServer = false;
  EXPECT_TRUE(PhotoOnServer(state_, "eee/ff/x4.jpg"));  // the answer without the server test
  state_.testPhotoServer = true;
  EXPECT_TRUE(PhotoOnServer(state_, "aaa/bb/p2.jpg"));  // still in aaa/bb: no folder change
  EXPECT_FALSE(PhotoOnServer(state_, "ccc/dd/p1.jpg"));
  WriteHostFile(Store("eee/ff/x5.jpg"), "x5");
  // After a change to another folder the missing one is asked again, once.
  UploadPhoto(state_, Store("eee/ff/x5.jpg"), "c:\\projects\\kord\\images\\eee\\ff\\x5.jpg");
  EXPECT_FALSE(PhotoOnServer(state_, "eee/ff/x5.jpg"));
  EXPECT_EQ(server_.Commands(),
            (Commands{"USER pict", "PASS ******", "PWD", "CWD /www/pictlore", "CWD /www/pictlore/aaa/bb/",
                      "MDTM p1.jpg", "CWD /www/pictlore/eee/ff/", "MDTM p2.jpg", "CWD /www/pictlore/ccc/dd/",
                      "MDTM p1.jpg", "CWD /www/pictlore/eee/ff/"}));
  EXPECT_EQ(server_.CountConnections(), 1);
  EXPECT_FALSE(std::filesystem::exists(serverRoot_ / "www/pictlore/eee"));
}

TEST_F(ImageServerTest, WithoutTheServerTestEveryPhotoCountsAsPresentButIsStillAsked) {
  state_.testPhotoServer = false;
  EXPECT_TRUE(PhotoOnServer(state_, "aaa/bb/none.jpg"));
  EXPECT_TRUE(PhotoOnServer(state_, "aaa/bb/p1.jpg"));
  EXPECT_EQ(server_.CountCommands("MDTM"), 2);
}

TEST_F(ImageServerTest, OnlyTheFirst200CharactersOfTheFileNameAreAsked) {
  std::string file(250, 'n');
  EXPECT_FALSE(PhotoOnServer(state_, "aaa/bb/" + file + ".jpg"));
  EXPECT_EQ(server_.Commands().back(), "MDTM " + file.substr(0, 200));
}

TEST_F(ImageServerTest, RestoreCreatesBothFolderLevelsAndCopiesTheBytes) {
  state_.window.SetLabel2("Restore 1 : x");
  RestorePhoto(state_, "aaa/bb/p1.jpg");
  EXPECT_EQ(ReadHostFile(Store("aaa/bb/p1.jpg")), std::string("\xff\xd8 one\r\n\0", 10));
  EXPECT_EQ(state_.window.label2(), "Restore 1 : x - on restore");
  WriteHostFile(Store("aaa/bb/p2.jpg"), "local copy");
  RestorePhoto(state_, "aaa/bb/p2.jpg");  // never overwritten
  EXPECT_EQ(ReadHostFile(Store("aaa/bb/p2.jpg")), "local copy");
}

TEST_F(ImageServerTest, ARestoreOfAMissingServerPhotoLeavesNoFileAndNoLogLine) {
  RestorePhoto(state_, "ccc/dd/none.jpg");
  EXPECT_TRUE(std::filesystem::is_directory(Store("ccc/dd")));
  EXPECT_TRUE(std::filesystem::is_empty(Store("ccc/dd")));
  EXPECT_FALSE(std::filesystem::exists(work_ / "MarqueUpdateLEBONCOIN.log"));
}

TEST_F(ImageServerTest, UploadPutsTheBytesWhereTheReferencePathSays) {
  WriteHostFile(Store("ccc/dd/new.jpg"), std::string("jpeg\0bytes", 10));
  const std::string path = "c:\\projects\\kord\\images\\ccc\\dd\\new.jpg";
  UploadPhoto(state_, path, path);
  EXPECT_EQ(ReadHostFile(serverRoot_ / "www/pictlore/ccc/dd/new.jpg"), std::string("jpeg\0bytes", 10));
  EXPECT_EQ(state_.window.label2(), path + " - on transfer");
  WriteHostFile(work_ / "tagged.jpg", "tagged");  // a work file sent under a name of the store
  UploadPhoto(state_, work_ / "tagged.jpg", "C:\\Projects\\Kord\\Images\\aaa\\bb\\p2T.jpg");
  EXPECT_EQ(ReadHostFile(serverRoot_ / "www/pictlore/aaa/bb/p2T.jpg"), "tagged");
}

TEST_F(ImageServerTest, FailedUploadsAreSilent) {
  WriteHostFile(Store("eee/ff/x.jpg"), "x");
  UploadPhoto(state_, Store("eee/ff/x.jpg"), "c:\\projects\\kord\\images\\eee\\ff\\x.jpg");  // no such server folder
  UploadPhoto(state_, "c:\\projects\\kord\\images\\ccc\\dd\\absent.jpg",
              "c:\\projects\\kord\\images\\ccc\\dd\\absent.jpg");
  EXPECT_FALSE(std::filesystem::exists(serverRoot_ / "www/pictlore/eee"));
  EXPECT_EQ(server_.CountCommands("STOR"), 0);
  EXPECT_TRUE(PhotoOnServer(state_, "aaa/bb/p1.jpg"));  // the connection is still good
  EXPECT_EQ(server_.CountCommands("USER"), 1);
}

TEST_F(ImageServerTest, HostileNamesAreRefusedAndLogged) {
  WriteHostFile(serverRoot_ / "www/secret.jpg", "secret");
  const std::vector<std::string> names = {"aaa/bb/../../secret.jpg", "../../../../x.jpg", "aaa/../xx.jpg",
                                          "/etc/passwd.jpg", "aaa/bb/sub/x.jpg", "aaa/bb/..", "c:\\/bb/x.jpg"};
  for (const auto& name : names) {
    EXPECT_FALSE(PhotoOnServer(state_, name)) << name;
    RestorePhoto(state_, name);
  }
  UploadPhoto(state_, Store("aaa/bb/p1.jpg"), "c:\\projects\\kord\\images\\aaa\\bb\\..\\..\\..\\up.jpg");
  UploadPhoto(state_, Store("aaa/bb/p1.jpg"), "c:\\elsewhere\\aaa\\bb\\up.jpg");
  EXPECT_TRUE(server_.Commands().empty());
  std::string log = Log();
  for (const auto& name : names) EXPECT_NE(log.find(" - Pb Existence : " + name + "\r\n"), std::string::npos) << name;
  EXPECT_NE(log.find("Pb Existence : c:\\projects\\kord\\images\\aaa\\bb\\..\\..\\..\\up.jpg"), std::string::npos);
  EXPECT_NE(log.find("Pb Existence : c:\\elsewhere\\aaa\\bb\\up.jpg"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_empty(Store("")));
}

TEST(IsSafePhotoName, OnlyTheLayoutOfTheStore) {
  EXPECT_TRUE(IsSafePhotoName("aaa/bb/name.jpg"));
  EXPECT_TRUE(IsSafePhotoName("aaa\\bb\\name with blanks.jpg"));
  EXPECT_TRUE(IsSafePhotoName("a.a/b./..name.jpg"));
  EXPECT_FALSE(IsSafePhotoName("aaa/bb/"));
  EXPECT_FALSE(IsSafePhotoName("aaabb/name.jpg"));
  EXPECT_FALSE(IsSafePhotoName("aaa/bbb/name.jpg"));
  EXPECT_FALSE(IsSafePhotoName("..a/../name.jpg"));
  EXPECT_FALSE(IsSafePhotoName("aaa/bb/x/name.jpg"));
  EXPECT_FALSE(IsSafePhotoName("aaa/bb/x\\name.jpg"));
  EXPECT_FALSE(IsSafePhotoName("c:/aa/bb/name.jpg"));
  EXPECT_FALSE(IsSafePhotoName("/aa/bb/name.jpg"));
  EXPECT_FALSE(IsSafePhotoName("aaa/bb/name\r\nDELE x"));
  EXPECT_FALSE(IsSafePhotoName("..."));
}

TEST_F(ImageServerTest, AServerThatIsDownFailsEveryCallSilently) {
  server_.Stop();
  for (int i = 0; i < 20; ++i) {
    EXPECT_FALSE(PhotoOnServer(state_, "aaa/bb/p1.jpg"));
    RestorePhoto(state_, "aaa/bb/p1.jpg");
    UploadPhoto(state_, Store("x.jpg"), "c:\\projects\\kord\\images\\aaa\\bb\\x.jpg");
  }
  state_.testPhotoServer = false;
  EXPECT_TRUE(PhotoOnServer(state_, "aaa/bb/p1.jpg"));
  EXPECT_FALSE(std::filesystem::exists(Store("aaa/bb/p1.jpg")));
  EXPECT_FALSE(std::filesystem::exists(work_ / "MarqueUpdateLEBONCOIN.log"));
}

TEST_F(ImageServerTest, AFailedConnectionIsNotTriedAgainForEveryPhoto) {
  state_.window.SetImageServer({server_.address(), "pict", "wrong", "www/pictlore"});
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(PhotoOnServer(state_, "aaa/bb/p1.jpg"));
  EXPECT_EQ(server_.CountCommands("USER"), 1);
}

TEST_F(ImageServerTest, AConnectionLostBetweenPhotosIsOpenedAgain) {
  EXPECT_TRUE(PhotoOnServer(state_, "aaa/bb/p1.jpg"));
  int port = server_.port();
  server_.Stop();
  server_.Start({{"pict", "pw", serverRoot_.path()}}, {.port = port});
  EXPECT_TRUE(PhotoOnServer(state_, "aaa/bb/p2.jpg"));
  EXPECT_EQ(server_.CountCommands("USER"), 2);
  EXPECT_EQ(server_.CountCommands("CWD /www/pictlore/aaa/bb/"), 2);  // the folder is entered again
}

}  // namespace
}  // namespace tarvelon
