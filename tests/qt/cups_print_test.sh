#!/bin/sh
# "Print Graph" through a real CUPS server: a private cupsd (its own configuration, state and
# socket in a temporary folder, so a system cupsd is left alone) with a CUPS-PDF queue as its
# default printer. The desktop window loads the lamp sample and prints (halvic_print_press); the
# test waits for the queue to empty and checks that CUPS-PDF wrote a one-page PDF whose text holds
# the title, the axis title and the profile's maximum. The queue is removed and cupsd stopped at
# the end.
#
# CUPS-PDF reads its settings from /etc/cups/cups-pdf-NAME.conf for a queue whose device is
# cups-pdf:/NAME, so the test writes such a file of its own (output into the temporary folder) and
# removes it again; /etc/cups/cups-pdf.conf is not touched. The backend runs as root, as its file
# mode 0700 says, so the test needs root. (CUPS may rotate a landscape page onto portrait paper,
# so the orientation is checked on the direct QPrinter PDF in the Qt tests, not here.)
#
# Usage: cups_print_test.sh HALVIC_PRINT_PRESS SOURCE_DIR [KEEP_FOLDER]
# KEEP_FOLDER, when given, receives a copy of the printed PDF. Exit 0 when the test passes (or
# prints "SKIP: ..." when it cannot run here), 1 otherwise.

set -u
press=$1
source_dir=$2
keep=${3:-}
queue=halvic-test-$$
backend=/usr/lib/cups/backend/cups-pdf
pdf_config=/etc/cups/cups-pdf-$queue.conf

skip() {
  echo "SKIP: $*"
  exit 0
}

[ "$(id -u)" -eq 0 ] || skip "needs root: the CUPS-PDF backend runs as root and cupsd is started here"
for tool in cupsd lpadmin lpstat pdfinfo pdftotext; do
  command -v "$tool" > /dev/null || skip "$tool is not installed (cups, poppler-utils)"
done
[ -x "$backend" ] || skip "the CUPS-PDF backend is not installed (printer-driver-cups-pdf)"
ppd=$(ls /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd /usr/share/ppd/cups-pdf/*.ppd 2> /dev/null | head -n 1)
[ -n "$ppd" ] || skip "no CUPS-PDF PPD under /usr/share/ppd/cups-pdf"
[ -d /etc/cups ] && [ -w /etc/cups ] || skip "/etc/cups is not writable"

work=$(mktemp -d) || exit 1
cupsd_pid=""
cleanup() {
  if [ -n "$cupsd_pid" ]; then
    lpadmin -x "$queue" 2> /dev/null
    kill "$cupsd_pid" 2> /dev/null
    wait "$cupsd_pid" 2> /dev/null
  fi
  rm -f "$pdf_config"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The filters run as the unprivileged user lp and must reach the spool inside the folder.
chmod 0755 "$work"
mkdir -p "$work/root" "$work/spool" "$work/cache" "$work/state" "$work/log" "$work/out" \
  "$work/pdf-spool" "$work/home"
# The title is the image's path as chosen, so the image is opened from the temporary folder.
image=$work/neon-lamp.kr4
cp "$source_dir/samples/neon-lamp.kr4" "$image"
socket=$work/cups.sock

cat > "$work/cups-files.conf" << EOF
ServerRoot $work/root
RequestRoot $work/spool
CacheDir $work/cache
StateDir $work/state
TempDir $work/spool
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
Printcap $work/printcap
SystemGroup root
EOF
cat > "$work/cupsd.conf" << EOF
LogLevel info
Listen $socket
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
cat > "$pdf_config" << EOF
Out $work/out
AnonDirName $work/out
Spool $work/pdf-spool
Log $work/log
UserUMask 0022
EOF

# Client tools and Qt talk to this server only, with no per-user default of their own.
CUPS_SERVER=$socket
HOME=$work/home
export CUPS_SERVER HOME
unset LPDEST PRINTER

cupsd -f -c "$work/cupsd.conf" -s "$work/cups-files.conf" &
cupsd_pid=$!
started=""
for _ in $(seq 1 100); do
  if lpstat -r 2> /dev/null | grep -q "is running"; then
    started=yes
    break
  fi
  kill -0 "$cupsd_pid" 2> /dev/null || break
  sleep 0.1
done
if [ -z "$started" ]; then
  cat "$work/log/error_log" 2> /dev/null
  echo "FAIL: cupsd did not start"
  exit 1
fi

# PDF to PostScript through cairo, which keeps the fonts' Unicode maps (Ghostscript's way turns the
# texts into Type 3 glyphs that pdftotext cannot read back).
if ! lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P "$ppd" \
  -o pdftops-renderer-default=pdftocairo 2> "$work/lpadmin.err" ||
  ! lpadmin -d "$queue" 2>> "$work/lpadmin.err"; then
  cat "$work/lpadmin.err"
  echo "FAIL: the CUPS-PDF queue could not be added"
  exit 1
fi
[ "$(lpstat -d 2> /dev/null)" = "system default destination: $queue" ] ||
  fail "the queue is not the default: $(lpstat -d 2>&1)"

"$press" "$image" > "$work/press.out" 2> "$work/press.err"
status=$?
cat "$work/press.out"
[ "$status" -eq 0 ] || {
  cat "$work/press.err"
  fail "the window did not report a printed page (exit status $status)"
}

# The job leaves the queue once CUPS-PDF has written the file.
emptied=""
for _ in $(seq 1 600); do
  if [ -z "$(lpstat -o "$queue" 2> /dev/null)" ]; then
    emptied=yes
    break
  fi
  sleep 0.1
done
[ -n "$emptied" ] || fail "the queue did not empty within 60 s: $(lpstat -o "$queue" 2>&1)"

printed=$(find "$work/out" -type f -name '*.pdf' | head -n 1)
if [ -z "$printed" ]; then
  fail "CUPS-PDF wrote no PDF"
  tail -n 30 "$work/log/error_log" 2> /dev/null
  ls -lR "$work/out" "$work/log"
else
  pages=$(pdfinfo "$printed" 2> /dev/null | sed -n 's/^Pages: *//p')
  [ "$pages" = 1 ] || fail "the PDF has '$pages' pages, expected 1"
  text=$(pdftotext "$printed" - 2> /dev/null)
  for wanted in "neon-lamp.kr4 captured on 03/14/2024 at 21:12:40" "Pixel Number" "( 169177)"; do
    case $text in
      *"$wanted"*) ;;
      *) fail "the printed text lacks '$wanted'" ;;
    esac
  done
  if [ -n "$keep" ]; then
    cp "$printed" "$keep/" || fail "cannot copy the PDF into $keep"
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "printed one page through CUPS: $(basename "${printed:-none}")"
