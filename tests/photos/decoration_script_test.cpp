// The command lines of the tagging script, their order and numbers, and the
// quoting that keeps every value inert.
#include <gtest/gtest.h>

#include <filesystem>

#include "photos/decoration_script.h"
#include "support/photo_world.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using testing::Q;

DecorationFolders Folders() {
  DecorationFolders f;
  f.photo = "/s/abc/de/car-1.jpg";
  f.programFolder = "/e/";
  f.workPrefix = "/w/LBC";
  f.tagImage = "/e/tagMirvane-h40.png";
  return f;
}

std::string Lines(const DecorationPlan& plan) { return DecorationScript("/usr/bin/convert", plan); }

const std::string C = Q("/usr/bin/convert");

TEST(DecorationPlan, AtpBandFollowsThePhotoWidth) {
  MarkChoice atp;
  atp.atpBand = true;
  struct Case {
    int width;
    std::string band, offset;
  } cases[] = {{600, "atp480.png", "+60+0"},  {1024, "atp640.png", "+192+0"}, {479, "atp480.png", "+0+0"},
               {640, "atp640.png", "+0+0"},   {639, "atp480.png", "+79+0"},   {470, "atp480.png", "+-5+0"},
               {100, "atp480.png", "+-190+0"}};
  for (const auto& c : cases) {
    DecorationPlan plan = PlanDecoration(atp, c.width, 400, Folders());
    EXPECT_EQ(plan.marks, "ATP");
    EXPECT_EQ(plan.finalWorkFile, "step0.jpg");
    EXPECT_EQ(Lines(plan), C + " " + Q("/s/abc/de/car-1.jpg") + " \\( " + Q("/e/" + c.band) + " \\) " +
                               Q("-geometry") + " " + Q(c.offset) + " " + Q("-composite") + " " +
                               Q("/w/LBCstep0.jpg") + "\n")
        << "width " << c.width;
  }
}

TEST(DecorationPlan, SmallPhotoGivesNegativeOffsets) {
  MarkChoice choice;
  choice.discount = "30";
  choice.inTag = true;
  choice.centredLogo = true;
  DecorationPlan plan = PlanDecoration(choice, 100, 50, Folders());
  EXPECT_EQ(plan.marks, "TTC");
  const std::string text = Lines(plan);
  EXPECT_NE(text.find("'-geometry' '+-32+-16'"), std::string::npos) << text;  // (100-165)/2, 50-66
  EXPECT_NE(text.find("'-geometry' '+-64+0'"), std::string::npos) << text;    // (100-228)/2
}

TEST(DecorationPlan, DwaDropsDiscountAndLogo) {
  MarkChoice choice;
  choice.dwaLabel = true;
  choice.discount = "25";
  choice.inTag = true;
  DecorationPlan plan = PlanDecoration(choice, 800, 600, Folders());
  EXPECT_EQ(plan.marks, "dwa");
  EXPECT_EQ(Lines(plan), C + " '/s/abc/de/car-1.jpg' \\( '/e/dwa.png' \\) '-compose' 'dissolve' '-define' "
                             "'compose:args=80' '-gravity' 'North' '-composite' '/w/LBCstep4.jpg'\n");
}

TEST(DecorationPlan, EveryMarkInItsOrder) {
  MarkChoice choice;
  choice.atpBand = true;
  choice.zBadge = true;
  choice.saleStatus = "vendu";
  choice.discount = "15";
  choice.inTag = true;
  DecorationPlan plan = PlanDecoration(choice, 640, 480, Folders());
  EXPECT_EQ(plan.marks, "ATPTZVTT");
  ASSERT_EQ(plan.commands.size(), 8u);
  EXPECT_EQ(plan.commands[3][0], "/w/LBCstep2.jpg");
  EXPECT_EQ(plan.commands[6][0], "/w/LBCstep3.jpg");  // the badge goes on the stamped picture
  EXPECT_EQ(plan.commands[7][0], "/w/LBCstep4.jpg");
  EXPECT_EQ(plan.workFiles, (std::vector<std::string>{"step0.jpg", "step1.jpg", "step2.jpg", "step3.jpg",
                                                      "step1.png", "step2.png", "step4.jpg", "step5.jpg"}));
}

TEST(DecorationPlan, NoMarkNoCommand) {
  DecorationPlan plan = PlanDecoration(MarkChoice{}, 800, 600, Folders());
  EXPECT_EQ(plan.marks, "");
  EXPECT_TRUE(plan.commands.empty());
  EXPECT_EQ(DecorationScript("/usr/bin/convert", plan), "");
}

TEST(DecorationPlan, RelativePathsCannotPassForOptions) {
  DecorationFolders f = Folders();
  f.photo = "-images/abc/de/car-1.jpg";
  f.workPrefix = "work/AJ_";
  MarkChoice choice;
  choice.zBadge = true;
  DecorationPlan plan = PlanDecoration(choice, 800, 600, f);
  EXPECT_EQ(plan.commands[0][0], "./-images/abc/de/car-1.jpg");
  EXPECT_EQ(plan.commands[0].back(), "./work/AJ_step1.jpg");
}

TEST(ShellQuote, EveryValueStaysOneInertArgument) {
  testing::TempFolder scratch;
  const std::string hostile[] = {
      "it's",          "a b  c",           "x;touch " + scratch / "p1", "$(touch " + scratch / "p2" + ")",
      "`touch " + scratch / "p3" + "`", "'\"'\"'", "\\'; touch " + scratch / "p4" + "; '", "tab\there",
      "line\nbreak",   "*",                "$HOME",                      "",
  };
  for (const auto& value : hostile) {
    std::string out;
    const std::string command = "printf '[%s]' " + ShellQuote(value);
    ASSERT_EQ(testing::RunCommand(command, &out), 0) << value;
    EXPECT_EQ(out, "[" + value + "]");
  }
  for (const char* name : {"p1", "p2", "p3", "p4"})
    EXPECT_FALSE(std::filesystem::exists(scratch / name)) << name;
}

}  // namespace
}  // namespace tarvelon
