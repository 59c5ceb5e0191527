#!/usr/bin/env bash
# run_jar.sh CASE JAVA JAVA_DIR VERSION WORK_DIR
# The library jar as a user gets it: copied alone into an empty folder, run by a
# fresh JVM with no library path and none of the project's environment (only the
# sanitizer runtime's settings pass, in sanitizer builds).
#   alone               streams both generations; the private natives folder is gone at exit
#   already-extracted   a second process starts while the first holds its extracted natives
#   two-at-once         two JVMs start together on the same jar
#   unknown-platform    a platform without natives gets an error naming both platforms
#   damaged-library     a library that does not match its stored checksum is refused, never loaded
#   demo-jar            java -jar plexa-demo-VERSION.jar: --version, then a headless run
#   killed              a JVM killed with SIGKILL leaves its folder; the next load removes it
#   noexec              a temporary folder that cannot run programs is named, with the remedy, and the remedy works
#   non-ascii-tmpdir    a temporary folder whose name the POSIX locale cannot write is named as the cause
# JAVA may be a wrapper that runs another processor's VM (tests/arm64/java.sh); StreamBoth is
# compiled by the host's javac, once, so the VM under test runs classes only.
set -euo pipefail
case_name=$1 java=$2 java_dir=$3 version=$4 work=$5
here=$(cd "$(dirname "$0")" && pwd)
jar=plexa-$version.jar
run_dir=$work/$case_name
rm -rf "$run_dir" && mkdir -p "$run_dir/folder"
cp "$java_dir/$jar" "$run_dir/folder/"
cd "$run_dir/folder"

clean_env=(env -i PATH=/usr/bin:/bin)
for passed in LD_PRELOAD ASAN_OPTIONS UBSAN_OPTIONS; do
  [ -z "${!passed:-}" ] || clean_env+=("$passed=${!passed}")
done
# The sanitizer runtime is for the JVMs that load the libraries, not for the tools of this script.
unset LD_PRELOAD
mkdir -p ../classes
javac --release 8 -Xlint:-options -d ../classes -cp "$jar" "$here/StreamBoth.java"
stream_with() { "${clean_env[@]}" "$java" -Xcheck:jni "$@"; }
stream() { stream_with -cp "$jar:../classes" StreamBoth "$@"; }
fail() { echo "FAILED: $*"; exit 1; }
folder_of() { sed -n 's/^natives: //p' "$1"; }
# Waits (up to 60 s) until a file holds a line.
wait_for_line() {
  local deadline=$((SECONDS + 60))
  until grep -q "$2" "$1" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "no '$2' in $1"
    sleep 0.05
  done
}
checksums() { (cd "$1" && sha256sum ./*); }

case $case_name in
  alone)
    stream > ../out.txt 2>&1 || { cat ../out.txt; fail "the JVM failed"; }
    cat ../out.txt
    folder=$(folder_of ../out.txt)
    [ -n "$folder" ] || fail "no natives folder reported"
    [ ! -e "$folder" ] || fail "$folder is still there after the JVM ended"
    [ "$(ls -A)" = "$jar" ] || fail "the JVM wrote into the jar's folder: $(ls -A)"
    ;;
  already-extracted)
    stream --hold ../release > ../first.txt 2>&1 &
    first=$!
    wait_for_line ../first.txt '^holding'
    first_folder=$(folder_of ../first.txt)
    before=$(checksums "$first_folder")
    stream > ../second.txt 2>&1 || { cat ../second.txt; fail "the second JVM failed"; }
    second_folder=$(folder_of ../second.txt)
    [ "$first_folder" != "$second_folder" ] || fail "both JVMs use $first_folder"
    [ "$before" = "$(checksums "$first_folder")" ] || fail "the first JVM's natives changed"
    touch ../release
    wait $first || { cat ../first.txt; fail "the first JVM failed after the second ran"; }
    cat ../first.txt ../second.txt
    ;;
  two-at-once)
    stream > ../a.txt 2>&1 & a=$!
    stream > ../b.txt 2>&1 & b=$!
    status=0
    wait $a || status=1
    wait $b || status=1
    cat ../a.txt ../b.txt
    [ $status -eq 0 ] || fail "a JVM failed"
    [ "$(folder_of ../a.txt)" != "$(folder_of ../b.txt)" ] || fail "both JVMs used one folder"
    ;;
  unknown-platform)
    if stream_with -Dos.arch=sparcv9 -cp "$jar:../classes" StreamBoth > ../out.txt 2>&1; then
      cat ../out.txt; fail "loading succeeded on a platform the jar has no natives for"
    fi
    sed 's/^FAILED: loading: /refused as expected: /' ../out.txt
    platforms=$(unzip -p "$jar" native/plexa-platforms.list | paste -sd, | sed 's/,/, /g')
    grep -qF "UnsatisfiedLinkError: Plexa has no native libraries for linux-sparcv9 in its jar (it has: $platforms)" ../out.txt \
      || fail "the error does not name the platform and the jar's platforms"
    ;;
  damaged-library)
    mkdir ../unpacked && (cd ../unpacked && "$(dirname "$java")/jar" xf "../folder/$jar" native/linux-x86_64/libKinect10.so)
    printf 'X' | dd of=../unpacked/native/linux-x86_64/libKinect10.so bs=1 seek=4096 conv=notrunc 2> /dev/null
    "$(dirname "$java")/jar" uf "$jar" -C ../unpacked native/linux-x86_64/libKinect10.so
    if stream > ../out.txt 2>&1; then
      cat ../out.txt; fail "a damaged library was loaded"
    fi
    sed 's/^FAILED: loading: /refused as expected: /' ../out.txt
    grep -q "UnsatisfiedLinkError: The Plexa jar's libKinect10.so for linux-x86_64 does not match its checksum" ../out.txt \
      || fail "the damaged library was not refused for its checksum"
    ;;
  demo-jar)
    demo=plexa-demo-$version.jar
    cp "$java_dir/$demo" .
    "${clean_env[@]}" "$java" -jar "$demo" --version > ../version.txt 2>&1 || { cat ../version.txt; fail "--version failed"; }
    cat ../version.txt
    [ "$(cat ../version.txt)" = "plexa-demo $version" ] || fail "--version printed more or other than 'plexa-demo $version'"
    "${clean_env[@]}" "$java" -Xcheck:jni -Djava.awt.headless=true -jar "$demo" --headless --seconds 1 --output ../pictures \
      > ../out.txt 2>&1 || { cat ../out.txt; fail "the demo failed"; }
    cat ../out.txt
    # Both bridges answered (their natives came out of the library jar) and the run completed.
    grep -q '^Sensors: first generation 1, second generation 1$' ../out.txt || fail "the sensors were not found"
    grep -q '^Summary:$' ../out.txt || fail "the demo did not finish its run"
    ;;
  killed)
    stream --hold ../release > ../first.txt 2>&1 &
    first=$!
    wait_for_line ../first.txt '^holding'
    folder=$(folder_of ../first.txt)
    kill -KILL "$(sed -n 's/^pid: //p' ../first.txt)"
    wait $first 2>/dev/null || true
    [ -d "$folder" ] || fail "the killed JVM's folder $folder was not there to sweep"
    stream > ../second.txt 2>&1 || { cat ../second.txt; fail "the next JVM failed"; }
    cat ../second.txt
    [ ! -e "$folder" ] || fail "the killed JVM's folder $folder is still there after the next load"
    ;;
  noexec|non-ascii-tmpdir)
    if [ $case_name = noexec ]; then
      [ "$(id -u)" -eq 0 ] || { echo "passed: $case_name (not run: mounting needs root)"; exit 0; }
      tmp=$run_dir/noexec && mkdir -p "$tmp"
      mount -t tmpfs -o noexec,size=16m tmpfs "$tmp" || fail "cannot mount a noexec folder"
      trap 'umount "$tmp"' EXIT
      expected='failed to map segment.*mounted noexec; name another folder with -Dplexa.tmpdir=FOLDER'
      clean_env+=(LANG=C.UTF-8)
    else
      tmp=$run_dir/tmp-$(printf 'Ã¼') && mkdir -p "$tmp"
      expected='name cannot be written in this system.s file name encoding.*name another folder with -Dplexa.tmpdir=FOLDER'
      clean_env+=(LC_ALL=C)
    fi
    if stream_with -Djava.io.tmpdir="$tmp" -cp "$jar:../classes" StreamBoth > ../out.txt 2>&1; then
      cat ../out.txt; fail "loading succeeded from $tmp"
    fi
    sed 's/^FAILED: loading: /refused as expected: /' ../out.txt
    errors=$(grep -o 'FAILED: loading: java.lang.UnsatisfiedLinkError: .*' ../out.txt || true)
    [ "$(echo "$errors" | grep -c .)" -eq 2 ] || fail "expected one UnsatisfiedLinkError per class"
    [ "$(echo "$errors" | sort -u | wc -l)" -eq 1 ] || fail "the two classes' errors differ"
    echo "$errors" | grep -q "$expected" || fail "the error does not name the cause and the remedy"
    ! grep -q 'FileAlreadyExistsException' ../out.txt || fail "a second cause hides the first"
    stream_with -Djava.io.tmpdir="$tmp" -Dplexa.tmpdir="$run_dir" -cp "$jar:../classes" StreamBoth > ../remedy.txt 2>&1 \
      || { cat ../remedy.txt; fail "-Dplexa.tmpdir did not help"; }
    ;;
  *) fail "unknown case $case_name" ;;
esac
echo "passed: $case_name"
