#include "support/feed_case.h"

#include <filesystem>

#include "support/golden.h"

namespace tarvelon::testing {

void FeedCase::StartServer(const std::vector<std::pair<std::string, std::string>>& users) {
  std::vector<FtpAccount> accounts = {{"pictlore", "pictlore-pw", ftpRoot_ / "pictlore"}};
  MakeHostFolders(ftpRoot_ / "pictlore/www/pictlore");
  for (const auto& [user, password] : users) {
    MakeHostFolders(ftpRoot_ / user);
    accounts.push_back({user, password, ftpRoot_ / user});
  }
  server_.Start(accounts);
}

ExportResult FeedCase::RunCase(const std::string& option, const std::string& extract) {
  sandbox_.AddExtract(CasePath(case_, extract));
  sandbox_.WriteSettings(ReadHostFile(CasePath(case_, "Tarvelon.ini")), {{"FTP", server_.address()}});
  return sandbox_.Run(option);
}

std::string FeedCase::LogText(const std::string& option) const {
  std::string text = MaskLogStamps(ReadHostFile(sandbox_.work() + "/MarqueUpdate" + option + ".log"));
  for (const auto& [part, mask] : {std::pair{server_.address(), "@FTP@"}, std::pair{sandbox_.work(), "@WORK@"}})
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at)) text.replace(at, part.size(), mask);
  return text;
}

void FeedCase::ExpectWorkFileAsExpected(const std::string& name) {
  SCOPED_TRACE(name);
  ASSERT_TRUE(std::filesystem::exists(Work(name)));
  ExpectSameAsGolden(ReadHostFile(Work(name)), CasePath(case_, "expected/" + name));
}

void FeedCase::ExpectLogAsExpected(const std::string& option) {
  ExpectSameAsGolden(LogText(option), CasePath(case_, "expected.log"));
}

}  // namespace tarvelon::testing
