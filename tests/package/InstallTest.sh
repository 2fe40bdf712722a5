#!/bin/sh
# InstallTest.sh BUILD SOURCE: packs BUILD (already built) with CPack, installs the package into
# this machine with dpkg -i, runs the installed game from another folder and purges the package,
# then checks that no file of it is left.
set -u
build=$1
source=$2
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
for t in dpkg dpkg-deb dpkg-shlibdeps cpack; do
  command -v $t >/dev/null 2>&1 || skip "$t is missing (./test installs dpkg-dev)"
done
if dpkg-query -W -f='${Status}' orbita 2>/dev/null | grep -q installed; then
  skip "a package orbita is installed on this machine already; it is left as it is"
fi
[ -f "$build/data/pozadi/story.dxg" ] || skip "the build made no data to pack"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The desktop entry and the metainfo as the distribution checks them.
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$source/app/orbita.desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate --no-net "$source"/packaging/*.metainfo.xml >"$work/as.log" 2>&1 ||
    { cat "$work/as.log"; fail "appstreamcli validate"; }
fi

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pack" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/pack/orbita_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no package"
dpkg-deb -f "$deb" Depends | grep -q libsdl2 || fail "no library dependencies worked out: $(dpkg-deb -f "$deb" Depends)"

# Every path of the package, and which of them (shared folders) are there before.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|; s|/$||' | grep -v '^/*$' >"$work/paths"
while read -r p; do [ -e "$p" ] && echo "$p"; done <"$work/paths" >"$work/before"
for f in /usr/games/orbita /usr/games/orbita-dxg /usr/games/orbita-assets /usr/share/orbita/pozadi/story.dxg \
         /usr/share/applications/orbita.desktop /usr/share/metainfo/org.orbita.Orbita.metainfo.xml \
         /usr/share/man/man6/orbita.6.gz /usr/share/doc/orbita/copyright; do
  grep -qx "$f" "$work/paths" || fail "the package lacks $f"
done

# dpkg waits for no lock: another installation running at the same time is waited for.
dpkg_retry() {
  n=0
  while ! dpkg "$@" >"$work/dpkg.log" 2>&1; do
    grep -q "lock" "$work/dpkg.log" && [ $n -lt 60 ] || { cat "$work/dpkg.log"; return 1; }
    n=$((n + 1)); sleep 2
  done
}
status=0
if dpkg_retry -i "$deb"; then
  # The installed game, started from a folder with no data, with a home of its own.
  mkdir -p "$work/elsewhere/home"
  cd "$work/elsewhere"
  HOME="$work/elsewhere/home" XDG_CONFIG_HOME="$work/elsewhere/home/.config" /usr/games/orbita --verify-data \
    >"$work/verify.log" 2>&1 || { cat "$work/verify.log"; echo "FAILED: --verify-data"; status=1; }
  HOME="$work/elsewhere/home" XDG_CONFIG_HOME="$work/elsewhere/home/.config" /usr/games/orbita --headless \
    --seed 7 --warp 1 --god --frames 300 --dump-state 300:"$work/elsewhere/s.json" >"$work/run.log" 2>&1 ||
    { cat "$work/run.log"; echo "FAILED: the headless run"; status=1; }
  grep -q '"level"' "$work/elsewhere/s.json" 2>/dev/null || { echo "FAILED: no state dump"; status=1; }
  # The same run of the build tree's program gives the same state.
  (cd "$build/data" && "$build/orbita" --headless --seed 7 --warp 1 --god --frames 300 \
     --dump-state 300:"$work/build.json" >/dev/null 2>&1)
  cmp -s "$work/build.json" "$work/elsewhere/s.json" || { echo "FAILED: the installed game plays differently"; status=1; }
  /usr/games/orbita-dxg check /usr/share/orbita/pozadi/story.dxg >/dev/null 2>&1 || { echo "FAILED: orbita-dxg"; status=1; }
  cd /
else
  echo "FAILED: dpkg -i"
  status=1
fi
dpkg_retry --purge orbita || { echo "FAILED: dpkg --purge"; status=1; }
dpkg-query -W -f='${Status}' orbita 2>/dev/null | grep -q installed && { echo "FAILED: still installed"; status=1; }
while read -r p; do
  [ -e "$p" ] && ! grep -qx "$p" "$work/before" && { echo "FAILED: left behind: $p"; status=1; }
done <"$work/paths"
[ $status -eq 0 ] && echo "installed, played from another folder and removed: $(basename "$deb")"
exit $status
