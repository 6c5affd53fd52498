#!/usr/bin/env bash
# Installs a build into a staging folder (DESTDIR) and checks it as a desktop and a package
# manager would: both validators pass, every file is where the system expects it, the man pages
# format cleanly, and the installed programs start and print the project version without a display.
#   check_install.sh BUILD_DIR VERSION
set -euo pipefail
build="$1"
version="$2"
id=example.quillmoth.OrvexPresetManager
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT

DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
root="$stage/usr"

desktop-file-validate "$root/share/applications/$id.desktop"
appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml"

expected=(
    bin/orvex-presetmanager bin/orvex-pre bin/orvex-simulator
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml
    share/icons/hicolor/scalable/apps/$id.svg
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for program in orvex-presetmanager orvex-pre orvex-simulator; do
    expected+=("share/man/man1/$program.1.gz")
done
expected+=(share/doc/orvex-presetmanager/copyright share/doc/orvex-presetmanager/changelog.gz)
for file in "${expected[@]}"; do
    [ -s "$root/$file" ] || { echo "not installed: /usr/$file" >&2; exit 1; }
done
grep -qx "Icon=$id" "$root/share/applications/$id.desktop"

for program in orvex-presetmanager orvex-pre orvex-simulator; do
    warnings="$(gzip -dc "$root/share/man/man1/$program.1.gz" | groff -man -Tutf8 -ww -z 2>&1)"
    [ -z "$warnings" ] || { echo "$program.1: $warnings" >&2; exit 1; }
    out="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/bin/$program" --version)"
    [ "$out" = "$program $version" ] || { echo "$program --version printed '$out', not '$program $version'" >&2; exit 1; }
done

echo "installed:"
(cd "$stage" && find . -type f | sed 's|^\.||' | sort)
