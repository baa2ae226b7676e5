// BuildClientFiles inside the program: summary texts, exclusions counted per
// client, and run totals that add up over the exports of one process.
#include <gtest/gtest.h>

#include "app/run_state.h"
#include "exporters/annonce/client_files.h"
#include "platform/paths.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;

// Two clients at the same site, one for every type and one for used vehicles;
// vehicle 2 is excluded and so counts once for each of them.
const char* const kPrepared =
    "<?xml version=\"1.0\"?>\n<document><COORDONNEESS EOF=\"0\" RecordName=\"COORDONNEES\">"
    "<COORDONNEES><CODECLIENT>A1</CODECLIENT><TypeVO/><InfoVille>PEL</InfoVille><cGroup>G</cGroup></COORDONNEES>"
    "<COORDONNEES><CODECLIENT>A2</CODECLIENT><TypeVO>1</TypeVO><InfoVille>PEL</InfoVille><cGroup>G</cGroup>"
    "</COORDONNEES></COORDONNEESS><DataVOS EOF=\"0\" RecordName=\"DataVO\">"
    "<DataVO><idVO>1</idVO><TypeVO>1</TypeVO><InfoVille>pel</InfoVille><REFERENCE>r1</REFERENCE></DataVO>"
    "<DataVO><idVO>2</idVO><TypeVO>1</TypeVO><InfoVille>PEL</InfoVille><REFERENCE>r2</REFERENCE>"
    "<FlagExclusion>true</FlagExclusion></DataVO>"
    "<DataVO><idVO>3</idVO><TypeVO>2</TypeVO><InfoVille>PEL</InfoVille><REFERENCE>r3</REFERENCE>"
    "<remise>15</remise></DataVO></DataVOS></document>\n";

class ClientFiles : public ::testing::Test {
 protected:
  ClientFiles() : sharedTemp_("SharedTemp", work_.path().c_str()) {
    MakeHostFolders(work_ / "Tarvelon");
    WriteHostFile(work_ / "Tarvelon.ini", "[Options]\r\nNoFTP=1\r\nDebug=0\r\n");
    WriteHostFile(work_ / "Tarvelon/prepared.xml", kPrepared);
    state_.exportOption = "LEBONCOIN";
    state_.config = IniFile(work_ / "Tarvelon.ini");
  }

  std::string Build() {
    IXMLCursor cursor;
    BuildClientFiles(state_, cursor, kPrepared, WorkDir() + "Tarvelon\\prepared.xml");
    const std::string last = state_.window.memo().back();
    return last.substr(last.find(" - ") + 3);
  }

  TempFolder work_;
  ScopedEnv sharedTemp_;
  RunState state_;
};

TEST_F(ClientFiles, SummaryCountsPerClientAndTotalsAddUpOverTheProcess) {
  EXPECT_EQ(Build(),
            "PEL : 2 VO - 1 exclu - 1 remis\xE9 - A1.xml, PEL-VO : 1 VO - 1 exclu - A2.xml, "
            "Fichiers VO actualis\xE9s sur site FTP au total : 3 VO transmis, 2 exclus, 1 remis\xE9");
  EXPECT_EQ(ReadHostFile(work_ / "Tarvelon/A2.xml"),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>\n<CLIENT CODE=\"A2\"><COORDONNEES/>"
            "<ANNONCE><REFERENCE>r1</REFERENCE></ANNONCE></CLIENT>\n");
  EXPECT_EQ(state_.ftpLogSuffix, " - A2");
  EXPECT_EQ(state_.window.target().server, "ftp.passerelle-annonces.fr");

  // A second export in the same process reports the sum of both.
  const std::string second = Build();
  EXPECT_EQ(second.substr(second.find("Fichiers")),
            "Fichiers VO actualis\xE9s sur site FTP au total : 6 VO transmis, 4 exclus, 2 remis\xE9s");
  EXPECT_EQ(state_.clientTotals.sent, 6);
}

}  // namespace
}  // namespace tarvelon
