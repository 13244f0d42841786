# Debian packages built with CPack (scripts/paket): the runtime (libraries, plugins, help page),
# the tools (xov-db, xov-mandstamm with their manual pages and completion) and the development
# files (headers, CMake package, pkg-config file). Configure with -DCMAKE_INSTALL_PREFIX=/usr.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME xopmandstamm)
set(CPACK_PACKAGE_VENDOR "xovMandStamm")
set(CPACK_PACKAGE_CONTACT "xovMandStamm-Entwicklung <entwicklung@xovmandstamm.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Mandanten-Stammdaten einer Buchhaltungs- und Hausverwaltungssuite")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL laufzeit werkzeuge entwicklung)

set(CPACK_DEBIAN_LAUFZEIT_PACKAGE_NAME libxopmandstamm1)
set(CPACK_DEBIAN_LAUFZEIT_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_LAUFZEIT_PACKAGE_SHLIBDEPS ON)
# A shlibs file for programs built against the libraries, and ldconfig run by trigger.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
file(WRITE ${CMAKE_BINARY_DIR}/paket/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_LAUFZEIT_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/paket/triggers)
set(CPACK_DEBIAN_LAUFZEIT_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_COMPONENT_LAUFZEIT_DESCRIPTION
    "Dialog der Mandanten-Stammdaten (Laufzeit)\n Die Komponente xovMandStamm mit ihren Bibliotheken, den Plugins\n xovAllgError und dllSachkontenListe und der Hilfeseite.")

set(_xov_eigene "libxopmandstamm1 (= ${PROJECT_VERSION}-1)")
set(CPACK_DEBIAN_WERKZEUGE_PACKAGE_NAME xopmandstamm-werkzeuge)
set(CPACK_DEBIAN_WERKZEUGE_PACKAGE_SECTION utils)
# The programs need the runtime package's libraries (dpkg-shlibdeps cannot see them before it is
# installed) and, directly, the C++ runtime and Qt that those bring along too.
set(CPACK_DEBIAN_WERKZEUGE_PACKAGE_DEPENDS
    "${_xov_eigene}, libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1 (>= 3.0), libqt6core6 (>= 6.4.0), libqt6gui6 (>= 6.4.0), libqt6widgets6 (>= 6.4.0)")
set(CPACK_COMPONENT_WERKZEUGE_DESCRIPTION
    "Werkzeuge der Mandanten-Stammdaten\n xov-db legt die Datenbanken an, ergänzt, kopiert sie und liest\n Referenzkurse ein; xov-mandstamm öffnet den Dialog als Host.")

set(CPACK_DEBIAN_ENTWICKLUNG_PACKAGE_NAME libxopmandstamm-dev)
set(CPACK_DEBIAN_ENTWICKLUNG_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_ENTWICKLUNG_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_ENTWICKLUNG_PACKAGE_DEPENDS "${_xov_eigene}, qt6-base-dev")
set(CPACK_COMPONENT_ENTWICKLUNG_DESCRIPTION
    "Entwicklungsdateien der Mandanten-Stammdaten\n Header, CMake-Paket (find_package(xopMandStamm)) und pkg-config-Datei\n xopMandStamm.pc für Host-Programme.")

include(CPack)
