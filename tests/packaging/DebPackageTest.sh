#!/bin/sh
# Packs the programs already built in <build folder> with CPack (nothing is
# rebuilt), unpacks the .deb into a temporary folder and checks the install:
# layout, SONAME and soname link, that the programs find the unpacked
# libplotrune, the computed Depends line, the udev rule and its reload. Then
# the same layout from `cmake --install` under another prefix.
#   DebPackageTest.sh <build folder> <libdir, e.g. lib> [cpack] [cmake]
set -eu
build=$1
libdir=$2
cpack=${3:-cpack}
cmake=${4:-cmake}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
fail() {
  echo "FAIL: $*"
  status=1
}

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log"
  exit 1
fi
grep -i 'warning' "$tmp/cpack.log" && fail "cpack warned"
deb=$(ls "$tmp"/out/*.deb)
echo "package: $(basename "$deb")"
dpkg-deb -x "$deb" "$tmp/root"
dpkg-deb -e "$deb" "$tmp/control"

# The layout of an install under <prefix>.
check_layout() {
  prefix=$1
  for f in bin/tracemoor bin/gathermoor bin/tracemoor-cli "$libdir/libplotrune.so.1" \
    share/tracemoor/Language/localization_EN.lang share/tracemoor/Language/localization_DE.lang \
    share/applications/org.tracemoor.Tracemoor.desktop \
    share/applications/org.tracemoor.Gathermoor.desktop \
    share/metainfo/org.tracemoor.Tracemoor.metainfo.xml \
    share/icons/hicolor/48x48/apps/tracemoor.png share/icons/hicolor/48x48/apps/gathermoor.png \
    share/icons/hicolor/128x128/apps/tracemoor.png \
    share/icons/hicolor/scalable/apps/tracemoor.svg \
    share/icons/hicolor/scalable/apps/gathermoor.svg \
    share/man/man1/tracemoor.1 share/man/man1/gathermoor.1 share/man/man1/tracemoor-cli.1; do
    [ -f "$prefix/$f" ] || fail "$prefix: no $f"
  done
  # The page of gathermoor names its options beyond --help and --version.
  for option in '\-\-param' '\-\-no\-window'; do
    grep -qF -- "$option" "$prefix/share/man/man1/gathermoor.1" ||
      fail "gathermoor(1) does not document $option"
  done
  [ -L "$prefix/$libdir/libplotrune.so.1" ] || fail "libplotrune.so.1 is no soname link"
  [ -e "$prefix/$libdir/libplotrune.so" ] && fail "development link libplotrune.so installed"
  readelf -d "$prefix/$libdir/libplotrune.so.1" | grep -q 'SONAME.*\[libplotrune\.so\.1\]' ||
    fail "SONAME of libplotrune is not libplotrune.so.1"
  for p in tracemoor gathermoor; do
    readelf -d "$prefix/bin/$p" | grep -Eq 'R(UN)?PATH.*\[\$ORIGIN/\.\./'"$libdir"'\]' ||
      fail "$p has no RUNPATH \$ORIGIN/../$libdir"
    ldd "$prefix/bin/$p" | grep 'not found' && fail "$p misses libraries"
  done
  # The command-line program runs without a display: no Qt library at all.
  ldd "$prefix/bin/tracemoor-cli" | grep 'not found' && fail "tracemoor-cli misses libraries"
  ldd "$prefix/bin/tracemoor-cli" | grep -q 'libQt' && fail "tracemoor-cli links Qt"
  "$prefix/bin/tracemoor-cli" --version | grep -q '^tracemoor-cli ' ||
    fail "tracemoor-cli does not run"
  # The analyzer resolves libplotrune to the one installed beside it.
  found=$(ldd "$prefix/bin/tracemoor" | sed -n 's/^[[:space:]]*libplotrune\.so\.1 => \([^ ]*\).*/\1/p')
  [ "$(readlink -f "$found")" = "$(readlink -f "$prefix/$libdir/libplotrune.so.1")" ] ||
    fail "tracemoor loads libplotrune from '$found'"
  file -L "$prefix/share/icons/hicolor/48x48/apps/tracemoor.png" | grep -q '48 x 48' ||
    fail "48x48 icon is not 48 x 48"
}
check_layout "$tmp/root/usr"

# Package meta data and the udev rule.
rule=$tmp/root/usr/lib/udev/rules.d/60-tracemoor.rules
[ -f "$rule" ] || rule=$tmp/root/lib/udev/rules.d/60-tracemoor.rules
grep -q 'ATTR{idVendor}=="04b4", ATTR{idProduct}=="1010".*TAG+="uaccess"' "$rule" ||
  fail "udev rule without a uaccess tag for 04b4:1010"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# Each system library the programs and libplotrune need comes from a package
# the line names.
root=$tmp/root/usr
for elf in "$root/bin/tracemoor" "$root/bin/gathermoor" "$root/bin/tracemoor-cli" \
  "$root/$libdir/libplotrune.so.1"; do
  ldd "$elf" >"$tmp/ldd"
  readelf -d "$elf" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | while read -r lib; do
    path=$(sed -n "s|^[[:space:]]*$lib => \\(/[^ ]*\\) .*|\\1|p" "$tmp/ldd")
    # dpkg knows a file by one of its names (/lib is /usr/lib on merged systems).
    [ -n "$path" ] && echo "$path" && readlink -f "$path"
  done
done | grep -v "^$tmp/" | sort -u | xargs dpkg-query -S 2>/dev/null | sed 's/[:,].*//' |
  sort -u | while read -r d; do
  echo ", $depends," | grep -Fq ", $d " || echo ", $depends," | grep -Fq ", $d," ||
    echo "FAIL: Depends lacks $d"
done >"$tmp/lacking"
[ -s "$tmp/lacking" ] && cat "$tmp/lacking" && status=1
echo "$depends" | grep -q plotrune && fail "Depends names the package's own libplotrune"
[ -x "$tmp/control/postinst" ] && grep -q 'udevadm control --reload-rules' "$tmp/control/postinst" ||
  fail "postinst does not reload udev"
# Where no udev runs (here, a chroot, a container) the scripts do nothing and succeed.
[ -d /run/udev ] || { sh "$tmp/control/postinst" configure && sh "$tmp/control/postrm" remove; } ||
  fail "postinst/postrm fail without udev"
# The man pages render without a complaint from groff (where man is installed).
if command -v man >/dev/null; then
  for page in "$root"/share/man/man1/*.1*; do
    warnings=$(man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
  done
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$tmp"/root/usr/share/applications/*.desktop || fail "desktop files"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net \
    "$tmp/root/usr/share/metainfo/org.tracemoor.Tracemoor.metainfo.xml" >"$tmp/as.log" 2>&1 ||
    { cat "$tmp/as.log"; fail "appstreamcli rejects the metainfo file"; }
fi

# Another prefix, through DESTDIR as packagers install.
DESTDIR=$tmp/dest "$cmake" --install "$build" --prefix /opt/tracemoor >/dev/null
check_layout "$tmp/dest/opt/tracemoor"

[ "$status" -eq 0 ] && echo "package and install layout are right"
exit "$status"
