#!/usr/bin/env bash
# Installs the Debian packages that building and testing Varnel need.
# Does nothing when they are all there; uses sudo when not run as root.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  googletest libgtest-dev
  clang libclang-rt-dev          # libFuzzer and clang's sanitizers, for fuzz/
  ffmpeg libass-dev              # real players' parsers read back what the tests write
  # The Windows build (mingw-w64, posix threads) and its tests under Wine on a
  # virtual display, in the Chinese locale, with Chinese fonts: a CJK font, and
  # a Ming face that stands in for SimSun, the font the window is laid out for.
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  wine wine64 fonts-wine xvfb xauth locales
  libxrender1 libxrandr2 libxcursor1 libxi6 libxcomposite1 libxinerama1 libxfixes3 libxxf86vm1
  fonts-wqy-microhei fonts-arphic-uming
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine takes the ANSI code page from the locale: zh_CN.UTF-8 gives code page
# 936, as on a Simplified Chinese Windows.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
  echo "install-deps: generating the zh_CN.UTF-8 locale"
  $sudo sed -i 's/^# *\(zh_CN\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  $sudo locale-gen >/dev/null
fi
