#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on the bundled example
# problem (or on the problem file given as argument).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/dependencias.sh
cmake -S . -B build-ejecutar -DCMAKE_BUILD_TYPE=Release -DTAVELORIN_TESTS=OFF -DTAVELORIN_BENCH=OFF >/dev/null
cmake --build build-ejecutar -j"$(nproc)" >/dev/null
problema="${1:-examples/ejemplo.brk}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No hay pantalla gráfica (DISPLAY): se resuelve $problema con tavelorin-cli." >&2
  exec ./build-ejecutar/app/tavelorin-cli "$problema"
fi
exec ./build-ejecutar/app/tavelorin "$problema"
