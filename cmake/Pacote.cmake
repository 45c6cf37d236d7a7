# `cpack -G DEB` in the build folder: one package, zqmm, with the host, the libraries, their headers
# and CMake/pkg-config files, the message files and the sample, under /usr.
set(CPACK_PACKAGE_NAME zqmm)
set(CPACK_PACKAGE_VENDOR "ZQ Sistemas")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Maintenance module business rules and the zqmm host")
set(CPACK_PACKAGE_DESCRIPTION "The maintenance module's business rules (libzqmm) over their platform layer \
(libzqplatform), with headers, CMake package and pkg-config file, and zqmm, the command-line host that \
creates companies on SQLite or PostgreSQL, loads them, checks records and sends maintenance alerts. \
The sample company is in /usr/share/zqmm/exemplo (run its exemplo.sh).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "ZQ Sistemas - manutencao <manutencao@zqsistemas.com.br>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# dpkg-shlibdeps reads the binaries' needs (libsqlite3-0, libcurl4, libpq5, libstdc++6, libc6);
# the private dirs let it skip our own libraries, which this package brings.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR})
# The shlibs file and the ldconfig trigger, since the package ships shared libraries.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The headers include nlohmann/json.hpp; only building against the package needs it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "nlohmann-json3-dev")
include(CPack)
