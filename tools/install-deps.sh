#!/usr/bin/env bash
# Installs what building and testing Orvanta needs on a fresh Debian machine: the Linux
# toolchain, the mingw-w64 cross-compiler for the Windows build and Wine to run its tests,
# GoogleTest (built for Linux; as sources for the cross build), and clang with its sanitizer and
# libFuzzer runtimes for the fuzz targets, and Google Benchmark for the benchmarks; then the
# build's Python environment, build/venv, with the pinned packages of tools/python-requirements.txt.
set -euo pipefail
# libaravis-dev and pkg-config: the GenApi consumer that reads the applet's XML back in a test;
# its pkg-config file also names libusb-1.0, which the package does not pull in.
# libcli11-dev, nlohmann-json3-dev and libstb-dev: the header-only libraries of the `orvanta` tool.
# libcpp-httplib-dev and libturbojpeg0-dev: the HTTP server and JPEG encoder of `orvanta view`;
# chromium: the browser its page is tested in; python3-venv: the build's Python environment.
packages=(cmake ninja-build g++ python3 binutils g++-mingw-w64-x86-64 wine64 pkg-config libaravis-dev
          libusb-1.0-0-dev libgtest-dev libgmock-dev googletest clang libclang-rt-14-dev libbenchmark-dev
          libcli11-dev nlohmann-json3-dev libstb-dev libcpp-httplib-dev libturbojpeg0-dev chromium python3-venv)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -q
  $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Python packages go into build/venv, never into the system's Python.
venv=$(cd "$(dirname "$0")/.." && pwd)/build/venv
[ -x "$venv/bin/python" ] || python3 -m venv "$venv"
"$venv/bin/python" -m pip install -q --disable-pip-version-check -r "$(dirname "$0")/python-requirements.txt"
