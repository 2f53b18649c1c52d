#!/bin/sh
# Checks Quarto as an installed desktop application: builds the Debian package from a release
# build in build-pkg/ (or the folder given), then checks what it installs: every file in its
# place, the desktop entry, the AppStream metainfo, the man page (renders without a warning and
# names every option letter of the program), the manual (well-formed, every link resolving),
# the icon (renders), the declared dependencies, and that the packaged program's --version
# agrees with the package version.
# Usage: scripts/check-package.sh [build-folder]
set -eu
cd "$(dirname "$0")/.."
dir="${1:-build-pkg}"
app=com.brightvale.Quarto
pages="index comparing views marking actions snapshots command-files command-line settings keyboard"

echo "== the installed application: Debian package, desktop entry, metainfo, icon, man page, manual"
scripts/build.sh "$dir" -DCMAKE_BUILD_TYPE=Release -DQUARTO_BUILD_TESTS=OFF -DQUARTO_BUILD_BENCH=OFF >/dev/null
rm -f "$dir"/quarto_*.deb
(cd "$dir" && cpack -G DEB >cpack.log 2>&1) || {
    cat "$dir/cpack.log" >&2
    exit 1
}
deb=$(ls "$dir"/quarto_*.deb)

status=0
fail() {
    echo "check-package: $*" >&2
    status=1
}

# The files, as dpkg lists them.
contents=$(dpkg-deb --contents "$deb" | awk '{ print $6 }')
for path in usr/bin/quarto usr/share/applications/$app.desktop \
    usr/share/icons/hicolor/scalable/apps/$app.svg usr/share/metainfo/$app.metainfo.xml \
    usr/share/man/man1/quarto.1.gz usr/share/quarto/help/quarto.css usr/share/doc/quarto/html; do
    echo "$contents" | grep -qx "\./$path" || fail "the package lacks /$path"
done
for page in $pages; do
    echo "$contents" | grep -qx "\./usr/share/quarto/help/$page.html" || fail "the package lacks the manual's $page.html"
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
share="$root/usr/share"

desktop-file-validate "$share/applications/$app.desktop" || fail "the desktop entry is not valid"
grep -qx "Icon=$app" "$share/applications/$app.desktop" || fail "the desktop entry names another icon"
grep -qx "Categories=Utility;FileTools;" "$share/applications/$app.desktop" || fail "the desktop entry's categories"
if ! report=$(appstreamcli validate --no-net "$share/metainfo/$app.metainfo.xml" 2>&1); then
    fail "the metainfo is not valid:"
    echo "$report" >&2
fi
for size in 16 256; do
    rsvg-convert -w $size -h $size "$share/icons/hicolor/scalable/apps/$app.svg" -o "$root/icon.png" ||
        fail "the icon does not render at $size px"
done

man="$share/man/man1/quarto.1.gz"
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$man" 2>&1 >/dev/null) || true
[ -z "$warnings" ] || fail "the man page renders with warnings: $warnings"
page=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$man" 2>/dev/null | col -b)
# Every letter the option scanner accepts is described, in the man page and in the manual.
letters=$(sed -n 's/.*kOptionLetters = "\([^"]*\)".*/\1/p' app/OptionScanner.h | tr -d ':' | tr 'A-Z' 'a-z' | fold -w1 | sort -u)
[ -n "$letters" ] || fail "no option letters found in app/OptionScanner.h"
for letter in $letters; do
    echo "$page" | grep -Eq "^ +-$letter( |,|$)|, -$letter( |,|$)" || fail "the man page does not describe -$letter"
    grep -q "<code>-$letter</code>" "$share/quarto/help/command-line.html" || fail "the manual does not describe -$letter"
done
for word in --report --help --version; do
    echo "$page" | grep -Eq "^ +$word( |$)" || fail "the man page does not describe $word"
done
python3 scripts/check-help.py "$share/quarto/help" >/dev/null || fail "the manual: $(python3 scripts/check-help.py "$share/quarto/help")"
[ -f "$share/doc/quarto/html/index.html" ] || fail "/usr/share/doc/quarto/html does not lead to the manual"

# One version everywhere: the package, the program, the metainfo's release, the man page.
version=$(dpkg-deb -f "$deb" Version)
said=$("$root/usr/bin/quarto" --version)
[ "$said" = "quarto Version $version (release)" ] || fail "the program says '$said', the package is $version"
grep -q "<release version=\"$version\"" "$share/metainfo/$app.metainfo.xml" || fail "the metainfo's release is not $version"
echo "$page" | grep -q "Quarto $version" || fail "the man page is not of version $version"

depends=$(dpkg-deb -f "$deb" Depends)
for package in libc6 libstdc++6 libqt6core6 qt6-qpa-plugins; do
    echo "$depends" | grep -q "$package" || fail "the package does not depend on $package"
done
if [ "$(id -u)" -eq 0 ]; then
    apt-get install --simulate -qq "./$deb" >/dev/null 2>&1 || fail "apt cannot satisfy the package's dependencies"
fi

[ $status -eq 0 ] && echo "check-package: $deb passed (contents, desktop entry, metainfo, icon, man page, manual, version $version, dependencies)"
exit $status
