#!/usr/bin/env bash
# Builds the project: the host tools, then the x86_64 and i686 Windows programs.
#   scripts/build.sh [host|x86_64|i686|all]...   (default: all)
# Build trees: build/<arch>; finished programs: out/<arch>.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(all)
[ "${targets[0]}" = all ] && targets=(host x86_64 i686)

configure_and_build() {
  local arch=$1; shift
  local dir="$repo/build/$arch"
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$repo" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  fi
  cmake --build "$dir" -j "$(nproc)"
}

for arch in "${targets[@]}"; do
  echo "== build $arch"
  case "$arch" in
    host)   configure_and_build host ;;
    x86_64|i686)
            configure_and_build "$arch" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-$arch.cmake" \
                                        -DQUOR_HOST_TOOLS_DIR="$repo/out/host" ;;
    *) echo "build.sh: unknown target $arch" >&2; exit 2 ;;
  esac
done
