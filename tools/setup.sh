#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on Debian 12.
# Idempotent: packages already present are not fetched again.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PKGS=(cmake ninja-build g++ googletest libgtest-dev libgmock-dev libbenchmark-dev
      clang libclang-rt-14-dev
      g++-mingw-w64-i686-posix mingw-w64-tools binutils-mingw-w64-i686
      wine wine32:i386 wine64 fonts-wine xvfb xdotool imagemagick x11-utils trayer
      fonts-noto-cjk fonts-symbola locales python3 zip unzip)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

missing=()
for p in "${PKGS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  # The package lists are fetched only when something is missing.
  # A mirror in the middle of a sync fails one index now and then; try again,
  # then go on with the lists that did arrive (the install says if any is short).
  for kv_try in 1 2 3; do
    if $SUDO apt-get update -qq; then break; fi
    echo "setup: apt-get update failed (try $kv_try of 3)" >&2
    sleep $((kv_try * 10))
  done
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The ANSI code page under Wine follows LANG: ja_JP.UTF-8 gives 932, the
# Japanese system; en_US.UTF-8 gives 1252, where the face must read the same.
kv_locale_missing=0
for kv_locale in ja_JP en_US; do
  if ! locale -a 2>/dev/null | grep -qi "^${kv_locale}\.utf-\?8\$"; then
    kv_locale_missing=1
    if ! grep -q "^${kv_locale}.UTF-8 UTF-8" /etc/locale.gen 2>/dev/null; then
      echo "${kv_locale}.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
    fi
  fi
done
if [ "$kv_locale_missing" = 1 ]; then $SUDO locale-gen >/dev/null; fi
echo "setup: all packages present"
