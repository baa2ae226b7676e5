// The stock extract: file names, record paths and value readers.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/numbers.h"
#include "stock/extract.h"
#include "stock/xml_cursor.h"

namespace tarvelon {
namespace {

TEST(StockExtract, OneFilePerOptionKey) {
  const std::pair<const char*, const char*> expected[] = {
      {"AUTOREFLEX", "ExpDatasAUTOREFLEX.xml"},   {"AUTOSCOUT24", "ExpDatasAutoScout24.xml"},
      {"VPN", "ExpDatasVPN.xml"},                 {"NEOWEBCAR", "ExpDatasNeoWebCar.xml"},
      {"SITAUTOPRO", "ExpDatasSITAUTOPRO.xml"},   {"LEBONCOIN", "ExpDatasLEBONCOIN.xml"},
      {"HEYCAR", "ExpDatasHEYCAR.xml"},           {"GMBFI", "ExpDatasGMBFI.xml"},
      {"VIVACAR", "ExpDatasVIVACAR.xml"},         {"PARUVENDU", "ExpDatasPARUVENDU.xml"},
      {"TOPANNONCES", "ExpDatasTopAnnonces.xml"}, {"RAD1", "ExpDatasInfoPress.xml"},
      {"INFOPRESS", "ExpDatasInfoPress.xml"},     {"ANNONCESJAUNES", "ExpDatasAnnoncesJaunes.xml"},
      {"AXECIBLES", "ExpDatasAxeCibles.xml"},     {"FVA", "ExpDatasAxeCibles.xml"},
      {"BUSINESSAPTITUDE", "ExpDatasBusinessAptitude.xml"}, {"BRELO", "ExpDatasBrelo.xml"},
      {"LARGUS", "ExpDatasLArgus.xml"},           {"PVO", "ExpDatasPVO.xml"},
  };
  for (const auto& [key, file] : expected)
    EXPECT_EQ(StockExtractPath(key), std::string("c:\\projects\\kord\\data\\Tarvelon\\") + file) << key;
  EXPECT_THROW(StockExtractPath("NOPE"), Error);
  EXPECT_THROW(StockExtractPath("vpn"), Error);
}

TEST(StockExtract, RecordPaths) {
  EXPECT_EQ(PhotoLinksOf("42"), "/document/LiensImagesS/LiensImages[idVO=42]");
  EXPECT_EQ(VehicleRecordOf("42"), "/document/DataVOS/DataVO[idVO=42]");
  EXPECT_EQ(PhotoLinksOf(" 42 "), "/document/LiensImagesS/LiensImages[idVO=42]");
  // A value that is no record number never becomes part of the expression.
  for (const char* bad : {"1 or 1=1", "1]|/document/DataVOS/DataVO[1", "", "abc"})
    EXPECT_EQ(PhotoLinksOf(bad), "/document/LiensImagesS/LiensImages[false()]") << bad;
}

const char* const kExtract =
    "<?xml version=\"1.0\" encoding=\"windows-1252\"?>"
    "<document><DataVOS EOF=\"0\" RecordName=\"DataVO\">"
    "<DataVO><idVO>7</idVO><PrixVente>12500,50</PrixVente><Prix>12500.50</Prix><MEC>05/03/2016</MEC>"
    "<PremiereMain>-1</PremiereMain><CptReservation>0</CptReservation><Kilometrage/></DataVO>"
    "</DataVOS><LiensImagesS>"
    "<LiensImages><idVO>7</idVO><NomImage>zzz/99/c</NomImage></LiensImages>"
    "<LiensImages><idVO>8</idVO><NomImage>aaa/00/x</NomImage></LiensImages>"
    "<LiensImages><idVO>7</idVO><NomImage>aaa/00/a</NomImage></LiensImages>"
    "<LiensImages><idVO>7</idVO><NomImage>mmm/50/b</NomImage></LiensImages>"
    "</LiensImagesS></document>";

TEST(StockExtract, ValueReaders) {
  char saved = DecimalSeparator();
  SetDecimalSeparator(',');
  IXMLCursor doc;
  doc.LoadXML(kExtract);
  IXMLCursor record = doc.Select(kVehicleRecords);
  EXPECT_EQ(ReadInt(record, "idVO"), 7);
  EXPECT_EQ(ReadInt(record, "Kilometrage"), 0);       // empty
  EXPECT_EQ(ReadInt(record, "Absent", -5), -5);        // missing
  EXPECT_EQ(record.GetValue("Kilometrage"), "");
  EXPECT_DOUBLE_EQ(ReadDecimal(record, "PrixVente"), 12500.5);
  EXPECT_DOUBLE_EQ(ReadDecimal(record, "Prix"), 0);   // a point is no separator here
  DateTime mec;
  ASSERT_TRUE(ReadDate(record, "MEC", mec));
  EXPECT_EQ(mec.year, 2016);
  EXPECT_EQ(mec.month, 3);
  EXPECT_EQ(mec.day, 5);
  EXPECT_FALSE(ReadDate(record, "Prix", mec));
  EXPECT_TRUE(ReadIntFlag(record, "PremiereMain"));
  EXPECT_FALSE(ReadIntFlag(record, "CptReservation"));
  EXPECT_FALSE(ReadIntFlag(record, "Absent"));
  SetDecimalSeparator(saved);
}

TEST(StockExtract, PhotosComeInTheirEntriesOrder) {
  IXMLCursor doc;
  doc.LoadXML(kExtract);
  IXMLCursor record = doc.Select(kVehicleRecords);
  std::string names;
  for (IXMLCursor photo = record.Select(PhotoLinksOf(record.GetValue("idVO"))); !photo.Eof(); photo.Next())
    names += photo.GetValue("NomImage") + " ";
  EXPECT_EQ(names, "zzz/99/c aaa/00/a mmm/50/b ");
}

TEST(StockExtract, MissingOrEmptyListsGiveNoRecords) {
  IXMLCursor doc;
  doc.LoadXML("<document><LiensImagesS/></document>");
  EXPECT_TRUE(doc.Select(kVehicleRecords).Eof());
  doc.LoadXML("<document><DataVOS EOF=\"1\" RecordName=\"DataVO\"/></document>");
  EXPECT_TRUE(doc.Select(kVehicleRecords).Eof());
  EXPECT_TRUE(doc.Select(PhotoLinksOf("1")).Eof());
}

}  // namespace
}  // namespace tarvelon
