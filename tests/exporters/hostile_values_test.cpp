// Every option key through the tarvelon binary with a hostile stock extract
// and hostile settings: shell metacharacters, quotes, "..", absolute paths,
// control characters and 100 000-character values in photo names, site
// labels, client codes, result file names, remote folders and mail settings.
// The deliveries go to real loopback servers. Whatever the run decides, no
// command runs, nothing is written outside the work folders, no file outside
// the photo store is read, the process ends by itself with 0, 1 or 3, and an
// error is a text of the program's own.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>

#include "stock/extract.h"
#include "support/export_sandbox.h"
#include "support/fault_table.h"
#include "support/ftp_server.h"
#include "support/golden.h"
#include "support/hostile_inputs.h"
#include "support/http_recorder.h"
#include "support/smtp_server.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

const char* const kSecretMarker = "CANARY-SECRET-7F3A";

struct HostileKey {
  const char* key;
  const char* caseName;  // the case folder whose extract is made hostile
  const char* extract;
};

// The twenty keys of the option table, each over a stock of its own shape.
const HostileKey kKeys[] = {
    {"AUTOSCOUT24", "autoscout24-price-and-columns", "ExpDatasAutoScout24.xml"},
    {"VPN", "vpn-sale-status", "ExpDatasVPN.xml"},
    {"SITAUTOPRO", "sitautopro-groups", "ExpDatasSITAUTOPRO.xml"},
    {"LEBONCOIN", "leboncoin-two-sites", "ExpDatasLEBONCOIN.xml"},
    {"HEYCAR", "leboncoin-two-sites", "ExpDatasLEBONCOIN.xml"},
    {"GMBFI", "sitautopro-groups", "ExpDatasSITAUTOPRO.xml"},
    {"NEOWEBCAR", "neowebcar-mail", "ExpDatasNeoWebCar.xml"},
    {"LARGUS", "largus-three-clients", "ExpDatasLArgus.xml"},
    {"PVO", "pvo-client-account", "ExpDatasPVO.xml"},
    {"AXECIBLES", "dealer-csv-four-profiles", "ExpDatasAxeCibles.xml"},
    {"FVA", "dealer-csv-four-profiles", "ExpDatasAxeCibles.xml"},
    {"BUSINESSAPTITUDE", "dealer-csv-four-profiles", "ExpDatasAxeCibles.xml"},
    {"BRELO", "dealer-csv-four-profiles", "ExpDatasAxeCibles.xml"},
    {"ANNONCESJAUNES", "annoncesjaunes-warranty-and-photos", "ExpDatasAnnoncesJaunes.xml"},
    {"RAD1", "infopress-rad1", "ExpDatasInfoPress.xml"},
    {"INFOPRESS", "infopress-rad1", "ExpDatasInfoPress.xml"},
    {"TOPANNONCES", "topannonces-photos", "ExpDatasTopAnnonces.xml"},
    {"AUTOREFLEX", "autoreflex-two-photos", "ExpDatasAUTOREFLEX.xml"},
    {"PARUVENDU", "paruvendu-blocks-and-lower-tags", "ExpDatasPARUVENDU.xml"},
    {"VIVACAR", "vivacar-json-and-batch", "ExpDatasVIVACAR.xml"},
};

// Extract values that reach a path, a script, a mail, an XPath expression or a file name.
const std::vector<std::string> kHostileElements = {
    "NomImage", "id_Track", "InfoVille", "CODECLIENT", "CODE_CLIENT", "idClient", "CodeClient", "idtVO",
    "idVO",     "REFERENCE", "RefSite",  "RefExpo",    "cGroup",      "Concession", "email", "Mail",
    "id-Client", "SRMail",   "MARQUE",    "Marque",   "VERSION",    "StatutVD",    "TypeGarantie", "CliNom", "Vendeur"};
const std::vector<std::string> kClientCodeElements = {"CODECLIENT", "CODE_CLIENT", "idClient", "id-Client", "InfoVille"};

// A settings line cannot hold a line end: there the control characters are tabs.
std::string SettingValue(std::string value) {
  for (char& c : value)
    if (c == '\r' || c == '\n') c = '\t';
  return value;
}

class HostileSweep : public ::testing::TestWithParam<HostileKey> {
 protected:
  void SetUp() override {
    values_ = HostileValues(canary_.path());
    RunCommand("/usr/bin/convert -size 64x48 xc:gray -comment " + std::string(kSecretMarker) + " '" + canary_ / "secret.jpg'");
    fs::copy_file(canary_ / "secret.jpg", canary_ / "secretm.jpg");
    MakeHostFolders(ftpRoot_ / "pictlore/www/pictlore");
    MakeHostFolders(ftpRoot_ / "target");
    ftp_.Start({{"pictlore", "pictlore-pw", ftpRoot_ / "pictlore"}, {"target", "target-pw", ftpRoot_ / "target"}});
    smtp_.StartMailbox(mail_ / "box");
    http_.Start();
    // The operators' scripts and the Vivacar drop folder, as the machine has them.
    const std::string kord = sandbox_.drive() + "/projects/kord";
    for (const char* script : {"WinSFTP-BA", "WinSFTP-BRELO"})
      WriteHostFile(kord + "/" + script + ".bat",
                    "cd \"$(dirname \"$0\")\"\nprintf 'Transfer done\\r\\n' > " + std::string(script) + ".log\n");
    MakeHostFolders(VivacarDrop());
    WriteHostFile(VivacarDrop() + "/Opt2Vivafi.bat", "exit 0\n");
    sandbox_.SetTimeLimit(300);
  }

  std::string VivacarDrop() const { return sandbox_.extracts() + "/Vivacar"; }
  std::string Value(int n, int shift) const { return values_[(n + shift) % values_.size()]; }

  // Photo files for the names of one folder level that the host can hold, so that hostile names
  // reach the image server and the decoration scripts.
  void AddPhotos(const std::string& extract) {
    std::string plain = sandbox_.root() + "/plain.jpg";
    RunCommand("/usr/bin/convert -size 64x48 xc:white '" + plain + "'");
    for (const std::string& name : ElementTexts(extract, {"NomImage"})) {
      MakeHostFolders(ftpRoot_ / ("pictlore/www/pictlore/" + name.substr(0, 6)));
      if (name.size() < 7 || name.size() > 200 || name.find_first_of("/\\", 7) != std::string::npos) continue;
      for (const char* suffix : {".jpg", "m.jpg"}) {
        const fs::path file = sandbox_.photoStore() + "/" + name + suffix;
        std::error_code ignored;
        fs::create_directories(file.parent_path(), ignored);
        fs::copy_file(plain, file, fs::copy_options::overwrite_existing, ignored);
      }
    }
  }

  // With `hostileNames` false the settings that name a file, a folder or a
  // number are ordinary ones, so that the run goes on to the extract's values
  // and the deliveries.
  std::string Settings(const std::string& key, const std::string& extract, int shift, bool hostileNames) const {
    auto v = [&](int n) { return SettingValue(Value(n, shift)); };
    auto name = [&](int n, const char* ordinary) { return hostileNames ? v(n) : std::string(ordinary); };
    const std::string ftp = ftp_.address();
    std::string ini = "[Options]\r\nURLImages=http://photos.kord.test/pictlore" + v(0) + "\r\nSiteListExport=;all;\r\n"
                      "FiligraneListTagAll=;annoncesjaunes;sitautopro;paruvendu;leboncoin;vivacar;\r\n"
                      "[Pictlore]\r\nServeurFTP=" + ftp + "\r\nUser=pictlore\r\nPassWord=pictlore-pw\r\nPathFTP=www/pictlore\r\n"
                      "[" + key + "]\r\nServeurFTP=" + ftp + "\r\nUser=target\r\nPassWord=target-pw\r\n"
                      "PathFTP=" + name(1, "") + "\r\nidClient=" + name(2, "kord") + "\r\nCodeClient=" + name(3, "408512") +
                      "\r\nFileResult=" + name(4, "result.xml") + "\r\nFileResultZip=" + name(5, "result.zip") +
                      "\r\nInfoVille=" + v(6) + "\r\nTestFTPPictlore=1\r\nTestSend=1\r\nNumPort=" + name(7, "2222") +
                      "\r\nCode=" + v(8) + "\r\nPasswordSuffix=" + v(9) +
                      "\r\nUrlImport=http://" + http_.address() +
                      "/cataloguebien/api/cataloguevo/vehicules/importerVehicules\r\n"
                      "[StrInfoLog]\r\nHost=127.0.0.1\r\nPort=" + std::to_string(smtp_.port()) +
                      "\r\nSendTO=stock@neowebcar.test\r\nSendCC=" + v(3) + "\r\nSubject=" + v(0) + " " + v(8) +
                      "\r\nFrom=" + v(2) + "\r\n[MAIL]\r\nAuthType=none\r\nTO=" + v(5) + "\r\n";
    // One client section per client code of the stock, hostile ones included.
    std::set<std::string> codes;
    for (const std::string& code : ElementTexts(extract, kClientCodeElements)) codes.insert(SettingValue(code));
    int n = 0;
    for (const std::string& code : codes) {
      ini += "[" + key + "-" + code + "]\r\nServeurFTP=" + ftp + "\r\nUser=target\r\nPassWord=target-pw\r\nPathFTP=" +
             name(n, "") + "\r\nFileResult=" + name(n + 1, "client.xml") + "\r\nFileResultZip=" + name(n + 2, "client.zip") +
             "\r\nInfoVille=" + v(n + 3) + "\r\n";
      ++n;
    }
    return ini;
  }

  // No folder of the run holds a file that a command of the values made.
  void ExpectNoCommandRan() const {
    for (const std::string& folder : {canary_.path(), sandbox_.root(), ftpRoot_.path(), mail_.path()}) {
      EXPECT_TRUE(NamesStartingWith(folder, "pwned").empty()) << ::testing::PrintToString(NamesStartingWith(folder, "pwned"));
    }
    for (const auto& entry : fs::directory_iterator(fs::current_path())) {
      EXPECT_NE(entry.path().filename().string().rfind("pwned", 0), 0u) << entry.path();
    }
    for (const auto& entry : fs::directory_iterator("/tmp")) {
      EXPECT_NE(entry.path().filename().string().rfind("pwned", 0), 0u) << entry.path();
    }
  }

  void ExpectClearOutcome(const std::string& what, const ExportResult& run) const {
    SCOPED_TRACE(what);
    EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 1 || run.exitCode == 3) << run.exitCode << "\n" << run.output;
    if (run.exitCode == 1) {
      // The error is one of the program's own texts, not a library's.
      for (const char* raw : {"std::", "basic_string", "bad_alloc", "vector::", "terminate", "what():"}) {
        EXPECT_EQ(run.output.find(raw), std::string::npos) << run.output;
      }
      EXPECT_FALSE(run.output.empty());
    }
  }

  TempFolder canary_, ftpRoot_, mail_;
  ExportSandbox sandbox_;
  FtpServer ftp_;
  SmtpServer smtp_;
  HttpRecorder http_;
  std::vector<std::string> values_;
};

TEST_P(HostileSweep, NothingRunsNothingLeavesItsFolderEveryFailureIsClear) {
  const HostileKey& target = GetParam();
  const std::string extractPath = StockExtractPath(target.key);  // logical: the name follows the last backslash
  const std::string file = extractPath.substr(extractPath.find_last_of('\\') + 1);
  const std::string source = ReadHostFile(CasePath(target.caseName, target.extract));
  const auto started = std::chrono::steady_clock::now();
  std::string outcome;
  // Two passes with every value hostile, one with the file-naming settings ordinary.
  for (int shift = 0; shift < 3; ++shift) {
    SCOPED_TRACE("shift " + std::to_string(shift));
    const std::string extract = HostileExtract(source, kHostileElements, values_, shift);
    WriteHostFile(sandbox_.extracts() + "/" + file, extract);
    AddPhotos(extract);
    sandbox_.WriteSettings(Settings(target.key, extract, shift, shift < 2));
    const FolderSnapshot sandboxBefore = Snapshot(sandbox_.root());
    const FolderSnapshot canaryBefore = Snapshot(canary_.path());

    const ExportResult run = sandbox_.Run(target.key);
    ExpectClearOutcome("export", run);
    const ExportResult check = sandbox_.RunArguments({"--check", target.key});
    EXPECT_TRUE(check.exitCode == 0 || check.exitCode == 1) << check.exitCode << "\n" << check.output;
    if (std::string(target.key) == "VIVACAR") ExpectClearOutcome("send", sandbox_.RunArguments({"--send-vivacar"}));
    outcome += (outcome.empty() ? "exit " : "/") + std::to_string(run.exitCode);

    ExpectNoCommandRan();
    const std::vector<std::string> allowed = {"work", "c/projects/kord/data/Tarvelon/Vivacar",
                                              "c/projects/kord/WinSFTP-BA.log", "c/projects/kord/WinSFTP-BRELO.log"};
    const std::vector<std::string> outside = ChangesOutside(sandboxBefore, Snapshot(sandbox_.root()), allowed);
    EXPECT_TRUE(outside.empty()) << ::testing::PrintToString(outside) << "\n" << run.output;
    EXPECT_TRUE(ChangesOutside(canaryBefore, Snapshot(canary_.path()), {}).empty());
    // The photo named outside the photo store was never read.
    for (const std::string& folder : {sandbox_.work(), ftpRoot_.path(), VivacarDrop()}) {
      EXPECT_TRUE(FilesHolding(folder, kSecretMarker).empty()) << ::testing::PrintToString(FilesHolding(folder, kSecretMarker));
    }
  }
  // The delivering pass mails the link; every mail has one subject and no
  // header that a value smuggled in.
  if (std::string(target.key) == "NEOWEBCAR") {
    EXPECT_FALSE(smtp_.Messages().empty());
  }
  for (const std::string& message : smtp_.Messages()) {
    const std::string text = ReadHostFile(message);
    const std::string head = text.substr(0, text.find("\n\n") == std::string::npos ? text.find("\r\n\r\n") : text.find("\n\n"));
    EXPECT_EQ(head.find("\nX-Injected"), std::string::npos) << head;
    EXPECT_EQ(head.rfind("Subject:"), head.find("Subject:")) << head;
  }
  for (const RecordedRequest& request : http_.Requests()) {
    EXPECT_EQ(request.path, "/cataloguebien/api/cataloguevo/vehicules/importerVehicules");
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  RecordFault("hostile extract and settings", target.key, outcome + (HasFailure() ? ", FAULT" : ", contained"), seconds);
}

INSTANTIATE_TEST_SUITE_P(EveryOptionKey, HostileSweep, ::testing::ValuesIn(kKeys),
                         [](const ::testing::TestParamInfo<HostileKey>& info) { return std::string(info.param.key); });

}  // namespace
}  // namespace tarvelon
