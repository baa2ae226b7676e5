#!/usr/bin/env python3
"""Writes a synthetic stock extract of any size.

usage: make_extract.py VEHICLES OUTPUT [PHOTOS_PER_VEHICLE]

The extract has the layout the exporters read: DataVOS with ~30 elements per
vehicle, LiensImagesS with the photo links (in a shuffled order, as a stock
database may write them), LiensEquipementsS and InfosSRS. It is declared
windows-1252 and holds accented texts.
"""
import random
import sys
from xml.sax.saxutils import escape

EQUIPMENT = ["Clim", "ClimAuto", "RadCD", "GPS", "RegVit", "ABS", "ESP", "JantAlu", "Radrecul", "Gar"]
BRANDS = ["VW", "PEUGEOT", "RENAULT", "AUDI", "SKODA", "SEAT"]
SITES = ["quivale", "pelmar-dorn", "sauvrel-ni", "orbec"]


def vehicle(rnd, vid):
    codes = ";" + ";".join(rnd.sample(EQUIPMENT, 4)) + ";"
    fields = [
        ("idVO", vid), ("idNVO", 500000 + vid), ("TypeVO", rnd.choice([1, 2, 3])),
        ("RefSite", rnd.choice(SITES)), ("RefExpo", rnd.choice(SITES)), ("RefVille", "Ville %d" % (vid % 40)),
        ("id_Track", "S%02d" % (vid % 12)), ("Marque", rnd.choice(BRANDS)), ("Modele", "Modèle %d" % (vid % 30)),
        ("Version", "1.6 TDI 105 Confort & Clim"), ("Kilometrage", rnd.randint(0, 200000)),
        ("PrixVente", "%d,%02d" % (rnd.randint(3000, 60000), rnd.randint(0, 99))),
        ("PrixCatalogue", rnd.randint(10000, 80000)), ("MEC", "%02d/%02d/20%02d" % (rnd.randint(1, 28), rnd.randint(1, 12), rnd.randint(5, 23))),
        ("Energie", rnd.choice(["diesel", "essence", "electrique"])), ("TypeBoiteVitesse", "manuelle"),
        ("Carrosserie", "Berline"), ("Couleur", "Gris métallisé"), ("NbPortes", "5 portes"), ("Puissance", 7),
        ("CO2", 119), ("Immatriculation", "AB-%03d-CD" % (vid % 1000)), ("Garantie", "12 mois"),
        ("EqutInterieur", codes), ("EqutExterieur", ";JantAlu;"), ("EqutSecurite", ";ABS;ESP;"),
        ("InfoComplement", ";Gar;"), ("MsgAnnonce", "Très belle voiture <révisée>"), ("telephone", "01.02.03.04.05"),
        ("email", "site%d@example.invalid" % (vid % 12)),
        # The names of the AutoScout24/VPN extracts.
        ("IMarque", rnd.choice(BRANDS)), ("IModele", "Golf"), ("IVersion", "Golf 1.6 TDI 105 Confort"),
        ("PrixDuBien", rnd.randint(3000, 60000)), ("PrixConstructeur", rnd.randint(10000, 80000)),
        ("TypeGarantie", rnd.choice(["", "Das WeltAuto"])), ("TypeCarrosserie", "Berline"),
        ("MoisMEC", rnd.randint(1, 12)), ("AnneeMEC", rnd.randint(2005, 2023)), ("NombreDePortes", "5 portes"),
        ("NbPlaces", 5), ("InfoEquiInterieur", codes), ("InfoEquiExterieur", ";PMat;JantAll;"),
        ("InfoEquiSecurite", ";ABS;ESP;"), ("NChassis", "WVWZZZ1KZ%08d" % vid),
    ]
    return "<DataVO>" + "".join("<%s>%s</%s>" % (n, escape(str(v)), n) for n, v in fields) + "</DataVO>"


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    count = int(sys.argv[1])
    photos = int(sys.argv[3]) if len(sys.argv) > 3 else 10
    rnd = random.Random(1234)
    links = [(vid, k) for vid in range(1, count + 1) for k in range(photos)]
    rnd.shuffle(links)
    with open(sys.argv[2], "w", encoding="cp1252", newline="\n") as out:
        out.write('<?xml version="1.0" encoding="windows-1252"?>\n<document>\n')
        out.write('<DataVOS EOF="0" RecordName="DataVO">\n')
        for vid in range(1, count + 1):
            out.write(vehicle(rnd, vid) + "\n")
        out.write("</DataVOS>\n<LiensImagesS>\n")
        for vid, k in links:
            out.write("<LiensImages><idVO>%d</idVO><NomImage>v%02d/%02d/photo%d-%d</NomImage></LiensImages>\n"
                      % (vid, vid % 100, k, vid, k))
        out.write("</LiensImagesS>\n<LiensEquipementsS>\n")
        for code in EQUIPMENT:
            out.write("<LiensEquipements><AbbrEquip>%s</AbbrEquip><LibelleEquipement>Libellé %s</LibelleEquipement></LiensEquipements>\n"
                      % (code.upper(), code))
        out.write('</LiensEquipementsS>\n<InfosSRS EOF="0" RecordName="InfosSR">\n')
        for s in range(12):
            out.write("<InfosSR><idSite>S%02d</idSite><Site>VILLE %d</Site><Telephone>ALL</Telephone><Mail>ALL</Mail>"
                      "<SRTel>01 00 00 00 %02d</SRTel><SRMail>contact%d@example.invalid</SRMail></InfosSR>\n" % (s, s, s, s))
        out.write("</InfosSRS>\n<Aliases/>\n</document>\n")


if __name__ == "__main__":
    main()
