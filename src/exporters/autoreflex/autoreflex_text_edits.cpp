#include <utility>
#include <vector>

#include "exporters/autoreflex/autoreflex_exporter.h"
#include "exporters/frame/text_cuts.h"
#include "platform/text.h"

namespace tarvelon {

std::string EditAutoReflexText(std::string text) {
  // Only the filled slots have a start tag; an empty one keeps its name.
  std::vector<std::pair<std::string, std::string>> tags;
  for (int n = 1; n <= 6; ++n) {
    const std::string slot = "NomPhoto" + std::to_string(n);
    tags.emplace_back("</" + slot + ">", "</Photo>");
    tags.emplace_back("<" + slot + ">", "<Photo Num=\"" + std::to_string(n) + "\">");
  }
  tags.emplace_back("<idNVO>", "<id-VO>");
  tags.emplace_back("</idNVO>", "</id-VO>");
  text = ReplaceTags(std::move(text), tags);
  text = RemoveSection(std::move(text), "InfosSRS");
  return RemoveElements(std::move(text), {"idVO", "TypeVO", "InfoVille", "RefSite", "RefExpo", "id_Track", "RefVille"});
}

}  // namespace tarvelon
