// "Envoi VIVACAR" through `tarvelon --send-vivacar`, against an HTTP server of
// the tests' own that records every multipart request and fails on demand.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/run_state.h"
#include "support/export_sandbox.h"
#include "support/http_recorder.h"
#include "transfer/http_post.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

const char* const kImportPath = "/cataloguebien/api/cataloguevo/vehicules/importerVehicules";
const char* const kWindowsFolder = "C:\\Projects\\Kord\\Data\\Tarvelon\\Vivacar\\";

class VivacarSend : public ::testing::Test {
 protected:
  void SetUp() override { MakeHostFolders(drop()); }

  std::string drop() const { return sandbox_.extracts() + "/Vivacar"; }

  void UseService(const std::string& address, const std::string& path = kImportPath) {
    sandbox_.WriteSettings("[VIVACAR]\r\nUrlImport=http://" + address + path + "\r\n");
  }

  ExportSandbox sandbox_;
  HttpRecorder service_;
};

TEST_F(VivacarSend, EveryRegularFileIsPostedInNameOrderAndItsReplyKeptBesideIt) {
  const std::string json = "{ \"codePartenaire\": \"PARTN\", \"listeVehicules\": [ \r\n{\r\n\"modele\": \"S\xE9rie 1\"\r\n}\r\n]}";
  WriteHostFile(drop() + "/mirvane_ostamel-vo.txt", json);
  WriteHostFile(drop() + "/mirvane_it's nord; x.TXT", "{}");
  WriteHostFile(drop() + "/Opt2VivafiAll.bat", "#!/bin/sh\n");
  WriteHostFile(drop() + "/.cache", "hidden");
  MakeHostFolders(drop() + "/archives.txt");
  fs::create_symlink(drop() + "/Opt2VivafiAll.bat", drop() + "/lien.txt");
  ASSERT_EQ(::mkfifo((drop() + "/tube.txt").c_str(), 0600), 0);
  service_.Start();
  UseService(service_.address(), "/import vivacar#1");
  ScopedEnv proxy("http_proxy", "http://127.0.0.1:9");  // never used

  const ExportResult run = sandbox_.Run("--send-vivacar");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output, "-> Opt2VivafiAll.bat\n-> mirvane_it's nord; x.TXT\n-> mirvane_ostamel-vo.txt\n");

  const std::vector<RecordedRequest> requests = service_.Requests();
  ASSERT_EQ(requests.size(), 3u);
  const std::vector<std::string> fields = {"Opt2VivafiAll.bat", "mirvane_it'snord;x", "mirvane_ostamel-vo"};
  const std::vector<std::string> files = {"Opt2VivafiAll.bat", "mirvane_it's nord; x.TXT", "mirvane_ostamel-vo.txt"};
  for (size_t i = 0; i < requests.size(); ++i) {
    SCOPED_TRACE(files[i]);
    const RecordedRequest& r = requests[i];
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.path, "/import%20vivacar%231");
    EXPECT_EQ(r.Header("User-Agent"), "Mozilla/3.0 (compatible; Indy Library)");
    EXPECT_EQ(r.Header("Accept"), "text/html, */*");
    EXPECT_FALSE(r.HasHeader("Expect"));
    EXPECT_EQ(r.Header("Content-Type").rfind("multipart/form-data; boundary=", 0), 0u) << r.Header("Content-Type");
    ASSERT_EQ(r.parts.size(), 1u);
    EXPECT_EQ(r.parts[0].name, fields[i]);
    EXPECT_EQ(r.parts[0].fileName, kWindowsFolder + files[i]);
    EXPECT_EQ(r.parts[0].contentType, "application/json");
    EXPECT_EQ(r.parts[0].encoding, "binary");
    EXPECT_EQ(r.parts[0].body, ReadHostFile(drop() + "/" + files[i]));
    EXPECT_EQ(ReadHostFile(drop() + "/" + fields[i] + ".xml"), "<reponse>ok " + fields[i] + "</reponse>");
  }
  EXPECT_EQ(requests[2].parts[0].body, json);
  // Links, folders, FIFOs and hidden files are not posted and get no reply file.
  for (const char* name : {"lien.xml", "archives.xml", "tube.xml", ".cache.xml"}) EXPECT_FALSE(fs::exists(drop() + "/" + name));
}

TEST_F(VivacarSend, OnlyATwoHundredAnswerIsASuccess) {
  WriteHostFile(drop() + "/a.txt", "{}");
  WriteHostFile(drop() + "/b.txt", "{}");
  service_.Start({0, {"b"}});  // b is answered 500
  UseService(service_.address());
  ExportResult run = sandbox_.Run("--send-vivacar");
  ASSERT_EQ(run.exitCode, 3) << run.output;  // the pass ran; a post was refused
  EXPECT_EQ(ReadHostFile(drop() + "/a.xml"), "<reponse>ok a</reponse>");
  EXPECT_EQ(ReadHostFile(drop() + "/b.xml"), " - Erreur de transfert sur le serveur ");

  // A redirect is no success either, and is not followed.
  service_.Start({302, {}});
  UseService(service_.address());
  fs::remove(drop() + "/a.xml");
  fs::remove(drop() + "/b.xml");
  run = sandbox_.Run("--send-vivacar");
  ASSERT_EQ(run.exitCode, 3) << run.output;
  EXPECT_EQ(ReadHostFile(drop() + "/a.xml"), " - Erreur de transfert sur le serveur ");
  EXPECT_EQ(ReadHostFile(drop() + "/b.xml"), " - Erreur de transfert sur le serveur ");
  EXPECT_EQ(service_.Requests().size(), 4u);
}

TEST_F(VivacarSend, AnUnreachableServiceGivesEveryFileTheErrorTextAndTheRunStillSucceeds) {
  WriteHostFile(drop() + "/a.txt", "{}");
  WriteHostFile(drop() + "/b c.txt", "{}");
  service_.Start();
  const std::string address = service_.address();
  service_.Stop();  // the port is closed now
  UseService(address);
  const ExportResult run = sandbox_.Run("--send-vivacar");
  ASSERT_EQ(run.exitCode, 3) << run.output;  // the pass ran; nothing was accepted
  EXPECT_EQ(ReadHostFile(drop() + "/a.xml"), " - Erreur de transfert sur le serveur ");
  EXPECT_EQ(ReadHostFile(drop() + "/bc.xml"), " - Erreur de transfert sur le serveur ");
}

TEST_F(VivacarSend, AnEmptyFolderPostsNothingAndShowsNothing) {
  service_.Start();
  UseService(service_.address());
  const ExportResult run = sandbox_.Run("--send-vivacar");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, "");
  EXPECT_TRUE(service_.Requests().empty());
}

TEST_F(VivacarSend, AReplyFileThatCannotBeWrittenEndsThePass) {
  WriteHostFile(drop() + "/a.txt", "{}");
  WriteHostFile(drop() + "/b.txt", "{}");
  MakeHostFolders(drop() + "/a.xml");  // the reply of a.txt cannot become a file
  service_.Start();
  UseService(service_.address());
  const ExportResult run = sandbox_.Run("--send-vivacar");
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_NE(run.output.find("a.xml"), std::string::npos) << run.output;
  EXPECT_EQ(service_.Requests().size(), 1u);
  EXPECT_FALSE(fs::exists(drop() + "/b.xml"));
}

TEST_F(VivacarSend, AnAddressOfAnotherSchemeIsRefused) {
  WriteHostFile(drop() + "/a.txt", "{}");
  sandbox_.WriteSettings("[VIVACAR]\r\nUrlImport=file:///etc/passwd\r\n");
  const ExportResult run = sandbox_.Run("--send-vivacar");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("UrlImport"), std::string::npos) << run.output;
  EXPECT_FALSE(fs::exists(drop() + "/a.xml"));
}

TEST_F(VivacarSend, APassStartedWhileOneRunsIsRefused) {
  WriteHostFile(drop() + "/a.txt", "{}");
  service_.Start();
  UseService(service_.address());
  ScopedEnv driveC("TARVELON_DRIVE_C", sandbox_.drive().c_str());
  ScopedEnv home("TARVELON_HOME", sandbox_.program().c_str());
  RunState state;
  state.vivacarSending = true;  // as during a pass, when the window handles a second click
  SendVivacarFiles(state);
  EXPECT_EQ(state.window.memo().back(), "Envoi VIVACAR d\xE9j\xE0 en cours");
  EXPECT_TRUE(service_.Requests().empty());

  state.vivacarSending = false;
  SendVivacarFiles(state);
  EXPECT_EQ(service_.Requests().size(), 1u);
  EXPECT_FALSE(state.vivacarSending);
}

}  // namespace
}  // namespace tarvelon
