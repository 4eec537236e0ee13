#!/usr/bin/env bash
# 32-bit Wine, to run the product (build/win32/tarvic.dll) and the 32-bit
# Windows programs of the tests. Debian's wine32:i386 when it installs;
# otherwise Debian's libwine:i386 and wine32:i386 unpacked into build/wine32,
# beside a 32-bit C library: of the packages' dependencies, console programs
# load only that one. The i386 package indexes are sometimes caught in a
# mirror's sync, and then apt cannot resolve wine32:i386 at all.
# Exits 1, saying why, when neither way gives a Wine that starts.
set -uo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
destino=$raiz/build/wine32
sistema=/usr/lib/wine/wine
desempacotado=$destino/usr/lib/wine/wine
zlib=/usr/i686-w64-mingw32/lib/zlib1.dll

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
apt() { $sudo apt-get -o DPkg::Lock::Timeout=1200 -qq "$@"; }

funciona() { [ -x "$1" ] && "$1" --version >/dev/null 2>&1; }

falha() {
  echo "32-bit Wine could not be had: $*; the win32 preset's Windows tests will fail" >&2
  exit 1
}

pelo_pacote() {
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386 || return 1
  fi
  # A failed index leaves the others usable; the install below judges.
  apt update || echo "wine32: some package indexes could not be read" >&2
  apt install -y wine32:i386 >/dev/null && funciona "$sistema"
}

# What libwine's post-install does for 32-bit programs: the i686 zlib1.dll
# of libz-mingw-w64, marked as a Wine builtin DLL at byte 64.
copia_zlib() {
  local saida=$1/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll
  [ -f "$zlib" ] || apt install -y libz-mingw-w64 >/dev/null 2>&1 || return 1
  {
    head -c 64 "$zlib"
    printf 'Wine builtin DLL'
    head -c 16 /dev/zero
    tail -c +97 "$zlib"
  } >"$saida"
}

desempacota() {
  apt install -y libc6:i386 >/dev/null 2>&1 || apt install -y libc6-i386 >/dev/null 2>&1 ||
    falha "neither libc6:i386 nor libc6-i386 installs"
  mkdir -p "$raiz/build"
  temp=$(mktemp -d "$raiz/build/wine32.XXXXXX") || falha "no temporary folder in build/"
  trap 'rm -rf "$temp"' EXIT
  local sandbox=()
  [ "$(id -u)" -eq 0 ] && sandbox=(-o APT::Sandbox::User=root)
  (cd "$temp" && apt-get -qq "${sandbox[@]}" download libwine:i386 wine32:i386) ||
    falha "apt-get download libwine:i386 wine32:i386 failed"
  for deb in "$temp"/*.deb; do
    dpkg -x "$deb" "$temp/raiz" || falha "dpkg -x $deb failed"
  done
  copia_zlib "$temp/raiz" || falha "no i686 zlib1.dll (libz-mingw-w64)"
  funciona "$temp/raiz/usr/lib/wine/wine" || falha "the unpacked loader does not start"
  rm -rf "$destino" && mv "$temp/raiz" "$destino"
}

funciona "$sistema" && exit 0
funciona "$desempacotado" && exit 0
echo "installing 32-bit Wine"
pelo_pacote && exit 0
echo "wine32:i386 does not install here; unpacking it into build/wine32"
desempacota
funciona "$desempacotado" || falha "the unpacked loader does not start"
