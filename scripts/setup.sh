#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine and fetches the
# sources of minizip. Safe to run again: every step checks whether it is already done.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/build/deps"
mkdir -p "$deps"

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

packages=(
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev
  wine64 xvfb xdotool imagemagick x11-utils
  fonts-wqy-microhei python3-fonttools locales
  cmake ninja-build googletest dpkg-dev zlib1g-dev
  g++ libasan8 libubsan1  # the host compiler and its sanitizer runtimes (preset native)
  chromium python3 curl
  osslsigncode openssl
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_if_needed apt-get update -q
  DEBIAN_FRONTEND=noninteractive sudo_if_needed apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Code page 936 under Wine needs the zh_CN.UTF-8 locale on the Unix side.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "setup: generating zh_CN.UTF-8"
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
    echo 'zh_CN.UTF-8 UTF-8' | sudo_if_needed tee -a /etc/locale.gen >/dev/null
  sudo_if_needed locale-gen >/dev/null
fi

# minizip 1.1 with Debian's security patches, from Debian's source package.
if [ ! -f "$deps/minizip/unzip.c" ]; then
  echo "setup: fetching minizip sources"
  apt_dir="$deps/apt"
  mkdir -p "$apt_dir/lists/partial" "$deps/src"
  sed -e 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$apt_dir/sources.sources"
  apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/none.list" -o "Dir::Etc::SourceParts=$apt_dir"
            -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
  apt-get "${apt_opts[@]}" update -q >/dev/null
  (cd "$deps/src" && apt-get "${apt_opts[@]}" source -q minizip >/dev/null)
  src=$(find "$deps/src" -maxdepth 1 -mindepth 1 -type d -name 'minizip-*' | head -n 1)
  [ -f "$src/unzip.c" ] || { echo "setup: minizip sources not found" >&2; exit 1; }
  rm -rf "$deps/minizip"
  cp -r "$src" "$deps/minizip"
fi

command -v npm >/dev/null || { echo "setup: npm (Node.js) is required" >&2; exit 1; }
# jQuery 1.8.2 from the npm registry, and a minifier for it.
if [ ! -f "$deps/npm/node_modules/uglify-js/bin/uglifyjs" ] || [ ! -f "$deps/npm/jquery/jquery.js" ]; then
  echo "setup: fetching jQuery 1.8.2 and uglify-js"
  mkdir -p "$deps/npm/jquery"
  (cd "$deps/npm" &&
    [ -f package.json ] || echo '{"name":"velmora-build-deps","private":true}' > package.json
    npm install --silent --no-audit --no-fund uglify-js@3 >/dev/null &&
    tarball=$(npm pack --silent jquery@1.8.2) &&
    tar -xzf "$tarball" -C jquery --strip-components=1 && rm -f "$tarball" &&
    cp jquery/tmp/jquery.js jquery/jquery.js)
fi
echo "setup: done"
