#include <algorithm>
#include <functional>
#include <utility>

#include "exporters/annonce/annonce_safety.h"
#include "exporters/annonce/client_files.h"
#include "exporters/frame/text_cuts.h"
#include "platform/text.h"
#include "stock/conversions.h"

namespace tarvelon {
namespace {

bool Holds(const std::string& text, const std::string& marker) {
  const std::boyer_moore_horspool_searcher<std::string::const_iterator> searcher(marker.begin(), marker.end());
  return std::search(text.begin(), text.end(), searcher) != text.end();
}

// ReplaceBetweenMarkers, which leaves a text that lacks either marker as it
// is: such a text is not searched stretch by stretch.
std::string CutBetween(std::string text, const std::string& start, const std::string& end, const std::string& replacement) {
  if (!Holds(text, start) || !Holds(text, end)) return text;
  return ReplaceBetweenMarkers(std::move(text), start, end, replacement);
}

}  // namespace

std::string ClientFileText(std::string text, const std::string& clientCode, bool keepWorkingElements) {
  text = CutBetween(std::move(text), "<InfosSRS ", "</InfosSRS>", "");
  text = CutBetween(std::move(text), "<InfosSRS ", "\"InfosSR\"/>", "");

  // The client code lands in an attribute: escaped so that no code can break the file.
  const std::string client = "<CLIENT CODE=\"" + XmlAttributeText(clientCode) + "\">";
  text = CutBetween(std::move(text), "<COORDONNEESS EOF=\"", "RecordName=\"COORDONNEES\"/>", client);
  text = CutBetween(std::move(text), "<COORDONNEESS EOF=\"", "RecordName=\"COORDONNEES\">", client);
  text = ReplaceAllInText(std::move(text), "</COORDONNEESS>", "", true);

  text = CutBetween(std::move(text), "<DataVOS EOF=\"", "RecordName=\"DataVO\">", "");
  text = CutBetween(std::move(text), "<DataVOS EOF=\"", "RecordName=\"DataVO\"/>", "");
  text = ReplaceAllInText(std::move(text), "</DataVOS>", "</CLIENT>", true);

  text = RemoveElements(std::move(text), {"CODECLIENT", "cGroup", "TypeVO", "Concession", "FlagExclusion"});

  text = ReplaceTags(std::move(text),
                     {{"<DataVO>", "<ANNONCE>"}, {"</DataVO>", "</ANNONCE>"}, {"<document>", ""}, {"</document>", ""}});

  // A prepared extract without a declaration still gives a file that names its encoding.
  text = WithIsoDeclaration(std::move(text));

  if (!keepWorkingElements) {
    text = RemoveClientWorkingElements(std::move(text));
    text = RenameCityElement(std::move(text), "LIBELLEVILLE");
  }
  return text;
}

std::string RemoveClientWorkingElements(std::string text) {
  return RemoveElements(std::move(text), {"idVO", "InfoVille", "RefSite", "RefExpo", "remise"});
}

std::string RenameCityElement(std::string text, const std::string& name) {
  // The empty form "<name/>" is renamed as well as "<name>…</name>".
  text = ReplaceAllInText(std::move(text), name + ">", "VILLE>");
  return ReplaceAllInText(std::move(text), "<" + name + "/>", "<VILLE/>");
}

}  // namespace tarvelon
