// Hostile stock extracts and settings files as a whole, through the tarvelon
// binary: an entity bomb and external entities end the run with the cursor's
// error and fetch nothing; settings lines of 100 000 characters are read with
// the stated cut.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "support/export_sandbox.h"
#include "support/fault_table.h"
#include "support/ftp_server.h"
#include "support/golden.h"
#include "support/hostile_inputs.h"
#include "support/http_recorder.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

const char* const kSecretMarker = "CANARY-SECRET-51C9";

struct ExtractOf {
  const char* key;
  const char* caseName;
  const char* file;  // the key's extract file name, as in the case folder
};
// A semicolon feed, an annonce feed (it re-reads its edited text) and an XML feed.
const ExtractOf kExtracts[] = {
    {"LARGUS", "largus-three-clients", "ExpDatasLArgus.xml"},
    {"LEBONCOIN", "leboncoin-two-sites", "ExpDatasLEBONCOIN.xml"},
    {"TOPANNONCES", "topannonces-photos", "ExpDatasTopAnnonces.xml"},
};

// The case's extract with a document type declaration after the XML
// declaration and an entity reference as the text of its first brand.
std::string WithDoctype(const std::string& xml, const std::string& doctype, const std::string& reference) {
  std::string out = xml;
  out.insert(out.find("?>") + 2, "\n" + doctype);
  for (const char* element : {"<MARQUE>", "<Marque>", "<marque>"}) {
    size_t at = out.find(element);
    if (at == std::string::npos) continue;
    size_t start = at + std::string(element).size();
    out.replace(start, out.find('<', start) - start, reference);
    break;
  }
  return out;
}

std::string BillionLaughs() {
  std::string dtd = "<!DOCTYPE document [<!ENTITY lol \"lol\">";
  for (int i = 1; i <= 9; ++i) {
    dtd += "<!ENTITY lol" + std::to_string(i) + " \"";
    for (int k = 0; k < 10; ++k) dtd += i == 1 ? "&lol;" : "&lol" + std::to_string(i - 1) + ";";
    dtd += "\">";
  }
  return dtd + "]>";
}

class HostileExtract : public ::testing::TestWithParam<ExtractOf> {
 protected:
  void SetUp() override {
    WriteHostFile(outside_ / "secret.txt", kSecretMarker);
    MakeHostFolders(ftpRoot_ / "www/pictlore");
    ftp_.Start(ftpRoot_.path(), "kord", "secret");
    http_.Start();
    const std::string key = GetParam().key;
    sandbox_.WriteSettings("[Pictlore]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\n[" + key +
                               "]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nTestFTPPictlore=0\r\n",
                           {{"FTP", ftp_.address()}});
    sandbox_.SetTimeLimit(120);
    sandbox_.SetPeakMemoryFile(outside_ / "peak-kb");
  }

  // Runs the key over the extract; expects the cursor's load error for the
  // key's extract, a bounded peak memory, and no trace of the secret.
  void ExpectRefused(const std::string& fault, const std::string& extract) {
    const ExtractOf& target = GetParam();
    WriteHostFile(sandbox_.extracts() + "/" + target.file, extract);
    const auto started = std::chrono::steady_clock::now();
    const ExportResult run = sandbox_.Run(target.key);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(run.exitCode, 1) << run.output;
    const std::string head = "TXMLCursor.Load FileName: \"c:\\projects\\kord\\data\\Tarvelon\\" + std::string(target.file) + "\"";
    EXPECT_NE(run.output.find(head), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find(kSecretMarker), std::string::npos);
    const long peakKb = std::stol(ReadHostFile(outside_ / "peak-kb"));
    EXPECT_LT(peakKb, 300 * 1024) << "peak resident size (KB)";
    for (const std::string& folder : {sandbox_.root(), ftpRoot_.path()}) {
      EXPECT_TRUE(FilesHolding(folder, kSecretMarker).empty()) << ::testing::PrintToString(FilesHolding(folder, kSecretMarker));
    }
    EXPECT_TRUE(http_.Requests().empty());
    RecordFault(fault, std::string("stock extract of ") + target.key,
                (HasFailure() ? "FAULT: exit " : "load error, exit ") + std::to_string(run.exitCode) + ", peak " +
                    std::to_string(peakKb / 1024) + " MB",
                seconds);
  }

  std::string CaseExtract() const { return ReadHostFile(CasePath(GetParam().caseName, GetParam().file)); }

  TempFolder outside_, ftpRoot_;
  ExportSandbox sandbox_;
  FtpServer ftp_;
  HttpRecorder http_;
};

TEST_P(HostileExtract, AnEntityBombEndsTheRunWithTheLoadError) {
  ExpectRefused("XML entity bomb", WithDoctype(CaseExtract(), BillionLaughs(), "&lol9;"));
}

TEST_P(HostileExtract, ExternalEntitiesAreNeitherReadNorFetched) {
  const std::string file = outside_ / "secret.txt";
  const std::string web = "http://" + http_.address();
  ExpectRefused("external entity (file, loopback HTTP)",
                WithDoctype(CaseExtract(),
                            "<!DOCTYPE document SYSTEM \"" + web + "/extract.dtd\" [<!ENTITY f SYSTEM \"file://" + file +
                                "\"><!ENTITY w SYSTEM \"" + web + "/entity\"><!ENTITY % p SYSTEM \"" + web +
                                "/parameter\"> %p;]>",
                            "&f;&w;"));
  ExpectRefused("external entity (plain path)",
                WithDoctype(CaseExtract(), "<!DOCTYPE document [<!ENTITY f SYSTEM \"" + file + "\">]>", "&f;"));
}

INSTANTIATE_TEST_SUITE_P(ThreeFeeds, HostileExtract, ::testing::ValuesIn(kExtracts),
                         [](const ::testing::TestParamInfo<ExtractOf>& info) { return std::string(info.param.key); });

TEST(HostileSettings, LinesOfAHundredThousandCharactersAreReadWithTheCut) {
  TempFolder ftpRoot;
  MakeHostFolders(ftpRoot / "largus");
  FtpServer ftp;
  ftp.Start(ftpRoot.path(), "kord", "secret");
  ExportSandbox sandbox;
  sandbox.SetTimeLimit(120);
  sandbox.AddExtract(CasePath("largus-three-clients", "ExpDatasLArgus.xml"));
  const std::string longText(100000, 'u');
  std::string ini = "[" + std::string(100000, 'S') + "]\r\n" + std::string(100000, 'K') + "=value\r\n";
  for (int i = 0; i < 20; ++i) ini += "[Filler" + std::to_string(i) + "]\r\nKey=" + longText + "\r\n" + longText + "\r\n";
  ini += "[Options]\r\nURLImages=http://" + longText + "\r\n" + std::string(100000, 'K') + "=x\r\n"
         "[" + std::string(100000, 'P') + "]\r\nServeurFTP=127.0.0.1:9\r\n"
         "[LARGUS]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=largus\r\n";
  sandbox.WriteSettings(ini, {{"FTP", ftp.address()}});
  const auto started = std::chrono::steady_clock::now();
  const ExportResult run = sandbox.Run("LARGUS");
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  EXPECT_EQ(run.exitCode, 0) << run.output;
  // The photo base address is the first 2047 characters of the value.
  const std::string rows = ReadHostFile(sandbox.work() + "/Argus/456.csv");
  const std::string cut = "http://" + std::string(2047 - 7, 'u');
  EXPECT_NE(rows.find(cut + "/"), std::string::npos);
  EXPECT_EQ(rows.find(cut + "u"), std::string::npos);
  // The delivery settings after the long lines were found.
  EXPECT_EQ(ReadHostFile(ftpRoot / "largus/456.csv"), rows);
  RecordFault("settings lines of 100 000 characters", "Tarvelon.ini (LARGUS)",
              HasFailure() ? "FAULT" : "read, values cut to 2047", seconds);
}

}  // namespace
}  // namespace tarvelon
