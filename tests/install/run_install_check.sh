#!/usr/bin/env bash
# run_install_check.sh CMAKE BUILD_DIR WORK_DIR VERSION [CONSUMER_CXX_FLAGS]
# Installs the build into an empty prefix, checks the layout, then builds and
# runs a program against the installed files only.
set -euo pipefail
cmake=$1 build=$2 work=$3 version=$4 cxx_flags=${5:-}
here=$(cd "$(dirname "$0")" && pwd)
prefix=$work/prefix
fail() { echo "FAILED: $*"; exit 1; }
rm -rf "$work" && mkdir -p "$work"
"$cmake" --install "$build" --prefix "$prefix" > "$work/install.log" || { cat "$work/install.log"; fail "install"; }
for file in lib/libqbl_plexa_64bit.so lib/libqbl_plexa2_64bit.so lib/libKinect10.so lib/libKinect20.so \
    lib/libplexa_kernel.so lib/cmake/Plexa/PlexaConfig.cmake lib/cmake/Plexa/PlexaConfigVersion.cmake \
    share/java/plexa-$version.jar share/java/plexa-$version-javadoc.jar share/java/plexa-$version-sources.jar \
    share/java/plexa-$version.pom share/java/plexa-demo-$version.jar \
    include/runtime1/NuiRuntime.h include/runtime1/VirtualSensor1.h include/runtime2/KinectRuntime.h \
    include/runtime2/VirtualSensor2.h include/plexa/platform.h include/plexa/exports.h; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done
# Installed libraries find each other beside themselves, never in the build tree.
if readelf -d "$prefix"/lib/*.so | grep -E 'R(UN)?PATH' | grep -v '\[\$ORIGIN\]$'; then
  fail "an installed library has a run path other than \$ORIGIN"
fi

"$cmake" -S "$here/consumer" -B "$work/consumer" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF \
  -DCMAKE_CXX_FLAGS="$cxx_flags" \
  > "$work/configure.log" 2>&1 || { cat "$work/configure.log"; fail "configuring the consumer"; }
"$cmake" --build "$work/consumer" --verbose > "$work/build.log" 2>&1 || { cat "$work/build.log"; fail "building the consumer"; }
# Every include folder and every Plexa library the compiler and linker were given lies in the prefix.
outside=$(grep -oE -- '(-I|-isystem )[^ ]+|[^ ]*lib(Kinect|plexa)[^ ]*\.so' "$work/build.log" | sed 's/^-I//; s/^-isystem //' \
  | grep -v "^$prefix/" || true)
[ -z "$outside" ] || fail "the consumer was built with files from outside the prefix: $outside"
env -i PATH=/usr/bin:/bin ${ASAN_OPTIONS:+ASAN_OPTIONS=$ASAN_OPTIONS} ${UBSAN_OPTIONS:+UBSAN_OPTIONS=$UBSAN_OPTIONS} \
  "$work/consumer/consumer" | tee "$work/run.log"
ldd "$work/consumer/consumer" | grep -E 'libKinect|plexa' | tee "$work/ldd.log"
if grep -v "$prefix/lib/" "$work/ldd.log"; then
  fail "the consumer loads a Plexa library from outside the prefix"
fi
grep -q '^consumer ok$' "$work/run.log" || fail "the consumer did not run"
echo "passed: install"
