#include "exporters/frame/xml_feed.h"

#include "photos/publication.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "stock/extract.h"

namespace tarvelon {
namespace {

// The first slot of the series whose value is empty, or "" when all are filled.
std::string FreeSlot(const IXMLCursor& record, const PhotoSlotSeries& series) {
  for (int n = 1; n <= series.count; ++n) {
    const std::string slot = series.name + std::to_string(n);
    if (record.GetValue(slot).empty()) return slot;
  }
  return "";
}

}  // namespace

void FillPhotoSlots(RunState& state, IXMLCursor& document, const std::vector<PhotoSlotSeries>& series,
                    bool syncWithServer) {
  IXMLCursor links = document.Select(kPhotoLinks);
  state.LogLine(Ansi("Après premier Select LiensImages"));
  LinkedVehicleRecords records(document);
  for (; !links.Eof(); links.Next()) {
    const std::string name = links.GetValue("NomImage") + ".jpg";
    if (syncWithServer) ++state.counters.imageCount;
    IXMLCursor& record = records.Of(links.GetValue("idVO"));
    if (!record.Eof()) {
      const std::string link = state.options.photoBaseAddress + "/" + name;
      for (const PhotoSlotSeries& s : series)
        if (const std::string slot = FreeSlot(record, s); !slot.empty()) record.SetValue(slot, link);
    }
    if (syncWithServer) SyncServerPhoto(state, name);
    state.ProcessMessages();
  }
}

void RemoveHiddenSections(RunState& state, IXMLCursor& document, bool withExclusions) {
  static const struct {
    const char* logLine;
    const char* section;
  } sections[] = {
      {"Avant Suppression LiensExclusions", "/document/ListExclusionsS"},
      {"Avant Suppression LiensImages", "/document/LiensImagesS"},
      {"Avant Suppression LiensEquipements", "/document/LiensEquipementsS"},
      {"Après Suppression LiensImages & LiensEquipements & Aliases", "/document/Aliases"},
  };
  for (const auto& s : sections) {
    if (s.section == sections[0].section && !withExclusions) continue;
    state.LogLine(Ansi(s.logLine));
    document.Select(s.section).Delete();
  }
  state.LogLine(Ansi("Après Aliases"));
}

void PrepareEveryVehicle(RunState& state, IXMLCursor& document, const std::function<void(IXMLCursor&)>& prepare) {
  IXMLCursor records = document.Select(kVehicleRecords);
  state.LogLine(Ansi("Après premier Select DataVO"));
  for (; !records.Eof(); records.Next()) {
    ++state.counters.vehicleCount;
    prepare(records);
    state.ProcessMessages();
  }
}

void SaveTextStage(const std::string& text, const std::string& path) {
  IXMLCursor stage;
  stage.LoadXMLForSaving(text);
  stage.Save(path);
}

void LoadResultText(RunState& state, IXMLCursor& document, std::string text, const std::string& afterLine) {
  // Taking the text without a tree has no effect of its own; it comes first
  // so that the text can go to the memo. A text that must be parsed is
  // parsed after the two lines, as the log shows a text that fails.
  const bool taken = document.LoadXMLAsSaved(text);
  if (taken) state.LogLine("Result : ", std::move(text));
  else state.LogLine("Result : ", text);
  state.LogLine(afterLine);
  if (!taken) document.LoadXML(text);
  state.LogLine("Avant Enregistrement");
}

void LogPhotoUpdateCount(RunState& state) {
  if (state.counters.photoUpdateCount != 0)
    state.LogLine(Ansi("Nb Photos Mises à jour : ") + std::to_string(state.counters.photoUpdateCount) +
                  " photos --- ");
}

std::string DeliveredLine(const std::string& status, const std::string& name, int vehicles) {
  return status + Ansi("Fichier VO actualisé sur site FTP : ") + name + " - " + std::to_string(vehicles) + " VO";
}

}  // namespace tarvelon
