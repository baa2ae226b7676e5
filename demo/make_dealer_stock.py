#!/usr/bin/env python3
"""Extracts of the quoted dealer feeds for the demo stock (same fleet and photos
as make_stock.py):

  make_dealer_stock.py [--extracts DIR]
      writes ExpDatasAxeCibles.xml (AXECIBLES and FVA), ExpDatasBusinessAptitude.xml,
      ExpDatasBrelo.xml and ExpDatasAnnoncesJaunes.xml (Windows-1252 XML).
      Default DIR: the "stock" folder beside this script.
"""
import argparse
import os

import make_stock as ms


def dealer_record(v):
    site = v["site"]
    seller_name, seller_phone, seller_mail = v["seller"]
    return [
        ("idVO", v["idVO"]), ("TypeVO", v["TypeVO"]), ("StatutVD", "VDZ" if v["z_tag"] else ""),
        ("Marque", v["brand"]), ("vMarque", v["brand"] + ("Z" if v["z_tag"] else "")), ("Modele", v["model"]),
        ("Version", v["version"]), ("TitreAnnonce", "%s %s" % (ms.brand_name(v["brand"]), v["model"])),
        ("RefSite", site["RefSite"]), ("RefExpo", v["expo"]), ("RefVille", site["RefVille"]),
        ("refAnnonce", v["idNVO"]), ("id_Track", site["id_Track"]),
        ("NomContact", seller_name if v["index"] % 3 else "STANDARD"), ("telephone", seller_phone),
        ("mobile", seller_phone), ("email", seller_mail), ("TypeVehicule", v["body"]),
        ("Prix", v["price"]), ("PrixCatalogue", v["catalogue"] or ""), ("AnneeMEC", v["year"]),
        ("MEC", "01/%02d/%d" % (v["month"], v["year"])), ("Kilometrage", v["mileage"]),
        ("DateOrdre", "02/01/2026" if v["status"] == "VEN" else ""),
        ("CptReservation", "1" if v["status"] == "res" else "0"), ("InfoVA", "VA" if v["business"] else ""),
        ("Garantie", v["guarantee"]), ("TypeGarantie", v["guarantee_type"]), ("Puissance", v["fiscal"]),
        ("CV", v["power"]), ("CO2", v["co2"]), ("Energie", v["fuel"]), ("Couleur", v["colour"]),
        ("CouleurInt", "Noir"), ("TypeBoiteVitesse", v["gearbox"].capitalize()), ("NbPlaces", v["seats"]),
        ("NombreDePortes", v["doors"]), ("EqutInterieur", v["interior"]), ("EqutExterieur", v["exterior"]),
        ("EqutSecurite", v["safety"]), ("InfoComplement", v["info"]), ("ID_AxeCibles", "AX%d" % v["idVO"]),
        ("Anciennete", 2026 - v["year"]), ("Adresse", site["client"]["Adresse"]),
        ("CodePostal", site["client"]["CODE_POSTAL"]), ("LibelleVille", site["client"]["VILLE"]), ("Pays", "France"),
        ("Immatriculation", v["plate"]),
    ]


def dealer_extract(vehicles):
    w = ms.XmlWriter()
    w.open("document")
    w.record_list("DataVOS", "DataVO", [dealer_record(v) for v in vehicles])
    w.record_list("LiensImagesS", "LiensImages", ms.photo_links(vehicles))
    w.record_list("LiensEquipementsS", "LiensEquipements", ms.equipment_labels())
    w.record_list("InfosSRS", "InfosSR", ms.site_contacts())
    w.close("document")
    return w.data()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--extracts", default=os.path.join(here, "stock"))
    folder = parser.parse_args().extracts
    data = dealer_extract(ms.build_fleet())
    os.makedirs(folder, exist_ok=True)
    for name in ("ExpDatasAxeCibles.xml", "ExpDatasBusinessAptitude.xml", "ExpDatasBrelo.xml",
                 "ExpDatasAnnoncesJaunes.xml"):
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)
    print("dealer extracts in %s" % folder)


if __name__ == "__main__":
    main()
