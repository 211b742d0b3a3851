#!/usr/bin/env bash
# The whole process's start under a real X server (Xvfb): from exec until
# the window is mapped, for the program and for a bare Qt window with a tab
# widget and 15 line edits, in alternating pairs. Prints each run and the
# medians. Usage: bench/startup_compare.sh [build-dir] [pairs]
set -euo pipefail
build="${1:-build}"
pairs="${2:-10}"
program="$build/marbelux"
bare="$build/bench/marbelux-bare-window"
for tool in Xvfb xdotool; do command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 2; }; done
number=90
while [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
Xvfb ":$number" -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
export DISPLAY=":$number"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "Xvfb did not start on $DISPLAY" >&2; exit 1; }
settings=$(mktemp -d)
export XDG_CONFIG_HOME=$settings
# The time from exec until a window of that title is mapped, in ms.
mapped_ms() {
    local title=$1
    shift
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 &
    local pid=$!
    # xdotool's own --sync waits in steps of half a second.
    until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || { echo "$title: the process ended before its window showed" >&2; exit 1; }
    done
    end=$(date +%s%N)
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
    echo $(((end - start) / 1000000))
}
# A print server that takes every connection and never answers: the
# program must not wait for it.
silent=$(mktemp -u /tmp/marbelux-silent-XXXXXX.sock)
python3 -c "
import socket, sys
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(64); held = []
while True: held.append(s.accept()[0])" "$silent" &
server=$!
trap 'kill $xvfb $server 2>/dev/null; rm -f "$silent"' EXIT
program_runs=() bare_runs=() silent_runs=()
# One start of each first, unmeasured: the files are then in the cache.
mapped_ms "Orvenal Marbelux" "$program" >/dev/null
mapped_ms "Vergleichsfenster" "$bare" >/dev/null
for i in $(seq "$pairs"); do
    p=$(mapped_ms "Orvenal Marbelux" "$program")
    b=$(mapped_ms "Vergleichsfenster" "$bare")
    q=$(CUPS_SERVER=$silent mapped_ms "Orvenal Marbelux" "$program")
    program_runs+=("$p")
    bare_runs+=("$b")
    silent_runs+=("$q")
    echo "pair $i: marbelux $p ms, bare window $b ms; marbelux with a silent print server $q ms"
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END{print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
pm=$(median "${program_runs[@]}")
bm=$(median "${bare_runs[@]}")
qm=$(median "${silent_runs[@]}")
echo "median: marbelux $pm ms, bare window $bm ms, ratio $(awk -v p="$pm" -v b="$bm" 'BEGIN{printf "%.2f", p/b}');" \
  "with a silent print server $qm ms"
rm -rf "$settings"
