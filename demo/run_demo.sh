#!/usr/bin/env bash
# run_demo.sh BUILD_DIR
#
# Runs the exports on the demo stock against a loopback FTP server that plays
# both the group's image server and the portals, then shows what the portals
# received and where the logs are. Everything lands in demo/out (wiped first):
#   drive_c/                 TARVELON_DRIVE_C: c:\projects\kord\data\Tarvelon\ (extracts),
#                            c:\projects\kord\images\ (photo store), c:\SharedTemp\ (WorkDir)
#   program/                 TARVELON_HOME: Tarvelon.ini and the mark images
#   ftp/www/pictlore/        the image server's photo folder
#   ftp/portals/<target>/    what each portal received
#   mail/new/                what the loopback SMTP server (aiosmtpd) received
#   vivacar-service.log      the requests the loopback Vivacar import service received
#   console/                 each export's console output
# An export that this build does not have yet is reported and skipped.
# Exit status: 0 when every export that ran finished, 1 otherwise.
set -euo pipefail

if [ $# -ne 1 ] || [ ! -d "$1" ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
BUILD=$(cd "$1" && pwd)
DEMO=$(cd "$(dirname "$0")" && pwd)
ROOT=$(dirname "$DEMO")
OUT=$DEMO/out
PY=/usr/bin/python3
BIN=$BUILD/tarvelon
TARGETS=(AUTOSCOUT24 VPN LEBONCOIN NEOWEBCAR LARGUS PVO AXECIBLES FVA BUSINESSAPTITUDE BRELO ANNONCESJAUNES
         RAD1 INFOPRESS TOPANNONCES AUTOREFLEX PARUVENDU VIVACAR)
FTP_USER=kord
FTP_PASSWORD=kord-demo

if [ ! -x "$BIN" ]; then
  echo "no program at $BIN: build first (make build)" >&2
  exit 2
fi
FTP_SERVER=$ROOT/tests/support/ftp_server.py
HTTP_SERVER=$ROOT/tests/support/http_recorder.py

section() { printf '\n== %s\n' "$*"; }

# --- layout -------------------------------------------------------------------
rm -rf "$OUT"
DRIVE=$OUT/drive_c
DATA=$DRIVE/projects/kord/data/Tarvelon
STORE=$DRIVE/projects/kord/images
SHARED=$DRIVE/SharedTemp
PROGRAM=$OUT/program
FTP=$OUT/ftp
PICTLORE=$FTP/www/pictlore
PORTALS=$FTP/portals
mkdir -p "$DATA" "$STORE" "$SHARED" "$PROGRAM" "$PICTLORE" "$OUT/console" \
         "$PORTALS/autoscout24" "$PORTALS/vpn" "$PORTALS/leboncoin/51203" "$PORTALS/leboncoin/51204" \
         "$PORTALS/neowebcar" "$PORTALS/largus" "$PORTALS/pvo" \
         "$PORTALS/axecibles" "$PORTALS/fva" "$PORTALS/annoncesjaunes" "$PORTALS/businessaptitude" "$PORTALS/brelo" \
         "$PORTALS/rad1" "$PORTALS/infopress" "$PORTALS/topannonces" "$PORTALS/autoreflex" \
         "$PORTALS/paruvendu/51203" "$PORTALS/paruvendu/51204"

section "Demo layout in $OUT"
cp "$DEMO"/stock/ExpDatas*.xml "$DATA"/
echo "stock extracts: $(cd "$DATA" && echo *)"
"$PY" "$DEMO/make_stock.py" --photos "$STORE" --server "$PICTLORE"
"$PY" "$DEMO/make_dealer_stock.py" --extracts "$DATA" >/dev/null
# The operators' transfer scripts of BUSINESSAPTITUDE and BRELO (c:\projects\Kord\).
for script in BA:vehicules:businessaptitude BRELO:Brelo:brelo; do
  IFS=: read -r name base portal <<<"$script"
  sed -e "s|@FILE@|$SHARED/Tarvelon/$base.csv|" -e "s|@DEST@|$PORTALS/$portal|" \
      -e "s|@LOG@|$DRIVE/projects/kord/WinSFTP-$name.log|" "$DEMO/WinSFTP.bat.in" >"$DRIVE/projects/kord/WinSFTP-$name.bat"
done
(cd "$PICTLORE" && find . -type f | sort) >"$OUT/pictlore-before.txt"

shopt -s nullglob
marks=("$BUILD"/*.png)
shopt -u nullglob
if [ ${#marks[@]} -gt 0 ]; then
  cp "${marks[@]}" "$PROGRAM"/
  echo "mark images: ${#marks[@]} copied from $BUILD"
else
  echo "mark images: none in $BUILD yet, photos will not be stamped"
fi

# --- FTP server -------------------------------------------------------------------
SERVER_PID=
SMTP_PID=
HTTP_PID=
stop_server() {
  if [ -n "$SERVER_PID" ]; then
    kill "$SERVER_PID" 2>/dev/null || true
    wait "$SERVER_PID" 2>/dev/null || true
    SERVER_PID=
  fi
  if [ -n "$SMTP_PID" ]; then
    kill "$SMTP_PID" 2>/dev/null || true
    wait "$SMTP_PID" 2>/dev/null || true
    SMTP_PID=
  fi
  if [ -n "$HTTP_PID" ]; then
    kill "$HTTP_PID" 2>/dev/null || true
    wait "$HTTP_PID" 2>/dev/null || true
    HTTP_PID=
  fi
}
trap stop_server EXIT
trap 'exit 130' INT TERM

"$PY" "$FTP_SERVER" --host 127.0.0.1 --port 0 --log "$OUT/ftp-server.log" --port-file "$OUT/ftp.port" \
      --account "$FTP_USER" "$FTP_PASSWORD" "$FTP" elradfmwMT &
SERVER_PID=$!
for _ in $(seq 100); do
  [ -s "$OUT/ftp.port" ] && break
  kill -0 "$SERVER_PID" 2>/dev/null || { echo "the FTP server did not start, see $OUT/ftp-server.log" >&2; exit 1; }
  sleep 0.1
done
[ -s "$OUT/ftp.port" ] || { echo "the FTP server gave no port" >&2; exit 1; }
PORT=$(cat "$OUT/ftp.port")
echo "FTP server: 127.0.0.1:$PORT (pid $SERVER_PID), user $FTP_USER, root $FTP"

# --- SMTP server (the NeoWebCar mail) -------------------------------------------------
SMTP_PORT=$("$PY" -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$PY" -m aiosmtpd -n -l "127.0.0.1:$SMTP_PORT" -c aiosmtpd.handlers.Mailbox "$OUT/mail" 2>"$OUT/smtp-server.log" &
SMTP_PID=$!
for _ in $(seq 100); do
  "$PY" -c "import socket,sys; socket.create_connection(('127.0.0.1', $SMTP_PORT), 1)" 2>/dev/null && break
  kill -0 "$SMTP_PID" 2>/dev/null || { echo "the SMTP server did not start, see $OUT/smtp-server.log" >&2; exit 1; }
  sleep 0.1
done
echo "SMTP server: 127.0.0.1:$SMTP_PORT (pid $SMTP_PID), messages in $OUT/mail/new"

# --- Vivacar import service (loopback HTTP) and operator script -------------------
"$PY" "$HTTP_SERVER" --host 127.0.0.1 --port 0 --log "$OUT/vivacar-service.log" --port-file "$OUT/http.port" &
HTTP_PID=$!
for _ in $(seq 100); do
  [ -s "$OUT/http.port" ] && break
  kill -0 "$HTTP_PID" 2>/dev/null || { echo "the HTTP server did not start" >&2; exit 1; }
  sleep 0.1
done
[ -s "$OUT/http.port" ] || { echo "the HTTP server gave no port" >&2; exit 1; }
HTTPPORT=$(cat "$OUT/http.port")
echo "Vivacar import service: http://127.0.0.1:$HTTPPORT (pid $HTTP_PID)"
VIVACAR=$DATA/Vivacar
mkdir -p "$VIVACAR"
# The operator's script that Opt2VivafiAll.bat calls once per JSON file.
printf '%s\n' 'echo "  Opt2Vivafi.bat: $(basename "$1"), $(grep -c "^\"immatriculation\"" "$1") vehicles"' \
  >"$VIVACAR/Opt2Vivafi.bat"

sed -e "s/@PORT@/$PORT/g" -e "s/@SMTP_PORT@/$SMTP_PORT/g" -e "s/@HTTPPORT@/$HTTPPORT/g" -e 's/$/\r/' "$DEMO/Tarvelon.ini" | iconv -f UTF-8 -t CP1252 >"$PROGRAM/Tarvelon.ini"

# --- exports ----------------------------------------------------------------------
export TARVELON_DRIVE_C=$DRIVE
export TARVELON_HOME=$PROGRAM
export SharedTemp='c:\SharedTemp'
export PATH=/usr/bin:$PATH   # the real ImageMagick convert, not a stand-in

failed=0
declare -A result
for target in "${TARGETS[@]}"; do
  section "tarvelon $target"
  console=$OUT/console/$target
  set +e
  "$BIN" "$target" 2>"$console.stderr" | tee "$console.stdout" | sed 's/^/  /'
  status=${PIPESTATUS[0]}
  set -e
  if [ "$status" -eq 1 ] && grep -q "Export non disponible" "$console.stderr"; then
    result[$target]="not available yet: $(head -n 1 "$console.stderr")"
    continue
  fi
  if [ -s "$console.stderr" ]; then sed 's/^/  stderr: /' "$console.stderr"; fi
  if [ "$status" -eq 0 ]; then
    result[$target]="finished"
  elif [ "$status" -eq 3 ]; then
    result[$target]="FAILED: finished, but a delivery failed (exit status 3)"
    failed=1
  else
    result[$target]="FAILED (exit status $status)"
    failed=1
  fi
done

# DEMO_SCREENSHOT=FILE: a picture of the operator window after a VPN run.
if [ -n "${DEMO_SCREENSHOT:-}" ] && [ -x "$BUILD/tarvelon-gui" ]; then
  QT_QPA_PLATFORM=offscreen "$BUILD/tarvelon-gui" --screenshot "$DEMO_SCREENSHOT" VPN >/dev/null 2>&1 \
    && echo "window picture: $DEMO_SCREENSHOT"
fi

# "Envoi VIVACAR": every file of the Vivacar folder to the import service.
section "tarvelon --send-vivacar"
set +e
"$BIN" --send-vivacar 2>"$OUT/console/send-vivacar.stderr" | tee "$OUT/console/send-vivacar.stdout" | sed 's/^/  /'
status=${PIPESTATUS[0]}
set -e
if [ -s "$OUT/console/send-vivacar.stderr" ]; then sed 's/^/  stderr: /' "$OUT/console/send-vivacar.stderr"; fi
if [ "$status" -eq 0 ]; then
  result[send-vivacar]="finished: $(grep -c '^request POST' "$OUT/vivacar-service.log" 2>/dev/null || echo 0) requests"
else
  result[send-vivacar]="FAILED (exit status $status)"
  failed=1
fi

section "tarvelon --check LEBONCOIN (preflight, changes nothing)"
"$BIN" --check LEBONCOIN | sed 's/^/  /' || true

stop_server
trap - EXIT

section "tarvelon --status (the run journal)"
"$BIN" --status | sed 's/^/  /' || true

# --- what arrived -------------------------------------------------------------------
section "Results"
for target in "${TARGETS[@]}" send-vivacar; do printf '  %-12s %s\n' "$target" "${result[$target]}"; done

section "Received by the portals ($PORTALS)"
files=$(cd "$PORTALS" && find . -type f | sort)
if [ -z "$files" ]; then
  echo "  nothing"
else
  (cd "$PORTALS" && find . -type f -printf '  %10s  %P\n' | sort -k2)
fi
while IFS= read -r archive; do
  [ -n "$archive" ] || continue
  printf '\n-- %s\n' "${archive#"$PORTALS"/}"
  unzip -l "$archive" | sed 's/^/  /'
  while IFS= read -r entry; do
    case "$entry" in
      *.csv)
        echo "  first lines of $entry (Windows-1252):"
        unzip -p "$archive" "$entry" | head -n 3 | iconv -f CP1252 -t UTF-8 | tr -d '\r' | sed 's/^/    /' || true ;;
      *.xml)
        echo "  start of $entry (as the partner reads it):"
        unzip -p "$archive" "$entry" | xmllint --format - | head -n 40 | iconv -f ISO-8859-15 -t UTF-8 | sed 's/^/    /' || true ;;
    esac
  done < <(unzip -Z1 "$archive")
done < <(find "$PORTALS" -type f -name '*.zip' | sort)

section "Mail received by the SMTP server ($OUT/mail/new)"
shopt -s nullglob
messages=("$OUT"/mail/new/*)
shopt -u nullglob
if [ ${#messages[@]} -eq 0 ]; then echo "  nothing"; fi
for message in "${messages[@]}"; do
  echo "-- $message"
  "$PY" -c 'import email, email.policy, sys
m = email.message_from_binary_file(open(sys.argv[1], "rb"), policy=email.policy.default)
for k in ("From", "To", "Cc", "X-RcptTo", "Subject", "Content-Type"): print("  %s: %s" % (k, m[k]))
print("  body:", m.get_content())' "$message"
done
echo "  the program's copy of each message: $SHARED/Sendro/"
section "Vivacar folder ($VIVACAR)"
(cd "$VIVACAR" && find . -maxdepth 1 -type f -printf '  %10s  %P\n' | sort -k2)
for reply in "$VIVACAR"/*.xml; do
  [ -e "$reply" ] || continue
  printf '  reply %s: %s\n' "$(basename "$reply")" "$(head -c 120 "$reply")"
done

section "Published on the image server during the run ($PICTLORE)"
(cd "$PICTLORE" && find . -type f | sort) >"$OUT/pictlore-after.txt"
new=$(comm -13 "$OUT/pictlore-before.txt" "$OUT/pictlore-after.txt")
if [ -z "$new" ]; then echo "  nothing"; else echo "$new" | sed 's|^\./|  |'; fi

section "Logs"
shopt -s nullglob
logs=("$SHARED"/MarqueUpdate*.log)
shopt -u nullglob
for log in "${logs[@]}"; do
  echo "-- $log"
  [ -s "$log" ] || echo "  (empty)"
  iconv -f CP1252 -t UTF-8 "$log" | tr -d '\r' | sed 's/^/  /'
done
echo "console output of each export: $OUT/console/"
echo "work files (output folders, archives, extract copies): $SHARED/"
echo "FTP server commands: $OUT/ftp-server.log"

exit "$failed"
