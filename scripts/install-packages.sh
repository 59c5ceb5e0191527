#!/usr/bin/env bash
# Installs the Debian packages named as arguments that are not installed yet
# (with sudo when not root). A name with an architecture qualifier (such as
# openjdk-17-jre-headless:arm64) first adds that architecture to dpkg, so that
# apt fetches its package lists too.
set -euo pipefail
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
missing=()
foreign=()
for package in "$@"; do
  dpkg -s "$package" 2>/dev/null | grep -q '^Status: install ok installed' || missing+=("$package")
  case $package in
    *:*) foreign+=("${package##*:}") ;;
  esac
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  for arch in "${foreign[@]}"; do
    if [ "$arch" != "$(dpkg --print-architecture)" ] && ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
      $sudo_cmd dpkg --add-architecture "$arch"
    fi
  done
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
fi
