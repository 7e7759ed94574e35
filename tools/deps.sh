#!/usr/bin/env bash
# Installs the Debian packages Velluno needs to build, test and run, but only
# those that are missing. Sourced by run.sh and test.sh.
# Qt 6 from Debian (its GIF, JPEG and offscreen plugins come with libqt6gui6),
# Liberation Sans Narrow for the preview's "Arial Narrow", Google Benchmark
# for bench/, CMake with Ninja to build; clang with its runtime libraries
# (libFuzzer, the sanitizers) for the fuzz targets of fuzz.sh.
velluno_packages=(
  cmake ninja-build g++
  qt6-base-dev qt6-base-dev-tools
  # Fontconfig's headers: the window reads its configuration on a thread
  # of its own while it is made (the library itself comes with Qt).
  libfontconfig-dev
  fonts-liberation fontconfig
  # Qt's own Italian texts (qtbase_it.qm): the buttons of message boxes and
  # the file and colour dialogs speak the editor's language.
  qt6-translations-l10n
  # The desktop files' validators and the MIME compiler (install test); a
  # virtual X server for the window's tests on the xcb platform.
  desktop-file-utils appstream shared-mime-info xvfb xauth
  libbenchmark-dev
  # The Debian package (test.sh builds it with CPack): dpkg-shlibdeps finds
  # its dependencies, lintian checks it.
  dpkg-dev lintian
  clang-14 libclang-rt-14-dev
)

velluno_install_missing() {
  local missing=()
  for p in "${velluno_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo="sudo"
    else
      echo "These packages are missing and I am not root: ${missing[*]}" >&2
      return 1
    fi
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
