#!/bin/sh
# Generates de_DE.UTF-8, a locale that writes numbers with a decimal comma, into FOLDER for the
# tests that run the programs under it (LOCPATH=FOLDER), so that they need no locale of the
# system. Prints "SKIP: ..." when there are no locale sources to make it from.
#
# Usage: comma_locale.sh FOLDER
set -u
folder=$1
if ! command -v localedef > /dev/null || [ ! -f /usr/share/i18n/locales/de_DE ]; then
  echo "SKIP: no localedef or no locale sources (Debian's locales package)"
  exit 0
fi
mkdir -p "$folder" && localedef -i de_DE -f UTF-8 "$folder/de_DE.UTF-8"
