#!/usr/bin/env bash
# Whole-process figures on the worst-case book, medians of one hyperfine run:
#   the floor (a Qt Core program doing nothing), varnix-cli statements, and ledger balance and
#   hledger balancesheet on the same book exported as a journal.
#
#   bench/cli.sh [build folder]      (default build/release)
#
# varnix-cli's own work is its median minus the floor's. On a noisy machine the blocks drift;
# bench/cli_alternating.py runs the two in turn instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
runs=${VARNIX_BENCH_RUNS:-100}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
book=$("$build/bench/make_worstcase" "$work")
cli="$build/app/varnix-cli"
"$cli" export ledger "$book" --output "$work/book.journal"

hyperfine -N --warmup 10 --runs "$runs" --export-json "$work/times.json" \
  -n floor "$build/bench/qtcore_floor $book" \
  -n varnix-cli "$cli statements $book --date 2099/12/31" \
  -n ledger "ledger -f $work/book.journal balance" \
  -n hledger "hledger -f $work/book.journal balancesheet" >/dev/null

python3 - "$work/times.json" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
floor = results["floor"]["median"]
print(f"{'':12}{'median':>10}{'above floor':>14}{'user+sys':>11}")
for name in ("floor", "varnix-cli", "ledger", "hledger"):
    r = results[name]
    cpu = (r["user"] + r["system"]) * 1000
    print(f"{name:12}{r['median'] * 1000:8.2f} ms{(r['median'] - floor) * 1000:11.2f} ms{cpu:8.2f} ms")
ours = results["varnix-cli"]["median"]
print(f"ledger / varnix-cli: {results['ledger']['median'] / ours:.1f}x, "
      f"hledger / varnix-cli: {results['hledger']['median'] / ours:.1f}x")
PY
