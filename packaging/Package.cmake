# The Debian package of everything `cmake --install` puts in place:
#   cpack -G DEB        (in the build folder) writes stelmar_<version>_<arch>.deb
# Its dependencies are read off the installed programs by dpkg-shlibdeps
# (Qt 6 with QtPdf for the floor plans, dxflib for the DXF plans,
# libxlsxwriter for the tables' workbooks, the C++ runtime); dxflib's
# runtime package is named as well, so that the package states it whatever
# the build machine's library records say. What the programs open at run
# time without linking it is recommended.
set(CPACK_PACKAGE_NAME stelmar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Stelmar maintainers <maintainers@users.noreply.c-seed-884a515d.example>"
    CACHE STRING "Maintainer named in the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "evacuation time of people from a building")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Stelmar computes how long people need to leave a building by the simplified
analytical model of people-flow movement. The engineer draws the evacuation
scheme floor by floor; Stelmar checks it and writes a step-by-step RTF report.
The package holds the scheme editor (stelmar), the command-line calculator
(stelmar-calc) and the calculation web service (stelmar-service).
All user-visible text is Russian.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The debugging information stays in the build folder.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libdxflib3")
# Russian texts of the toolkit's own buttons, a font with the metrics of
# Arial (the default label font), and xdg-open for help.pdf and the reports.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-liberation2, xdg-utils")
include(CPack)
