#!/usr/bin/env bash
# The package package_test.sh built, checked by the tool Debian, the software centres or the
# desktops check it with: no error and no warning. Skipped where the tool is not installed
# (scripts/install-deps installs it).
# usage: package_check.sh lintian|appstream|desktop BUILD_DIR
set -euo pipefail
work=$2/package-test
case $1 in
    lintian) tool=lintian ;;
    appstream) tool=appstreamcli ;;
    desktop) tool=desktop-file-validate ;;
    *) echo "usage: package_check.sh lintian|appstream|desktop BUILD_DIR"; exit 2 ;;
esac
if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/install-deps installs it)"
    exit 77
fi
deb=$(ls "$work"/out/quendra_*.deb)
status=0
case $1 in
    # Informational tags are shown, not failed on.
    lintian) lintian --fail-on error,warning --display-info "$deb" 2>&1 || status=$? ;;
    # The desktop entry found from the metadata's launchable, and the icon.
    appstream) appstreamcli validate-tree --no-net --strict --pedantic "$work/root" || status=$? ;;
    # Warnings do not change the status; hints (such as a second main category) are allowed.
    desktop)
        output=$(desktop-file-validate "$work"/root/usr/share/applications/*.desktop 2>&1) \
            || status=$?
        echo "$output"
        if grep -E "(error|warning):" <<<"$output" >/dev/null; then status=1; fi
        ;;
esac
[ "$status" -eq 0 ] || { echo "FAILED: $tool on the package"; exit 1; }
echo "ok: $tool"
