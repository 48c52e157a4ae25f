# Sourced by run.sh and test.sh: installs the Debian packages the build and the tests need,
# only when one is missing (so a second run costs nothing).
QV_PACKAGES=(
    build-essential cmake ninja-build pkg-config ccache
    qtbase5-dev qttools5-dev qttools5-dev-tools
    libvtk9-dev libvtk9-qt-dev
    libpcap-dev libspdlog-dev libsimpleini-dev libconcurrentqueue-dev libeigen3-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth libgl1-mesa-dri mesa-utils
    fonts-liberation fonts-wqy-zenhei iputils-ping iproute2 util-linux
    qttranslations5-l10n
    clang
)

qv_install_deps() {
    local missing=()
    local p
    for p in "${QV_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
            missing+=("$p")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# qv_build <build dir> [extra cmake arguments...]
qv_build() {
    local dir="$1"; shift
    local launcher=()
    if command -v ccache >/dev/null 2>&1; then
        export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
        launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@"
    fi
    cmake --build "$dir"
}
