#!/usr/bin/env bash
# check-core-only.sh PROGRAM...
# The command-line tools start in milliseconds only while they load Qt Core and no other Qt library: Qt GUI and
# Qt Network bring the desktop's libraries with them (X11, EGL, fontconfig, Kerberos, D-Bus...). Fails for each
# program that would load another Qt library, or whose libraries ldd cannot list.
set -uo pipefail
failures=0
for program in "$@"; do
    if ! libraries="$(ldd "$program" 2>&1)"; then
        echo "FAIL: ldd $program: $libraries"
        failures=$((failures + 1))
        continue
    fi
    qt="$(grep -o 'libQt6[A-Za-z]*' <<<"$libraries" | sort -u | tr '\n' ' ')"
    if [ "$qt" != "libQt6Core " ]; then
        echo "FAIL: $(basename "$program") loads ${qt:-no Qt library}(Qt Core alone expected)"
        failures=$((failures + 1))
    else
        echo "$(basename "$program"): Qt Core alone, $(wc -l <<<"$libraries") shared libraries"
    fi
done
exit $((failures > 0))
