#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test twice: in the
# normal build and again under AddressSanitizer + UndefinedBehaviorSanitizer.
# Builds the Debian package and checks it. Then fuzzes each libFuzzer target for TAVELORIN_FUZZ_SEGUNDOS seconds (default 30).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/dependencias.sh
jobs="$(nproc)"

echo "== Build =="
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
echo "== Tests =="
ctest --test-dir build --output-on-failure -j"$jobs"
bash scripts/probar-paquete.sh build  # the Debian package, unpacked and validated

echo "== Build with AddressSanitizer + UndefinedBehaviorSanitizer =="
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTAVELORIN_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
echo "== Tests under the sanitizers =="
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== Fuzzing: ${TAVELORIN_FUZZ_SEGUNDOS:-30} s per target =="
bash fuzz/correr.sh "${TAVELORIN_FUZZ_SEGUNDOS:-30}" build
