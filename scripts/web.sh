#!/usr/bin/env bash
# Builds the game for the web browser, with Debian's emscripten, into
# build-web/: the page (build-web/site/, an index.html with its files), the
# same page as one file that opens from the disk (build-web/torvin.html),
# torvin-sim as a node program (build-web/bin/torvin-sim), and the small page
# that the browser tests try their harness on (build-web/smoke/). Runs as
# root, or through sudo when started as another user, on Debian 12.
#
#   scripts/web.sh              builds
#   scripts/web.sh serve [PORT] serves build-web/site/ on http://127.0.0.1:PORT/
#                               (8000), building it first when it is missing
#
# It installs what is missing (emscripten, Chromium for the browser tests),
# builds libjpeg-turbo, giflib and double-conversion with emcc from Debian's
# own source packages, of the versions the native build links, and keeps them
# in build-web/libs/, which later runs reuse; then the npm packages of the
# browser tests (tests/web/package-lock.json) into build-web/node/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build-web
libs=$out/libs

if [ "${1:-}" = serve ]; then
  if [ ! -f "$out/site/index.html" ] || [ ! -f "$out/site/torvin.wasm" ]; then
    "$0"
  fi
  # Any static server will do, as long as it sends .wasm as application/wasm.
  exec node tests/web/static_server.js "$out/site" "${2:-8000}"
elif [ $# -gt 0 ]; then
  echo "usage: scripts/web.sh [serve [PORT]]" >&2
  exit 2
fi

# Debian's emscripten runs its JavaScript tools with node, which must find
# Debian's node modules (acorn) there.
export NODE_PATH=/usr/share/nodejs

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi

install_missing() {
  local missing=() package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
  "${as_root[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends \
    "${missing[@]}"
}

scripts/deps.sh
# node and npm may come from elsewhere (NodeSource); Debian's only when missing.
command -v node >/dev/null || install_missing nodejs
command -v npm >/dev/null || install_missing npm
install_missing emscripten chromium dpkg-dev ca-certificates

# The source version of the Debian package that the native build links.
native_version() {
  dpkg-query -W -f='${source:Version}' "$1"
}
jpeg_version=$(native_version libjpeg62-turbo-dev)
gif_version=$(native_version libgif-dev)
doubles_version=$(native_version libdouble-conversion-dev)
emcc_version=$(emcc --version)
wanted="libjpeg-turbo=$jpeg_version giflib=$gif_version double-conversion=$doubles_version \
${emcc_version%%$'\n'*}"

# The libraries, built once for these versions and this emcc.
if [ "$(cat "$libs/versions" 2>/dev/null)" != "$wanted" ]; then
  rm -rf "$libs"
  mkdir -p "$libs/apt/lists/partial" "$libs/apt/cache/archives/partial" \
    "$libs/apt/sources.list.d" "$libs/source"

  # apt's own configuration for the build: the machine's lists, as source lists,
  # in folders of the build's own; the machine's configuration stays as it is.
  apt=$libs/apt
  : >"$apt/sources.list"
  if [ -f /etc/apt/sources.list ]; then
    sed -n -E 's/^deb[[:space:]]/deb-src /p' /etc/apt/sources.list >"$apt/sources.list"
  fi
  for list in /etc/apt/sources.list.d/*.list; do
    [ -f "$list" ] && sed -n -E 's/^deb[[:space:]]/deb-src /p' "$list" >>"$apt/sources.list"
  done
  for sources in /etc/apt/sources.list.d/*.sources; do
    [ -f "$sources" ] && sed -E 's/^Types:.*/Types: deb-src/' "$sources" \
      >"$apt/sources.list.d/$(basename "$sources")"
  done
  cat >"$apt/apt.conf" <<EOF
Dir::Etc::SourceList "$apt/sources.list";
Dir::Etc::SourceParts "$apt/sources.list.d";
Dir::State::Lists "$apt/lists";
Dir::Cache "$apt/cache";
APT::Sandbox::User "$(id -un)";
EOF
  # A list that has no sources (a third party's) is only warned about.
  APT_CONFIG=$apt/apt.conf apt-get update -qq || echo "web.sh: some source lists could not be read"
  (cd "$libs/source" && APT_CONFIG=$apt/apt.conf apt-get source -qq \
    "libjpeg-turbo=$jpeg_version" "giflib=$gif_version" "double-conversion=$doubles_version")

  prefix=$libs/prefix
  mkdir -p "$prefix/lib" "$prefix/include"
  source_of() { echo "$libs"/source/"$1"-*/; }
  log=$libs/build.log
  quietly() {  # what a step prints goes to the log, shown when the step fails
    "$@" >>"$log" 2>&1 || { tail -n 40 "$log"; echo "web.sh: failed: $*"; exit 1; }
  }
  echo "web.sh: building libjpeg-turbo, giflib and double-conversion with emcc ($log)"

  # libjpeg-turbo: the library alone. Its type sizes are given, as CMake's own
  # check of them says 9 bytes under emcmake.
  jpeg=$(source_of libjpeg-turbo)
  quietly emcmake cmake -S "$jpeg" -B "$libs/build-jpeg" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DSIZE_T=4 -DUNSIGNED_LONG=4
  quietly cmake --build "$libs/build-jpeg" -j2 --target jpeg-static
  cp "$libs/build-jpeg/libjpeg.a" "$prefix/lib/"
  cp "$jpeg/jpeglib.h" "$jpeg/jerror.h" "$jpeg/jmorecfg.h" "$libs/build-jpeg/jconfig.h" \
    "$prefix/include/"

  giflib=$(source_of giflib)
  quietly emmake make -C "$giflib" -j2 libgif.a CC=emcc AR=emar OFLAGS=-O2
  cp "$giflib/libgif.a" "$prefix/lib/"
  cp "$giflib/gif_lib.h" "$prefix/include/"

  quietly emcmake cmake -S "$(source_of double-conversion)" -B "$libs/build-double-conversion" \
    -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF \
    -DCMAKE_INSTALL_PREFIX="$prefix"
  quietly cmake --build "$libs/build-double-conversion" -j2
  quietly cmake --install "$libs/build-double-conversion"
  echo "$wanted" >"$libs/versions"
fi

emcmake cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTORVIN_WERROR=ON \
  -DTORVIN_DESKTOP=OFF -DTORVIN_TESTS=OFF -DCMAKE_FIND_ROOT_PATH="$libs/prefix" >/dev/null
cmake --build "$out" -j2

# The browser tests' npm packages, installed anew when their lock file changes.
if ! cmp -s tests/web/package-lock.json "$out/node/package-lock.json"; then
  rm -rf "$out/node"
  mkdir -p "$out/node"
  cp tests/web/package.json tests/web/package-lock.json "$out/node/"
  npm ci --prefix "$out/node" --no-audit --no-fund --loglevel=error
fi
echo "web.sh: built $out: the page in $out/site/ (scripts/web.sh serve), as one file $out/torvin.html;"
echo "web.sh: torvin-sim under node: $out/bin/torvin-sim"
