#!/usr/bin/env bash
# Installs the Debian packages that `make bench` needs beyond the build's:
# /usr/bin/time is not needed (the bench times its programs itself); strace
# counts system calls and valgrind (callgrind) counts instructions, the two
# figures that other work on the machine cannot move. Does nothing when they
# are there; uses sudo when not run as root.
set -euo pipefail

packages=(strace valgrind)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "bench-deps: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
