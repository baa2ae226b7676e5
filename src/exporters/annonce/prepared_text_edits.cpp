#include "exporters/annonce/annonce_exporter.h"
#include "exporters/frame/text_cuts.h"

namespace tarvelon {
std::string EditPreparedText(std::string text, int photoSlots) {
  text = RemoveElement(text, "InfoVA");
  text = CutElementRun(text, "NOMPHOTO1", "NOMPHOTO6");

  text = WrapPhotoSlots(text, photoSlots);

  // The code lists and the working elements have served; the partners get none of them.
  text = CutElementRun(text, "EQUTINTERIEUR", "INFOCOMPLEMENT");
  text = RemoveElement(text, "vGarantie");
  text = RemoveElement(text, "TypeGarantie");
  text = CutWithinRecords(text, "<TypeVO ", "</TypeVO>");  // only a TypeVO that carries attributes
  text = RemoveElement(text, "xMarque");
  text = RemoveElement(text, "vMarque");
  text = CutWithinRecords(text, "<InfosSRS ", "</InfosSRS>");
  for (const char* name : {"id_Track", "RefVille", "RefSite", "RefExpo", "MsgGarCons", "MsgAnnonce", "PrixCatalogue",
                           "HorairesCommercial", "LibelleSociete"})
    text = RemoveElement(text, name);
  return text;
}

}  // namespace tarvelon
