#include "exporters/annonce/annonce_exporter.h"
#include "exporters/annonce/annonce_safety.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/extract.h"

namespace tarvelon {

void SubstituteSiteContacts(IXMLCursor& record) {
  const std::string site = AnsiUpper(record.GetValue("id_Track"));
  const std::string telephone = record.GetValue("TELEPHONE_A_AFFICHER");
  const std::string mail = record.GetValue("EMAIL_A_AFFICHER");
  for (IXMLCursor entry = record.Select("/document/InfosSRS/InfosSR[idSite=" + XPathLiteral(site) + "]");
       !entry.Eof(); entry.Next()) {
    const std::string entryTelephone = entry.GetValue("Telephone");
    if (AnsiUpper(entryTelephone) == "ALL") {
      record.SetValue("CONTACT_A_AFFICHER", "STANDARD");
      record.SetValue("TELEPHONE_A_AFFICHER", entry.GetValue("SRTel"));
      record.SetValue("EMAIL_A_AFFICHER", entry.GetValue("SRMail"));
    }
    if (entryTelephone == telephone) record.SetValue("TELEPHONE_A_AFFICHER", entry.GetValue("SRTel"));
    if (entry.GetValue("Mail") == mail) record.SetValue("EMAIL_A_AFFICHER", entry.GetValue("SRMail"));
  }
}

void AnnonceExporter::PrepareRecord(RunState& state, IXMLCursor& record) {
  const std::string brand = record.GetValue("MARQUE");
  const std::string brandPart = ReadInt(record, "TypeVO") != 1 ? brand : std::string();
  const std::string reference = AdReference(state, brandPart, record.GetValue("RefSite"), record.GetValue("RefExpo")) +
                                "-" + record.GetValue("REFERENCE");
  SubstituteSiteContacts(record);
  record.SetValue("REFERENCE", reference);
  record.SetValue("CATEGORIE", CategoryCode(record.GetValue("CATEGORIE")));
  record.SetValue("GARANTIE", ConvertGuarantee(record.GetValue("GARANTIE")));
  record.SetValue("NB_PORTES", DoorCountText(record.GetValue("NB_PORTES")));

  const EquipmentLists lists = {record.GetValue("EQUTINTERIEUR"), record.GetValue("EQUTEXTERIEUR"),
                                record.GetValue("EQUTSECURITE"), record.GetValue("INFOCOMPLEMENT")};

  const std::string model = record.GetValue("MODELE");
  const std::string mappedBrand = BrandName(brand);
  const std::string version = VersionWithoutModel(record.GetValue("VERSION"), model);
  record.SetValue("xMarque", brand);
  record.SetValue("MARQUE", mappedBrand);
  record.SetValue("VERSION", VersionForTitle(mappedBrand, model, version));
  AfterShortVersion(record, lists);

  record.SetValue("PREMIERE_MAIN", ReadInt(record, "PREMIERE_MAIN") != 0 ? "O" : "N");
  WriteEquipment(record, lists);

  const AnnonceCommentResult comment = AnnonceComment(ReadCommentInputs(state, record));
  record.SetValue("commentaire_public_vo", comment.text);
  if (const std::string remise = DiscountText(comment.rate); !remise.empty()) record.SetValue("remise", remise);
}

}  // namespace tarvelon
