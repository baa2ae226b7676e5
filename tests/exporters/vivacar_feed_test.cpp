// VIVACAR through the tarvelon binary: one JSON file per client, parsed by
// Python's strict JSON reader, the copies in the drop folder and the
// generated batch file run with an operator script that records its
// arguments.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/export_sandbox.h"
#include "exporters/vivacar/vivacar_exporter.h"
#include "support/golden.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

const char* const kCase = "vivacar-json-and-batch";
const char* const kHostileName = "mirvane_it's \"nord\" $(touch pwned); x.txt";

class VivacarFeed : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeHostFolders(dropFolder());
    // The operator's script: not executable, as it comes from the Windows side.
    WriteHostFile(dropFolder() + "/Opt2Vivafi.bat",
                  "printf '%s|%s\\n' \"$#\" \"$1\" >> \"$(dirname \"$0\")/calls.log\"\n");
    WriteHostFile(dropFolder() + "/old.txt", "previous run");
    WriteHostFile(dropFolder() + "/keep.dat", "not a txt file");
    WriteHostFile(dropFolder() + "/SendSynchroResults.log", "previous results");
    sandbox_.AddExtract(CasePath(kCase, "ExpDatasVIVACAR.xml"));
    sandbox_.WriteSettings(ReadHostFile(CasePath(kCase, "Tarvelon.ini")));
  }

  std::string dropFolder() const { return sandbox_.extracts() + "/Vivacar"; }
  std::string Work(const std::string& name) const { return sandbox_.work() + "/Tarvelon/" + name; }

  ExportSandbox sandbox_;
};

// The file as Python's strict JSON reader sees it, dumped one member a line
// (UTF-8). The path travels in a file: it may hold any character.
std::string StrictRead(const std::string& hostFile) {
  TempFolder scratch;
  WriteHostFile(scratch / "target", hostFile);
  WriteHostFile(scratch / "check.py",
                "import json, sys\n"
                "path = open(sys.argv[1], encoding='utf-8').read()\n"
                "text = open(path, encoding='cp1252', newline='').read()\n"
                "print(json.dumps(json.loads(text), ensure_ascii=False, indent=1))\n");
  std::string out;
  EXPECT_EQ(RunCommand("/usr/bin/python3 '" + (scratch / "check.py") + "' '" + (scratch / "target") + "' 2>&1", &out), 0)
      << hostFile << "\n" << out;
  return out;
}

TEST_F(VivacarFeed, EachClientGetsItsJsonFileCopiedAndHandedToTheOperatorScript) {
  const ExportResult run = sandbox_.Run("vivacar");
  ASSERT_EQ(run.exitCode, 0) << run.output;

  // Before the run the drop folder lost its ".txt" files and the old results only.
  EXPECT_FALSE(fs::exists(dropFolder() + "/old.txt"));
  EXPECT_TRUE(fs::exists(dropFolder() + "/keep.dat"));
  EXPECT_FALSE(fs::exists(dropFolder() + "/SendSynchroResults.log"));

  // Byte layout and values of the two files whose names are fixed; the second client
  // of the same Vivacar name gets its client code in the name instead of overwriting.
  for (const char* name : {"mirvane_ostamel-vo.txt", "mirvane_ostamel-vo-3003.txt"}) {
    SCOPED_TRACE(name);
    ExpectSameAsGolden(ReadHostFile(Work(name)), CasePath(kCase, std::string("expected/") + name));
    ExpectSameAsGolden(StrictRead(Work(name)), CasePath(kCase, std::string("expected/") + name + ".values"));
    EXPECT_EQ(ReadHostFile(dropFolder() + "/" + name), ReadHostFile(Work(name)));
  }
  // The hostile site label is only a file name.
  const std::string hostile = StrictRead(dropFolder() + "/" + kHostileName);
  EXPECT_NE(hostile.find("\"immatriculation\": \"BB-303-BB\""), std::string::npos) << hostile;
  EXPECT_NE(hostile.find("\"libelleGarantie\": \"Constructeur Garantie constructeur\""), std::string::npos) << hostile;
  EXPECT_EQ(hostile.find("dureeGarantie"), std::string::npos) << hostile;

  // Opt2VivafiAll.bat: a /bin/sh script, LF line ends, one call per file, each path one argument.
  const std::string batch = ReadHostFile(dropFolder() + "/Opt2VivafiAll.bat");
  EXPECT_EQ(batch.find('\r'), std::string::npos);
  EXPECT_EQ(batch.rfind("#!/bin/sh\n", 0), 0u);
  const std::string drop = fs::canonical(dropFolder()).string();
  EXPECT_EQ(ReadHostFile(dropFolder() + "/calls.log"),
            "1|" + drop + "/mirvane_ostamel-vo.txt\n" + "1|" + drop + "/" + kHostileName + "\n" + "1|" + drop +
                "/mirvane_ostamel-vo-3003.txt\n");
  for (const auto& entry : fs::recursive_directory_iterator(sandbox_.root()))
    EXPECT_NE(entry.path().filename(), "pwned") << entry.path();
  EXPECT_FALSE(fs::exists("pwned"));

  // The archive holds the Vivacar file and is not sent; the client file keeps its working elements.
  std::string listing;
  ASSERT_EQ(RunCommand("unzip -Z1 '" + Work("3001.zip") + "'", &listing), 0);
  EXPECT_EQ(listing, "mirvane_ostamel-vo.txt\n");
  const std::string clientFile = ReadHostFile(Work("3001.xml"));
  EXPECT_NE(clientFile.find("<Options>Climatisation, Navigation GPS, ABS, V"), std::string::npos);
  EXPECT_NE(clientFile.find("<LIBELLEVILLE>Sauvrel</LIBELLEVILLE>"), std::string::npos);
  EXPECT_NE(clientFile.find("<IDPHOTO2>"), std::string::npos);

  EXPECT_NE(run.output.find("Dans GoExportVivacarJSON -> AA-302-AA - sl-R302"), std::string::npos) << run.output;
  ExpectSameAsGolden(MaskLogStamps(ReadHostFile(sandbox_.work() + "/MarqueUpdateVIVACAR.log")),
                     CasePath(kCase, "expected.log"));
}

TEST_F(VivacarFeed, ARunWhereNoClientKeepsAVehicleWritesNoJsonAndRunsNothing) {
  // Every vehicle is excluded.
  std::string extract = ReadHostFile(CasePath(kCase, "ExpDatasVIVACAR.xml"));
  const std::string noExclusion = "<ListExclusionsS EOF=\"0\" RecordName=\"ListExclusions\"/>";
  std::string exclusions = "<ListExclusionsS EOF=\"0\" RecordName=\"ListExclusions\">";
  for (const char* id : {"301", "302", "303", "304"})
    exclusions += std::string("<ListExclusions><idtVO>") + id + "</idtVO></ListExclusions>";
  extract.replace(extract.find(noExclusion), noExclusion.size(), exclusions + "</ListExclusionsS>");
  WriteHostFile(sandbox_.extracts() + "/ExpDatasVIVACAR.xml", extract);
  const ExportResult run = sandbox_.Run("VIVACAR");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  for (const auto& entry : fs::directory_iterator(dropFolder()))
    EXPECT_NE(entry.path().extension(), ".txt") << entry.path();
  EXPECT_FALSE(fs::exists(dropFolder() + "/Opt2VivafiAll.bat"));
  EXPECT_FALSE(fs::exists(dropFolder() + "/calls.log"));
}

}  // namespace
}  // namespace tarvelon

namespace tarvelon {
namespace {

TEST(VivacarJsonValues, StringsAreEscapedAndRawNumbersAreNumbersOrNull) {
  EXPECT_EQ(JsonStringContent("17\" \\ a\r\n\t\b\f\x01\x1F\xE9/"), "17\\\" \\\\ a\\r\\n\\t\\b\\f\\u0001\\u001F\xE9/");
  EXPECT_EQ(JsonNumberOrNull("15990,50"), "15990.50");
  EXPECT_EQ(JsonNumberOrNull(" 45000 "), "45000");
  EXPECT_EQ(JsonNumberOrNull("-1.5E3"), "-1.5E3");
  for (const char* notANumber : {"", "12 500", "1,2,3", "007", "1.", ".5", "abc", "+1", "NaN"})
    EXPECT_EQ(JsonNumberOrNull(notANumber), "null") << notANumber;
  EXPECT_EQ(VivacarFileName("SAUVREL-VO"), "mirvane_ostamel-vo.txt");
  EXPECT_EQ(VivacarFileName("Pelmar-sauvrel"), "mirvane_pelmar-ostamel.txt");
}

}  // namespace
}  // namespace tarvelon
