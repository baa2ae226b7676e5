#include <utility>

#include "exporters/frame/text_cuts.h"
#include "exporters/topannonces/topannonces_exporter.h"
#include "platform/text.h"

namespace tarvelon {

std::string EditTopAnnoncesPhotoText(std::string unedited) {
  std::string text = ReplaceTags(std::move(unedited),
                                 {{"<Carrosserie>", "<carrosserie>"},
                                  {"</Carrosserie>", "</carrosserie>"},
                                  {"<Carrosserie/>", "<carrosserie/>"}},
                                 false);
  // One photo per filled slot, in slot order; empty slots leave no trace.
  return GatherSlots(text, "NOMPHOTO", 6, "liste_photos", "photo");
}

std::string EditTopAnnoncesText(std::string photoText) {
  // The cuts that must stay inside one vehicle run while the records are
  // still DataVO elements; the renames come after them.
  std::string text = RemoveSection(std::move(photoText), "InfosSRS");
  text = CutElementRun(std::move(text), "MODELEVERSION", "InfoComplement");
  text = RemoveElements(std::move(text), {"idVO", "TypeVO", "InfoVille", "RefSite", "RefExpo"});

  // The vehicle list becomes the root, also when it holds no vehicle.
  text = ReplaceSectionTags(std::move(text), "DataVOS", "<listepa>", "</listepa>");
  text = ReplaceTags(std::move(text),
                     {{"<DataVO>", "<annonce>"}, {"</DataVO>", "</annonce>"}, {"<document>", ""}, {"</document>", ""}});
  return WithIsoDeclaration(std::move(text));
}

}  // namespace tarvelon
