#!/usr/bin/env bash
# Installs, with apt-get, whatever of the build and test dependencies is missing.
# Debian 12; run as root (or with sudo available).
set -euo pipefail

paquetes=(
  cmake make g++ pkg-config
  libgtest-dev libgmock-dev googletest
  libbenchmark-dev
  locales
  qt6-base-dev qt6-qpa-plugins qt6-svg-dev libqt6svg6 qt6-charts-dev libqt6opengl6-dev
  qt6-translations-l10n  # Qt's dialogs in the user's language (the save dialogs' overwrite question too)
  poppler-utils          # pdfinfo and pdftotext read back the PDF files the tests print
  clang-14 libclang-rt-14-dev
  fonts-liberation fontconfig
  librsvg2-bin  # the icon's PNG sizes
  # building the Debian package and checking what it ships
  dpkg-dev desktop-file-utils appstream-util lintian shared-mime-info man-db
)

faltan=()
for p in "${paquetes[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    faltan+=("$p")
  fi
done

como_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if [ ${#faltan[@]} -gt 0 ]; then
  echo "Instalando: ${faltan[*]}"
  como_root apt-get update -qq
  como_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${faltan[@]}"
fi

# A Spanish locale, so the decimal comma of the user's settings can be tried.
if ! locale -a 2>/dev/null | grep -qi '^es_ES\.utf-\?8$'; then
  como_root sed -i 's/^# *\(es_ES.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^es_ES.UTF-8 UTF-8' /etc/locale.gen || echo 'es_ES.UTF-8 UTF-8' | como_root tee -a /etc/locale.gen >/dev/null
  como_root locale-gen >/dev/null
fi
