#!/bin/sh
# Entry point that works on a bare Debian machine: installs make when it is
# missing, then runs the Makefile target (which installs everything else).
set -e
cd "$(dirname "$0")"
if ! command -v make >/dev/null 2>&1; then
  SUDO=
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  echo "Installing: make"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq make
fi
exec make "$@"
