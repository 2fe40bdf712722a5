# Shared set-up of ./play and ./test: installs the Debian packages the build needs (only
# when one is missing), then configures and builds into build/.
# Usage: source scripts/setup.sh; orbita_setup PACKAGE...
orbita_packages_build=(
  cmake g++ make pkg-config
  libsdl2-dev libsdl2-mixer-dev libsdl2-image-dev fonts-dejavu-core libstb-dev
  libcairo2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libinih-dev
  xvfb openbox xdotool x11-utils
)

# The browser build and its test: the compiler, and the browser the test drives.
orbita_packages_web=(emscripten chromium)

orbita_install() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
}

orbita_build() {
  local jobs
  jobs=$(nproc 2>/dev/null || echo 2)
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "$@"
  cmake --build build -j "$jobs"
}

# The browser build: the native build's asset builder output (data and built-ins), then
# the program compiled by Emscripten into build-web/site/.
orbita_web_build() {
  local jobs
  jobs=$(nproc 2>/dev/null || echo 2)
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build -j "$jobs" --target orbita_data orbita_builtins orbita_icons
  # Emscripten's JavaScript tools need Debian's node modules.
  export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
  emcmake cmake -S browser -B build-web -DORBITA_NATIVE_BUILD=build >/dev/null
  cmake --build build-web -j "$jobs"
}

# The Debian package (./package) and its test: dpkg-shlibdeps for the dependencies, and the
# distribution's checks of the desktop entry, the metainfo and the package.
orbita_packages_package=(dpkg-dev desktop-file-utils appstream lintian)

# The package: a Release tree of its own in build-package/ with Debian's hardening flags,
# without tests and benchmarks, packed by CPack. Prints the package's path.
orbita_package_build() {
  local jobs
  jobs=$(nproc 2>/dev/null || echo 2)
  umask 022
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DORBITA_TESTS=OFF -DORBITA_BENCH=OFF >/dev/null
  cmake --build build-package -j "$jobs" >/dev/null
  rm -f build-package/orbita_*.deb
  (cd build-package && cpack -G DEB >/dev/null)
  ls "$(pwd)"/build-package/orbita_*.deb
}
