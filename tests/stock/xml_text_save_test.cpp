// Saving an edited text without parsing it writes exactly what loading and
// saving it writes: on the extracts and outputs of the feed cases, their
// document texts, and those texts mutated at random to trip the check
// (escapes, empty and unclosed elements, blanks, control characters,
// attributes, namespaces, comments, declarations). On the feeds' own texts
// the shortcut must be taken.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/text.h"
#include "stock/xml_cursor_tree.h"

namespace tarvelon {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> SavedThroughTree(const std::string& text) {
  try {
    return EncodeDocument(*ParseXmlText(text, NamespaceList()));
  } catch (const Error&) {
    return std::nullopt;
  }
}

std::string HostBytes(const fs::path& path) {
  std::string bytes(fs::file_size(path), '\0');
  FILE* f = std::fopen(path.c_str(), "rb");
  EXPECT_NE(f, nullptr);
  EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
  std::fclose(f);
  return bytes;
}

// The case files as they are, as GetXML gives them, and with the ISO
// declaration the feeds put on their client files.
std::vector<std::string> FeedTexts() {
  std::vector<std::string> texts;
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(TARVELON_SOURCE_DIR) / "tests/exporters/cases")) {
    if (entry.path().extension() != ".xml") continue;
    const std::string raw = HostBytes(entry.path());
    texts.push_back(raw);
    try {
      const std::string text = Utf8ToAnsi(SerializeDocument(*ParseXmlText(raw, NamespaceList())));
      texts.push_back(text);
      texts.push_back(ReplaceAll(text, "<?xml version=\"1.0\"?>", "<?xml version=\"1.0\" encoding=\"ISO-8859-15\" ?>"));
    } catch (const Error&) {
    }
  }
  // And texts made to be refused, or taken only where the tree agrees.
  std::string deep;
  for (int i = 0; i < 300; ++i) deep += "<d>";
  deep += "x";
  for (int i = 0; i < 300; ++i) deep += "</d>";
  const std::vector<std::string> hostiles = {"<a>&#13;</a>",
                                             "<a> </a>",
                                             "<a></a>",
                                             "<a b=\"1\" b=\"2\"/>",
                                             "<a>x]]>y</a>",
                                             "<a>\x01</a>",
                                             "<a xmlns=\"u\"/>",
                                             "<a>\r\n</a>",
                                             "<a b=\"\t\"/>",
                                             "<a>&#x41;</a>",
                                             "<a/><b/>",
                                             "<a/>",
                                             deep,
                                             "<a>" + std::string(11000000, 'x') + "</a>"};
  for (const std::string& hostile : hostiles) texts.push_back(hostile + "\n");
  return texts;
}

std::string Mutated(std::string text, std::mt19937& random) {
  static const std::vector<std::string> pieces = {"<",
                                                  ">",
                                                  "&",
                                                  "&#13;",
                                                  "&#10;",
                                                  "&#9;",
                                                  "&quot;",
                                                  "&amp;",
                                                  "&lt;",
                                                  "&gt;",
                                                  "&apos;",
                                                  "&#32;",
                                                  "&#x41;",
                                                  " ",
                                                  "\t",
                                                  "\n",
                                                  "\r",
                                                  std::string(1, '\0'),
                                                  "\x01",
                                                  "\"",
                                                  "'",
                                                  "/",
                                                  "=",
                                                  "<a>",
                                                  "</a>",
                                                  "<a/>",
                                                  "<a></a>",
                                                  "<a> </a>",
                                                  "<a>&#13;</a>",
                                                  " b=\"1\"",
                                                  " b=\"1\" b=\"2\"",
                                                  " xmlns=\"u\"",
                                                  " x:y=\"1\"",
                                                  "<x:a/>",
                                                  "<!--c-->",
                                                  "<![CDATA[x]]>",
                                                  "<?p x?>",
                                                  "\xe9",
                                                  "\x80",
                                                  "\x81",
                                                  "\xa4",
                                                  "]]>",
                                                  "<?xml version=\"1.0\"?>\n",
                                                  "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n",
                                                  "<?xml version=\"1.0\" encoding=\"KOI8-R\"?>\n",
                                                  "<?xml version=\"1.0\" standalone=\"yes\"?>\n",
                                                  "<?xml version=\"1.1\"?>\n"};
  const int edits = std::uniform_int_distribution<int>(1, 3)(random);
  for (int e = 0; e < edits && !text.empty(); ++e) {
    // Mostly at a tag's edge, where the check decides most.
    size_t at = std::uniform_int_distribution<size_t>(0, text.size() - 1)(random);
    if (std::bernoulli_distribution(0.7)(random)) {
      const size_t tag = text.find_first_of("<>", at);
      if (tag != std::string::npos) at = tag + std::uniform_int_distribution<size_t>(0, 1)(random);
    }
    at = std::min(at, text.size());
    switch (std::uniform_int_distribution<int>(0, 3)(random)) {
      case 0:
        text.insert(at, pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(random)]);
        break;
      case 1:
        text.erase(at, std::uniform_int_distribution<size_t>(1, 6)(random));
        break;
      case 2:
        text.replace(at, 1, pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(random)]);
        break;
      default:
        text.insert(0, pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(random)]);
        break;
    }
  }
  return text;
}

TEST(XmlTextSave, WritesWhatLoadingAndSavingWrite) {
  const std::vector<std::string> texts = FeedTexts();
  ASSERT_GT(texts.size(), 50u);
  std::mt19937 random(20261209);
  size_t takenAsWritten = 0, takenMutated = 0;
  for (const std::string& original : texts) {
    const int rounds = original.size() > 100000 ? 1 : 600;  // the long text once
    for (int round = 0; round < rounds; ++round) {
      const std::string text = round == 0 ? original : Mutated(original, random);
      std::string bytes;
      if (!SavedBytesOfText(text, bytes)) continue;
      ++(round == 0 ? takenAsWritten : takenMutated);
      const std::optional<std::string> saved = SavedThroughTree(text);
      ASSERT_TRUE(saved.has_value()) << "taken for a text that does not load:\n" << text.substr(0, 2000);
      ASSERT_EQ(bytes, *saved) << text.substr(0, 2000);
    }
  }
  // The feeds' document texts are what the shortcut is for; the mutations reach
  // it as well.
  EXPECT_GT(takenAsWritten * 2, texts.size());
  EXPECT_GT(takenMutated, 1000u) << texts.size() << " texts";
}

}  // namespace
}  // namespace tarvelon
