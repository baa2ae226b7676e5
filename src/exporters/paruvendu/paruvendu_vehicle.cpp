// The ParuVendu vehicle pass: the record keeps its reference, contacts,
// title and working elements; the technical data move into VEHICULE and the
// guarantee and price into OFFRE.
#include "exporters/paruvendu/paruvendu_exporter.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/extract.h"

namespace tarvelon {
namespace {

void DeleteChild(IXMLCursor& record, const std::string& name) {
  IXMLCursor child = record.Select(name);
  if (!child.Eof()) child.Delete();
}

std::string Unchanged(const std::string& value) { return value; }
std::string FirstHand(const std::string& value) { return ToIntDef(value, 0) != 0 ? "O" : "N"; }

// The elements that move from the record into VEHICULE, in their order there.
struct MovedElement {
  const char* source;
  const char* target;
  std::string (*convert)(const std::string&);
};
const MovedElement kMovedElements[] = {
    {"MODELE", "MODELE", Unchanged},
    {"Energie", "ENERGIE", Unchanged},
    {"KILOMETRAGE", "KILOMETRAGE", Unchanged},
    {"COULEUR", "COULEUR", Unchanged},
    {"PUISSANCE_FISCALE", "PUISSANCE_FISCALE", Unchanged},
    {"BOITE_DE_VITESSE", "BOITE_DE_VITESSE", Unchanged},
    {"MISE_EN_CIRCULATION", "MISE_EN_CIRCULATION", Unchanged},
    {"Carrosserie", "CARROSSERIE", Unchanged},
    {"NUMERO_IMMATRICULATION", "NUMERO_IMMATRICULATION", Unchanged},
    {"NB_PORTES", "NB_PORTES", DoorCountText},
    {"NB_PLACES", "NB_PLACES", Unchanged},
    {"PREMIERE_MAIN", "PREMIERE_MAIN", FirstHand},
};

}  // namespace

void ParuVenduExporter::PrepareRecord(RunState& state, IXMLCursor& record) {
  for (const char* block : {"TITRE", "VEHICULE", "OFFRE"}) record.SetValue(block, "");
  IXMLCursor vehicle = record.Select("VEHICULE");
  IXMLCursor offer = record.Select("OFFRE");

  const std::string brand = record.GetValue("MARQUE");
  const std::string brandPart = ReadInt(record, "TypeVO") != 1 ? brand : std::string();
  const std::string reference = AdReference(state, brandPart, record.GetValue("RefSite"), record.GetValue("RefExpo")) +
                                "-" + record.GetValue("REFERENCE");
  SubstituteSiteContacts(record);
  record.SetValue("REFERENCE", reference);
  vehicle.SetValue("CATEGORIE", CategoryCode(record.GetValue("CATEGORIE")));
  const std::string guarantee = GuaranteeMonths(record.GetValue("GARANTIE"));
  const std::string price = record.GetValue("PRIX");
  offer.SetValue("GARANTIE", guarantee);
  offer.SetValue("PRIX", price);

  const EquipmentLists lists = {record.GetValue("EQUTINTERIEUR"), record.GetValue("EQUTEXTERIEUR"),
                                record.GetValue("EQUTSECURITE"), record.GetValue("INFOCOMPLEMENT")};

  // The title names the brand as the extract writes it and keeps the whole
  // version; the version of VEHICULE is the one cut to fit 50 characters.
  const std::string model = record.GetValue("MODELE");
  const std::string version = VersionWithoutModel(record.GetValue("VERSION"), model);
  record.SetValue("xMarque", brand);
  vehicle.SetValue("MARQUE", BrandName(brand));
  record.SetValue("TITRE", brand + " " + model + " " + version);
  vehicle.SetValue("VERSION", VersionForTitle(brand, model, version));

  for (const char* name : {"VERSION", "CATEGORIE", "GARANTIE", "PRIX", "MARQUE"}) DeleteChild(record, name);
  for (const MovedElement& moved : kMovedElements) {
    vehicle.SetValue(moved.target, moved.convert(record.GetValue(moved.source)));
    DeleteChild(record, moved.source);
  }
  WriteEquipment(vehicle, lists, true);

  // The comment reads the guarantee and price placed in OFFRE; its discount
  // rate serves the comment only, no remise element is written.
  CommentInputs inputs = ReadCommentInputs(state, record);
  inputs.guarantee = guarantee;
  inputs.price = price;
  vehicle.SetValue("commentaire_public_vo", AnnonceComment(inputs).text);
  DeleteChild(record, "commentaire_public_vo");
}

}  // namespace tarvelon
