#!/usr/bin/env bash
# Runs every fuzz target of a build for the given seconds, each from a scratch copy of its
# seed corpus in fuzz/corpus/<name>. Fails on the first crash or broken invariant.
set -euo pipefail
build=$1
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
for target in "$build"/fuzz/fuzz_*; do
    name=$(basename "$target")
    name=${name#fuzz_}
    work="$build/fuzz-work/$name"
    rm -rf "$work" && mkdir -p "$work"
    cp "$root/fuzz/corpus/$name"/* "$work"/
    echo "fuzz: $name for ${seconds}s"
    "$target" -max_total_time="$seconds" -print_final_stats=0 "$work" >"$build/fuzz-$name.log" 2>&1 \
        || { tail -40 "$build/fuzz-$name.log"; echo "fuzz: $name FAILED (artifact in $(pwd))"; exit 1; }
done
