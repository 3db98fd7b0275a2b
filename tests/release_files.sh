#!/usr/bin/env bash
# The release files that scripts/package.sh made: the Debian package's name, control
# fields and layout, and the Windows zip's folder, all at the version project() names.
#   tests/release_files.sh DIST_FOLDER
set -euo pipefail
dist=$1
cd "$(dirname "$0")/.."
fail() { echo "release files: $*" >&2; exit 1; }
version=$(sed -n 's/^project(Lumaroth VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in CMakeLists.txt"

deb="$dist/lumaroth_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $deb"
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = lumaroth ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "package version $(field Version)"
[ "$(field Architecture)" = amd64 ] || fail "architecture $(field Architecture)"
depends=$(field Depends)
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libfluidsynth3 qt6-qpa-plugins qt6-translations-l10n \
  fonts-ipafont-gothic "fluid-soundfont-gm | sf2-soundfont-gm" hicolor-icon-theme; do
  case ", $depends," in
    *", $needed"[,\ ]*) ;;
    *) fail "Depends lacks $needed: $depends" ;;
  esac
done
# Only what the programs load: no build tool or -dev package.
case "$depends" in *-dev*|*cmake*|*g++*) fail "Depends names a build package: $depends" ;; esac

contents=$(dpkg-deb --contents "$deb" | awk '{ print $6 ($7 ? " " $7 " " $8 : "") }')
for path in ./usr/bin/lumaroth-cli ./usr/lib/lumaroth/lumaroth ./usr/lib/lumaroth/Lumaroth.html \
  ./usr/share/applications/lumaroth.desktop ./usr/share/metainfo/lumaroth.metainfo.xml \
  ./usr/share/icons/hicolor/scalable/apps/lumaroth.svg \
  ./usr/share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/lumaroth.png \
  ./usr/share/man/man1/lumaroth.1.gz ./usr/share/man/man1/lumaroth-cli.1.gz \
  ./usr/share/doc/lumaroth/changelog.gz ./usr/share/doc/lumaroth/copyright; do
  grep -qx "$path" <<<"$contents" || fail "the package lacks $path"
done
grep -qx './usr/bin/lumaroth -> ../lib/lumaroth/lumaroth' <<<"$contents" || fail "bin/lumaroth is not the link"
outside=$(grep -v '^\./usr/' <<<"$contents" | grep -vx './\|./usr/' || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
echo "release files: $deb: version, dependencies and layout"

zip="$dist/Lumaroth-${version}-windows.zip"
[ -f "$zip" ] || fail "no $zip"
listing=$(python3 -m zipfile -l "$zip" | awk 'NR > 1 { print $1 }')
for file in Lumaroth.exe lumaroth-cli.exe Lumaroth.html readme.txt sf_GMbank.sf2 NOTICES.txt \
  licenses/Lumaroth-LICENSE.txt licenses/FluidSynth-LICENSE.txt licenses/gcem-LICENSE.txt \
  licenses/gcem-NOTICE.txt; do
  grep -qx "Lumaroth-${version}-windows/$file" <<<"$listing" || fail "the zip lacks $file"
done
# FluidSynth is linked in statically: its complete source goes beside the zip.
source="$dist/fluidsynth-2.6.0-source.tar.gz"
[ -f "$source" ] || fail "no $source"
sources=$(tar -tzf "$source")
for file in fluidsynth-2.6.0/LICENSE fluidsynth-2.6.0/src/synth/fluid_synth.c gcem/include/gcem.hpp \
  lumaroth-build/fluidsynth.cmake lumaroth-build/fluidsynth/gcem_fabs.h lumaroth-build/README.txt; do
  grep -qx "$file" <<<"$sources" || fail "$source lacks $file"
done
# Both programs import only what every Windows has.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
python3 -m zipfile -e "$zip" "$unpacked"
for program in Lumaroth.exe lumaroth-cli.exe; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$unpacked/Lumaroth-${version}-windows/$program" |
    sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  for dll in $dlls; do
    case "$dll" in
      kernel32.dll|user32.dll|gdi32.dll|comdlg32.dll|comctl32.dll|shell32.dll|winmm.dll| \
      ole32.dll|dsound.dll|ksuser.dll|advapi32.dll|msvcrt.dll|api-ms-win-*) ;;
      *) fail "$program imports $dll, which Windows does not have" ;;
    esac
  done
done
python3 - "$zip" "$version" <<'PY' || fail "the zip's readme.txt names another version"
import sys, zipfile
name, version = sys.argv[1], sys.argv[2]
readme = zipfile.ZipFile(name).read(f"Lumaroth-{version}-windows/readme.txt").decode()
sys.exit(readme.splitlines()[0] != f"Lumaroth {version} for Windows")
PY
echo "release files: $zip: programs on system DLLs only, SoundFont, help page, read-me, licences; FluidSynth's source"
