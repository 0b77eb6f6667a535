#!/usr/bin/env bash
# Installs Veldor into a temporary prefix, moves the installed tree elsewhere
# and uses it as a user would: no source or build tree in reach, no
# VELDOR_DATA, started from a folder of its own. Then checks the launcher,
# the file types, the icon and the manual page with the desktop's own tools.
#   install_tree.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
for tool in desktop-file-validate xmllint update-mime-database groff; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (scripts/setup installs it)"
    exit 77
  fi
done

cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
for f in bin/veldor share/doc/veldor/veldor.html share/man/man1/veldor.1 \
  share/applications/veldor.desktop share/mime/packages/veldor.xml \
  share/icons/hicolor/scalable/apps/veldor.svg share/doc/veldor/examples/thpp.ins; do
  [ -f "$tmp/prefix/$f" ] || fail "$f is not installed"
done
while IFS= read -r name; do
  [ "$name" = README.md ] && continue
  cmp -s "$src/data/$name" "$tmp/prefix/share/veldor/$name" || fail "data file $name is not installed as it is"
done < <(cd "$src/data" && find . -type f | sed 's|^\./||')
extra=$(find "$tmp/prefix" -name '*.a' -o -name '*.h' -o -name '*.so*' -o -name '*.cmake')
[ -z "$extra" ] || fail "libraries or headers installed: $extra"

# The installed tree, moved: it finds its data beside itself.
mv "$tmp/prefix" "$tmp/moved"
veldor=$tmp/moved/bin/veldor
run=$tmp/run
mkdir "$run"
# The installed example, so the package is tried as a user first tries it.
cp "$tmp/moved/share/doc/veldor/examples/thpp.ins" "$src/tests/data/pymatgen_Graphite.cif" "$run/"
cd "$run"
unset VELDOR_DATA VELDOR_WORKDIR DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

version=$("$veldor" --version)
[[ $version =~ ^Veldor\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version said: $version"
"$veldor" --batch thpp.ins --generation cell --out thpp.png --out thpp.cif 2>err.txt ||
  fail "batch picture: $(cat err.txt)"
[ "$(head -c 8 thpp.png | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "thpp.png is no PNG"
"$veldor" --batch thpp.ins pymatgen_Graphite.cif --out-dir pics --to png,vld --jobs 2 2>err.txt ||
  fail "many-file batch: $(cat err.txt)"
[ "$(tail -n 1 err.txt)" = "2 written, 0 failed" ] || fail "many-file batch said: $(cat err.txt)"
[ -s pics/thpp.png ] && [ -s pics/pymatgen_Graphite.vld ] || fail "many-file batch wrote: $(ls pics)"
# The windows, photographed without a display: the main window with a structure,
# and a tool's window after its clicks in the drawing.
is_png() { [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ]; }
"$veldor" --grab Tfmainmenu main.png thpp.ins 2>err.txt || fail "grab: $(cat err.txt)"
is_png main.png || fail "main.png is no PNG"
"$veldor" --grab Tfplan_moyen plane.png thpp.ins 2>err.txt || fail "grab of the mean plane: $(cat err.txt)"
is_png plane.png && [ -s plan.sor ] || fail "the mean plane: $(ls)"
# The data really come from the moved tree.
mv "$tmp/moved/share/veldor/rayons.cst" "$tmp/rayons.cst"
if "$veldor" --batch thpp.ins --yes --out thpp.cif 2>err.txt; then fail "ran without rayons.cst"; fi
[ "$(cat err.txt)" = "The file rayons.cst was not found!" ] || fail "without rayons.cst: $(cat err.txt)"
mv "$tmp/rayons.cst" "$tmp/moved/share/veldor/rayons.cst"

# The launcher: valid (hints allowed), and every file type it names is defined.
share=$tmp/moved/share
said=$(desktop-file-validate "$share/applications/veldor.desktop" 2>&1) || fail "desktop-file-validate: $said"
if grep -qiE 'error|warning' <<<"$said"; then fail "desktop-file-validate: $said"; fi
xmllint --noout "$share/mime/packages/veldor.xml" "$share/icons/hicolor/scalable/apps/veldor.svg"
defined=$(xmllint --xpath "//*[local-name()='mime-type']/@type" "$share/mime/packages/veldor.xml" |
  grep -o '"[^"]*"' | tr -d '"' | sort)
named=$(sed -n 's/^MimeType=//p' "$share/applications/veldor.desktop" | tr ';' '\n' | sed '/^$/d' | sort)
[ "$defined" = "$named" ] || fail "launcher types ($named) and defined types ($defined) differ"

# The file types compiled with the system's: each extension finds its type,
# and the SHELX files find theirs over the TeX and Godot types of the same names.
mime=$tmp/xdg/mime
mkdir -p "$mime/packages"
cp "$share/mime/packages/veldor.xml" "$mime/packages/"
if [ -f /usr/share/mime/packages/freedesktop.org.xml ]; then
  cp /usr/share/mime/packages/freedesktop.org.xml "$mime/packages/"
fi
update-mime-database "$mime" >/dev/null 2>&1 || fail "update-mime-database refused the file types"
for glob in 'application/x-veldor:\*.vld' 'chemical/x-cif:\*.cif' 'chemical/x-shelx:\*.ins' \
  'chemical/x-shelx:\*.res' 'chemical/x-shelx:\*.shx'; do
  grep -q ":$glob\$" "$mime/globs2" || fail "no $glob in the compiled file types"
done
if command -v gio >/dev/null; then
  cp thpp.ins thpp.res
  printf '%%%% docstrip installer\n' >tex.ins
  for pair in thpp.ins:chemical/x-shelx thpp.res:chemical/x-shelx tex.ins:text/x-tex \
    pymatgen_Graphite.cif:chemical/x-cif pics/pymatgen_Graphite.vld:application/x-veldor; do
    type=$(XDG_DATA_DIRS=$tmp/xdg XDG_DATA_HOME=$tmp/none gio info -a standard::content-type \
      "${pair%%:*}" | sed -n 's/.*content-type: //p')
    [ "$type" = "${pair#*:}" ] || fail "${pair%%:*} is taken for $type"
  done
fi

# The manual page: clean troff, and every option of --help in it.
page=$share/man/man1/veldor.1
warnings=$(groff -man -Tascii -ww -z "$page" 2>&1)
[ -z "$warnings" ] || fail "groff warnings: $warnings"
options() { grep -oE -- '--[a-z][a-z-]*' | sort -u; }
from_help=$("$veldor" --help | options)
from_page=$(groff -man -Tascii -P-cbu "$page" 2>/dev/null | options)
[ "$from_help" = "$from_page" ] || fail "man page and --help differ: $(diff <(echo "$from_help") <(echo "$from_page"))"
echo "installed tree OK"
