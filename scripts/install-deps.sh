#!/usr/bin/env bash
# Installs the Debian packages that building and testing Varnel need.
# Does nothing when they are all there; uses sudo when not run as root.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  googletest libgtest-dev
  clang libclang-rt-dev          # libFuzzer and clang's sanitizers, for fuzz/
  ffmpeg libass-dev              # real players' parsers read back what the tests write
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "install-deps: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
