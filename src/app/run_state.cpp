#include "app/run_state.h"

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace tarvelon {

RunState::RunState() = default;
RunState::~RunState() = default;

std::string RunState::LogFilePath() const { return WorkDir() + "MarqueUpdate" + exportOption + ".log"; }

void RunState::LogLine(const std::string& message) { LogLine({}, message); }

namespace {
constexpr std::string_view kMemoMark = "-> ";
}  // namespace

void RunState::LogLine(std::string_view head, const std::string& body) {
  if (head.empty() && body.empty()) {
    WriteFileBytes(LogFilePath(), "");
    window.AddMemoLine("-> ");
    return;
  }
  const std::string& stamp = LogStamp();
  // The window's line and the file's in one copy of the message: a feed
  // logs its whole result text.
  std::string line;
  line.reserve(kMemoMark.size() + stamp.size() + 3 + head.size() + body.size() + 2);
  line.append(kMemoMark).append(stamp).append(" - ").append(head).append(body).append("\r\n");
  WriteLogEntry(std::move(line));
}

void RunState::LogLine(std::string_view head, std::string&& body) {
  const std::string prefix = std::string(kMemoMark).append(LogStamp()).append(" - ").append(head);
  // The line is made in the body's own block when it has the room (a text
  // edited in place has): a second block of tens of MB would live on in the memo.
  if ((head.empty() && body.empty()) || body.capacity() < body.size() + prefix.size() + 2) {
    LogLine(head, static_cast<const std::string&>(body));
    return;
  }
  body.insert(0, prefix);
  body.append("\r\n");
  WriteLogEntry(std::move(body));
}

const std::string& RunState::LogStamp() {
  const DateTime now = Now();
  if (stampText_.empty() || now.year != stampTime_.year || now.month != stampTime_.month || now.day != stampTime_.day ||
      now.hour != stampTime_.hour || now.minute != stampTime_.minute || now.second != stampTime_.second) {
    stampTime_ = now;
    stampText_ = FormatLogStamp(now);
  }
  return stampText_;
}

void RunState::WriteLogEntry(std::string line) {
  const std::string path = LogFilePath();
  const std::string_view entry = std::string_view(line).substr(kMemoMark.size());
  // The file opened and closed by each call, as always; only the path is
  // mapped once while the file stays where it was found.
  if (path != logPath_ || !AppendToExistingHostFile(logHostPath_, path, entry)) {
    AppendFileBytes(path, entry);
    logPath_ = path;
    logHostPath_ = HostPath(path);
  }
  line.resize(line.size() - 2);
  window.AddMemoLine(std::move(line));
}

std::string RunState::ReadTargetSetting(const std::string& key, const std::string& def) const {
  if (exportOption.empty()) return def;
  return config.Read(exportOption, key, def);
}

std::string RunState::ReadSetting(const std::string& section, const std::string& key,
                                  const std::string& def) const {
  return config.Read(section, key, def);
}

void RunState::RecordDelivery(const std::string& file, const std::string& destination, const std::string& status,
                              bool ok) {
  deliveries.push_back({file, destination, status, ok});
}

bool RunState::AnyDeliveryFailed() const {
  for (const DeliveryRecord& d : deliveries)
    if (!d.ok) return true;
  return false;
}

bool RunState::Tick() {
  if (finishedFlag) ++tickCount;
  return tickCount >= 30;
}

void AppendLineToFile(const std::string& path, const std::string& line) {
  AppendFileBytes(path, line + "\r\n");
}

}  // namespace tarvelon
