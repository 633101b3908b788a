#!/usr/bin/env bash
# Time and peak memory of tavelorin-cli on hostile inputs: endless ones, 100 MB of line
# breaks, 1 GB files, a long sequence to evaluate. The inputs are made in a temporary
# folder (about 2.3 GB, removed at the end); each case runs once under /usr/bin/time.
#
#   bash bench/robustez.sh [BUILD folder, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
cli="$(realpath "${1:-build}")/app/tavelorin-cli"
[[ -x "$cli" ]] || { echo "no $cli: build it first" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time is needed (Debian: apt-get install time)" >&2; exit 1; }
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
cd "$dir"

echo "Making the inputs in $dir ..." >&2
printf '3\r\n2\r\n1\t0\t2\r\n0\t1\t1\r\n1\t1\t1\r\n' > ejemplo.brk
head -c 100000000 /dev/zero | tr '\0' '\n' > saltos.brk                      # 100 MB of LF
# 1 GiB of random bytes without NUL (where reading would stop) after a valid problem.
{ cat ejemplo.brk; head -c 1073741824 /dev/urandom | tr -d '\0'; } > basura.brk
head -c 1073741824 /dev/zero | tr '\0' '7' > linea.brk                       # one 1 GiB line
printf '2\r\n1\r\n1\t30000\r\n0\t30000\r\n' > q60000.brk                      # Q = 60000
for ((k = 0; k < 30000; ++k)); do printf '1\n2\n'; done > q60000.txt

printf '| %-58s | %8s | %8s | %10s | %4s | %s\n' "case" "wall s" "cpu s" "peak MiB" "exit" "message"
caso() {
  local nombre="$1" orden="$2"
  /usr/bin/time -o tiempo -f '%e %U %S %M %x' bash -c "exec $orden" >/dev/null 2>errores || true
  read -r pared usuario sistema kb estado < <(tail -n 1 tiempo)
  printf '| %-58s | %8s | %8.2f | %10.1f | %4s | %.70s\n' "$nombre" "$pared" \
    "$(echo "$usuario + $sistema" | bc)" "$(echo "scale=1; $kb / 1024" | bc)" "$estado" "$(head -n 1 errores)"
}
caso "/dev/zero as the problem file" "'$cli' /dev/zero"
caso "/dev/zero on standard input" "'$cli' - </dev/zero"
caso "an endless pipe of NULs on standard input" "'$cli' - < <(cat /dev/zero)"
caso "an endless pipe of empty lines on standard input" "'$cli' - < <(yes '')"
caso "100 MB of line breaks as the problem file" "'$cli' saltos.brk"
caso "100 MB of line breaks on standard input" "'$cli' - <saltos.brk"
caso "100 MB of line breaks as the --evaluar sequence" "'$cli' --evaluar saltos.brk ejemplo.brk"
caso "1 GiB: a valid problem followed by junk" "'$cli' basura.brk"
caso "1 GiB: a valid problem followed by junk, through a pipe" "'$cli' - < <(cat basura.brk)"
caso "1 GiB: a valid problem followed by junk, as a sequence" "'$cli' --evaluar basura.brk ejemplo.brk"
caso "1 GiB in one line as the problem file" "'$cli' linea.brk"
caso "--evaluar of a sequence of Q = 60000" "'$cli' --evaluar q60000.txt q60000.brk"
