#!/usr/bin/env bash
# Makes the Debian package from build/ (built before) and checks it: the
# programs, help, menu entry, file type and icons are in it and it depends on
# Qt 6. With CI set it also installs the package with apt-get, runs the
# installed calculator and removes the package again.
set -euo pipefail
cd "$(dirname "$0")/../build"

rm -f stelmar_*.deb
cpack -G DEB > /dev/null
deb=$(echo stelmar_*.deb)
dpkg-deb --info "$deb" | grep -E '^ (Package|Version|Depends|Recommends|Section|Maintainer):'

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
missing=0
for file in usr/bin/stelmar usr/bin/stelmar-calc usr/bin/stelmar-service usr/bin/help.pdf \
            usr/share/applications/stelmar.desktop usr/share/mime/packages/stelmar-mime.xml \
            usr/share/icons/hicolor/scalable/apps/stelmar.svg \
            usr/share/icons/hicolor/scalable/mimetypes/application-x-stelmar-project.svg \
            usr/share/doc/stelmar/copyright; do
    if ! grep -qx "\./$file" <<< "$contents"; then
        echo "$deb lacks /$file"
        missing=1
    fi
done
for dependency in libqt6widgets6 libqt6webenginewidgets6 libqt6pdf6; do
    if ! dpkg-deb --field "$deb" Depends | grep -q "$dependency"; then
        echo "$deb does not depend on $dependency"
        missing=1
    fi
done
[ "$missing" -eq 0 ]
echo "$deb: contents and dependencies are complete"

[ -n "${CI:-}" ] || exit 0
if dpkg-query -W -f='${Status}' stelmar 2>/dev/null | grep -q "install ok installed"; then
    echo "stelmar is installed on this machine already; the package is not installed over it"
    exit 0
fi
# What the package needs is there already for the build, so recommendations
# are left out to keep the machine as it was.
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$PWD/$deb" > /dev/null
trap 'DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq stelmar > /dev/null' EXIT
/usr/bin/stelmar-calc --help > /dev/null
/usr/bin/stelmar-service --help > /dev/null
LC_ALL=C.UTF-8 /usr/bin/stelmar-calc ../examples/office-floor.stm
echo "$deb installs and its calculator runs"
