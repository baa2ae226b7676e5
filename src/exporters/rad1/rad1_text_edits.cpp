#include <utility>

#include "exporters/frame/text_cuts.h"
#include "exporters/rad1/rad1_exporter.h"
#include "platform/text.h"

namespace tarvelon {

std::string EditRad1Text(std::string unedited, bool rad1) {
  // The cuts that must stay inside one vehicle run while the records are
  // still DataVO elements; the renames come after them.
  std::string text = RemoveSection(std::move(unedited), "InfosSRS");
  text = RemoveElements(std::move(text), {"idVO", "TypeVO", "InfoVille", "RefVille", "id_Track"});
  if (rad1) text = CutElementRun(std::move(text), "LibelleSociete", "Ref");
  text = RemoveElements(std::move(text), {"RefSite", "RefExpo"});
  text = CutElementRun(std::move(text), "EqutInterieur", "InfoComplement");
  text = CutElementRun(std::move(text), "HorairesCommercial", "MsgGarCons");

  if (rad1) {
    text = ReplaceTags(std::move(text), {{"<document>", "<TRAQUEANNONCES_XML>"},
                                         {"</document>", "</TRAQUEANNONCES_XML>"},
                                         {"<DataVO>", "<annonces>"},
                                         {"</DataVO>", "</annonces>"}});
  }
  // The vehicles stand directly under the root, also when there is none.
  text = ReplaceSectionTags(std::move(text), "DataVOS", "", "");
  text = ReplaceTags(std::move(text), {{"<DataVO>", "<annonce>"},
                                       {"</DataVO>", "</annonce>"},
                                       {"<document>", "<annonces>"},
                                       {"</document>", "</annonces>"}});
  text = WithIsoDeclaration(std::move(text));
  return ReplaceAllInText(std::move(text), "Rad1_", "", true);
}

}  // namespace tarvelon
