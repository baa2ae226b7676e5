// The stock extract, the photo store and the work folder as the export would find them.
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "exporters/check/preflight.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/extract.h"
#include "stock/xml_cursor.h"

namespace tarvelon {
namespace {

std::string Percent(int part, int whole) {
  char text[16];
  std::snprintf(text, sizeof text, "%.0f %%", whole ? 100.0 * part / whole : 0.0);
  return text;
}

// True when one of the record's photos lies in the photo store.
bool HasLocalPhoto(const IXMLCursor& record, const std::string& photoStore) {
  for (IXMLCursor photo = record.Select(PhotoLinksOf(record.GetValue("idVO"))); !photo.Eof(); photo.Next()) {
    const std::string name = photo.GetValue("NomImage") + ".jpg";
    if (Contains(name, "..")) continue;  // never looks outside the store
    if (FileExists(photoStore + "\\" + ReplaceAll(name, "/", "\\"))) return true;
  }
  return false;
}

void CheckPhotoStore(const IXMLCursor& extract, const Options& options, std::vector<CheckRow>& rows) {
  if (!FolderExists(options.photoStore)) {
    rows.push_back({"photo store", CheckLevel::Failed, "not found: " + options.photoStore});
    return;
  }
  int vehicles = 0, without = 0;
  for (IXMLCursor r = extract.Select(kVehicleRecords); !r.Eof(); r.Next()) {
    ++vehicles;
    if (!HasLocalPhoto(r, options.photoStore)) ++without;
  }
  const std::string reason = options.photoStore + ": " + std::to_string(without) + " of " + std::to_string(vehicles) +
                             " vehicles (" + Percent(without, vehicles) + ") without a local photo";
  rows.push_back({"photo store", without ? CheckLevel::Warning : CheckLevel::Ok, reason});
}

}  // namespace

ExtractFacts CheckExtract(const std::string& option, const Options& options, std::vector<CheckRow>& rows) {
  ExtractFacts facts;
  std::string path;
  try {
    path = StockExtractPath(option);
  } catch (const std::exception& e) {
    rows.push_back({"stock extract", CheckLevel::Failed, e.what()});
    return facts;
  }
  if (!FileExists(path)) {
    rows.push_back({"stock extract", CheckLevel::Failed, "not found: " + path});
    return facts;
  }
  facts.bytes = FileSizeOf(path);
  IXMLCursor extract;
  try {
    extract.Load(path);
  } catch (const std::exception& e) {
    rows.push_back({"stock extract", CheckLevel::Failed, path + " is not well-formed: " + e.what()});
    return facts;
  }
  facts.loaded = true;
  for (IXMLCursor entry = extract.Select(kClientBlocks); !entry.Eof(); entry.Next()) {
    const std::string code = entry.GetValue("CODECLIENT");
    bool known = false;
    for (const std::string& seen : facts.clientCodes) known = known || SameTextIgnoringCase(seen, code);
    if (!known) facts.clientCodes.push_back(code);
  }
  int vehicles = 0;
  for (IXMLCursor r = extract.Select(kVehicleRecords); !r.Eof(); r.Next()) ++vehicles;
  rows.push_back({"stock extract", vehicles ? CheckLevel::Ok : CheckLevel::Warning,
                  path + ": " + std::to_string(vehicles) + " vehicles"});
  CheckPhotoStore(extract, options, rows);
  return facts;
}

void CheckWorkFolder(long long extractBytes, std::vector<CheckRow>& rows) {
  const std::string folder = WorkDir();
  if (!FolderExists(folder)) {
    rows.push_back({"work folder", CheckLevel::Failed, "not found: " + folder});
    return;
  }
  // A probe file, removed at once, tells what permissions alone do not (read-only mounts, quotas).
  const std::string host = HostPath(folder);
  std::string probe = host + "/.tarvelon-check-XXXXXX";
  const int fd = ::mkstemp(probe.data());
  if (fd < 0) {
    rows.push_back({"work folder", CheckLevel::Failed, folder + " is not writable: " + SystemErrorText(errno)});
    return;
  }
  ::close(fd);
  ::unlink(probe.c_str());

  struct statvfs fs {};
  if (::statvfs(host.c_str(), &fs) != 0) {
    rows.push_back({"work folder", CheckLevel::Warning, folder + ": free space unknown: " + SystemErrorText(errno)});
    return;
  }
  const long long freeBytes = static_cast<long long>(fs.f_bavail) * static_cast<long long>(fs.f_frsize);
  const std::string reason = folder + ": writable, " + std::to_string(freeBytes / (1024 * 1024)) + " MB free, " +
                             "extract " + std::to_string(extractBytes / 1024) + " KB";
  rows.push_back({"work folder", freeBytes >= 2 * extractBytes ? CheckLevel::Ok : CheckLevel::Failed,
                  freeBytes >= 2 * extractBytes ? reason : reason + " (less than twice the extract)"});
}

}  // namespace tarvelon
