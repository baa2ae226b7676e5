#include <utility>
#include <vector>

#include "exporters/annonce/annonce_exporter.h"
#include "exporters/annonce/text_cuts.h"

namespace tarvelon {
namespace {

std::pair<std::string, std::string> Element(const std::string& name) { return {"<" + name + ">", "</" + name + ">"}; }

}  // namespace

std::string EditPreparedText(std::string text, int photoSlots) {
  text = CutWithinRecords(text, "<InfoVA>", "</InfoVA>");
  text = CutElementRun(text, "NOMPHOTO1", "NOMPHOTO6");

  text = WrapPhotoSlots(text, photoSlots);

  // The code lists and the working elements have served; the partners get none of them.
  text = CutElementRun(text, "EQUTINTERIEUR", "INFOCOMPLEMENT");
  const std::vector<std::pair<std::string, std::string>> cuts = {
      Element("vGarantie"),     Element("TypeGarantie"),     {"<TypeVO ", "</TypeVO>"},
      Element("xMarque"),       Element("vMarque"),          {"<InfosSRS ", "</InfosSRS>"},
      Element("id_Track"),      Element("RefVille"),         Element("RefSite"),
      Element("RefExpo"),       Element("MsgGarCons"),       Element("MsgAnnonce"),
      Element("PrixCatalogue"), Element("HorairesCommercial"), Element("LibelleSociete"),
  };
  for (const auto& [start, end] : cuts) text = CutWithinRecords(text, start, end);
  return text;
}

}  // namespace tarvelon
