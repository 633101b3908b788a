#!/usr/bin/env bash
# Short fuzzing run of every target, each over a temporary copy of its corpus (the
# corpus in the repository never changes). Fails at the first crash, failed check,
# leak, timeout or memory excess, and keeps the input in <build>/fuzz/hallazgos/.
#
#   bash fuzz/correr.sh [SECONDS per target, default 30] [BUILD folder, default build]
#   bash fuzz/correr.sh 30 build fuzz_secuenciar     # one target only
set -euo pipefail
cd "$(dirname "$0")/.."
segundos="${1:-30}"
build="${2:-build}"
shift $(( $# < 2 ? $# : 2 ))
objetivos=("$@")
[[ ${#objetivos[@]} -gt 0 ]] || objetivos=(fuzz_texto_entero fuzz_texto_real fuzz_fichero_problema fuzz_secuenciar fuzz_formato_real
                                            fuzz_opciones_cli fuzz_leer_secuencia)
bin="$build/fuzz/clang"

if [[ ! -x "$bin/fuzz_texto_entero" ]]; then
  echo "Fuzz targets not built in $bin (clang++-14 or libclang-rt-14-dev missing?): fuzzing skipped"
  exit 0
fi
if [[ $# -eq 0 ]]; then
  # Every target the build makes is fuzzed: a new one must be added to the list above.
  for programa in "$bin"/fuzz_*; do
    [[ -f "$programa" && -x "$programa" ]] || continue
    if [[ " ${objetivos[*]} " != *" $(basename "$programa") "* ]]; then
      echo "FAIL: $(basename "$programa") is built but not in the list of fuzz/correr.sh"
      exit 1
    fi
  done
fi

temporal="$(mktemp -d)"
trap 'rm -rf "$temporal"' EXIT
hallazgos="$build/fuzz/hallazgos"
mkdir -p "$hallazgos"

for objetivo in "${objetivos[@]}"; do
  carpeta="${objetivo#fuzz_}"
  opciones=(-max_total_time="$segundos" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
            -artifact_prefix="$hallazgos/$objetivo-")
  case "$carpeta" in
    texto_entero) opciones+=(-max_len=4096 -dict=fuzz/diccionarios/entero.dict) ;;
    texto_real) opciones+=(-max_len=8192 -dict=fuzz/diccionarios/real.dict) ;;
    fichero_problema | secuenciar) opciones+=(-max_len=4096 -dict=fuzz/diccionarios/problema.dict) ;;
    formato_real) opciones+=(-max_len=64) ;;
    opciones_cli) opciones+=(-max_len=4096 -dict=fuzz/diccionarios/opciones.dict) ;;
    leer_secuencia) opciones+=(-max_len=8192 -dict=fuzz/diccionarios/secuencia.dict) ;;
  esac
  mkdir -p "$temporal/$carpeta"
  cp fuzz/corpus/"$carpeta"/* "$temporal/$carpeta/"
  registro="$temporal/$objetivo.log"
  if ! "$bin/$objetivo" "${opciones[@]}" "$temporal/$carpeta" >"$registro" 2>&1; then
    tail -n 60 "$registro"
    echo "FAIL: $objetivo found a fault; the input is in $hallazgos/ (replay: $bin/$objetivo FILE)"
    exit 1
  fi
  ejecuciones="$(sed -n 's/^stat::number_of_executed_units: *//p' "$registro")"
  cobertura="$(grep -o 'cov: [0-9]*' "$registro" | tail -n 1)"
  echo "$objetivo: ${ejecuciones:-?} runs in ${segundos} s, $cobertura, no fault"
done
