// A 200 MB stock extract through the tarvelon binary (LARGUS): 20 000
// vehicles with 10 KB of text each, one version text 9 MB long. The run finishes or fails
// with a clear error, within a peak resident size of a few times the file.
// Labelled "large": the sanitizer run leaves it out.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "support/export_sandbox.h"
#include "support/fault_table.h"
#include "support/ftp_server.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

constexpr int kVehicles = 20000;

// Writes the extract and answers its size in bytes.
uintmax_t WriteLargeExtract(const std::string& hostFile) {
  std::ofstream out(hostFile, std::ios::binary);
  out << "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<document><DataVOS>\n";
  const std::string advert(8000, 'a');
  for (int n = 1; n <= kVehicles; ++n) {
    const std::string version = n == 7 ? std::string(9 * 1024 * 1024, 'v') : "Golf " + std::string(2000, 'g');
    out << "<DataVO><idVO>" << n << "</idVO><TypeVO>2</TypeVO><Marque>VW</Marque><id_Track>pdo</id_Track>"
        << "<id-Client>" << (100 + n % 3) << "</id-Client><Modele>Golf</Modele><Version>" << version
        << "</Version><Energie>Diesel</Energie><Kilometrage>" << n * 10
        << "</Kilometrage><InfoComplement>;GPS;Clim;ABS;</InfoComplement><Annonce>" << advert << "</Annonce><PrixDuBien>15000</PrixDuBien></DataVO>\n";
  }
  out << "</DataVOS></document>\n";
  out.close();
  return fs::file_size(hostFile);
}

TEST(LargeExtract, TwoHundredMegabytesRunWithinBoundedMemory) {
  TempFolder ftpRoot;
  MakeHostFolders(ftpRoot / "largus");
  FtpServer ftp;
  ftp.Start(ftpRoot.path(), "kord", "secret");
  ExportSandbox sandbox;
  sandbox.WriteSettings("[Options]\r\nURLImages=http://www.groupe-kord.fr/pictlore\r\n"
                        "[LARGUS]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=largus\r\n",
                        {{"FTP", ftp.address()}});
  const uintmax_t size = WriteLargeExtract(sandbox.extracts() + "/ExpDatasLArgus.xml");
  ASSERT_GE(size, 200u * 1000 * 1000);
  sandbox.SetTimeLimit(300);
  sandbox.SetPeakMemoryFile(sandbox.root() + "/peak-kb");

  const auto started = std::chrono::steady_clock::now();
  const ExportResult run = sandbox.Run("LARGUS");
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const long peakKb = std::stol(ReadHostFile(sandbox.root() + "/peak-kb"));

  EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 1) << run.exitCode << "\n" << run.output.substr(0, 4000);
  EXPECT_LT(static_cast<uintmax_t>(peakKb) * 1024, 8 * size) << "peak resident size (KB)";
  if (run.exitCode == 0) {
    // Every vehicle reached its client's file.
    uintmax_t rows = 0;
    for (const char* client : {"100", "101", "102"}) {
      const std::string file = sandbox.work() + "/Argus/" + client + ".csv";
      std::ifstream in(file, std::ios::binary);
      for (std::string line; std::getline(in, line);) ++rows;
      EXPECT_EQ(fs::file_size(ftpRoot / ("largus/" + std::string(client) + ".csv")), fs::file_size(file));
    }
    EXPECT_EQ(rows, static_cast<uintmax_t>(kVehicles));
  }
  RecordFault("stock extract of " + std::to_string(size / 1000000) + " MB", "LARGUS",
              "exit " + std::to_string(run.exitCode) + ", peak " + std::to_string(peakKb / 1024) + " MB", seconds);
}

}  // namespace
}  // namespace tarvelon
