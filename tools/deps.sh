# Installs the Debian packages that are missing, and only those. Sourced by ./play and ./check.
zorbit_deps_install() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo=sudo
    fi
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

ZORBIT_BUILD_PACKAGES=(g++ cmake make pkg-config libsdl1.2-compat-dev zlib1g-dev libopenmpt-dev libpng-dev
    libenet-dev)
ZORBIT_CHECK_PACKAGES=(libgtest-dev libbenchmark-dev xvfb xdotool imagemagick xauth
    desktop-file-utils appstream lintian groff-base dpkg-dev file
    openbox wmctrl x11-xkb-utils x11-utils clang-14 libclang-rt-14-dev llvm-14)
