#include "app/run_status.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

#include "platform/text.h"

namespace tarvelon {
namespace {

double HoursBetween(const std::string& stamp, const DateTime& now) {
  DateTime t;
  if (std::sscanf(stamp.c_str(), "%d-%d-%d %d:%d:%d", &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second) != 6)
    return 0;
  return (ToDayCount(now) - ToDayCount(t)) * 24.0;
}

double NumberSetting(const IniFile& ini, const std::string& section, const std::string& key, double def) {
  const std::string text = ini.Read(section, key, "");
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  return text.empty() || *end != '\0' || value < 0 ? def : value;
}

std::string JsonString(const std::string& ansi) {
  std::string out = "\"";
  for (unsigned char c : AnsiToUtf8(ansi)) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Change(const TargetStatus& t) {
  if (!t.hasPrevious) return "";
  const int delta = t.last.exported - t.previousExported;
  return (delta >= 0 ? "+" : "") + std::to_string(delta);
}

std::string Hours(double hours) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", hours);
  return text;
}

}  // namespace

std::vector<TargetStatus> CollectStatus(const std::vector<JournalRun>& runs, const IniFile& ini,
                                        const DateTime& now) {
  std::map<std::string, std::vector<const JournalRun*>> byOption;  // oldest first
  for (const JournalRun& run : runs) byOption[run.option].push_back(&run);
  const double defaultStale = NumberSetting(ini, "Options", "StaleHours", 26);
  const double dropShare = NumberSetting(ini, "Options", "DropPercent", 50) / 100.0;

  std::vector<TargetStatus> out;
  for (const auto& [option, list] : byOption) {
    TargetStatus t;
    t.last = *list.back();
    t.ageHours = HoursBetween(t.last.started, now);
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
      if (!(*it)->Succeeded()) continue;
      if (t.hoursSinceSuccess < 0) t.hoursSinceSuccess = HoursBetween((*it)->started, now);
      if (*it != list.back()) {
        t.hasPrevious = true;
        t.previousExported = (*it)->exported;
        break;
      }
    }
    const double staleHours = NumberSetting(ini, option, "StaleHours", defaultStale);
    if (t.last.outcome != "finished" || t.last.deliveriesFailed > 0) t.flags.push_back("FAILED");
    if (t.hoursSinceSuccess < 0 || t.hoursSinceSuccess > staleHours) t.flags.push_back("STALE");
    if (t.last.outcome == "finished" && t.hasPrevious && t.last.exported < t.previousExported * (1.0 - dropShare))
      t.flags.push_back("DROP");
    out.push_back(t);
  }
  return out;
}

std::string StatusTable(const std::vector<TargetStatus>& targets) {
  std::ostringstream out;
  char line[512];
  std::snprintf(line, sizeof line, "%-17s %-19s %-9s %8s %7s %12s %8s  %s\n", "TARGET", "LAST RUN", "OUTCOME",
                "VEHICLES", "CHANGE", "DELIVERIES", "AGE (H)", "FLAGS");
  out << line;
  for (const TargetStatus& t : targets) {
    std::string flags;
    for (const std::string& f : t.flags) flags += (flags.empty() ? "" : " ") + f;
    const std::string deliveries = std::to_string(t.last.deliveriesOk) + " ok/" + std::to_string(t.last.deliveriesFailed) + " failed";
    std::snprintf(line, sizeof line, "%-17s %-19s %-9s %8d %7s %12s %8s  %s\n", t.last.option.c_str(),
                  t.last.started.c_str(), t.last.outcome.c_str(), t.last.exported, Change(t).c_str(),
                  deliveries.c_str(), Hours(t.ageHours).c_str(), flags.empty() ? "ok" : flags.c_str());
    out << line;
    if (!t.last.error.empty()) out << "    " << AnsiToUtf8(t.last.error) << "\n";
  }
  return out.str();
}

std::string StatusJson(const std::vector<TargetStatus>& targets) {
  std::ostringstream out;
  out << "[";
  for (size_t i = 0; i < targets.size(); ++i) {
    const TargetStatus& t = targets[i];
    out << (i ? ",\n " : "\n ") << "{\"option\": " << JsonString(t.last.option)
        << ", \"last_run\": " << JsonString(t.last.started) << ", \"ended\": " << JsonString(t.last.ended)
        << ", \"outcome\": " << JsonString(t.last.outcome) << ", \"error\": " << JsonString(t.last.error)
        << ", \"vehicles_walked\": " << t.last.walked << ", \"vehicles_exported\": " << t.last.exported
        << ", \"change\": " << (t.hasPrevious ? std::to_string(t.last.exported - t.previousExported) : "null")
        << ", \"photos_updated\": " << t.last.photosUpdated << ", \"deliveries_ok\": " << t.last.deliveriesOk
        << ", \"deliveries_failed\": " << t.last.deliveriesFailed << ", \"age_hours\": " << Hours(t.ageHours)
        << ", \"flags\": [";
    for (size_t f = 0; f < t.flags.size(); ++f) out << (f ? ", " : "") << JsonString(t.flags[f]);
    out << "]}";
  }
  out << (targets.empty() ? "]\n" : "\n]\n");
  return out.str();
}

}  // namespace tarvelon
