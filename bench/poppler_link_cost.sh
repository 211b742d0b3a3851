#!/usr/bin/env bash
# What linking poppler-qt6 into the program would cost at every start: two
# tiny Qt Widgets programs that show a window and quit, one of them also
# linked against poppler-qt6 without calling it, started alternately
# (default 60 times each). Prints the median and the mean of each.
#
#   bench/poppler_link_cost.sh [runs]
set -euo pipefail
runs="${1:-60}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cat >"$work/main.cpp" <<'CPP'
#include <QApplication>
#include <QTimer>
#include <QWidget>
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(200, 100);
    window.show();
    QTimer::singleShot(0, &app, &QApplication::quit);
    return app.exec();
}
CPP
flags="-std=c++20 -O2 -fPIC $(pkg-config --cflags Qt6Widgets)"
g++ $flags "$work/main.cpp" -o "$work/plain" $(pkg-config --libs Qt6Widgets)
g++ $flags "$work/main.cpp" -o "$work/poppler" -Wl,--no-as-needed $(pkg-config --libs Qt6Widgets poppler-qt6)
mkdir -m 700 "$work/runtime"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime"
python3 - "$work" "$runs" <<'PY'
import statistics, subprocess, sys, time
work, runs = sys.argv[1], int(sys.argv[2])
times = {"plain": [], "poppler": []}
for _ in range(runs + 5):
    for name, t in times.items():
        start = time.perf_counter()
        subprocess.run([f"{work}/{name}"], check=True)
        t.append((time.perf_counter() - start) * 1000)
for name, t in times.items():
    t = t[5:]  # the first runs warm the page cache
    print(f"{name:8s} median {statistics.median(t):6.2f} ms  mean {statistics.mean(t):6.2f} ms")
print(f"poppler costs {statistics.median(times['poppler'][5:]) - statistics.median(times['plain'][5:]):.2f} ms (median)")
PY
