// The labels looked up once are kept with the tree: every change of the label
// table (a label rewritten, an entry removed or added, the table replaced by
// a new load) gives the labels the table now holds; changes elsewhere keep them.
#include <gtest/gtest.h>

#include "stock/conversions.h"
#include "stock/extract.h"
#include "stock/xml_cursor.h"

namespace tarvelon {
namespace {

const char* kTable =
    "<document><DataVOS><DataVO><Marque>X</Marque></DataVO></DataVOS><LiensEquipementsS>"
    "<LiensEquipements><AbbrEquip>AB</AbbrEquip><LibelleEquipement>Airbag</LibelleEquipement></LiensEquipements>"
    "<LiensEquipements><AbbrEquip>CL</AbbrEquip><LibelleEquipement>Clim</LibelleEquipement></LiensEquipements>"
    "</LiensEquipementsS></document>";

TEST(EquipmentLabelsKept, FollowTheTableThroughEveryChange) {
  IXMLCursor doc;
  doc.LoadXML(kTable);
  IXMLCursor record = doc.Select("/document/DataVOS/DataVO");
  EXPECT_EQ(EquipmentLabels(record, ";ab;cl;gps;"), "Airbag, Clim, ");

  // A change outside the table keeps what is known, and stays right.
  record.SetValue("Marque", "Y");
  EXPECT_EQ(EquipmentLabels(record, ";ab;cl;gps;"), "Airbag, Clim, ");

  // A label rewritten in place.
  IXMLCursor entries = doc.Select(kEquipmentLabels);
  entries.SetValue("LibelleEquipement", "Coussin");
  EXPECT_EQ(EquipmentLabels(record, ";ab;cl;gps;"), "Coussin, Clim, ");

  // A code rewritten: the old one has no label any more.
  entries.SetValue("AbbrEquip", "AB2");
  EXPECT_EQ(EquipmentLabels(record, ";ab;ab2;"), ", Coussin");

  // An entry added, then one removed.
  IXMLCursor table = doc.Select("/document/LiensEquipementsS");
  IXMLCursor added = table.AppendChild("LiensEquipements", "");
  added.AppendChild("AbbrEquip", "GPS");
  added.AppendChild("LibelleEquipement", "Navigation");
  EXPECT_EQ(EquipmentLabels(record, ";ab2;gps;"), "Coussin, Navigation");
  entries.Delete();
  EXPECT_EQ(EquipmentLabels(record, ";ab2;gps;cl;"), ", Navigation, Clim");

  // A new document: its own table.
  doc.LoadXML(std::string(kTable).replace(std::string(kTable).find("Clim"), 4, "Climatisation"));
  record = doc.Select("/document/DataVOS/DataVO");
  EXPECT_EQ(EquipmentLabels(record, ";cl;ab2;ab;"), "Climatisation, , Airbag");
}

// The same code asked through the cursor gives what the selection gives.
TEST(EquipmentLabelsKept, ValueWhereChildIsAnswersAsTheSelection) {
  IXMLCursor doc;
  doc.LoadXML(kTable);
  IXMLCursor record = doc.Select("/document/DataVOS/DataVO");
  for (const char* code : {"AB", "CL", "ab", "", "ZZ", "AB"}) {
    IXMLCursor found = record.SelectWhereChildIs(kEquipmentLabels, "AbbrEquip", code);
    const std::string expected = found.Eof() ? std::string() : found.GetValue("LibelleEquipement");
    EXPECT_EQ(record.ValueWhereChildIs(kEquipmentLabels, "AbbrEquip", code, "LibelleEquipement"), expected) << code;
  }
  // A path the look-up cannot take goes to the selection every time.
  EXPECT_EQ(record.ValueWhereChildIs("//LiensEquipements", "AbbrEquip", "CL", "LibelleEquipement"), "Clim");
}

}  // namespace
}  // namespace tarvelon
