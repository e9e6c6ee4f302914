#!/usr/bin/env bash
# Run every benchmark and print its figures. Usage: bench/run-all.sh [BUILD_DIR]
set -uo pipefail
build=${1:-build}
here=$(dirname "$0")
for exe in "$build"/bench/bench_*; do
    [ -x "$exe" ] || continue
    echo "== $(basename "$exe")"
    "$exe"
done
for script in "$here"/bench_*.sh; do
    echo "== $(basename "$script")"
    bash "$script" "$build"
done
