#!/usr/bin/env bash
# Makes the Debian package from the build, unpacks it into an empty folder
# tree and runs Veldor from there, as an installed package would run.
#   debian_package.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (scripts/setup installs it)"
    exit 77
  fi
done

(cd "$build" && cpack -G DEB -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1) || fail "cpack: $(cat "$tmp/cpack.log")"
debs=("$tmp"/pkg/veldor_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single package: ${debs[*]}"
deb=${debs[0]}

[ "$(dpkg-deb -f "$deb" Package)" = veldor ] || fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)
names=$(tr ',' '\n' <<<"$depends" | awk '{print $1}')
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 fonts-liberation; do
  grep -qxF "$lib" <<<"$names" || fail "Depends lacks $lib: $depends"
done
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/veldor ./usr/share/veldor/rayons.cst ./usr/share/applications/veldor.desktop \
  ./usr/share/mime/packages/veldor.xml ./usr/share/man/man1/veldor.1 \
  ./usr/share/icons/hicolor/scalable/apps/veldor.svg; do
  grep -q " $f\$" <<<"$contents" || fail "$f is not in the package"
done

dpkg -x "$deb" "$tmp/root"
mkdir "$tmp/run"
cp "$src/examples/thpp.ins" "$tmp/run/"
cd "$tmp/run"
unset VELDOR_DATA VELDOR_WORKDIR DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
veldor=$tmp/root/usr/bin/veldor
[[ $("$veldor" --version) =~ ^Veldor\ [0-9] ]] || fail "--version"
"$veldor" --batch thpp.ins --out-dir pics --to png,cif 2>err.txt || fail "batch: $(cat err.txt)"
[ "$(cat err.txt)" = "1 written, 0 failed" ] || fail "batch said: $(cat err.txt)"
[ -s pics/thpp.png ] && [ -s pics/thpp.cif ] || fail "batch wrote: $(ls pics)"
echo "Debian package OK: $(basename "$deb")"
