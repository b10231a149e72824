# Shared by scripts/run and scripts/test: where the builds go and how they are configured.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc 2>/dev/null || echo 2)"

# Lab Streaming Layer discovery stays on this computer in the project's own runs (a lab sets its own config).
export LSLAPICFG="${LSLAPICFG:-$root/scripts/lsl-loopback.cfg}"

# The normal build, shared by scripts/run and scripts/test so that neither rebuilds what the other built.
dev_options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVEX_BENCHMARKS=ON)

# configure_and_build DIR [cmake options...]: configures (the options are applied to an existing build too, so that
# a build made by an older script follows the current one), then builds incrementally.
configure_and_build() {
    local dir="$1"; shift
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$root" -B "$dir" -G Ninja "$@"
    else
        cmake "$dir" "$@" >/dev/null
    fi
    cmake --build "$dir" --parallel "$jobs"
}
