#!/usr/bin/env bash
# Benchmark of a whole backup into a set folder that already holds an earlier set: in the
# benchmark's own Wine prefix, on a RAM disk when it can be mounted (see run_job_bench in
# bench-setup.sh), a game folder (3000 small files in nested folders in saves, maps and
# scores, three files of 32 MiB, tarnwick.cfg) and an earlier set (the same with 30 older
# score files, another cfg and 30 saves the game no longer has). Each round, each side
# starting from a fresh copy of the earlier set: `cp -r` on the Linux side, then under
# Wine the bare shell copies (SHFileOperationW of the three folders, CopyFileW of the
# cfg) and BackupJob(game, set).Run, taking turns at going first, and a CopyFileW loop.
# Prints the rounds, the medians and the ratio job / bare shell copies, then the job's
# phases timed one by one. Everything is removed afterwards.
# Usage: scripts/bench-backup.sh   (BENCH_ROUNDS=n, default 5; BENCH_PHASES=0 skips the phases)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bench-setup.sh"

run_job_bench bench_backup 'C:\bench-backup' 2g data/game data/earlier 0
