#!/usr/bin/env bash
# Types one workload of words through librime (the engine behind most open-source Chinese input
# methods), in its five-stroke (wubi86) and pinyin (pinyin_simp) schemas, and through tovi, in
# its keypad and pinyin schemes, one right after the other on this machine, and prints the two
# side by side: microseconds a key press including the fetch of the candidates then shown, and
# how often the first candidate is the word. The figures compare only within one run: machines
# are shared and noisy.
#
#   bench/librime_compare.sh [WORKLOAD.tsv] [RUNS]
#
# WORKLOAD.tsv: lines "word<TAB>five-stroke letters<TAB>pinyin", default bench/workload.tsv
# (2,000 frequent words from Debian's rime dictionaries). RUNS: runs per scheme, the last one
# reported (default 3). BUILD_DIR: the native build tree to use (default build; configured if
# it does not exist yet). JOBS: parallel build jobs (default 2).
#
# Installs what is missing from Debian's archive with apt-get (librime-dev, rime-prelude,
# rime-data-wubi, rime-data-pinyin-simp, pkg-config), then builds typing_bench and
# rime_typing_bench in the build tree.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
workload="$(realpath "${1:-$root/bench/workload.tsv}")"
runs="${2:-3}"
build="$(realpath -m "${BUILD_DIR:-$root/build}")"
jobs="${JOBS:-2}"

[ -r "$workload" ] || { echo "librime_compare: cannot read $workload" >&2; exit 2; }
case "$runs" in
  '' | *[!0-9]*) echo "librime_compare: RUNS must be a number, not '$runs'" >&2; exit 2 ;;
esac

# What librime needs, from Debian's archive.
missing=()
for p in librime-dev rime-prelude rime-data-wubi rime-data-pinyin-simp pkg-config cmake g++; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}" >&2
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  if ! $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi

# Configuring again finds the librime just installed; the benchmark wants an optimised build.
if [ -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" >/dev/null
else
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target typing_bench rime_typing_bench -j"$jobs" >/dev/null

out="$(mktemp -d /tmp/librime_compare.XXXXXX)"
trap 'rm -rf "$out"' EXIT

words=$(grep -cv -e '^$' -e '^#' "$workload" || true)
echo "workload: $workload ($words words, sha256 $(sha256sum "$workload" | cut -c1-16)), $(nproc) cpus"
echo "$runs runs a scheme, the last one reported; librime first, then tovi"
# librime logs its errors to stderr too (a missing optional vocabulary among them): shown only
# when the run fails.
if ! "$build/bench/rime_typing_bench" "$workload" "$runs" >"$out/rime.txt" 2>"$out/rime.err"; then
  cat "$out/rime.txt" "$out/rime.err" >&2
  exit 1
fi
"$build/bench/typing_bench" "$workload" "$runs" >"$out/tovi.txt"

# RESULT lines of both programs: "RESULT <scheme> key=value ...".
awk -v rime="$out/rime.txt" -v tovi="$out/tovi.txt" '
  function read(file, engine,    line, n, f, i, kv, s) {
    while ((getline line < file) > 0) {
      if (line ~ /^LIBRIME /)
        version = substr(line, 9)
      if (line !~ /^RESULT /)
        continue
      n = split(line, f, " ")
      s = engine " " f[2]
      for (i = 3; i <= n; ++i) {
        split(f[i], kv, "=")
        value[s, kv[1]] = kv[2]
      }
    }
    close(file)
  }
  function row(label, s) {
    if (!((s, "keys") in value)) {
      printf "%-22s (no result)\n", label
      missing = 1
      return
    }
    printf "%-22s %7d %8.2f %8.2f %8.2f %8.2f %9.2f %9.2f %6d/%-6d %6.1f%%\n", label,
           value[s, "keys"], value[s, "mean"], value[s, "p50"], value[s, "p90"], value[s, "p99"],
           value[s, "max"], value[s, "commit_mean"], value[s, "match"], value[s, "lines"],
           value[s, "lines"] ? 100 * value[s, "match"] / value[s, "lines"] : 0
  }
  BEGIN {
    read(rime, "librime")
    read(tovi, "tovi")
    printf "\nmicroseconds a key press, with the fetch of the candidates shown (librime %s)\n",
           version
    printf "%-22s %7s %8s %8s %8s %8s %9s %9s  %s\n", "", "keys", "mean", "p50", "p90", "p99",
           "max", "commit", "first candidate is the word"
    row("tovi keypad", "tovi keypad")
    row("librime wubi86", "librime wubi86")
    row("tovi pinyin", "tovi pinyin")
    row("librime pinyin_simp", "librime pinyin_simp")
    printf "tovi keypad types a five-stroke letter as two keypad digits; commit: mean of the " \
           "confirming keys;\ntovi table load %.0f / %.0f ms, librime deployment %.0f ms\n",
           value["tovi keypad", "load_ms"], value["tovi pinyin", "load_ms"],
           value["librime wubi86", "deploy_ms"]
    exit missing
  }'
