// Speed of the XML cursor on a stock extract: load, the exporters' record
// look-ups (photo links per vehicle, the vehicle of each photo link, with
// SetValue on the records found between them), text and file output, next to
// `xmllint --noout` on the same file.
//
// usage: bench_cursor EXTRACT.xml   (make one with bench/make_extract.py)
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/process.h"
#include "stock/extract.h"
#include "stock/xml_cursor.h"

using namespace tarvelon;

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Line(const char* what, double seconds, const std::string& note = "") {
  std::printf("  %-52s %9.3f s  %s\n", what, seconds, note.c_str());
}

long PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s EXTRACT.xml\n", argv[0]);
    return 2;
  }
  const std::string file = argv[1];
  try {
    std::printf("extract %s\n", file.c_str());
    auto start = std::chrono::steady_clock::now();
    std::string ignored;
    bool linted = CaptureOutput({"xmllint", "--noout", file}, ignored);
    Line("xmllint --noout", Seconds(start), linted ? "" : "(xmllint not found)");

    IXMLCursor doc;
    start = std::chrono::steady_clock::now();
    doc.Load(file);
    Line("Load", Seconds(start));

    // The identifiers to look up, read once (not timed).
    std::vector<std::string> vehicles, links;
    for (IXMLCursor r = doc.Select(kVehicleRecords); !r.Eof(); r.Next()) vehicles.push_back(r.GetValue("idVO"));
    for (IXMLCursor p = doc.Select(kPhotoLinks); !p.Eof(); p.Next()) links.push_back(p.GetValue("idVO"));
    std::printf("  %zu vehicles, %zu photo links\n", vehicles.size(), links.size());
    if (vehicles.size() > 10000) vehicles.resize(10000);
    if (links.size() > 100000) links.resize(100000);

    start = std::chrono::steady_clock::now();
    long photos = 0;
    IXMLCursor records = doc.Select(kVehicleRecords);
    for (size_t i = 0; i < vehicles.size() && !records.Eof(); ++i, records.Next()) {
      int n = 0;
      for (IXMLCursor p = records.Select(PhotoLinksOf(vehicles[i])); !p.Eof(); p.Next()) ++n;
      photos += n;
      records.SetValue("NbPhotos", std::to_string(n));
    }
    double photoLookups = Seconds(start);
    Line((std::to_string(vehicles.size()) + " photo-link selections + SetValue").c_str(), photoLookups,
         std::to_string(photos) + " links found");

    start = std::chrono::steady_clock::now();
    long found = 0;
    for (size_t i = 0; i < links.size(); ++i) {
      IXMLCursor vehicle = doc.Select(VehicleRecordOf(links[i]));
      if (vehicle.Eof()) continue;
      ++found;
      vehicle.SetValue("LienImage" + std::to_string(i % 7 + 1), "v/" + std::to_string(i));
    }
    double recordLookups = Seconds(start);
    Line((std::to_string(links.size()) + " DataVO selections + SetValue").c_str(), recordLookups,
         std::to_string(found) + " found");
    Line("total of the look-ups", photoLookups + recordLookups);

    // The share of the selections themselves.
    start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < links.size(); ++i) doc.Select(VehicleRecordOf(links[i]));
    Line((std::to_string(links.size()) + " DataVO selections alone").c_str(), Seconds(start));

    // The XPath engine alone, on a sample, for comparison.
    const size_t sample = vehicles.size() < 20 ? vehicles.size() : 20;
    start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < sample; ++i) doc.SelectByXPath(PhotoLinksOf(vehicles[i]));
    double perXPath = sample ? Seconds(start) / static_cast<double>(sample) : 0;
    char note[96];
    std::snprintf(note, sizeof note, "(%.2f ms each, from %zu samples)", perXPath * 1000, sample);
    Line("same look-ups by XPath alone, estimated", perXPath * static_cast<double>(vehicles.size() + links.size()), note);

    start = std::chrono::steady_clock::now();
    size_t length = doc.GetXML().size();
    Line("GetXML of the document", Seconds(start), std::to_string(length) + " bytes");
    const std::string copy = (file.find('/') == std::string::npos ? "./" : "") + file + ".saved.xml";
    start = std::chrono::steady_clock::now();
    doc.Save(copy);
    Line("Save", Seconds(start));
    std::remove(copy.c_str());
    std::printf("  peak memory %ld MB\n", PeakMegabytes());
  } catch (const Error& e) {
    std::fprintf(stderr, "%s\n", e.text().c_str());
    return 1;
  }
  return 0;
}
