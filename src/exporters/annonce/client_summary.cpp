#include "exporters/annonce/client_files.h"
#include "platform/text.h"

namespace tarvelon {
namespace {

// "2 exclus", "1 exclu": a count and its word, plural from two on.
std::string Counted(long count, const std::string& word) {
  return std::to_string(count) + word + (count > 1 ? "s" : "");
}

}  // namespace

std::string ClientSummary(const ClientEntry& client) {
  std::string text = client.siteLabel + " : " + std::to_string(client.sent) + (client.type == "2" ? " VD - " : " VO - ");
  if (client.excluded != 0) text += Counted(client.excluded, " exclu") + " - ";
  if (client.discounted != 0) text += Counted(client.discounted, Ansi(" remisé")) + " - ";
  return text;
}

std::string TotalSummary(const ClientFileTotals& totals) {
  std::string text = Ansi("Fichiers VO actualisés sur site FTP au total : ") + std::to_string(totals.sent) + " VO transmis";
  if (totals.excluded != 0) text += ", " + Counted(totals.excluded, " exclu");
  if (totals.discounted != 0) text += ", " + Counted(totals.discounted, Ansi(" remisé"));
  return text;
}

}  // namespace tarvelon
