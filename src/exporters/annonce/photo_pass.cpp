#include <algorithm>

#include "exporters/annonce/annonce_exporter.h"
#include "photos/decorate.h"
#include "photos/publication.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "stock/extract.h"

namespace tarvelon {
namespace {

// Letters a to z in upper case, every other character as it is.
std::string UpperAsciiLetters(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// The number after the first "-" of a photo name ("aaa/bb/name-3.jpg" gives 3), 0 when none.
int PhotoNumber(const std::string& name) {
  const size_t dash = name.find('-');
  if (dash == std::string::npos) return 0;
  return ToIntDef(ReplaceAll(name.substr(dash + 1), ".jpg", ""), 0);
}

int FreeSlot(const IXMLCursor& record) {
  int slot = 1;
  while (!record.GetValue("IDPHOTO" + std::to_string(slot)).empty()) ++slot;
  return slot;
}

// The marks a vehicle's first photo may carry.
struct PhotoTags {
  std::string atp, z, dwa;
};

PhotoTags TagsOf(const RunState& state, const IXMLCursor& record) {
  PhotoTags tags;
  if (record.GetValue("vMarque") == record.GetValue("xMarque") + "Z") tags.z = "Z";
  if (state.options.AtpRunning(Now()) && record.GetValue("InfoVA") == "VA") tags.atp = "ATP";
  const std::string guarantee = record.GetValue("vGarantie");
  if ((!guarantee.empty() && Contains(state.options.dwaGuarantees, guarantee)) || guarantee == "1") tags.dwa = "DWA";
  return tags;
}

}  // namespace

void AnnonceExporter::PhotoPass(RunState& state, const std::string& workingCopy) {
  document_.SaveAndReload(workingCopy);
  IXMLCursor links = document_.Select(kPhotoLinks);
  state.LogLine(Ansi("Après premier Select LiensImages"));
  const bool tagAll = Contains(state.options.tagAllTargets, state.exportOptionLower);
  LinkedVehicleRecords records(document_);

  for (; !links.Eof(); links.Next()) {
    std::string name = links.GetValue("NomImage") + ".jpg";
    if (state.testPhotoServer) {
      ++state.counters.imageCount;
      SyncServerPhoto(state, name);
    }
    IXMLCursor& record = records.Of(links.GetValue("idVO"));
    if (record.Eof()) continue;

    const int slot = FreeSlot(record);
    photoSlots_ = std::max(photoSlots_, PhotoNumber(name));
    if (slot == 1) {
      const PhotoTags tags = TagsOf(state, record);
      const std::string remise = record.GetValue("remise");
      const bool demonstration = record.GetValue("TypeVO") == "2";
      if (!tags.dwa.empty() || (demonstration && !(tags.atp + tags.z + remise).empty()) || tagAll)
        name = DecoratePhoto(state, name, UpperAsciiLetters(record.GetValue("InfoVille")), tags.atp, tags.z, "",
                             remise, tags.dwa);
    }
    record.SetValue("IDPHOTO" + std::to_string(slot), state.options.photoBaseAddress + "/" + name);
    photoSlots_ = std::max(photoSlots_, slot);
    state.ProcessMessages();
  }
}

}  // namespace tarvelon
