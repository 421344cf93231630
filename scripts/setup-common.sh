# Shared by run.sh and test.sh: the Debian packages Q.E.R.N. needs, and running
# the build as the invoking user when started through sudo.

BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-qpa-plugins
  libhidapi-dev libudev-dev libbenchmark-dev)
RUN_PACKAGES=(qt6-wayland xdg-utils fonts-dejavu-core fonts-liberation fonts-wqy-microhei)
TEST_PACKAGES=(googletest libgtest-dev libgmock-dev
  fonts-dejavu-core fonts-liberation fonts-wqy-microhei)

install_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local apt=(apt-get)
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then
      apt=(sudo apt-get)
    else
      echo "These Debian packages are missing: ${missing[*]}" >&2
      echo "Run this command as root, or with sudo." >&2
      exit 1
    fi
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${apt[@]}" update -qq
  "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
}

# Builds and the program itself run as the user who called sudo, so that the
# build folder and the data folder belong to that user and not to root.
as_user() {
  if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
    runuser -u "$SUDO_USER" -- "$@"
  else
    "$@"
  fi
}
