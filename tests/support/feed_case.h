#pragma once
// One export case through the tarvelon binary: the case folder's extract and
// settings, a sandbox, and a real FTP server with one account per wanted
// user (the image server "pictlore" always among them).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/export_sandbox.h"
#include "support/ftp_server.h"
#include "support/temp_folder.h"

namespace tarvelon::testing {

class FeedCase : public ::testing::Test {
 protected:
  // Accounts "pictlore" (password "pictlore-pw") and each of `users` (password user + "-pw"
  // unless the settings say otherwise), each over its own folder of the FTP root.
  void StartServer(const std::vector<std::pair<std::string, std::string>>& users);
  ExportResult RunCase(const std::string& option, const std::string& extract);

  std::string Work(const std::string& name) const { return sandbox_.work() + "/Tarvelon/" + name; }
  std::string Ftp(const std::string& path) const { return ftpRoot_ / path; }
  std::string LogText(const std::string& option) const;  // stamps, the server's port and the work folder masked
  // Compares a work file with the case's expected file of that name.
  void ExpectWorkFileAsExpected(const std::string& name);
  void ExpectLogAsExpected(const std::string& option);

  std::string case_;
  ExportSandbox sandbox_;
  TempFolder ftpRoot_;
  FtpServer server_;
};

}  // namespace tarvelon::testing
