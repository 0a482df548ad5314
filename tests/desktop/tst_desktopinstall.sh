#!/bin/sh
# Installs the build into a scratch DESTDIR and checks what the desktop gets:
# the programs on the path, a menu entry and metainfo that validate, the icon,
# and the launcher, which must make the user's data directory and store and
# then start the installed quorbic there (a stand-in that records how it was
# started takes its place).
#
#   tst_desktopinstall.sh CMAKE BUILD_DIR APP_ID
set -u
cmake=$1
build=$2
app_id=$3

for tool in desktop-file-validate:desktop-file-utils appstreamcli:appstream; do
  if ! command -v "${tool%%:*}" >/dev/null 2>&1; then
    echo "SKIP: ${tool%%:*} is missing (Debian package ${tool#*:}; scripts/install-deps.sh --test installs it)"
    exit 77
  fi
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "PASS: $*"; }
check() { # check DESCRIPTION COMMAND...
  what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

root=$tmp/root
if ! DESTDIR=$root "$cmake" --install "$build" --prefix /usr >"$tmp/install.log" 2>&1; then
  cat "$tmp/install.log"
  fail "cmake --install"
  exit 1
fi
bin=$root/usr/bin
share=$root/usr/share

# --- The files -------------------------------------------------------------
for program in quorbic quorbic-cli quorbic-launch; do
  check "$program installed as a program in bin" test -f "$bin/$program" -a -x "$bin/$program"
done
desktop=$share/applications/$app_id.desktop
metainfo=$share/metainfo/$app_id.metainfo.xml
check "menu entry installed" test -f "$desktop"
check "metainfo installed" test -f "$metainfo"

# A PNG's width and height are the big-endian words at bytes 16 and 20.
png_size() {
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 16x16 32x32 64x64; do
  file=$share/icons/hicolor/$size/apps/$icon.png
  if [ ! -f "$file" ]; then
    fail "icon \"$icon\" in hicolor/$size"
  elif [ "$(head -c 8 "$file" | od -An -tx1 | tr -d ' ')" != 89504e470d0a1a0a ]; then
    fail "hicolor/$size/apps/$icon.png is a PNG"
  else
    check "hicolor/$size/apps/$icon.png is $size pixels (it is $(png_size "$file"))" test "$(png_size "$file")" = "$size"
  fi
done

# --- The menu entry and the metainfo -----------------------------------------
check "desktop-file-validate accepts the menu entry" desktop-file-validate "$desktop"
check "menu entry is in the categories Network and News" grep -qx 'Categories=Network;News;' "$desktop"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
check "menu entry starts the installed launcher (Exec=$exec_line)" test "$exec_line" = quorbic-launch
check "appstreamcli validates the metainfo strictly" appstreamcli validate --no-net --strict "$metainfo"
check "metainfo names the installed menu entry" \
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo"
check "appstreamcli accepts the installed tree" appstreamcli validate-tree --no-net "$root/usr"

# --- The launcher ------------------------------------------------------------
# The installed quorbic becomes a stand-in that records its working directory,
# arguments and umask and ends with status 7. A decoy earlier on the PATH shows
# whether the launcher picked up some other quorbic.
started=$tmp/started
cat >"$bin/quorbic" <<STANDIN
#!/bin/sh
{ pwd; echo "args: \$*"; echo "umask: \$(umask)"; } >"$started"
exit 7
STANDIN
chmod +x "$bin/quorbic"
mkdir "$tmp/decoy"
printf '#!/bin/sh\necho decoy >"%s"\n' "$started" >"$tmp/decoy/quorbic"
chmod +x "$tmp/decoy/quorbic"

mkdir -p "$tmp/home" "$tmp/elsewhere"
# launch XDG_DATA_HOME|unset [args...]: runs the launcher from $tmp/elsewhere
# as the desktop would, with umask 022; the status is in $status.
launch() {
  xdg=$1; shift
  rm -f "$started"
  if [ "$xdg" = unset ]; then
    (cd "$tmp/elsewhere" && umask 022 && unset XDG_DATA_HOME &&
     HOME=$tmp/home PATH=$tmp/decoy:$bin:$PATH quorbic-launch "$@") >"$tmp/launch.log" 2>&1
  else
    (cd "$tmp/elsewhere" && umask 022 &&
     XDG_DATA_HOME=$xdg HOME=$tmp/home PATH=$tmp/decoy:$bin:$PATH quorbic-launch "$@") >"$tmp/launch.log" 2>&1
  fi
  status=$?
}
mode() { stat -c %a "$1"; }

# First start: a data home with a blank in its name that does not exist yet.
data="$tmp/my data/quorbic"
launch "$tmp/my data" --some-argument "two words"
check "first start: the launcher ends with quorbic's status (got $status)" test "$status" -eq 7
check "first start: the data directory was made" test -d "$data"
check "first start: the data directory is private (mode $(mode "$data" 2>/dev/null))" \
  test "$(mode "$data" 2>/dev/null)" = 700
check "first start: a store was made there" test -f "$data/qa.mdb"
check "first start: the store is an SQLite file" test "$(head -c 15 "$data/qa.mdb" 2>/dev/null)" = "SQLite format 3"
check "first start: the store is private (mode $(mode "$data/qa.mdb" 2>/dev/null))" \
  test "$(mode "$data/qa.mdb" 2>/dev/null)" = 600
# shellcheck disable=SC2016
check "first start: quorbic-cli can read the new store" sh -c 'cd "$1" && "$2" show 0 >/dev/null' sh "$data" "$bin/quorbic-cli"
check "first start: the installed quorbic ran, not the decoy ($(head -n1 "$started" 2>/dev/null))" \
  test "$(head -n1 "$started" 2>/dev/null)" = "$data"
check "first start: the arguments reached quorbic" grep -qx 'args: --some-argument two words' "$started"
check "first start: quorbic runs with the user's umask" grep -qx 'umask: 0022' "$started"

# Second start: the store is kept as it is (quorbic-cli init would refuse an
# existing file and stop the launcher).
echo 'marker' >>"$data/qa.mdb"
before=$(cksum <"$data/qa.mdb")
launch "$tmp/my data"
check "second start: the launcher ends with quorbic's status (got $status)" test "$status" -eq 7
check "second start: the existing store is untouched" test "$(cksum <"$data/qa.mdb")" = "$before"
check "second start: quorbic ran in the data directory" test "$(head -n1 "$started" 2>/dev/null)" = "$data"

# Without XDG_DATA_HOME, and with a relative one (which the base directory
# specification says to ignore), the data home is ~/.local/share.
for xdg in unset relative/dir ""; do
  rm -rf "$tmp/home/.local"
  launch "$xdg"
  default="$tmp/home/.local/share/quorbic"
  check "XDG_DATA_HOME=\"$xdg\": the store is made in ~/.local/share/quorbic" test -f "$default/qa.mdb"
  check "XDG_DATA_HOME=\"$xdg\": quorbic ran there" test "$(head -n1 "$started" 2>/dev/null)" = "$default"
done
check "a relative XDG_DATA_HOME made nothing in the working directory" test ! -e "$tmp/elsewhere/relative"

# Started through a link from another directory, it still runs the programs
# installed beside it.
mkdir "$tmp/links"
ln -s "$bin/quorbic-launch" "$tmp/links/quorbic-launch"
rm -f "$started"
(cd "$tmp/elsewhere" && XDG_DATA_HOME="$tmp/my data" HOME=$tmp/home PATH=$tmp/decoy:/usr/bin:/bin \
  "$tmp/links/quorbic-launch") >"$tmp/launch.log" 2>&1
check "through a link: the installed quorbic ran" test "$(head -n1 "$started" 2>/dev/null)" = "$data"

# A data directory that cannot be made (a file is in its way) stops the
# launcher before quorbic starts.
: >"$tmp/a file"
launch "$tmp/a file"
check "data directory cannot be made: the launcher fails (status $status)" test "$status" -ne 0 -a "$status" -ne 7
check "data directory cannot be made: quorbic was not started" test ! -e "$started"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed; the launcher's last output:"
  cat "$tmp/launch.log"
  exit 1
fi
echo "all checks passed"
