#!/usr/bin/env bash
# Installs what the build, the tests and the demo need, when it is missing:
# CMake and Ninja, GoogleTest, Google Benchmark, nlohmann-json, Boost's
# headers (the monitor's Asio and Beast); unless called with "nativo", also
# the 32- and 64-bit MinGW-w64 compilers for the Windows builds, wine64 and
# 32-bit Wine (scripts/wine32.sh) for the Windows tests, Free Pascal and the
# Mono C# compiler that check the host kits, clang 14 with libFuzzer for the
# fuzz targets, valgrind, and the monitor's test clients: PHP, Chromium and
# Node.js with npm (playwright-core comes from npm in the test itself).
set -euo pipefail
pacotes=(cmake ninja-build g++ make libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev python3
         libboost-dev)
if [ "${1:-}" != "nativo" ]; then
  pacotes+=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
            binutils-mingw-w64-x86-64 wine64 libz-mingw-w64)
  pacotes+=(fp-compiler mono-mcs)
  pacotes+=(clang-14 libclang-rt-14-dev valgrind)
  pacotes+=(php-cli chromium)
  # A Node.js from elsewhere brings its own npm; Debian's npm would clash with it.
  command -v npm >/dev/null 2>&1 || pacotes+=(nodejs npm)
fi
faltam=()
for p in "${pacotes[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || faltam+=("$p")
done
if [ ${#faltam[@]} -gt 0 ]; then
  echo "installing: ${faltam[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  # An index caught in a mirror's sync leaves the others usable.
  $sudo apt-get -o DPkg::Lock::Timeout=1200 update -qq ||
    echo "some package indexes could not be read; installing from the others" >&2
  $sudo apt-get -o DPkg::Lock::Timeout=1200 install -y -qq "${faltam[@]}" >/dev/null
fi
# Without it the Windows tests of the win32 preset fail, saying so; the rest
# still builds and runs.
[ "${1:-}" = "nativo" ] || bash "$(dirname "$0")/wine32.sh" || true
