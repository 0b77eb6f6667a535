#!/bin/sh
# Builds the reader fuzzers with clang (address and undefined-behaviour
# sanitizers) and runs each for a bounded time, seeded with the test files.
#   tests/fuzz/run.sh [seconds per reader, default 60]
set -eu
SECONDS_PER_READER=${1:-60}
HERE=$(cd "$(dirname "$0")" && pwd)
SOURCE=$(cd "$HERE/../.." && pwd)
BUILD=${VELDOR_FUZZ_BUILD:-$SOURCE/build-fuzz}

if ! command -v clang++ >/dev/null 2>&1; then
    echo "clang++ not found: installing clang" >&2
    apt-get update && apt-get install -y clang
fi

SANITIZE="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fsanitize=fuzzer-no-link"
cmake -S "$SOURCE" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DVELDOR_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$SANITIZE" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
ninja -C "$BUILD" -j1 fuzz_vld fuzz_shelx fuzz_cif fuzz_cif_lines fuzz_powder

run() {
    name=$1
    shift
    corpus="$BUILD/fuzz-corpus/$name"
    mkdir -p "$corpus"
    for seed in "$@"; do cp "$seed" "$corpus/"; done
    echo "== $name for ${SECONDS_PER_READER}s"
    (cd "$BUILD" && "./tests/fuzz/fuzz_$name" -max_total_time="$SECONDS_PER_READER" \
        -max_len=65536 -timeout=10 -rss_limit_mb=2048 "$corpus")
}

run vld "$SOURCE/tests/data/thpp_plot.vld"
run shelx "$SOURCE/tests/data/cctbx_thpp.ins" "$SOURCE/tests/data/shelxfile_p21c_minimal.res"
run cif "$SOURCE"/tests/data/*.cif
run cif_lines "$SOURCE"/tests/data/*.cif
run powder "$SOURCE/tests/data/rocksalt.lzy" "$SOURCE/tests/data/silicon.cel" \
    "$SOURCE/tests/data/calcite.cry"
echo "fuzzing finished without a finding"
