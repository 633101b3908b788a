#!/usr/bin/env bash
# Proves the package on a fresh Debian 12: bootstraps a minimal system into a folder,
# installs the package there with apt-get (without Recommends, so Depends alone must
# be enough), and runs both programs inside it. Needs root and the Debian mirror;
# takes a few minutes and about 600 MB, so it is not part of scripts/probar.sh.
# Usage: scripts/probar-instalacion-limpia.sh [PAQUETE.deb] [CARPETA]
set -euo pipefail
cd "$(dirname "$0")/.."
deb="${1:-$(ls build/paquete/tavelorin_*.deb | head -1)}"
raiz="${2:-$(mktemp -d /tmp/tavelorin-limpio.XXXXXX)}"
espejo="${TAVELORIN_ESPEJO:-http://deb.debian.org/debian}"
[ -f "$deb" ] || { echo "No package: run scripts/probar-paquete.sh first" >&2; exit 1; }
command -v debootstrap >/dev/null || apt-get install -y -qq --no-install-recommends debootstrap

if [ ! -x "$raiz/usr/bin/apt-get" ]; then
  echo "== debootstrap bookworm into $raiz =="
  debootstrap --variant=minbase bookworm "$raiz" "$espejo" >/dev/null
fi
cp "$deb" "$raiz/tmp/"
mount -t proc proc "$raiz/proc"
trap 'umount "$raiz/proc"' EXIT
echo "== apt-get install ./$(basename "$deb") =="
chroot "$raiz" bash -c "apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends ./tmp/$(basename "$deb") >/dev/null"
echo "== Run =="
chroot "$raiz" bash -euc '
  cd /tmp
  tavelorin-cli --version
  tavelorin-cli /usr/share/tavelorin/ejemplos/ejemplo.brk | grep -qx "Solucion:"
  set +e
  QT_QPA_PLATFORM=offscreen timeout 5 tavelorin /usr/share/tavelorin/ejemplos/ejemplo.brk 2>/dev/null
  estado=$?
  set -e
  [ "$estado" -eq 124 ] || { echo "tavelorin exited with status $estado" >&2; exit 1; }
  grep -q "application/x-tavelorin-problem=tavelorin.desktop" /usr/share/applications/mimeinfo.cache 2>/dev/null \
    || echo "(no desktop-file-utils in this system: menus refresh when a desktop is installed)"
'
echo "Installed and ran on a fresh Debian 12 in $raiz"
