#!/usr/bin/env bash
# Builds the Debian package out/quelt_<version>_<arch>.deb: Quelt.so in
# /usr/lib/vst, the bundle Quelt.lv2 in /usr/lib/lv2, Quelt.clap in
# /usr/lib/clap and the JACK application /usr/bin/quelt with its desktop
# entry and manual page, from a release build
# of its own (build-deb) with Debian's hardening flags. Install it with
# `apt install ./out/quelt_*.deb`; prints what `lintian -I --pedantic` says of
# it and fails when it names any tag.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-deb
stage=$build/stage
cd "$root"
bash scripts/setup.sh

version=$(sed -n 's/^project(Quelt VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
arch=$(dpkg --print-architecture)
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CXXFLAGS="$CPPFLAGS $CXXFLAGS"  # CMake reads no CPPFLAGS
rm -rf "$build"  # the flags are taken at the first configure only
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DQUELT_TESTS=OFF -DQUELT_BENCH=OFF >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target Quelt quelt_lv2 QueltClap quelt >/dev/null
rm -rf "$stage"
DESTDIR=$stage cmake --install "$build" >/dev/null
find "$stage/usr/lib" \( -name '*.so' -o -name '*.clap' \) -exec strip --strip-unneeded --remove-section=.comment \
    --remove-section=.note {} +
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$stage/usr/bin/quelt"
gzip -9n "$stage/usr/share/man/man1/quelt.1"
find "$stage" -type d -exec chmod 0755 {} +
chmod 0644 "$stage/usr/share/applications/quelt.desktop" "$stage/usr/share/man/man1/quelt.1.gz" \
    "$stage/usr/share/icons/hicolor/scalable/apps/quelt.svg"
find "$stage/usr/lib" -type f \( -name '*.so' -o -name '*.clap' \) -exec chmod 0644 {} +

doc=$stage/usr/share/doc/quelt
mkdir -p "$doc"
# dep5 TEXT: a licence text as a copyright file's continuation lines.
# Blank lines inside become ".", trailing ones go.
dep5() { awk 'NF { while (b-- > 0) print ""; b = 0; print; next } { b++ }' | sed -e 's/^$/./' -e 's/^/ /'; }
{
    cat <<COPYRIGHT
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Quelt

Files: *
Copyright: 2026 Zorv
License: ISC

Files: usr/lib/vst/Quelt.so usr/lib/lv2/Quelt.lv2/quelt_ui.so usr/lib/clap/Quelt.clap usr/bin/quelt
Comment: The editor embeds the font Noto Sans (under the name "Kelvo") and
 draws with nanovg.
Copyright: 2026 Zorv
 2010, 2012-2020 Google Inc.
 2015-2020 Google LLC
 2013 Mikko Mononen
License: ISC and OFL-1.1 and Zlib

License: ISC
COPYRIGHT
    tail -n +3 "$root/LICENSE" | dep5
    echo
    # The font's licence as its own package words it: the paragraph with a text.
    awk 'on && /^$/ { exit }
         on { print; next }
         held && /^ / { print "License: OFL-1.1"; print; on = 1; next }
         { held = ($0 == "License: OFL-1.1") }' /usr/share/doc/fonts-noto-core/copyright
    echo
    echo "License: Zlib"
    tr -d '\r' </usr/share/dpf/dgl/src/nanovg/LICENSE.txt | dep5
} >"$doc/copyright"
for text in "ISC" "OFL-1.1" "Zlib"; do
    grep -A1 -x "License: $text" "$doc/copyright" | grep -q '^ ' \
        || { echo "package.sh: no licence text for $text" >&2; exit 1; }
done
cat >"$build/changelog" <<CHANGELOG
quelt ($version) unstable; urgency=medium

  * Release $version: VST 2.4, LV2 (stereo and mono, presets, editor) and
    CLAP (stereo and mono, editor), and quelt, the JACK application, under
    the ISC licence.

 -- Zorv <quelt@example.com>  $(date -R -d @"$(git log -1 --format=%ct 2>/dev/null || date +%s)")
CHANGELOG
gzip -9n -c "$build/changelog" >"$doc/changelog.gz"
chmod 0644 "$doc"/*

# Shared-library dependencies as Debian names them.
mkdir -p "$build/deps/debian"
printf 'Source: quelt\n\nPackage: quelt\nArchitecture: any\n' >"$build/deps/debian/control"
depends=$(cd "$build/deps" && dpkg-shlibdeps -O "$stage"/usr/lib/vst/Quelt.so \
    "$stage"/usr/lib/lv2/Quelt.lv2/*.so "$stage"/usr/lib/clap/Quelt.clap "$stage"/usr/bin/quelt 2>/dev/null | sed -n 's/^shlibs:Depends=//p')

mkdir -p "$stage/DEBIAN"
cat >"$stage/DEBIAN/control" <<CONTROL
Package: quelt
Version: $version
Architecture: $arch
Maintainer: Zorv <quelt@example.com>
Installed-Size: $(du -sk "$stage/usr" | cut -f1)
Depends: $depends, libgl1
Section: sound
Priority: optional
Description: stereo and mono noise gate (VST 2.4, LV2, CLAP and JACK)
 Quelt closes the signal below a threshold and opens it again above,
 with its own attack and fade times; a gain meter shows it working.
 This package holds the VST 2.4 plug-in (/usr/lib/vst/Quelt.so), the
 LV2 bundle (/usr/lib/lv2/Quelt.lv2) with stereo and mono variants, the
 factory presets and the plug-in's own editor, and the CLAP plug-in
 (/usr/lib/clap/Quelt.clap) with stereo and mono gates and the editor,
 and quelt, the same gate as a JACK application for a live microphone
 (it runs under PipeWire through pw-jack), keeping its settings.
CONTROL

(cd "$stage" && find usr -type f -exec md5sum {} + | sort -k 2) >"$stage/DEBIAN/md5sums"
chmod 0644 "$stage/DEBIAN/md5sums"

mkdir -p "$root/out"
deb=$root/out/quelt_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "built $deb"
tags=$(lintian --tag-display-limit 0 -I --pedantic "$deb" 2>&1 | grep -v '^running with root privileges' || true)
echo "${tags:-lintian: no tags}"
[ -z "$tags" ]
