#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR with prefix /usr, as the package does, and checks
# what lands there: the exact list of files, the desktop entry and the AppStream metainfo through
# their validators, the MIME type as a file manager resolves it, and the installed programs.
# Arguments: build folder, the mime_check program.
set -euo pipefail
build=$1 mime_check=$2
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
usr=$dest/usr
id=io.github.boxwright.Boxwright
mime=application-x-purebasic-dialog+xml

expected=(
  "bin/boxwright" "bin/bxw"
  "share/applications/$id.desktop"
  "share/metainfo/$id.metainfo.xml"
  "share/mime/packages/$id.xml"
  "share/icons/hicolor/scalable/apps/$id.svg"
  "share/icons/hicolor/scalable/mimetypes/$mime.svg"
)
for s in 16 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${s}x${s}/apps/$id.png"
             "share/icons/hicolor/${s}x${s}/mimetypes/$mime.png")
done
# Exactly these files: in particular no icon, MIME or desktop cache made at install time.
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$usr" && find . -type f | sed 's|^\./||' | sort) \
  || fail "installed files differ from the expected list (< expected, > installed)"
[ -x "$usr/bin/boxwright" ] && [ -x "$usr/bin/bxw" ] || fail "programs are not executable"
for s in 16 24 32 48 64 128 256; do
  file "$usr/share/icons/hicolor/${s}x${s}/apps/$id.png" | grep -q "PNG image data, $s x $s" \
    || fail "the ${s}x${s} icon is not a $s x $s PNG"
done

desktop-file-validate "$usr/share/applications/$id.desktop" || fail "desktop-file-validate"
grep -qx "Exec=boxwright %f" "$usr/share/applications/$id.desktop" || fail "Exec line"
grep -qx "Icon=$id" "$usr/share/applications/$id.desktop" || fail "Icon line"
grep -qx "MimeType=application/x-purebasic-dialog+xml;" "$usr/share/applications/$id.desktop" \
  || fail "MimeType line"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" >/dev/null \
  || { appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml"; fail "appstreamcli"; }
grep -q '<release version="1.0.1.8"' "$usr/share/metainfo/$id.metainfo.xml" || fail "release"

# The MIME database a package trigger would build, made here inside the temporary tree only:
# the type must compile, with both main elements, its parent and its icon.
update-mime-database "$usr/share/mime" || fail "update-mime-database"
db=$usr/share/mime
type=application/x-purebasic-dialog+xml
grep -qx " dialogs $type" "$db/XMLnamespaces" && grep -qx " window $type" "$db/XMLnamespaces" \
  || fail "main elements missing from the compiled MIME database: $(cat "$db/XMLnamespaces")"
grep -qx "$type application/xml" "$db/subclasses" || fail "not a sub-class of application/xml"
grep -qx "$type:$mime" "$db/icons" || fail "MIME icon not recorded"
got=$(XDG_DATA_DIRS="$usr/share:/usr/share" XDG_DATA_HOME="$dest/nothing" "$mime_check" "$type") \
  || fail "Qt does not know $type"
[ "$got" = "$type|application/xml|$mime|PureBasic dialog XML" ] || fail "Qt sees the type as $got"

# The installed designer answers its command line without a display.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/boxwright" --version)
[ "$version" = "boxwright 1.0.1.8" ] || fail "--version printed '$version'"
set +e
err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/boxwright" a.xml b.xml 2>&1 >/dev/null)
rc=$?
set -e
[ $rc -eq 2 ] || fail "two files: exit $rc, expected 2"
[ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] && [[ $err == *"usage: boxwright"* ]] \
  || fail "two files: stderr was '$err'"
echo "install layout: ${#expected[@]} files checked"
