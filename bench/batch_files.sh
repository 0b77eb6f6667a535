#!/usr/bin/env bash
# Time per file of batch mode: one process per file against the many-file
# batch in one process (one job and --jobs N), on a collection made of the
# readable files of tests/data copied under numbered names.
#   bench/batch_files.sh [COPIES] [BUILD_DIR]    (hyperfine when installed)
set -euo pipefail
cd "$(dirname "$0")/.."
copies=${1:-8}
veldor=$(cd "${2:-build}" && pwd)/main/veldor
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in"
for f in tests/data/*.{cif,ins,res,vld,lzy,cel,cry}; do
  case $f in *bad_*) continue ;; esac
  for i in $(seq "$copies"); do cp "$f" "$work/in/$i-$(basename "$f")"; done
done
n=$(ls "$work/in" | wc -l)
cd "$work"  # the one-file runs leave their scratch files (dummy.vld, ...) here
export veldor work
one_per_file='for f in "$work"/in/*; do n=$(basename "${f%.*}"); "$veldor" --batch "$f" --yes --out "$work/a/$n.png" --out "$work/a/$n.cif" 2>/dev/null || true; done'
many() { echo "\"$veldor\" --batch \"$work\"/in/* --yes --out-dir \"$work/b\" --to png,cif --jobs $1 2>/dev/null || true"; }
mkdir -p "$work/a" "$work/b"
echo "$n files, $(nproc) cores, load: $(cut -d' ' -f1-3 /proc/loadavg)"
if command -v hyperfine >/dev/null; then
  hyperfine --warmup 1 --runs "${RUNS:-5}" --shell=bash \
    -n "one process per file" "$one_per_file" \
    -n "many-file, --jobs 1" "$(many 1)" \
    -n "many-file, --jobs $(nproc)" "$(many "$(nproc)")" 2>&1
  echo "(divide by $n for the time per file)"
else
  for cmd in "$one_per_file" "$(many 1)" "$(many "$(nproc)")"; do
    /usr/bin/env time -f "%e s for $n files" bash -c "$cmd"
  done
fi
