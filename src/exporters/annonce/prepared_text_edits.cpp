#include <utility>

#include "exporters/annonce/annonce_exporter.h"
#include "exporters/frame/text_cuts.h"

namespace tarvelon {
std::string EditPreparedText(std::string text, int photoSlots) {
  text = RemoveElement(std::move(text), "InfoVA");
  text = CutElementRun(std::move(text), "NOMPHOTO1", "NOMPHOTO6");

  text = WrapPhotoSlots(text, photoSlots);

  // The code lists and the working elements have served; the partners get none of them.
  text = CutElementRun(std::move(text), "EQUTINTERIEUR", "INFOCOMPLEMENT");
  text = RemoveElements(std::move(text), {"vGarantie", "TypeGarantie"});
  text = CutWithinRecords(std::move(text), "<TypeVO ", "</TypeVO>");  // only a TypeVO that carries attributes
  text = RemoveElements(std::move(text), {"xMarque", "vMarque"});
  text = CutWithinRecords(std::move(text), "<InfosSRS ", "</InfosSRS>");
  return RemoveElements(std::move(text), {"id_Track", "RefVille", "RefSite", "RefExpo", "MsgGarCons", "MsgAnnonce",
                                          "PrixCatalogue", "HorairesCommercial", "LibelleSociete"});
}

}  // namespace tarvelon
