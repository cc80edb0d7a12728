#!/bin/bash
# `make test-slurm`: the README's Slurm recipe for a map, run for real on a one-node cluster on
# this machine. Needs root: it starts munged, slurmctld -D and slurmd -D in the foreground of
# this script, with a slurm.conf of its own in a folder of its own, submits the job array of
# scripts/slurm/map.sbatch and the merge as a job that depends on it, waits for them, and
# compares the merged CSV file with one whole run, byte for byte. On its way out it stops the
# daemons it started and removes their folder, whether it passed or not.
#   test-slurm.sh PATH/TO/quorvane
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
program=$(realpath "${1:?usage: test-slurm.sh PATH/TO/quorvane}")
[ "$(id -u)" -eq 0 ] || { echo "test-slurm: needs root, to start munged, slurmctld and slurmd" >&2; exit 1; }
for daemon in munged slurmctld slurmd sbatch; do
    command -v "$daemon" >/dev/null || { echo "test-slurm: $daemon is missing; run scripts/install-deps.sh --slurm" >&2; exit 1; }
done

dir=$(mktemp -d /tmp/quorvane-slurm.XXXXXX)
chmod 755 "$dir"
pids=()
cleanup() {
    status=$?
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    if [ "$status" -ne 0 ]; then
        for log in "$dir"/*.log; do
            [ -f "$log" ] && { echo "== $log"; tail -n 20 "$log"; }
        done
    fi
    rm -rf "$dir"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Munge, the authentication Slurm uses, with a key and a socket of its own.
mkdir -m 700 "$dir/munge"
dd if=/dev/urandom of="$dir/munge/munge.key" bs=1024 count=1 status=none
chmod 400 "$dir/munge/munge.key"
munged --foreground --force --socket="$dir/munge/socket" --key-file="$dir/munge/munge.key" \
    --pid-file="$dir/munge/munged.pid" --seed-file="$dir/munge/seed" \
    --log-file="$dir/munged.log" >>"$dir/munged.log" 2>&1 &
pids+=($!)

# A cluster of one node, this machine, on ports of its own.
host=$(hostname -s)
mkdir "$dir/state" "$dir/spool" "$dir/work"
cat >"$dir/slurm.conf" <<EOF_CONF
ClusterName=quorvane-test
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=16817
SlurmdPort=16818
SlurmUser=root
AuthType=auth/munge
AuthInfo=socket=$dir/munge/socket
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
StateSaveLocation=$dir/state
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/slurmctld.pid
SlurmdPidFile=$dir/slurmd.pid
SlurmctldLogFile=$dir/slurmctld.log
SlurmdLogFile=$dir/slurmd.log
NodeName=$host NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=test Nodes=ALL Default=YES MaxTime=INFINITE State=UP
EOF_CONF
export SLURM_CONF=$dir/slurm.conf
for _ in $(seq 50); do [ -S "$dir/munge/socket" ] && break; sleep 0.1; done
slurmctld -D -i -f "$SLURM_CONF" >>"$dir/slurmctld.log" 2>&1 &
pids+=($!)
slurmd -D -f "$SLURM_CONF" >>"$dir/slurmd.log" 2>&1 &
pids+=($!)
for _ in $(seq 60); do
    [ "$(sinfo -h -o %t 2>/dev/null)" = idle ] && break
    sleep 0.5
done
[ "$(sinfo -h -o %t)" = idle ] || { echo "test-slurm: the node did not come up" >&2; exit 1; }
echo "test-slurm: a one-node cluster is up: $(sinfo -h -o '%P %D node(s), %c CPUs, %t')"

# The README's two commands, with a small map and `quorvane` the program under test.
mkdir "$dir/bin"
ln -s "$program" "$dir/bin/quorvane"
export PATH=$dir/bin:$PATH
cd "$dir/work"
map=(lorenz --x b=0:60 --y a=2:20 --size 8x12 --steps 2000 --transient 500)
job=$(sbatch --parsable --array=0-5 "$repo/scripts/slurm/map.sbatch" "${map[@]}")
merge=$(sbatch --parsable --dependency=afterok:"$job" \
    --wrap 'quorvane map --merge parts/part-*.csv --csv lorenz-map.csv --plot lorenz-map.png')
echo "test-slurm: job array $job (6 slices) and merge job $merge submitted"
for _ in $(seq 240); do
    [ -z "$(squeue -h -j "$job,$merge" 2>/dev/null)" ] && break
    sleep 0.5
done
[ -z "$(squeue -h -j "$job,$merge")" ] || { echo "test-slurm: the jobs did not finish in 2 minutes" >&2; exit 1; }

quorvane map "${map[@]}" --csv whole.csv --quiet >/dev/null
[ "$(ls parts/part-*.csv | wc -l)" -eq 6 ] || { echo "test-slurm: parts $(ls parts)" >&2; exit 1; }
cmp lorenz-map.csv whole.csv || { echo "test-slurm: the merged map is not the whole run" >&2; exit 1; }
[ -s lorenz-map.png ] || { echo "test-slurm: the merge drew no picture" >&2; exit 1; }
echo "test-slurm: 6 array tasks computed their slices; the merge job, run after them, wrote"
echo "test-slurm: $(wc -l <lorenz-map.csv) lines equal byte for byte to one whole run, and the picture"
echo "test-slurm: passed"
