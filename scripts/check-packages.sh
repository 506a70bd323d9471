#!/bin/sh
# Fails when the build in [build folder] (default build/) uses a file from a
# Debian package that scripts/setup.sh neither names nor pulls in through
# dependencies: a fresh machine would not have it. Checked: the CMake package
# configurations found (*_DIR), the libraries linked (build.ninja), the
# libraries pkg-config found and the tools configure picked.
set -eu
cd "$(dirname "$0")/.."
dir=${1:-build}
cache=$dir/CMakeCache.txt
[ -f "$cache" ] || { echo "check-packages.sh: no $cache" >&2; exit 2; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Files configure and the linker use.
{
  sed -n 's/^\([A-Za-z0-9_]*\)_DIR:PATH=\(\/.*\)/\1 \2/p' "$cache" | while read -r n d; do
    lower=$(echo "$n" | tr 'A-Z' 'a-z')
    for f in "$d/${n}Config.cmake" "$d/$lower-config.cmake"; do
      if [ -f "$f" ]; then echo "$f"; fi
    done
  done
  sed -n 's/^pkgcfg_lib_[^:]*:FILEPATH=\(\/.*\)/\1/p' "$cache"
  sed -n 's/^[A-Za-z0-9_]*:FILEPATH=\(\/.*\)/\1/p' "$cache" | while read -r f; do
    case $f in
    *.so | *.so.* | *.a) ;;
    *) if [ -x "$f" ]; then echo "$f"; fi ;;
    esac
  done
  grep -h '^ *LINK_LIBRARIES = ' "$dir"/build.ninja | tr ' ' '\n' | grep '^/' || true
} | grep -v "^$(pwd)/" | sort -u >"$tmp/files"

# Their packages: the path as found, else the file it resolves to.
owners() { xargs dpkg-query -S 2>/dev/null | grep -v '^diversion' | sed 's/^\([^:,]*\)[^ ]* \(.*\)/\1 \2/'; }
owners <"$tmp/files" >"$tmp/owners" || true
cut -d' ' -f2- "$tmp/owners" | sort | comm -23 "$tmp/files" - >"$tmp/unowned"
while read -r f; do
  owner=$(echo "$(readlink -f "$f")" | owners | cut -d' ' -f1 || true)
  if [ -n "$owner" ]; then
    echo "$owner $f" >>"$tmp/owners"
  else
    echo "check-packages.sh: note: $f comes from no Debian package" >&2
  fi
done <"$tmp/unowned"

# Every installed package's dependencies (all alternatives) and what it
# provides, then the closure over the packages setup.sh names.
dpkg-query -W -f='${Package}\t${Provides}\t${Depends}, ${Pre-Depends}\n' >"$tmp/db"
scripts/setup.sh --list >"$tmp/named"
awk -F'\t' '
  function name(s) { sub(/^[ \t]+/, "", s); sub(/[ :(].*/, "", s); return s }
  FILENAME == ARGV[1] { want[$1] = 1; next }
  {
    pkg = $1
    n = split($2, prov, ",")
    for (i = 1; i <= n; i++) if (name(prov[i]) != "") provider[name(prov[i])] = provider[name(prov[i])] " " pkg
    deps[pkg] = $3
    installed[pkg] = 1
  }
  END {
    for (p in want) stack[++top] = p
    while (top > 0) {
      p = stack[top--]
      if (p in seen) continue
      seen[p] = 1
      if (!(p in installed)) {
        m = split(provider[p], alts, " ")
        for (i = 1; i <= m; i++) stack[++top] = alts[i]
        continue
      }
      n = split(deps[p], d, /[,|]/)
      for (i = 1; i <= n; i++) { q = name(d[i]); if (q != "" && !(q in seen)) stack[++top] = q }
    }
    for (p in seen) print p
  }' "$tmp/named" "$tmp/db" >"$tmp/closure"

bad=$(awk 'FILENAME == ARGV[1] { ok[$1] = 1; next } !($1 in ok)' "$tmp/closure" "$tmp/owners")
if [ -n "$bad" ]; then
  echo "check-packages.sh: the build uses packages that scripts/setup.sh does not install:" >&2
  echo "$bad" | awk '{ print "  " $1 " (" $2 ")" }' >&2
  exit 1
fi
echo "check-packages.sh: $(wc -l <"$tmp/files") files from $(cut -d' ' -f1 "$tmp/owners" |
  sort -u | wc -l) packages, all installed by scripts/setup.sh"
