#!/usr/bin/env bash
# Installs what is missing, builds, and sequences the bundled example problem.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/dependencias.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTAVELORIN_TESTS=OFF -DTAVELORIN_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
exec ./build/app/tavelorin-cli "${@:-examples/ejemplo.brk}"
