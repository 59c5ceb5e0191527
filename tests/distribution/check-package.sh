#!/usr/bin/env bash
# check-package.sh JAR README
# Checks the jar scripts/package.sh assembled, as a user of each platform gets it:
#  - native/ has each platform (Linux x86-64 and arm64: the kernel, both runtimes and both bridges;
#    Windows x64: both runtimes and both bridges), each with its list, and the platforms list names them;
#  - every class is for Java 8 (javap: major version 52);
#  - the Linux natives need no C++ runtime of the system (no libstdc++ or libgcc_s, no GLIBCXX or
#    CXXABI symbol versions) and export none of the C++ runtime linked into them; a bridge exports
#    its Java_ entry points and nothing else;
#  - the highest glibc symbol version each Linux native needs, printed, is at most the floor the
#    README states ("glibc X.Y or newer").
set -uo pipefail
jar=$1 readme=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && unzip -q "$jar") || { echo "FAIL: cannot unpack $jar"; exit 1; }

floor=$(grep -o 'glibc [0-9][0-9.]* or newer' "$readme" | head -1 | awk '{print $2}')
[ -n "$floor" ] || fail "$readme states no glibc floor ('glibc X.Y or newer')"

expected_platforms=$'linux-x86_64\nlinux-aarch64\nwindows-x86_64'
[ "$(sort "$work/native/plexa-platforms.list")" = "$(sort <<<"$expected_platforms")" ] \
  || fail "the platforms list is: $(tr '\n' ' ' < "$work/native/plexa-platforms.list")"

for platform in $expected_platforms; do
  folder=$work/native/$platform
  case $platform in
    linux-*) files="libplexa_kernel.so libKinect10.so libKinect20.so libqbl_plexa_64bit.so libqbl_plexa2_64bit.so" ;;
    windows-*) files="Kinect10.dll Kinect20.dll qbl_plexa_64bit.dll qbl_plexa2_64bit.dll" ;;
  esac
  actual=$(cd "$folder" 2>/dev/null && ls | grep -v '^plexa-natives.list$' | sort | tr '\n' ' ')
  [ "$actual" = "$(tr ' ' '\n' <<<"$files" | sort | tr '\n' ' ')" ] || fail "$platform holds: $actual"
  [ -f "$folder/plexa-natives.list" ] || fail "$platform has no plexa-natives.list"
  for file in $files; do
    grep -q " $file\b" "$folder/plexa-natives.list" 2>/dev/null || fail "$platform's list does not name $file"
  done
  case $platform in linux-*) ;; *) continue ;; esac
  for file in $files; do
    library=$folder/$file
    needed=$(readelf -dW "$library" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | tr '\n' ' ')
    grep -qE 'libstdc\+\+|libgcc_s' <<<"$needed" && fail "$platform/$file needs $needed"
    versions=$(readelf -VW "$library" | grep -oE '(GLIBC|GLIBCXX|CXXABI)_[0-9.]+' | sort -uV)
    grep -qE 'GLIBCXX|CXXABI' <<<"$versions" && fail "$platform/$file takes symbols of the system's C++ runtime"
    highest=$(grep '^GLIBC_' <<<"$versions" | sed 's/GLIBC_//' | sort -V | tail -1)
    echo "$platform/$file needs glibc $highest"
    if [ -n "$floor" ] && [ "$(printf '%s\n%s\n' "$floor" "$highest" | sort -V | tail -1)" != "$floor" ]; then
      fail "$platform/$file needs glibc $highest, above the floor $floor"
    fi
    exported=$(readelf --dyn-syms -W "$library" | awk '$7 != "UND" && ($5 == "GLOBAL" || $5 == "WEAK" || $5 == "UNIQUE") && $6 == "DEFAULT" && $8 != "" {print $8}' | sed 's/@.*//' | sort -u)
    # What libstdc++ and libgcc define themselves (the ABI support, allocation, unwinding, threads);
    # instances of library templates our code makes (weak, from the headers) are its own.
    runtime=$(grep -E '^(__cxa_|__gxx_|_Unwind_|__gcc_|_Zn[wa]|_Zd[la]|_ZTVN10__cxxabiv|_ZNSt6thread|_ZSt9terminate)' <<<"$exported" | head -3 | tr '\n' ' ')
    [ -z "$runtime" ] || fail "$platform/$file exports the C++ runtime: $runtime"
    case $file in
      libqbl_*) others=$(grep -v '^Java_edu_qet_brightloom_plexa_Plexa[12]_' <<<"$exported" | tr '\n' ' ')
                [ -z "$others" ] || fail "$platform/$file exports more than its Java_ entry points: $others" ;;
    esac
  done
done

classes=$(unzip -Z1 "$jar" '*.class' | sed 's/\.class$//; s#/#.#g')
count=$(wc -l <<<"$classes")
majors=$(javap -v -cp "$jar" $classes 2>&1 | grep -o 'major version: [0-9]*' | sort | uniq -c)
echo "class file versions ($count classes):$(echo; echo "$majors")"
[ "$(awk '{print $4}' <<<"$majors")" = "52" ] && [ "$(awk '{print $1}' <<<"$majors")" = "$count" ] \
  || fail "not every class is for Java 8 (major version 52)"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "package as expected"
