#include <utility>

#include "exporters/frame/text_cuts.h"
#include "exporters/rad1/rad1_exporter.h"
#include "platform/text.h"

namespace tarvelon {

std::string EditRad1Text(std::string text, bool rad1) {
  // The cuts that must stay inside one vehicle run while the records are
  // still DataVO elements; the renames come after them.
  text = RemoveSection(text, "InfosSRS");
  for (const char* name : {"idVO", "TypeVO", "InfoVille", "RefVille", "id_Track"}) text = RemoveElement(std::move(text), name);
  if (rad1) text = CutElementRun(std::move(text), "LibelleSociete", "Ref");
  for (const char* name : {"RefSite", "RefExpo"}) text = RemoveElement(std::move(text), name);
  text = CutElementRun(std::move(text), "EqutInterieur", "InfoComplement");
  text = CutElementRun(std::move(text), "HorairesCommercial", "MsgGarCons");

  if (rad1) {
    text = ReplaceAll(text, "<document>", "<TRAQUEANNONCES_XML>", true);
    text = ReplaceAll(text, "</document>", "</TRAQUEANNONCES_XML>", true);
    text = ReplaceAll(text, "<DataVO>", "<annonces>", true);
    text = ReplaceAll(text, "</DataVO>", "</annonces>", true);
  }
  // The vehicles stand directly under the root, also when there is none.
  text = ReplaceSectionTags(text, "DataVOS", "", "");
  text = ReplaceAll(text, "<DataVO>", "<annonce>", true);
  text = ReplaceAll(text, "</DataVO>", "</annonce>", true);
  text = ReplaceAll(text, "<document>", "<annonces>", true);
  text = ReplaceAll(text, "</document>", "</annonces>", true);
  text = WithIsoDeclaration(text);
  return ReplaceAll(text, "Rad1_", "", true);
}

}  // namespace tarvelon
