#!/bin/sh
# Draws the mark images that DecoratePhoto lays on the first photos, into
# marks/ (the build copies them beside the executables). Run once after a
# change of drawing; the PNGs are kept in the repository.
#
# The sizes follow the command lines of the tagging script:
#   atp480/atp640   bands 480 and 640 wide, centred at the top
#   tz              small corner badge at +5+5
#   dwa             label, centred at the top (dissolve 80)
#   remise          200x80 badge: the 100x60 caption goes at +30+10
#   remise_p66      165x66 badge: the 90x50 caption goes at +25+5
#   tag*-h40        logos 40 high, 228 wide (centred with (width-228)/2)
#   S.png / S-a.png veil (dissolve 20) and stamp, both centred
set -eu

CONVERT=/usr/bin/convert
FONT=DejaVu-Sans-Bold
here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/marks"
mkdir -p "$out"

small() {  # few colours, no metadata: a few KB per file
  "$CONVERT" "$@" -strip +dither -colors 32 "PNG8:$out/$name"
}

band() {  # width height pointsize
  name=atp$1.png
  small -size "$1x$2" xc:none -fill '#0b3d91d0' -draw "rectangle 0,0 $(($1 - 1)),$(($2 - 1))" \
    -fill '#ffd200' -draw "rectangle 0,$(($2 - 4)) $(($1 - 1)),$(($2 - 1))" \
    -font "$FONT" -pointsize "$3" -fill white -gravity center -annotate +0-2 'Affaires Très Privées'
}
band 480 60 26
band 640 80 34

name=tz.png
small -size 64x64 xc:none -fill '#e4571b' -stroke white -strokewidth 3 -draw 'circle 32,32 32,3' \
  -stroke none -font "$FONT" -pointsize 38 -fill white -gravity center -annotate +0+1 'Z'

name=dwa.png
small -size 320x48 xc:none -fill white -draw 'roundrectangle 0,0 319,47 8,8' \
  -fill '#001e50' -draw 'rectangle 0,44 319,47' \
  -font "$FONT" -pointsize 26 -fill '#001e50' -gravity center -annotate +0-1 'Das WeltAuto.'

badge() {  # name width height captionX captionY captionW captionH pointsize
  name=$1
  small -size "$2x$3" xc:none -fill '#ffd200' -stroke '#c00000' -strokewidth 3 \
    -draw "roundrectangle 1,1 $(($2 - 2)),$(($3 - 2)) 12,12" \
    -stroke none -fill '#fff6c0' -draw "rectangle $4,$5 $(($4 + $6 - 1)),$(($5 + $7 - 1))" \
    -font "$FONT" -pointsize "$8" -fill '#c00000' -gravity west -annotate "+$(($4 + $6 + 4))+0" '%'
}
badge remise.png 200 80 30 10 100 60 40
badge remise_p66.png 165 66 25 5 90 50 32

logo() {  # name text colour
  name=$1
  small -size 228x40 xc:none -fill "$3" -draw 'roundrectangle 0,0 227,39 6,6' \
    -font "$FONT" -pointsize 24 -fill white -gravity center -annotate +0+0 "$2"
}
logo tagMirvane-h40.png 'MIRVANE' '#7a1f2b'
logo tagBrelo-h40.png 'BRELO' '#1f4f7a'

stamp() {  # base colour text pointsize
  name=$1.png
  small -size 400x300 xc:none -fill "$2" -draw 'roundrectangle 0,0 399,299 30,30'
  name=$1-a.png
  small -size 320x96 xc:none -fill white -stroke "$2" -strokewidth 6 \
    -draw 'roundrectangle 3,3 316,92 14,14' -stroke none \
    -font "$FONT" -pointsize "$4" -fill "$2" -gravity center -annotate +0+0 "$3"
}
stamp vendu '#c00000' 'VENDU' 52
stamp reserve '#e07000' 'RÉSERVÉ' 44

ls -l "$out"
