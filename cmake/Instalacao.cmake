# What `cmake --install` lays down: the two libraries and their headers under include/zqmm, the
# CMake package zqmm (targets zqmm::platform and zqmm::rules) and zqmm.pc, the host, the message
# files and the sample company.
include(CMakePackageConfigHelpers)

set(ZQ_DADOS_INSTALADOS ${CMAKE_INSTALL_DATADIR}/zqmm)
set(ZQ_CMAKE_INSTALADO ${CMAKE_INSTALL_LIBDIR}/cmake/zqmm)

# The headers use C++20, so a consumer must compile in it too.
target_compile_features(zqplatform PUBLIC cxx_std_20)
set_target_properties(zqplatform PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION 1 EXPORT_NAME platform)
# libzqmm finds libzqplatform beside it, wherever the prefix is.
set_target_properties(zqmm PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION 1 EXPORT_NAME rules
  INSTALL_RPATH "$ORIGIN")
set_target_properties(zqmm_host PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")

# The host looks for the message files relative to its own location first, so an installed tree
# runs wherever it was unpacked.
file(RELATIVE_PATH ZQ_MENSAGENS_RELATIVAS ${CMAKE_INSTALL_FULL_BINDIR}
  ${CMAKE_INSTALL_FULL_DATADIR}/zqmm/mensagens)
target_compile_definitions(zqmm_host PRIVATE ZQMM_MENSAGENS_INSTALADAS="${ZQ_MENSAGENS_RELATIVAS}/")

install(TARGETS zqplatform zqmm EXPORT zqmmTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS zqmm_host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Headers keep the paths the sources include them by ("platform/types/String.h").
foreach(pasta platform framework registers movements integrity alerts support exports)
  file(GLOB_RECURSE cabecalhos RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${pasta}/*.h)
  foreach(cabecalho ${cabecalhos})
    get_filename_component(destino ${cabecalho} DIRECTORY)
    install(FILES ${cabecalho} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zqmm/${destino})
  endforeach()
endforeach()

install(FILES ${ZQ_MENSAGENS_SAIDA} DESTINATION ${ZQ_DADOS_INSTALADOS}/mensagens)
install(DIRECTORY data/exemplo/ DESTINATION ${ZQ_DADOS_INSTALADOS}/exemplo
  PATTERN "*.sh" EXCLUDE PATTERN ".git*" EXCLUDE)
install(PROGRAMS data/exemplo/exemplo.sh DESTINATION ${ZQ_DADOS_INSTALADOS}/exemplo)

install(EXPORT zqmmTargets NAMESPACE zqmm:: DESTINATION ${ZQ_CMAKE_INSTALADO})
configure_package_config_file(cmake/zqmmConfig.cmake.in ${CMAKE_BINARY_DIR}/zqmmConfig.cmake
  INSTALL_DESTINATION ${ZQ_CMAKE_INSTALADO})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/zqmmConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/zqmmConfig.cmake ${CMAKE_BINARY_DIR}/zqmmConfigVersion.cmake
  DESTINATION ${ZQ_CMAKE_INSTALADO})

# zqmm.pc names its prefix relative to its own folder, so the same file serves any prefix (the
# .deb's /usr as well as a `cmake --install --prefix`).
set(ZQ_PC_DESTINO ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH ZQ_PC_PREFIXO /prefixo/${ZQ_PC_DESTINO} /prefixo)
string(REGEX REPLACE "/$" "" ZQ_PC_PREFIXO "\${pcfiledir}/${ZQ_PC_PREFIXO}")
configure_file(cmake/zqmm.pc.in ${CMAKE_BINARY_DIR}/zqmm.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/zqmm.pc DESTINATION ${ZQ_PC_DESTINO})

# Installs this build into a throwaway prefix and builds a consumer against it both ways. The
# sanitizer build leaves it out: its libraries need the sanitizer runtime in every consumer.
if(ZQ_BUILD_TESTS AND NOT ZQ_SANITIZE)
  add_test(NAME instalacao COMMAND ${PROJECT_SOURCE_DIR}/scripts/instalacao.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(instalacao PROPERTIES TIMEOUT 600)
endif()

include(cmake/Pacote.cmake)
