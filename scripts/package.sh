#!/usr/bin/env bash
# Builds every platform's natives from this Linux machine and assembles dist/:
#   plexa-<version>.jar           the classes and native/linux-x86_64/, native/linux-aarch64/ and
#                                 native/windows-x86_64/ (both bridges and both runtimes each)
#   plexa-<version>-javadoc.jar, plexa-<version>-sources.jar, plexa-<version>.pom, plexa-demo-<version>.jar
# Build folders: build-package (Linux x86-64 with the C++ runtime linked in), build-arm64 (cross-built
# with g++-aarch64-linux-gnu, likewise) and build-windows (mingw-w64; the one scripts/test-windows.sh
# uses, so a CI run builds it once). PLEXA_ARM64_TESTS=1 also builds the arm64 test programs
# (scripts/test-package.sh). Installs what it needs and is missing from Debian's packages.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh cmake ninja-build g++ openjdk-17-jdk-headless googletest unzip \
  g++-aarch64-linux-gnu g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
jobs=$(nproc)
[ "$jobs" -le 2 ] || jobs=2

echo "== Linux x86-64"
cmake -S . -B build-package -G Ninja -DPLEXA_STATIC_CXX_RUNTIME=ON >/dev/null
cmake --build build-package --target plexa_distribution -- -j"$jobs"

echo "== Linux arm64"
arm64_targets=(plexa_jar_natives)
[ "${PLEXA_ARM64_TESTS:-0}" = 1 ] && arm64_targets+=(plexa_arm64_tests)
cmake -S . -B build-arm64 -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/aarch64-linux-gnu.cmake" \
  -DPLEXA_STATIC_CXX_RUNTIME=ON >/dev/null
cmake --build build-arm64 --target "${arm64_targets[@]}" -- -j"$jobs"

echo "== Windows x64"
PLEXA_BUILD_TARGETS=plexa_jar_natives scripts/build-windows.sh build-windows

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-package/CMakeCache.txt)
jar_tool=$(dirname "$(readlink -f "$(command -v javac)")")/jar
stage=dist/.natives
rm -rf dist && mkdir -p "$stage/native"
platforms=""
for build in build-package build-arm64 build-windows; do
  for folder in "$build"/packaging/jar-natives/native/*/; do
    platform=$(basename "$folder")
    cp -r "$folder" "$stage/native/$platform"
    platforms+="$platform"$'\n'
  done
done
printf '%s' "$platforms" > "$stage/native/plexa-platforms.list"

jar=dist/plexa-$version.jar
cp build-package/java/plexa.jar "$jar.part"
"$jar_tool" uf "$jar.part" -C "$stage" native
mv "$jar.part" "$jar"
rm -rf "$stage"
for file in "plexa-$version-javadoc.jar" "plexa-$version-sources.jar" "plexa-$version.pom" "plexa-demo-$version.jar"; do
  cp "build-package/java/$file" dist/
done
echo "dist/:"
ls -l dist
unzip -l "$jar" 'native/*' | awk 'NR > 3 && $4 != "" {print "  " $4 "  " $1}' | grep -v '^  native/$' | head -n -1
