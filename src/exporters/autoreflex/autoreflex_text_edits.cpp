#include <utility>

#include "exporters/autoreflex/autoreflex_exporter.h"
#include "exporters/frame/text_cuts.h"
#include "platform/text.h"

namespace tarvelon {

std::string EditAutoReflexText(std::string text) {
  // Only the filled slots have a start tag; an empty one keeps its name.
  for (int n = 1; n <= 6; ++n) {
    const std::string slot = "NomPhoto" + std::to_string(n);
    text = ReplaceAll(text, "</" + slot + ">", "</Photo>", true);
    text = ReplaceAll(text, "<" + slot + ">", "<Photo Num=\"" + std::to_string(n) + "\">", true);
  }
  text = ReplaceAll(text, "<idNVO>", "<id-VO>", true);
  text = ReplaceAll(text, "</idNVO>", "</id-VO>", true);
  text = RemoveSection(text, "InfosSRS");
  for (const char* name : {"idVO", "TypeVO", "InfoVille", "RefSite", "RefExpo", "id_Track", "RefVille"})
    text = RemoveElement(std::move(text), name);
  return text;
}

}  // namespace tarvelon
