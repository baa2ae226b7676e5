#!/usr/bin/env python3
"""Grows a demo stock extract to any number of vehicles, keeping its shape.

usage: scale_extract.py TEMPLATE OUTPUT VEHICLES [PHOTOS_PER_VEHICLE]

Every DataVO record of TEMPLATE is a model: the output cycles over them, each
copy under a new vehicle number and a new ad number (every standalone
occurrence of the model's idVO and idNVO in the record is renumbered, so that
no two vehicles share an ad reference or its photo copies), and gives each vehicle PHOTOS_PER_VEHICLE
photo links (default 10) named "<folder>/<number>-<k>", the folder taken from
the model's own photos. Everything around the two lists (clients, exclusions,
equipment labels, sites, aliases) stays as it is. Bytes are kept as they are
(Windows-1252 in, Windows-1252 out).
"""
import re
import sys

FIRST_NUMBER = 100000
FIRST_AD_NUMBER = 5000000


def photo_links(template):
    block = re.search(r"<LiensImagesS\b[^>]*>(.*?)</LiensImagesS>", template, re.S)
    folders = {}
    for vid, name in re.findall(r"<idVO>(\d+)</idVO>\s*<NomImage>([^<]*)</NomImage>", block.group(1)):
        folders.setdefault(vid, name.rsplit("/", 1)[0] if "/" in name else "")
    return block, folders


def scaled(template, vehicles, photos):
    datas = re.search(r"(<DataVOS\b[^>]*>)(.*?)(\s*</DataVOS>)", template, re.S)
    models = re.findall(r"\s*<DataVO>.*?</DataVO>", datas.group(2), re.S)
    links, folders = photo_links(template)
    records, link_lines = [], []
    for i in range(vehicles):
        model = models[i % len(models)]
        old = re.search(r"<idVO>(\d+)</idVO>", model).group(1)
        new = str(FIRST_NUMBER + i)
        record = re.sub(r"(?<!\d)%s(?!\d)" % old, new, model)
        ad = re.search(r"<idNVO>(\d+)</idNVO>", record)
        if ad:
            record = re.sub(r"(?<!\d)%s(?!\d)" % ad.group(1), str(FIRST_AD_NUMBER + i), record)
        records.append(record)
        folder = folders.get(old, "bench")
        for k in range(1, photos + 1):
            link_lines.append("\n    <LiensImages><idVO>%s</idVO><NomImage>%s/%s-%d</NomImage></LiensImages>"
                              % (new, folder, new, k))
    out = template[:datas.start(2)] + "".join(records) + template[datas.end(2):links.start(1)]
    out += "".join(link_lines) + "\n  " + template[links.end(1):]
    return out


def main():
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    template_path, output, vehicles = sys.argv[1], sys.argv[2], int(sys.argv[3])
    photos = int(sys.argv[4]) if len(sys.argv) == 5 else 10
    # latin-1 maps every byte to one character: the Windows-1252 bytes pass through unchanged.
    with open(template_path, encoding="latin-1", newline="") as source:
        template = source.read()
    with open(output, "w", encoding="latin-1", newline="") as out:
        out.write(scaled(template, vehicles, photos))


if __name__ == "__main__":
    main()
