#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) in build-fuzz/ and runs them from their
# seed corpora, inside a network namespace of their own (they open no socket; this only keeps
# every run of project code off the network). New inputs go to build-fuzz/fuzz-work/<target>.
#   bash scripts/fuzz.sh                    every target, 60 s each
#   bash scripts/fuzz.sh dump_scan 3600     one target for an hour
#   bash scripts/fuzz.sh all 0              replay the corpora only
# Targets: dump_scan raw_scans lp_decoder parser_raxo parser_vimo_e parser_box parser_fenk_u
#          las_reader pcd_reader capture_reader box_reply model_file detector_intake
set -euo pipefail
cd "$(dirname "$0")/.."

TARGETS=(dump_scan raw_scans lp_decoder parser_raxo parser_vimo_e parser_box parser_fenk_u
         las_reader pcd_reader capture_reader box_reply model_file detector_intake)
target="${1:-all}"
seconds="${2:-60}"

if [ "${3:-}" != "--inside" ]; then
    source scripts/deps.sh
    qv_install_deps
    launcher=()
    if command -v ccache >/dev/null 2>&1; then
        export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
        launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    if [ ! -f build-fuzz/build.ninja ]; then
        CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja "${launcher[@]}" \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_BUILD_FUZZ=ON \
            -DQV_BUILD_TESTS=OFF -DQV_BUILD_BENCH=OFF
    fi
    cmake --build build-fuzz --target fuzz_all
    if [ "$(id -u)" -eq 0 ]; then
        exec unshare -n bash "$0" "$target" "$seconds" --inside
    else
        exec unshare -rn bash "$0" "$target" "$seconds" --inside
    fi
fi

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
if [ "$target" = "all" ]; then
    run=("${TARGETS[@]}")
else
    run=("$target")
fi
for t in "${run[@]}"; do
    extra=()
    case "$t" in
        las_reader) extra=(tests/data/las) ;;
        capture_reader) extra=(tests/data/pcap) ;;
    esac
    if [ "$seconds" = "0" ]; then
        echo "== $t: replaying its corpus"
        "build-fuzz/fuzz_$t" -runs=0 "build-fuzz/fuzz-corpus/$t" "${extra[@]}"
    else
        echo "== $t: fuzzing for $seconds s"
        mkdir -p "build-fuzz/fuzz-work/$t"
        "build-fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=65536 \
            -artifact_prefix="build-fuzz/fuzz-work/$t-" \
            "build-fuzz/fuzz-work/$t" "build-fuzz/fuzz-corpus/$t" "${extra[@]}"
    fi
done
