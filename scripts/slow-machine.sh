#!/usr/bin/env bash
# Runs one command as on a new, slow machine: inside a CPU quota of a quarter of one core
# (a group of its own under cgroup v1's cpu controller), where Wine runs four to five
# times slower than on a warm machine. Everything the command starts stays in the quota.
# Needs root. Usage: scripts/slow-machine.sh command [args...]
#   e.g. VELD_TEST_SEED=random scripts/slow-machine.sh make test
set -euo pipefail
cpu=/sys/fs/cgroup/cpu
[[ -w $cpu/tasks ]] || { echo "slow-machine: needs root and the cpu controller at $cpu" >&2; exit 1; }
group=$(mktemp -d "$cpu/veld-slow-XXXXXX")
echo 100000 >"$group/cpu.cfs_period_us"
echo 25000 >"$group/cpu.cfs_quota_us"
status=0
bash -c 'echo $$ >"$1/tasks" && shift && exec "$@"' _ "$group" "$@" || status=$?
rmdir "$group" 2>/dev/null || true  # left while a process started in it still runs
exit "$status"
