// Keeping the photo store and a real FTP image server in step, and the
// AutoScout24/VPN photo step.
#include <gtest/gtest.h>

#include <filesystem>

#include "photos/publication.h"
#include "platform/paths.h"
#include "support/ftp_server.h"
#include "support/photo_world.h"

namespace fs = std::filesystem;

namespace tarvelon {
namespace {

using testing::ReadHostFile;
using testing::WriteHostFile;

class PublicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    serverRoot = world.root / "ftp";
    // The server's photo folders exist: the photo steps only enter them.
    testing::MakeHostFolders(serverRoot + "/www/pictlore/abc/de");
    server.Start(serverRoot, "pictlore", "secret");
    world.state.window.SetImageServer({server.address(), "pictlore", "secret", "www/pictlore"});
  }
  std::string OnServer(const std::string& name) const { return serverRoot + "/www/pictlore/" + name; }
  void PutOnServer(const std::string& name, const std::string& bytes) { WriteHostFile(OnServer(name), bytes); }
  void PutInStore(const std::string& name, const std::string& bytes) { WriteHostFile(world.StoreFile(name), bytes); }
  std::vector<std::string> LogLines() const {
    return testing::SplitCrLfLines(testing::MaskLogStamps(world.LogText()));
  }
  RunState& state() { return world.state; }

  testing::PhotoWorld world;
  testing::FtpServer server;
  std::string serverRoot;
};

TEST_F(PublicationTest, UploadsPhotoAndThumbnailTheServerLacks) {
  world.SelectTarget("SITAUTOPRO", "");
  state().testPhotoServer = true;
  state().counters.imageCount = 4;
  PutInStore("abc/de/car-1.jpg", std::string("photo\0bytes\r\n\xff", 14));
  PutInStore("abc/de/car-1m.jpg", "thumbnail bytes");
  SyncServerPhoto(state(), "abc/de/car-1.jpg");

  EXPECT_EQ(ReadHostFile(OnServer("abc/de/car-1.jpg")), ReadHostFile(world.StoreFile("abc/de/car-1.jpg")));
  EXPECT_EQ(ReadHostFile(OnServer("abc/de/car-1m.jpg")), "thumbnail bytes");
  EXPECT_EQ(state().counters.photoUpdateCount, 2);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"<stamp> - Update 1 : car-1.jpg", "<stamp> - Update 2 : car-1m.jpg"}));
  EXPECT_EQ(state().window.label1(), "Image 4 : c:\\projects\\kord\\images\\abc\\de\\car-1m.jpg");
  EXPECT_EQ(state().window.label2(), "c:\\projects\\kord\\images\\abc\\de\\car-1m.jpg - on transfer");

  // In step now: nothing more happens.
  SyncServerPhoto(state(), "abc/de/car-1.jpg");
  EXPECT_EQ(state().counters.photoUpdateCount, 2);
}

TEST_F(PublicationTest, WebAddressIsReducedToItsPath) {
  world.SelectTarget("SITAUTOPRO", "");
  state().testPhotoServer = true;
  PutInStore("abc/de/car-1.jpg", "photo");
  PutInStore("abc/de/car-1m.jpg", "thumb");
  SyncServerPhoto(state(), "http://www.groupe-kord.fr/abc/de/car-1.jpg");
  EXPECT_EQ(ReadHostFile(OnServer("abc/de/car-1.jpg")), "photo");
  EXPECT_EQ(ReadHostFile(OnServer("abc/de/car-1m.jpg")), "thumb");
}

TEST_F(PublicationTest, RestoresWhatTheStoreLacks) {
  world.SelectTarget("TOPANNONCES", "");
  state().testPhotoServer = true;
  PutOnServer("xyz/01/van-3.jpg", "server photo");
  PutOnServer("xyz/01/van-3m.jpg", "server thumbnail");
  SyncServerPhoto(state(), "xyz/01/van-3.jpg");
  EXPECT_EQ(ReadHostFile(world.StoreFile("xyz/01/van-3.jpg")), "server photo");
  EXPECT_EQ(ReadHostFile(world.StoreFile("xyz/01/van-3m.jpg")), "server thumbnail");
  EXPECT_EQ(LogLines(),
            (std::vector<std::string>{"<stamp> - Restore 1 : van-3.jpg", "<stamp> - Restore 2 : van-3m.jpg"}));
  EXPECT_EQ(state().counters.photoUpdateCount, 2);
}

TEST_F(PublicationTest, WithoutServerTestNothingIsUploaded) {
  world.SelectTarget("TOPANNONCES", "");
  state().testPhotoServer = false;
  PutInStore("abc/de/car-1.jpg", "photo");
  PutInStore("abc/de/car-1m.jpg", "thumb");
  SyncServerPhoto(state(), "abc/de/car-1.jpg");
  EXPECT_FALSE(fs::exists(OnServer("abc/de/car-1.jpg")));
  EXPECT_EQ(state().counters.photoUpdateCount, 0);

  // Missing locally: the server is taken to have it and a restore is tried;
  // when it has not, the restore fails silently.
  PutOnServer("abc/de/old-1.jpg", "server photo");
  SyncServerPhoto(state(), "abc/de/old-1.jpg");
  EXPECT_EQ(ReadHostFile(world.StoreFile("abc/de/old-1.jpg")), "server photo");
  EXPECT_FALSE(fs::exists(world.StoreFile("abc/de/old-1m.jpg")));
  EXPECT_EQ(LogLines(),
            (std::vector<std::string>{"<stamp> - Restore 1 : old-1.jpg", "<stamp> - Restore 2 : old-1m.jpg"}));
}

TEST_F(PublicationTest, MissingOnBothSides) {
  world.SelectTarget("SITAUTOPRO", "");
  state().testPhotoServer = true;
  SyncServerPhoto(state(), "abc/de/gone-1.jpg");
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"<stamp> - Pb Existence : abc/de/gone-1.jpg",
                                                  "<stamp> - Pb Existence : gone-1m.jpg"}));
  EXPECT_EQ(state().counters.photoUpdateCount, 0);
}

TEST_F(PublicationTest, UnsafeNamesNeverReachStoreOrServer) {
  world.SelectTarget("SITAUTOPRO", "");
  state().testPhotoServer = true;
  PutOnServer("abc/de/car-1.jpg", "photo");
  server.ClearLog();
  SyncServerPhoto(state(), "abc/../../../../etc/passwd.jpg");
  SyncServerPhoto(state(), "/etc/ab/passwd.jpg");
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"<stamp> - Pb Existence : abc/../../../../etc/passwd.jpg",
                                                  "<stamp> - Pb Existence : /etc/ab/passwd.jpg"}));
  EXPECT_TRUE(server.Commands().empty());
  EXPECT_EQ(state().counters.photoUpdateCount, 0);
}

class VehiclePhotoTest : public PublicationTest {
 protected:
  void SetUp() override {
    PublicationTest::SetUp();
    world.SelectTarget("AUTOSCOUT24", "A24");
    state().testPhotoServer = true;
    state().outputFolder = WorkDirAs24();
    testing::MakeHostFolders(world.workHost + "/AS24");
  }
  static std::string WorkDirAs24() { return WorkDir() + "AS24"; }
  std::string Output(const std::string& name) const { return world.workHost + "/AS24/" + name; }
};

TEST_F(VehiclePhotoTest, CopiesUnderTheReferenceAndReportsWithoutSending) {
  PutInStore("abc/de/car-2.jpg", "second photo");
  PutInStore("abc/de/car-2m.jpg", "second thumb");
  state().counters.imageCount = 7;
  ExportVehiclePhoto(state(), 2, "abc/de/car-2.jpg", "Das WeltAuto", "20", "vardo", "VOpd07");
  EXPECT_EQ(ReadHostFile(Output("VOpd07_2.jpg")), "second photo");
  EXPECT_EQ(state().counters.imageCount, 8);
  EXPECT_EQ(state().counters.photoUpdateCount, 2);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"<stamp> - Update 1 : abc/de/car-2.jpg",
                                                  "<stamp> - Update 2 : abc/de/car-2m.jpg"}));
  EXPECT_EQ(state().window.label1().substr(0, 50), "Image 8 : c:\\projects\\kord\\images\\abc/de/car-2.jpg");
  EXPECT_EQ(state().window.label2(), "Update 2 : c:\\projects\\kord\\images\\abc/de/car-2m.jpg");
  EXPECT_FALSE(fs::exists(OnServer("abc/de/car-2.jpg")));  // reported, never sent here
  EXPECT_FALSE(fs::exists(Output("VOpd07_2m.jpg")));
}

TEST_F(VehiclePhotoTest, PhotosOnTheServerAreNotReported) {
  PutInStore("abc/de/car-1.jpg", "photo");
  PutInStore("abc/de/car-1m.jpg", "thumb");
  PutOnServer("abc/de/car-1.jpg", "photo");
  PutOnServer("abc/de/car-1m.jpg", "thumb");
  ExportVehiclePhoto(state(), 1, "http://www.groupe-kord.fr/abc/de/car-1.jpg", "", "", "vardo", "REF");
  EXPECT_EQ(ReadHostFile(Output("REF_1.jpg")), "photo");
  EXPECT_EQ(state().counters.photoUpdateCount, 0);
  EXPECT_EQ(world.LogText(), "");
}

TEST_F(VehiclePhotoTest, MissingPhotoAndThumbnail) {
  ExportVehiclePhoto(state(), 3, "abc/de/gone-3.jpg", "", "", "vardo", "REF");
  EXPECT_FALSE(fs::exists(Output("REF_3.jpg")));
  EXPECT_EQ(state().counters.imageCount, 1);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"<stamp> - Pb Existence : abc/de/gone-3.jpg",
                                                  "<stamp> - Pb Existence : abc/de/gone-3m.jpg"}));
  // A thumbnail missing while the photo is there stops at its own line.
  PutInStore("abc/de/car-4.jpg", "photo");
  PutOnServer("abc/de/car-4.jpg", "photo");
  ExportVehiclePhoto(state(), 4, "abc/de/car-4.jpg", "", "", "vardo", "REF");
  EXPECT_EQ(LogLines().back(), "<stamp> - Pb Existence : abc/de/car-4m.jpg");
}

TEST_F(VehiclePhotoTest, ReferenceCannotLeadOutOfTheOutputFolder) {
  PutInStore("abc/de/car-1.jpg", "photo");
  ExportVehiclePhoto(state(), 2, "abc/de/car-1.jpg", "", "", "vardo", "../../evil");
  EXPECT_FALSE(fs::exists(world.root / "evil_2.jpg"));
  EXPECT_FALSE(fs::exists(world.workHost + "/evil_2.jpg"));
  EXPECT_EQ(state().counters.imageCount, 1);
}

// A discount on photo 1 decorates it: the tagged picture is copied under the
// reference, sent to the server by the decoration itself, and the thumbnail
// check is skipped.
TEST_F(VehiclePhotoTest, FirstPhotoWithDiscountIsDecoratedAndUploaded) {
  world.MakePhoto("abc/de/car-1.jpg", 800, 600);
  ExportVehiclePhoto(state(), 1, "abc/de/car-1.jpg", "", "15", "vardo", "REF");
  const std::string tagged = world.StoreFile("abc/de/car-T.jpg");
  ASSERT_TRUE(fs::exists(tagged));
  EXPECT_EQ(ReadHostFile(Output("REF_1.jpg")), ReadHostFile(tagged));
  EXPECT_EQ(ReadHostFile(OnServer("abc/de/car-T.jpg")), ReadHostFile(tagged));
  EXPECT_EQ(state().counters.photoUpdateCount, 0);  // on the server already
  EXPECT_EQ(world.LogText(), "");                    // no thumbnail line

  // Decorated again with the same picture: not sent again.
  fs::remove(OnServer("abc/de/car-T.jpg"));
  fs::last_write_time(tagged, fs::file_time_type::clock::now() - std::chrono::hours(1));
  ExportVehiclePhoto(state(), 1, "abc/de/car-1.jpg", "", "15", "vardo", "REF");
  EXPECT_FALSE(fs::exists(OnServer("abc/de/car-T.jpg")));
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"<stamp> - Update 1 : abc/de/car-T.jpg"}));

  // Photo 2 is never decorated.
  world.MakePhoto("abc/de/car-2.jpg", 800, 600);
  ExportVehiclePhoto(state(), 2, "abc/de/car-2.jpg", "", "15", "vardo", "REF");
  EXPECT_EQ(ReadHostFile(Output("REF_2.jpg")), ReadHostFile(world.StoreFile("abc/de/car-2.jpg")));
}

// With the target in FiligraneListTagAll every first photo is decorated, a
// failed decoration publishes the plain photo.
TEST_F(VehiclePhotoTest, FailedDecorationFallsBackToThePlainPhoto) {
  state().options.tagAllTargets = ";autoscout24;";
  world.MakePhoto("abc/de/car-1.jpg", 800, 600);
  PutInStore("abc/de/car-1m.jpg", "thumb");
  WriteHostFile(world.ProgramFile("remise.png"), "broken");
  ExportVehiclePhoto(state(), 1, "abc/de/car-1.jpg", "", "15", "vardo", "REF");
  EXPECT_EQ(ReadHostFile(Output("REF_1.jpg")), ReadHostFile(world.StoreFile("abc/de/car-1.jpg")));
  EXPECT_FALSE(fs::exists(world.StoreFile("abc/de/car-T.jpg")));
  EXPECT_FALSE(fs::exists(OnServer("abc/de/car-T.jpg")));
  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(0, 45), "<stamp> - Pb Tag : abc/de/car-1.jpg - ImageMa");
  EXPECT_EQ(lines[1], "<stamp> - Update 1 : abc/de/car-1.jpg");
}

}  // namespace
}  // namespace tarvelon
