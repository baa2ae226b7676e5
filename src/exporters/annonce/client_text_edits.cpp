#include <utility>

#include "exporters/annonce/annonce_safety.h"
#include "exporters/annonce/client_files.h"
#include "exporters/frame/text_cuts.h"
#include "platform/text.h"
#include "stock/conversions.h"

namespace tarvelon {
std::string ClientFileText(std::string text, const std::string& clientCode, bool keepWorkingElements) {
  text = ReplaceBetweenMarkers(text, "<InfosSRS ", "</InfosSRS>", "");
  text = ReplaceBetweenMarkers(text, "<InfosSRS ", "\"InfosSR\"/>", "");

  // The client code lands in an attribute: escaped so that no code can break the file.
  const std::string client = "<CLIENT CODE=\"" + XmlAttributeText(clientCode) + "\">";
  text = ReplaceBetweenMarkers(text, "<COORDONNEESS EOF=\"", "RecordName=\"COORDONNEES\"/>", client);
  text = ReplaceBetweenMarkers(text, "<COORDONNEESS EOF=\"", "RecordName=\"COORDONNEES\">", client);
  text = ReplaceAll(text, "</COORDONNEESS>", "", true);

  text = ReplaceBetweenMarkers(text, "<DataVOS EOF=\"", "RecordName=\"DataVO\">", "");
  text = ReplaceBetweenMarkers(text, "<DataVOS EOF=\"", "RecordName=\"DataVO\"/>", "");
  text = ReplaceAll(text, "</DataVOS>", "</CLIENT>", true);

  text = RemoveElements(std::move(text), {"CODECLIENT", "cGroup", "TypeVO", "Concession", "FlagExclusion"});

  text = ReplaceTags(text, {{"<DataVO>", "<ANNONCE>"}, {"</DataVO>", "</ANNONCE>"}, {"<document>", ""}, {"</document>", ""}});

  // A prepared extract without a declaration still gives a file that names its encoding.
  text = WithIsoDeclaration(text);

  if (!keepWorkingElements) {
    text = RemoveClientWorkingElements(text);
    text = RenameCityElement(text, "LIBELLEVILLE");
  }
  return text;
}

std::string RemoveClientWorkingElements(std::string text) {
  return RemoveElements(std::move(text), {"idVO", "InfoVille", "RefSite", "RefExpo", "remise"});
}

std::string RenameCityElement(const std::string& text, const std::string& name) {
  // The empty form "<name/>" is renamed as well as "<name>…</name>".
  return ReplaceAll(ReplaceAll(text, name + ">", "VILLE>"), "<" + name + "/>", "<VILLE/>");
}

}  // namespace tarvelon
