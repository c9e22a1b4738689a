#!/usr/bin/env bash
# Print Chart on a real CUPS queue: starts a private cupsd (its own configuration, spool and logs in a
# temporary directory, listening only on a socket there, no network), adds a cups-pdf queue as its default
# printer and runs tst_print_cups against it. cups-pdf reads its settings from /etc/cups only: a settings
# file of our own, named after this run, sends its PDF into the temporary directory; it is removed at the
# end with everything else. Exits 77 (skipped) where cupsd or cups-pdf cannot run; with QEL_REQUIRE_INTEGRATION
# set (CI sets it) that is a failure instead.
# Usage: e2e_print_cups.sh <path to tst_print_cups>
set -euo pipefail
test_binary=$1
skip() {
    if [ -n "${QEL_REQUIRE_INTEGRATION:-}" ]; then echo "FAIL (QEL_REQUIRE_INTEGRATION is set): $*"; exit 1; fi
    echo "SKIP: $*"
    exit 77
}

[ "$(id -u)" -eq 0 ] || skip "the cups-pdf backend runs only as root; run the tests as root (as CI does)"
for f in /usr/sbin/cupsd /usr/sbin/lpadmin /usr/lib/cups/backend/cups-pdf \
         /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd /usr/bin/pdftoppm; do
    [ -e "$f" ] || skip "$f is missing (./scripts/setup.sh tests installs cups, printer-driver-cups-pdf, poppler-utils)"
done
[ -w /etc/cups ] || skip "/etc/cups is not writable, so cups-pdf cannot be pointed at a directory of the test's"

work=$(mktemp -d /tmp/qel-cups-XXXXXX)
chmod 755 "$work" # the filters run as lp
instance="qeltest$$"
pdf_conf="/etc/cups/cups-pdf-$instance.conf"
cupsd_pid=""
trap '[ -z "$cupsd_pid" ] || { kill "$cupsd_pid"; wait "$cupsd_pid"; } 2>/dev/null || true; rm -rf "$pdf_conf" "$work"' EXIT
mkdir -p "$work/etc/ppd" "$work/spool/tmp" "$work/cache" "$work/state" "$work/log" "$work/out" "$work/home"

cat >"$work/etc/cupsd.conf" <<CONF
LogLevel info
Listen $work/cups.sock
Browsing Off
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
CONF
cat >"$work/etc/cups-files.conf" <<CONF
ServerRoot $work/etc
RequestRoot $work/spool
CacheDir $work/cache
StateDir $work/state
TempDir $work/spool/tmp
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
Printcap $work/printcap
Sandboxing Relaxed
SystemGroup root
CONF
cat >"$pdf_conf" <<CONF
Out $work/out
AnonDirName $work/out
Spool $work/spool/cups-pdf
Log $work/log
CONF

/usr/sbin/cupsd -f -c "$work/etc/cupsd.conf" -s "$work/etc/cups-files.conf" </dev/null >"$work/log/cupsd.out" 2>&1 &
cupsd_pid=$!
for _ in $(seq 1 100); do
    [ -S "$work/cups.sock" ] && break
    kill -0 "$cupsd_pid" 2>/dev/null || { cupsd_pid=""; skip "cupsd cannot run here: $(cat "$work/log/cupsd.out" "$work/log/error_log" 2>/dev/null | tail -n 5)"; }
    sleep 0.1
done
[ -S "$work/cups.sock" ] || skip "cupsd did not open its socket within 10 s: $(tail -n 5 "$work/log/error_log" 2>/dev/null)"

export CUPS_SERVER="$work/cups.sock" HOME="$work/home" QEL_CUPS_OUT="$work/out"
unset PRINTER LPDEST
lpadmin -p QEL_Test_PDF -E -v "cups-pdf:/$instance" -P /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd 2>/dev/null
lpadmin -d QEL_Test_PDF

status=0
"$test_binary" || status=$?
if [ $status -ne 0 ]; then
    echo "--- cupsd's error log"; tail -n 30 "$work/log/error_log" || true
    echo "--- cups-pdf's log"; tail -n 30 "$work/log/cups-pdf-"*_log 2>/dev/null || true
fi
exit $status
