#!/usr/bin/env bash
# Benchmark of a whole restore into a game folder that holds the game's current data: in
# the benchmark's own Wine prefix, on a RAM disk when it can be mounted (see
# run_job_bench in bench-setup.sh), a backup set with its marker (3000 small files in
# nested folders in saves, maps and scores, three files of 32 MiB, tarnwick.cfg) and the
# current data (the same with 30 other score files, another cfg and 30 saves the set
# lacks). Each round, each side starting from a fresh copy of the current data in the
# game folder: `cp -r` on the Linux side, then under Wine the bare shell copies
# (SHFileOperationW of the set's three folders, CopyFileW of its cfg) and
# RestoreJob(game, set).Run, taking turns at going first, and a CopyFileW loop. All of it
# twice: with 2 safety sets beside the game folder before each restore (none is
# removed), and in the steady state of 5 (each restore removes the oldest). Prints the
# rounds, the medians and the ratio job / bare shell copies, then the job's phases timed
# one by one. Everything is removed afterwards.
# Usage: scripts/bench-restore.sh   (BENCH_ROUNDS=n, default 5; BENCH_PHASES=0 skips the phases)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-setup.sh"

run_job_bench bench_restore 'C:\bench-restore' 3g data/set data/current 2 5
