#!/bin/sh
# Fails when a binary could not load on Windows XP x64 (5.2): an import of a function
# named in the list (one that came with Vista or later, or from a DLL XP lacks), or a
# header that asks for a newer Windows.
# Usage: xp_import_check.sh OBJDUMP LIST BINARY...
set -u
objdump="$1"
list="$2"
shift 2
failed=0
dump=$(mktemp)
trap 'rm -f "$dump"' EXIT
for binary in "$@"; do
    name=$(basename "$binary")
    if ! "$objdump" -p "$binary" >"$dump" 2>&1; then
        echo "$name: objdump could not read it" >&2
        failed=1
        continue
    fi
    # First the list, then objdump's view of the headers and the import tables.
    if ! awk -v binary="$name" '
        function tooNew(major, minor) { return major > 5 || (major == 5 && minor > 2) }
        FNR == NR {
            sub(/#.*/, "")
            gsub(/[ \t\r]/, "")
            if ($0 == "") next
            entry = tolower($0)
            if (entry ~ /\*$/) prefixes[substr(entry, 1, length(entry) - 1)] = 1
            else if (entry ~ /\.dll$/) dlls[entry] = 1
            else functions[$0] = 1
            next
        }
        /^MajorOSystemVersion/ { osMajor = $2 }
        /^MinorOSystemVersion/ { osMinor = $2 }
        /^MajorSubsystemVersion/ { subMajor = $2 }
        /^MinorSubsystemVersion/ { subMinor = $2 }
        /^The Import Tables/ { inside = 1; next }
        inside && /^[^ \t]/ { inside = 0 }
        inside && /^\tDLL Name:/ { dll = tolower($3); next }
        inside && dll != "" && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {
            imports++
            if (dll == "kernel32.dll") kernel32++
            missing = ($3 in functions) || (dll in dlls)
            for (prefix in prefixes) if (index(dll, prefix) == 1) missing = 1
            if (missing) {
                printf "%s: imports %s from %s, which Windows XP x64 does not have\n", binary, $3, dll
                bad++
            }
        }
        END {
            if (kernel32 == 0) {
                printf "%s: no kernel32 imports found; is it a Windows binary?\n", binary
                exit 1
            }
            if (tooNew(osMajor, osMinor) || tooNew(subMajor, subMinor)) {
                printf "%s: asks for Windows %d.%d (subsystem %d.%d); XP x64 is 5.2\n", binary, osMajor, osMinor, subMajor, subMinor
                bad++
            }
            if (bad > 0) exit 1
            printf "%s: %d imports, all on Windows XP x64\n", binary, imports
        }' "$list" "$dump"; then
        failed=1
    fi
done
exit $failed
