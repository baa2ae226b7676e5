// PARUVENDU through the tarvelon binary, against a real FTP server holding
// the clients' accounts. The client files are compared byte for byte with
// the expected files of the case and read back by an independent parser.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/export_sandbox.h"
#include "support/ftp_server.h"
#include "exporters/paruvendu/paruvendu_exporter.h"
#include "support/golden.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

class ParuVenduFeed : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"pelmar", "quivale/depot", "pictlore/www/pictlore"}) MakeHostFolders(ftpRoot_ / folder);
    server_.Start({{"pelmar", "pelmar-pw", ftpRoot_ / "pelmar"},
                   {"quivale", "quivale-pw", ftpRoot_ / "quivale"},
                   {"pictlore", "pictlore-pw", ftpRoot_ / "pictlore"}});
    sandbox_.AddExtract(CasePath(kCase, "ExpDatasPARUVENDU.xml"));
    sandbox_.WriteSettings(ReadHostFile(CasePath(kCase, "Tarvelon.ini")), {{"FTP", server_.address()}});
  }

  std::string Work(const std::string& name) const { return sandbox_.work() + "/Tarvelon/" + name; }

  // One client file's elements, as an independent XML reader lists them.
  std::string Query(const std::string& file, const std::string& xpath) const {
    std::string out;
    EXPECT_EQ(RunCommand("xmllint --xpath '" + xpath + "' '" + Work(file) + "' 2>&1", &out), 0) << out;
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
  }

  static constexpr const char* kCase = "paruvendu-blocks-and-lower-tags";
  ExportSandbox sandbox_;
  TempFolder ftpRoot_;
  FtpServer server_;
};

TEST_F(ParuVenduFeed, EachClientFileHasTitleVehiculeAndOffreBlocksInLowerCase) {
  const ExportResult run = sandbox_.Run("paruvendu");
  ASSERT_EQ(run.exitCode, 0) << run.output;

  for (const char* name : {"2001.xml", "pv-quivale.xml"}) {
    SCOPED_TRACE(name);
    std::string report;
    EXPECT_EQ(RunCommand("xmllint --noout '" + Work(name) + "' 2>&1", &report), 0) << report;
    ExpectSameAsGolden(ReadHostFile(Work(name)), CasePath(kCase, std::string("expected/") + name));
  }
  EXPECT_EQ(ReadHostFile(Work("PARUVENDU-PELMAR-VO-20170214.xml")), ReadHostFile(Work("2001.xml")));
  EXPECT_EQ(ReadHostFile(Work("PARUVENDU-QUIVALE-VD-20170214.xml")), ReadHostFile(Work("pv-quivale.xml")));

  // The title keeps the extract's brand and the whole version; VEHICULE has the mapped brand
  // and the version cut so that brand, model and version make 50 characters.
  const std::string title = Query("2001.xml", "string(//annonce[1]/titre)");
  EXPECT_EQ(title, "VW Golf 2.0 TDI 150 Carat Edition DSG7 Navi Pro Toit Panoram");
  EXPECT_EQ(title.size(), 60u);
  EXPECT_EQ(Query("2001.xml", "string(//annonce[1]/vehicule/marque)"), "Volkswagen");
  EXPECT_EQ(Query("2001.xml", "string(//annonce[1]/vehicule/version)"), "2.0 TDI 150 Carat Edition DSG7 Navi Pro...");
  // An extract element whose name starts with a lowered name keeps its own name whole.
  EXPECT_EQ(Query("2001.xml", "string(//annonce[1]/TitreAnnonce)"), "Belle Golf break");
  EXPECT_EQ(Query("2001.xml", "string(//annonce[1]/PRIX_HT)"), "16658");
  EXPECT_EQ(Query("2001.xml", "string(//annonce[1]/vehicule/COULEUR)"), "GRIS");
  // Side by side: the vehicle with photos ends with them, the one without ends with its offre.
  EXPECT_EQ(Query("2001.xml", "name(//annonce[1]/*[last()])"), "photos");
  EXPECT_EQ(Query("2001.xml", "count(//annonce[1]/photos/photo)"), "2");
  EXPECT_EQ(Query("2001.xml", "name(//annonce[2]/*[last()])"), "offre");
  // An empty first code list no longer leaves the code lists in the ad.
  EXPECT_EQ(Query("2001.xml", "count(//annonce[2]/EQUTEXTERIEUR)"), "0");
  // The demonstration vehicle 20 % below its catalogue price: the sentence, but no remise.
  const std::string comment = Query("pv-quivale.xml", "string(//annonce/vehicule/commentaire_public_vo)");
  EXPECT_EQ(comment.rfind("Prix catalogue : 20 000 euros, soit une remise de 20.0% sur ce v", 0), 0u) << comment;
  EXPECT_EQ(Query("pv-quivale.xml", "count(//remise)"), "0");
  EXPECT_EQ(Query("pv-quivale.xml", "string(/client/coordonnees/ville)"), "");
  EXPECT_EQ(Query("pv-quivale.xml", "count(/client/coordonnees/ville)"), "1");

  // The archives are made, the result files themselves are delivered.
  EXPECT_EQ(ReadHostFile(ftpRoot_ / "pelmar/2001.xml"), ReadHostFile(Work("2001.xml")));
  EXPECT_EQ(ReadHostFile(ftpRoot_ / "quivale/depot/pv-quivale.xml"), ReadHostFile(Work("pv-quivale.xml")));
  EXPECT_FALSE(fs::exists(ftpRoot_ / "pelmar/2001.zip"));
  std::string content;
  ASSERT_EQ(RunCommand("unzip -p '" + Work("2001.zip") + "' 2001.xml", &content), 0);
  EXPECT_EQ(content, ReadHostFile(Work("2001.xml")));

  ExpectSameAsGolden(MaskLogStamps(ReadHostFile(sandbox_.work() + "/MarqueUpdatePARUVENDU.log")),
                     CasePath(kCase, "expected.log"));
}

}  // namespace
}  // namespace tarvelon

namespace tarvelon {
namespace {

TEST(LowerTag, LowersWholeNamesOnlyAndGivesTheListedNamesTheirLowerForm) {
  const std::string text =
      "<CLIENT CODE=\"7\"><CODE_POSTAL>1</CODE_POSTAL><TitreAnnonce>a</TitreAnnonce><TITRE>b</TITRE>"
      "<Titre/><TITRE\tx=\"1\">c</TITRE></CLIENT>";
  std::string out = LowerTag(text, "CLIENT CODE");
  out = LowerTag(out, "CLIENT");
  out = LowerTag(out, "CODE");
  EXPECT_EQ(out.find("<code_POSTAL>"), std::string::npos);  // CODE leaves CODE_POSTAL whole
  out = LowerTag(LowerTag(out, "CODE_POSTAL"), "TITRE");
  EXPECT_EQ(out,
            "<client code=\"7\"><code_postal>1</code_postal><TitreAnnonce>a</TitreAnnonce><titre>b</titre>"
            "<titre/><titre\tx=\"1\">c</titre></client>");
}

TEST(LowerTags, OnePassGivesWhatEachNameInTurnGives) {
  const std::string text =
      "<CLIENT CODE=\"7\"><Code>x</Code><CODE_POSTAL>1</CODE_POSTAL><CLIENTS/><TITRE>b</TITRE><Titre/>"
      "<TITRE\tx=\"1\">c</TITRE><ANNONCE><PHOTOS><PHOTO>p</PHOTO></PHOTOS></ANNONCE><PHOTO</CLIENT>";
  const std::vector<std::string> names = {"CLIENT CODE", "CLIENT", "CODE", "CODE_POSTAL", "TITRE", "ANNONCE",
                                          "PHOTOS", "PHOTO"};
  std::string inTurn = text;
  for (const std::string& name : names) inTurn = LowerTag(inTurn, name);
  EXPECT_EQ(LowerTags(text, names), inTurn);
  EXPECT_NE(inTurn, text);
}

}  // namespace
}  // namespace tarvelon
