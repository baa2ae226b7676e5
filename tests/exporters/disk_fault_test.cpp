// Disk faults through the tarvelon binary: a work folder that is missing,
// read only or full. The run ends with an error naming the path and exit
// status 1, and every output of the previous run stays as it was: no file is
// replaced by a truncated one and no temporary is left behind.
#include <gtest/gtest.h>

#include <sys/mount.h>

#include <filesystem>
#include <map>

#include "support/export_sandbox.h"
#include "support/fault_table.h"
#include "support/ftp_server.h"
#include "support/golden.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

constexpr const char* kSettings =
    "[Options]\r\nPathImages=c:\\projects\\kord\\images\r\n"
    "[Pictlore]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=www/pictlore\r\n"
    "[AUTOSCOUT24]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=portal\r\nidClient=123456\r\n";

// Every output file under a folder with its size and a digest of its bytes.
// The run logs and the run journal record the failed run itself and are
// compared by name only.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    const std::string name = fs::relative(entry.path(), folder).string();
    if (entry.path().extension() == ".log" || name.rfind("Tarvelon/runs.sqlite", 0) == 0) {
      if (name.find("-wal") == std::string::npos && name.find("-shm") == std::string::npos) files[name] = "";
      continue;
    }
    const std::string bytes = ReadHostFile(entry.path().string());
    files[name] = std::to_string(bytes.size()) + " " + std::to_string(std::hash<std::string>{}(bytes));
  }
  return files;
}

class DiskFault : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeHostFolders(ftpRoot_ / "www/pictlore/pel/vo");
    MakeHostFolders(ftpRoot_ / "portal");
    server_.Start(ftpRoot_.path(), "kord", "secret");
    sandbox_.WriteSettings(kSettings, {{"FTP", server_.address()}});
    sandbox_.AddExtract(CasePath("autoscout24-price-and-columns", "ExpDatasAutoScout24.xml"));
    sandbox_.AddPhoto("pel/vo/5001-1");
    sandbox_.AddPhoto("pel/vo/5003-1", true, 1024, 768);
  }
  void TearDown() override {
    for (auto it = mounts_.rbegin(); it != mounts_.rend(); ++it) ::umount2(it->c_str(), MNT_DETACH);
  }
  // A small memory file system over the work folder, when this machine lets
  // the tests mount one.
  bool MountWorkFolder(const std::string& size) {
    MakeHostFolders(sandbox_.work());
    if (::mount("tmpfs", sandbox_.work().c_str(), "tmpfs", 0, ("size=" + size).c_str()) != 0) return false;
    mounts_.push_back(sandbox_.work());
    return true;
  }
  void RemountWorkFolderReadOnly() {
    ASSERT_EQ(::mount(nullptr, sandbox_.work().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
  }
  // Fills the work folder's file system to the last byte.
  void FillWorkFolder() {
    RunCommand("dd if=/dev/zero of='" + sandbox_.work() + "/filler' bs=4096 2>/dev/null; "
               "dd if=/dev/zero of='" + sandbox_.work() + "/filler2' bs=1 2>/dev/null");
  }
  // Every file is as before. The run empties the target's output folder
  // (AS24) before it writes, so a file there may be gone, never changed, and
  // no new (partial or temporary) file may appear anywhere.
  static void ExpectPreviousOutputsKept(const std::map<std::string, std::string>& before,
                                        const std::map<std::string, std::string>& after) {
    for (const auto& [name, digest] : after) {
      auto it = before.find(name);
      ASSERT_NE(it, before.end()) << "new file " << name;
      EXPECT_EQ(digest, it->second) << "changed file " << name;
    }
    for (const auto& [name, digest] : before) {
      if (name.rfind("AS24/", 0) != 0) {
        EXPECT_TRUE(after.count(name)) << "lost file " << name;
      }
    }
  }
  void ExpectAFailedRun(const ExportResult& run) {
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find(sandbox_.work()), std::string::npos) << run.output;  // names the failing path
  }
  // The run's error for the reliability table: exit status and the last line
  // of its output, the sandbox's folder shortened.
  std::string Outcome(const ExportResult& run, const std::string& rest) const {
    std::string text = run.output;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    text = text.substr(text.rfind('\n') + 1);
    const std::string& root = sandbox_.root();
    for (size_t at; (at = text.find(root)) != std::string::npos;) text.replace(at, root.size(), "<sandbox>");
    return "exit " + std::to_string(run.exitCode) + ", \"" + text + "\", " + rest;
  }

  ExportSandbox sandbox_;
  TempFolder ftpRoot_;
  FtpServer server_;
  std::vector<std::string> mounts_;
};

TEST_F(DiskFault, AMissingWorkFolderThatCannotBeCreatedIsAClearError) {
  // A plain file stands where the work folder should be: nothing can be created under it.
  fs::remove_all(sandbox_.work());
  WriteHostFile(sandbox_.work(), "not a folder");
  FaultRow row("WorkDir missing, cannot be created", "AUTOSCOUT24 run (binary)");
  ExportResult run = sandbox_.Run("AUTOSCOUT24");
  ExpectAFailedRun(run);
  EXPECT_EQ(ReadHostFile(sandbox_.work()), "not a folder");
  EXPECT_EQ(server_.CountCommands("STOR"), 0) << server_.LogText();
  row.Outcome(Outcome(run, "nothing delivered"));
}

TEST_F(DiskFault, AFullWorkFolderKeepsThePreviousOutputs) {
  if (!MountWorkFolder("4m")) GTEST_SKIP() << "no tmpfs mount here";
  ExportResult first = sandbox_.Run("AUTOSCOUT24");
  ASSERT_EQ(first.exitCode, 0) << first.output;
  const auto before = Snapshot(sandbox_.work());
  ASSERT_TRUE(before.count("AS24/123456.csv"));
  const int delivered = server_.CountCommands("STOR");

  FillWorkFolder();
  FaultRow row("WorkDir full (tmpfs)", "AUTOSCOUT24 run (binary)");
  ExportResult run = sandbox_.Run("AUTOSCOUT24");
  ExpectAFailedRun(run);
  auto after = Snapshot(sandbox_.work());
  after.erase("filler");
  after.erase("filler2");
  ExpectPreviousOutputsKept(before, after);
  EXPECT_EQ(server_.CountCommands("STOR"), delivered);  // nothing half-written was sent
  row.Outcome(Outcome(run, "previous outputs kept, nothing delivered"));
}

TEST_F(DiskFault, AReadOnlyWorkFolderKeepsThePreviousOutputs) {
  if (!MountWorkFolder("8m")) GTEST_SKIP() << "no tmpfs mount here";
  ExportResult first = sandbox_.Run("AUTOSCOUT24");
  ASSERT_EQ(first.exitCode, 0) << first.output;
  const auto before = Snapshot(sandbox_.work());
  const int delivered = server_.CountCommands("STOR");

  RemountWorkFolderReadOnly();
  FaultRow row("WorkDir read only", "AUTOSCOUT24 run (binary)");
  ExportResult run = sandbox_.Run("AUTOSCOUT24");
  ExpectAFailedRun(run);
  ExpectPreviousOutputsKept(before, Snapshot(sandbox_.work()));
  EXPECT_EQ(server_.CountCommands("STOR"), delivered);
  row.Outcome(Outcome(run, "previous outputs kept, nothing delivered"));
}

// The tagged copy of a first photo is written into the photo store: a store
// that is read only ends the run with the error naming that file, and
// leaves the store as it was (no partial photo, no temporary).
TEST_F(DiskFault, AReadOnlyPhotoStoreIsAClearErrorAndStaysAsItWas) {
  const std::string store = sandbox_.photoStore();
  if (::mount(store.c_str(), store.c_str(), nullptr, MS_BIND, nullptr) != 0) GTEST_SKIP() << "no bind mount here";
  mounts_.push_back(store);
  ASSERT_EQ(::mount(nullptr, store.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);
  const auto before = Snapshot(store);

  FaultRow row("photo store read only", "AUTOSCOUT24 run (binary)");
  ExportResult run = sandbox_.Run("AUTOSCOUT24");
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_NE(run.output.find("c:\\projects\\kord\\images\\pel\\vo\\5001-dwa.jpg : Read-only file system"),
            std::string::npos)
      << run.output;
  EXPECT_EQ(Snapshot(store), before);
  EXPECT_EQ(server_.CountCommands("STOR 123456.zip"), 0);  // the archive was not delivered
  row.Outcome(Outcome(run, "photo store unchanged, archive not delivered"));
}

}  // namespace
}  // namespace tarvelon
