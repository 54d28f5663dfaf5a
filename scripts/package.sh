#!/usr/bin/env bash
# Builds the Debian package out/quelt_<version>_<arch>.deb: Quelt.so in
# /usr/lib/vst and the bundle Quelt.lv2 in /usr/lib/lv2, from a release build
# of its own (build-deb). Install it with `apt install ./out/quelt_*.deb`;
# prints what lintian says of it.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-deb
stage=$build/stage
cd "$root"
bash scripts/setup.sh

version=$(sed -n 's/^project(Quelt VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
arch=$(dpkg --print-architecture)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DQUELT_TESTS=OFF -DQUELT_BENCH=OFF >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target Quelt quelt_lv2 >/dev/null
rm -rf "$stage"
DESTDIR=$stage cmake --install "$build" >/dev/null
find "$stage/usr/lib" -name '*.so' -exec strip --strip-unneeded --remove-section=.comment \
    --remove-section=.note {} +
find "$stage" -type d -exec chmod 0755 {} +
find "$stage/usr/lib" -type f -name '*.so' -exec chmod 0644 {} +

doc=$stage/usr/share/doc/quelt
mkdir -p "$doc"
cat >"$doc/copyright" <<COPYRIGHT
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Quelt
Source: https://www.example.com/quelt

Files: *
Copyright: 2026 Zorv
License: proprietary
 All rights reserved.
COPYRIGHT
cat >"$build/changelog" <<CHANGELOG
quelt ($version) unstable; urgency=medium

  * Release $version: VST 2.4 and LV2 (stereo and mono, presets, editor).

 -- Zorv <quelt@example.com>  $(date -R -d @"$(git log -1 --format=%ct 2>/dev/null || date +%s)")
CHANGELOG
gzip -9n -c "$build/changelog" >"$doc/changelog.gz"
chmod 0644 "$doc"/*

# Shared-library dependencies as Debian names them.
mkdir -p "$build/deps/debian"
printf 'Source: quelt\n\nPackage: quelt\nArchitecture: any\n' >"$build/deps/debian/control"
depends=$(cd "$build/deps" && dpkg-shlibdeps -O "$stage"/usr/lib/vst/Quelt.so \
    "$stage"/usr/lib/lv2/Quelt.lv2/*.so 2>/dev/null | sed -n 's/^shlibs:Depends=//p')

mkdir -p "$stage/DEBIAN"
cat >"$stage/DEBIAN/control" <<CONTROL
Package: quelt
Version: $version
Architecture: $arch
Maintainer: Zorv <quelt@example.com>
Installed-Size: $(du -sk "$stage/usr" | cut -f1)
Depends: $depends
Section: sound
Priority: optional
Homepage: https://www.example.com/quelt
Description: stereo and mono noise gate plug-in (VST 2.4 and LV2)
 Quelt closes the signal below a threshold and opens it again above,
 with its own attack and fade times; a gain meter shows it working.
 This package holds the VST 2.4 plug-in (/usr/lib/vst/Quelt.so) and the
 LV2 bundle (/usr/lib/lv2/Quelt.lv2) with stereo and mono variants, the
 factory presets and the plug-in's own editor.
CONTROL

mkdir -p "$root/out"
deb=$root/out/quelt_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "built $deb"
lintian --tag-display-limit 0 --info --pedantic "$deb" || true
