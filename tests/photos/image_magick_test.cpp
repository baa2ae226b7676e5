// Which "convert" on PATH counts as ImageMagick.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "photos/decorate.h"
#include "photos/image_magick.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using testing::ScopedEnv;
using testing::TempFolder;

// A script that claims to be ImageMagick.
std::string MakeStandIn(const TempFolder& folder) {
  const std::string bin = folder / "bin";
  testing::WriteHostFile(bin + "/convert", "#!/bin/sh\necho 'Version: ImageMagick 6.9.11-60 Q16'\n");
  ::chmod((bin + "/convert").c_str(), 0755);
  return bin;
}

TEST(ImageMagickProbe, FindsDebianConvert) {
  ScopedEnv path("PATH", "/usr/bin:/bin");
  EXPECT_TRUE(ImageMagickPresent());
  EXPECT_EQ(ImageMagickConvertPath(), "/usr/bin/convert");
}

TEST(ImageMagickProbe, PassesOverAStandInScript) {
  TempFolder folder;
  const std::string standIn = MakeStandIn(folder);
  {
    ScopedEnv path("PATH", standIn.c_str());
    EXPECT_FALSE(ImageMagickPresent());
  }
  ScopedEnv path("PATH", (standIn + ":/usr/bin").c_str());
  EXPECT_EQ(ImageMagickConvertPath(), "/usr/bin/convert");
}

TEST(ImageMagickProbe, AnotherProgramNamedConvertIsNotImageMagick) {
  TempFolder folder;
  const std::string bin = folder / "bin";
  testing::MakeHostFolders(bin);
  ASSERT_EQ(::symlink("/bin/true", (bin + "/convert").c_str()), 0);
  ScopedEnv path("PATH", bin.c_str());
  EXPECT_FALSE(ImageMagickPresent());
}

TEST(ImageMagickProbe, NothingOnPath) {
  ScopedEnv path("PATH", "");
  EXPECT_FALSE(ImageMagickPresent());
  ScopedEnv relative("PATH", "bin:.");
  EXPECT_FALSE(ImageMagickPresent());
}

}  // namespace
}  // namespace tarvelon
