// Tagging real photos with Debian's ImageMagick: which marks apply, the script
// that lays them, the tagged file, and the failures.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>

#include "photos/decorate.h"
#include "platform/process.h"
#include "support/photo_world.h"

namespace fs = std::filesystem;

namespace tarvelon {
namespace {

using testing::Q;
using testing::ReadHostFile;
using testing::WriteHostFile;

// Makes a folder the current one for the scope.
class InFolder {
 public:
  explicit InFolder(const std::string& folder) : previous_(fs::current_path()) { fs::current_path(folder); }
  ~InFolder() { fs::current_path(previous_); }

 private:
  fs::path previous_;
};

class DecorateTest : public ::testing::Test {
 protected:
  std::string Decorate(const std::string& name, const std::string& site, const std::string& atp,
                       const std::string& z, const std::string& sale, const std::string& discount,
                       const std::string& dwa) {
    return DecoratePhoto(world.state, name, site, atp, z, sale, discount, dwa);
  }
  std::string E(const std::string& name) const { return Q(world.ProgramFile(name)); }
  std::string W(const std::string& name) const { return Q(world.WorkFile(world.state.referencePrefix + name)); }
  std::string P(const std::string& name) const { return Q(world.StoreFile(name)); }
  std::string Convert() const { return Q("/usr/bin/convert"); }
  bool ScriptWritten() const { return fs::exists(world.WorkFile(world.state.referencePrefix + "goMagick.bat")); }

  // "JPEG 800x600", read by ImageMagick itself.
  static std::string Identify(const std::string& hostPath) {
    std::string out;
    CaptureOutput({"/usr/bin/identify", "-format", "%m %wx%h", hostPath}, out);
    return out;
  }
  void ExpectTagged(const std::string& source, const std::string& tagged, const std::string& size) {
    const std::string target = world.StoreFile(tagged);
    ASSERT_TRUE(fs::exists(target)) << tagged;
    EXPECT_EQ(Identify(target), "JPEG " + size);
    EXPECT_NE(ReadHostFile(target), ReadHostFile(world.StoreFile(source)));
  }

  testing::PhotoWorld world;
};

TEST_F(DecorateTest, AnnoncesJaunesGetsSmallBadgeAndLogo) {
  world.SelectTarget("ANNONCESJAUNES", "AJ_");
  world.MakePhoto("abc/de/car-1.jpg", 800, 600);
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "Vardo", "", "", "", "25", ""), "abc/de/car-TT.jpg");
  EXPECT_EQ(world.ScriptText(),
            Convert() + " '-size' '90x50' '-gravity' 'center' '-background' 'white' '-font' 'Tahoma-Bold' "
                        "'-pointsize' '50' '-fill' 'red' '-transparent' 'white' 'caption:-25' " + W("step1.png") +
                "\n" + Convert() + " " + E("remise_p66.png") + " \\( " + W("step1.png") +
                " \\) '-geometry' '+25+5' '-composite' " + W("step2.png") + "\n" + Convert() + " " +
                P("abc/de/car-1.jpg") + " \\( " + W("step2.png") + " \\) '-geometry' '+317+534' '-composite' " +
                W("step4.jpg") + "\n" + Convert() + " " + W("step4.jpg") + " \\( " + E("tagMirvane-h40.png") +
                " \\) '-geometry' '+20+0' '-composite' " + W("step5.jpg") + "\n");
  ExpectTagged("abc/de/car-1.jpg", "abc/de/car-TT.jpg", "800x600");
  EXPECT_EQ(world.state.window.label2(), "Tag sur : c:\\projects\\kord\\images\\abc\\de\\car-TT.jpg");
}

TEST_F(DecorateTest, SitAutoProGetsCentredLogo) {
  world.SelectTarget("SITAUTOPRO", "");
  world.MakePhoto("abc/de/car-1.jpg", 1024, 768);
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "quivale", "", "", "", "", ""), "abc/de/car-TC.jpg");
  EXPECT_EQ(world.ScriptText(), Convert() + " " + P("abc/de/car-1.jpg") + " \\( " + E("tagMirvane-h40.png") +
                                    " \\) '-geometry' '+398+0' '-composite' " + W("step5.jpg") + "\n");
  ExpectTagged("abc/de/car-1.jpg", "abc/de/car-TC.jpg", "1024x768");
}

TEST_F(DecorateTest, BreloSitesGetTheBreloLogo) {
  world.SelectTarget("SITAUTOPRO", "");
  world.MakePhoto("abc/de/car-1.jpg", 800, 600);
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "BRELO MORDEVALE", "", "", "", "", ""), "abc/de/car-TC.jpg");
  EXPECT_NE(world.ScriptText().find(E("tagBrelo-h40.png")), std::string::npos);
}

TEST_F(DecorateTest, LeBonCoinAtpThenZ) {
  world.SelectTarget("LEBONCOIN", "LBC");
  world.MakePhoto("abc/de/car-1.jpg", 1024, 768);
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "1", "1", "", "", ""), "abc/de/car-ATPTZ.jpg");
  EXPECT_EQ(world.ScriptText(), Convert() + " " + P("abc/de/car-1.jpg") + " \\( " + E("atp640.png") +
                                    " \\) '-geometry' '+192+0' '-composite' " + W("step0.jpg") + "\n" + Convert() +
                                    " " + W("step0.jpg") + " \\( " + E("tz.png") +
                                    " \\) '-geometry' '+5+5' '-composite' " + W("step1.jpg") + "\n");
  ExpectTagged("abc/de/car-1.jpg", "abc/de/car-ATPTZ.jpg", "1024x768");
}

TEST_F(DecorateTest, AtpBandOnNarrowPhotos) {
  world.SelectTarget("AXECIBLES", "AXE");
  for (const auto& [width, offset] : {std::pair{600, "+60+0"}, std::pair{479, "+0+0"}}) {
    const std::string name = "abc/de/w" + std::to_string(width) + "-1.jpg";
    world.MakePhoto(name, width, 400);
    EXPECT_EQ(Decorate(name, "vardo", "ATP", "", "", "", ""), "abc/de/w" + std::to_string(width) + "-ATP.jpg");
    EXPECT_EQ(world.ScriptText(), Convert() + " " + P(name) + " \\( " + E("atp480.png") + " \\) '-geometry' " +
                                      Q(offset) + " '-composite' " + W("step0.jpg") + "\n");
    ExpectTagged(name, "abc/de/w" + std::to_string(width) + "-ATP.jpg", std::to_string(width) + "x400");
  }
}

TEST_F(DecorateTest, AtpNeedsTheTargetInTheAtpList) {
  world.SelectTarget("AUTOSCOUT24", "A24");
  world.MakePhoto("abc/de/car-1.jpg", 800, 600);
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "1", "", "", "", ""), "abc/de/car-1.jpg");
  EXPECT_FALSE(ScriptWritten());
}

TEST_F(DecorateTest, SaleStamps) {
  world.SelectTarget("AUTOSCOUT24", "A24");
  world.MakePhoto("abc/de/car-1.jpg", 800, 600);
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "vendu", "", ""), "abc/de/car-V.jpg");
  EXPECT_EQ(world.ScriptText(),
            Convert() + " " + P("abc/de/car-1.jpg") + " \\( " + E("vendu.png") +
                " \\) '-alpha' 'on' '-compose' 'dissolve' '-define' 'compose:args=20' '-gravity' 'Center' "
                "'-composite' " + W("step2.jpg") + "\n" + Convert() + " " + W("step2.jpg") + " \\( " +
                E("vendu-a.png") + " \\) '-gravity' 'Center' '-composite' " + W("step3.jpg") + "\n");
  ExpectTagged("abc/de/car-1.jpg", "abc/de/car-V.jpg", "800x600");
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "reserve", "", ""), "abc/de/car-R.jpg");
  ExpectTagged("abc/de/car-1.jpg", "abc/de/car-R.jpg", "800x600");
}

TEST_F(DecorateTest, DwaReplacesDiscountAndLogo) {
  world.SelectTarget("ANNONCESJAUNES", "AJ_");
  world.MakePhoto("abc/de/car-1.jpg", 800, 600);
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "", "25", "Das WeltAuto"), "abc/de/car-dwa.jpg");
  EXPECT_EQ(world.ScriptText(), Convert() + " " + P("abc/de/car-1.jpg") + " \\( " + E("dwa.png") +
                                    " \\) '-compose' 'dissolve' '-define' 'compose:args=80' '-gravity' 'North' "
                                    "'-composite' " + W("step4.jpg") + "\n");
  ExpectTagged("abc/de/car-1.jpg", "abc/de/car-dwa.jpg", "800x600");
}

TEST_F(DecorateTest, DiscountThreshold) {
  world.SelectTarget("AUTOSCOUT24", "A24");
  world.MakePhoto("abc/de/car-1.jpg", 800, 600);
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "", "9", ""), "abc/de/car-1.jpg");
  EXPECT_FALSE(ScriptWritten());
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "", "10 %", ""), "abc/de/car-1.jpg");  // no integer
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "", "10", ""), "abc/de/car-T.jpg");
  EXPECT_EQ(world.ScriptText(),
            Convert() + " '-size' '100x60' '-gravity' 'center' '-background' 'white' '-font' 'Tahoma-Bold' "
                        "'-pointsize' '60' '-fill' 'red' '-transparent' 'white' 'caption:-10' " + W("step1.png") +
                "\n" + Convert() + " " + E("remise.png") + " \\( " + W("step1.png") +
                " \\) '-geometry' '+30+10' '-composite' " + W("step2.png") + "\n" + Convert() + " " +
                P("abc/de/car-1.jpg") + " \\( " + W("step2.png") + " \\) '-geometry' '+300+520' '-composite' " +
                W("step4.jpg") + "\n");
  ExpectTagged("abc/de/car-1.jpg", "abc/de/car-T.jpg", "800x600");
}

TEST_F(DecorateTest, DiscountHiddenForExcludedSites) {
  world.SelectTarget("ANNONCESJAUNES", "AJ_");
  world.MakePhoto("abc/de/car-1.jpg", 800, 600);
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "Pelmar-Dorn", "", "", "", "25", ""), "abc/de/car-T.jpg");
  EXPECT_EQ(world.ScriptText().find("caption:"), std::string::npos);
}

TEST_F(DecorateTest, PreconditionsLeaveTheNameAlone) {
  world.SelectTarget("ANNONCESJAUNES", "AJ_");
  world.MakePhoto("abc/de/car-1.jpg", 800, 600);
  world.MakePhoto("abc/de/nodash.jpg", 800, 600);
  EXPECT_EQ(Decorate("abc/de/nodash.jpg", "vardo", "", "", "", "25", ""), "abc/de/nodash.jpg");
  EXPECT_EQ(Decorate("abc/de/gone-1.jpg", "vardo", "", "", "", "25", ""), "abc/de/gone-1.jpg");
  // A stamp without its images.
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "perdu", "25", ""), "abc/de/car-1.jpg");
  EXPECT_FALSE(ScriptWritten());

  world.SelectTarget("PVO", "");  // in no list
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "", "25", ""), "abc/de/car-1.jpg");

  world.SelectTarget("ANNONCESJAUNES", "AJ_");
  world.state.options.tagSites = ";vardo;";
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "quivale", "", "", "", "25", ""), "abc/de/car-1.jpg");
  world.state.options.tagSites = ";all;";

  fs::remove(world.ProgramFile("tz.png"));  // every mark must be there, used or not
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "", "25", ""), "abc/de/car-1.jpg");
  EXPECT_FALSE(ScriptWritten());
  EXPECT_FALSE(fs::exists(world.StoreFile("abc/de/car-TT.jpg")));
}

TEST_F(DecorateTest, NoTagSettingPassesPhotosOn) {
  world.SelectTarget("ANNONCESJAUNES", "AJ_");
  world.MakePhoto("abc/de/car-1.jpg", 800, 600);
  world.WriteIni("[Options]\nNoTAG=1\n");
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "", "25", ""), "abc/de/car-1.jpg");
  EXPECT_FALSE(ScriptWritten());
  world.WriteIni("[Options]\nNoTAG=0\n");
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "", "25", ""), "abc/de/car-TT.jpg");
}

TEST_F(DecorateTest, StandInConvertCountsAsAbsent) {
  world.SelectTarget("ANNONCESJAUNES", "AJ_");
  world.MakePhoto("abc/de/car-1.jpg", 800, 600);
  const std::string fake = world.root / "fakebin";
  WriteHostFile(fake + "/convert", "#!/bin/sh\necho 'Version: ImageMagick 6.9.11-60 Q16'\n");
  ::chmod((fake + "/convert").c_str(), 0755);
  testing::ScopedEnv path("PATH", fake.c_str());
  EXPECT_FALSE(ImageMagickPresent());
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "", "25", ""), "abc/de/car-1.jpg");
  EXPECT_FALSE(ScriptWritten());
}

TEST_F(DecorateTest, EqualSizeTargetIsLeftAlone) {
  world.SelectTarget("ANNONCESJAUNES", "AJ_");
  world.MakePhoto("abc/de/car-1.jpg", 800, 600);
  ASSERT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "", "25", ""), "abc/de/car-TT.jpg");
  const std::string target = world.StoreFile("abc/de/car-TT.jpg");
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(48);
  fs::last_write_time(target, old);
  fs::remove(world.WorkFile("AJ_goMagick.bat"));
  ASSERT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "", "25", ""), "abc/de/car-TT.jpg");
  EXPECT_TRUE(ScriptWritten());                       // the script ran again ...
  EXPECT_EQ(fs::last_write_time(target), old);        // ... but the target was not rewritten
  // A target of another size is replaced.
  WriteHostFile(target, "older picture");
  fs::last_write_time(target, old);  // older than 2 ms, so the script runs again
  ASSERT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "", "25", ""), "abc/de/car-TT.jpg");
  EXPECT_EQ(ReadHostFile(target), ReadHostFile(world.WorkFile("AJ_step5.jpg")));
}

// The clock is fixed, so "within 2 ms" is exact: the tagged file's age is
// set below the current moment by 1 ms and by 3 ms.
TEST_F(DecorateTest, TargetYoungerThan2MsIsNotMadeAgain) {
  testing::ScopedEnv now("TARVELON_NOW", "2024-05-02 12:00:00");
  std::tm local{};
  local.tm_year = 124;
  local.tm_mon = 4;
  local.tm_mday = 2;
  local.tm_hour = 12;
  local.tm_isdst = -1;
  const auto moment = std::chrono::system_clock::from_time_t(std::mktime(&local));
  auto setAge = [&](const std::string& hostPath, int ms) {
    const auto written = moment - std::chrono::milliseconds(ms);
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(written.time_since_epoch()).count();
    timespec times[2] = {{ns / 1000000000, ns % 1000000000}, {ns / 1000000000, ns % 1000000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, hostPath.c_str(), times, 0), 0);
  };
  world.SelectTarget("ANNONCESJAUNES", "AJ_");
  world.MakePhoto("abc/de/car-1.jpg", 800, 600);
  ASSERT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "", "25", ""), "abc/de/car-TT.jpg");
  const std::string target = world.StoreFile("abc/de/car-TT.jpg");

  fs::remove(world.WorkFile("AJ_goMagick.bat"));
  setAge(target, 1);
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "", "25", ""), "abc/de/car-TT.jpg");
  EXPECT_FALSE(ScriptWritten());
  setAge(target, 2);
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "", "25", ""), "abc/de/car-TT.jpg");
  EXPECT_FALSE(ScriptWritten());
  setAge(target, 3);
  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "", "", "", "25", ""), "abc/de/car-TT.jpg");
  EXPECT_TRUE(ScriptWritten());
}

// The script never ran: ImageMagick failed on a broken mark image. The stale
// work file of an earlier photo must not be passed on as this one.
TEST_F(DecorateTest, ImageMagickFailureKeepsEarlierTagAndPublishesPlainPhoto) {
  world.SelectTarget("LEBONCOIN", "LBC");
  world.MakePhoto("abc/de/car-1.jpg", 1024, 768);
  world.MakePhoto("abc/de/other-1.jpg", 1024, 768);
  fs::copy_file(world.StoreFile("abc/de/other-1.jpg"), world.WorkFile("LBCstep0.jpg"));
  WriteHostFile(world.StoreFile("abc/de/car-ATPTZ.jpg"), "earlier tagged picture");
  fs::last_write_time(world.StoreFile("abc/de/car-ATPTZ.jpg"),
                      fs::file_time_type::clock::now() - std::chrono::hours(1));
  WriteHostFile(world.ProgramFile("atp640.png"), "not a picture");

  EXPECT_EQ(Decorate("abc/de/car-1.jpg", "vardo", "1", "1", "", "", ""), "abc/de/car-1.jpg");
  EXPECT_TRUE(ScriptWritten());
  EXPECT_EQ(ReadHostFile(world.StoreFile("abc/de/car-ATPTZ.jpg")), "earlier tagged picture");
  EXPECT_FALSE(fs::exists(world.WorkFile("LBCstep0.jpg")));
  EXPECT_FALSE(fs::exists(world.WorkFile("LBCstep1.jpg")));
  EXPECT_NE(world.LogText().find("Pb Tag : abc/de/car-1.jpg - ImageMagick n'a pas produit "), std::string::npos)
      << world.LogText();
}

// Folders named by the settings reach the script only as inert arguments.
TEST_F(DecorateTest, HostileFolderNamesStayInert) {
  const std::string evil = "it's $(touch pwned1) `touch pwned2`; touch pwned3 \"q\" (x)";
  const std::string program = world.root / ("prog " + evil);
  fs::create_directories(program);
  for (const auto& entry : fs::directory_iterator(world.programHost))
    fs::copy_file(entry.path(), fs::path(program) / entry.path().filename());
  testing::ScopedEnv home("TARVELON_HOME", program.c_str());
  world.state.options.photoStore = "c:\\store " + evil;
  const std::string storeHost = world.driveCHost + "/store " + evil;
  fs::create_directories(storeHost + "/abc/de");
  world.MakePhoto("abc/de/car-1.jpg", 800, 600);
  fs::rename(world.StoreFile("abc/de/car-1.jpg"), storeHost + "/abc/de/car-1.jpg");
  world.SelectTarget("ANNONCESJAUNES", "AJ_");

  std::string result;
  {
    InFolder here(world.root.path());  // where a command that ran would leave its files
    result = Decorate("abc/de/car-1.jpg", "vardo", "", "", "", "25", "");
  }

  EXPECT_EQ(result, "abc/de/car-TT.jpg");
  EXPECT_NE(world.ScriptText().find("prog it'\\''s $(touch pwned1)"), std::string::npos) << world.ScriptText();
  for (const char* name : {"pwned1", "pwned2", "pwned3"}) EXPECT_FALSE(fs::exists(world.root / name)) << name;
  EXPECT_TRUE(fs::exists(storeHost + "/abc/de/car-TT.jpg"));
  EXPECT_EQ(Identify(storeHost + "/abc/de/car-TT.jpg"), "JPEG 800x600");
}

// A photo name from the stock extract with every shell character: one inert
// argument, decorated like any other.
TEST_F(DecorateTest, HostilePhotoNameStaysInert) {
  const std::string file = "it's $(touch pwned1) `touch pwned2`; touch pwned3 & \"q\" (x) > pwned4";
  const std::string name = "abc/de/" + file + "-1.jpg";
  world.SelectTarget("LEBONCOIN", "LBC");
  world.MakePhoto(name, 800, 600);

  std::string result;
  {
    InFolder here(world.root.path());
    result = Decorate(name, "vardo", "1", "", "", "", "");
  }

  EXPECT_EQ(result, "abc/de/" + file + "-ATP.jpg");
  for (const char* pwned : {"pwned1", "pwned2", "pwned3", "pwned4"})
    EXPECT_FALSE(fs::exists(world.root / pwned)) << pwned;
  ExpectTagged(name, "abc/de/" + file + "-ATP.jpg", "800x600");
}

// Names that would lead out of the photo store are refused before anything is written.
TEST_F(DecorateTest, UnsafePhotoNameIsRefused) {
  world.SelectTarget("ANNONCESJAUNES", "AJ_");
  for (const std::string name : {"../../../etc-1.jpg", "abc/../../x-1.jpg", "/abs/olute-1.jpg"}) {
    EXPECT_EQ(Decorate(name, "vardo", "", "", "", "25", ""), name);
    EXPECT_NE(world.LogText().find(" - Pb Existence : " + name + "\r\n"), std::string::npos) << name;
  }
  EXPECT_FALSE(ScriptWritten());
}

}  // namespace
}  // namespace tarvelon
