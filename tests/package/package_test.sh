#!/usr/bin/env bash
# Builds the Debian package from a build tree, checks it with Debian's own tools, unpacks it
# into a scratch root and starts the program from there with a scratch home, as a person who
# has just installed it would.
#   package_test.sh <build folder> <version>
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
program=""
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; fail "cpack"; }
deb="$work/out/varnix_${version}-1_amd64.deb"
[ -f "$deb" ] || fail "no $deb"

dpkg-deb -f "$deb" Depends | grep -q "fonts-noto-cjk" || fail "fonts-noto-cjk is not a dependency"
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || fail "the libraries' packages are missing"
# Errors fail; warnings are listed for the reader.
lintian --fail-on error "$deb" || fail "lintian reports errors"

root="$work/root"
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/varnix.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.varnix.metainfo.xml" >/dev/null \
  || fail "AppStream data"
for size in 48 128 256; do
  file "$root/usr/share/icons/hicolor/${size}x${size}/apps/varnix.png" | grep -q "$size x $size" \
    || fail "icon ${size}x${size}"
done
[ -f "$root/usr/share/varnix/readme.htm" ] || fail "no help page"
# The charts' module binds every symbol as it loads: each must be in the program or a library.
module="$root/usr/lib/varnix/plugins/varnix-charts.so"
[ -f "$module" ] || fail "no chart module"
needed=$(nm -D --undefined-only "$module" | awk '$1 == "U" {print $2}' | sed 's/@.*//' | sort -u)
offered=$( (nm -D --defined-only "$root/usr/bin/varnix"
            ldd "$module" | awk '/=>/ {print $3}' | xargs -r nm -D --defined-only) |
          awk '{print $3}' | sed 's/@.*//' | sort -u)
missing=$(comm -23 <(echo "$needed") <(echo "$offered"))
[ -z "$missing" ] || fail "symbols the chart module needs and nothing offers: $missing"
for exe in varnix varnix-cli; do
  [ -x "$root/usr/bin/$exe" ] || continue
  [ "$("$root/usr/bin/$exe" --version)" = "$exe $version" ] || fail "$exe --version"
  [ -f "$root/usr/share/man/man1/$exe.1.gz" ] || fail "no man page for $exe"
done

# The first start, offscreen, in a home of its own; it is ended once the sample user is laid.
installed=$(cd "$root/usr" && find . -printf '%p %s %T@ %m\n' | sort)
home="$work/home"
mkdir -p "$home"
data="$home/.local/share/Varnix"
env -u XDG_DATA_HOME -u VARNIX_DATA_DIR HOME="$home" QT_QPA_PLATFORM=offscreen \
  "$root/usr/bin/varnix" >"$work/varnix.log" 2>&1 &
program=$!
for _ in $(seq 1 100); do
  [ -f "$data/DataBase/Test/DataBase.pwd" ] && break
  sleep 0.2
done
sleep 0.5
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
program=""
for file in Varnix.ini DataBase/Test/DataBase.pwd DataBase/Test/DataBase.lst; do
  cmp "$root/usr/share/varnix/defaults/$file" "$data/$file" || { cat "$work/varnix.log"; fail "$file"; }
  [ "$(stat -c %a "$data/$file")" = 600 ] || fail "$file is not private"
done
[ "$(stat -c %a "$data")" = 700 ] || fail "the data folder is not private"
[ "$(cd "$root/usr" && find . -printf '%p %s %T@ %m\n' | sort)" = "$installed" ] \
  || fail "something was written under usr/"
echo "package OK: $(basename "$deb")"
