# Installs lumo-gen and the core library as the CMake package "Lumo":
# find_package(Lumo) gives Lumo::lumo-gen, Lumo::core and
# lumo_add_parse_table() (cmake/LumoParseTable.cmake), and the parser
# runtime: Lumo::runtime and Lumo::lumo-parse.
include(CMakePackageConfigHelpers)

set(LUMO_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Lumo)
set(LUMO_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/lumo)

# Headers keep their folder, as the sources include them ("model/grammar.h"),
# under a folder of their own so names like framework/ cannot clash with
# another package's.
target_include_directories(lumo_core PUBLIC $<INSTALL_INTERFACE:${LUMO_INSTALL_INCLUDEDIR}>)
# The same name as the in-tree alias, so code moves between the two unchanged.
set_target_properties(lumo_core PROPERTIES EXPORT_NAME core)

install(TARGETS lumo-gen lumo_core lumo-parse lumo_runtime EXPORT LumoTargets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/framework
                  ${PROJECT_SOURCE_DIR}/src/model
                  ${PROJECT_SOURCE_DIR}/src/generate
    DESTINATION ${LUMO_INSTALL_INCLUDEDIR}
    FILES_MATCHING PATTERN "*.h")
install(FILES ${PROJECT_SOURCE_DIR}/src/runtime/parse_table.h
              ${PROJECT_SOURCE_DIR}/src/runtime/parser.h
    DESTINATION ${LUMO_INSTALL_INCLUDEDIR}/runtime)
install(FILES ${PROJECT_BINARY_DIR}/generated/lumo_version.h
    DESTINATION ${LUMO_INSTALL_INCLUDEDIR})

install(EXPORT LumoTargets NAMESPACE Lumo:: DESTINATION ${LUMO_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/LumoConfig.cmake.in
    ${PROJECT_BINARY_DIR}/LumoConfig.cmake
    INSTALL_DESTINATION ${LUMO_INSTALL_CMAKEDIR})
# Table formats and the command line only change with the major version.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/LumoConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/LumoConfig.cmake
              ${PROJECT_BINARY_DIR}/LumoConfigVersion.cmake
              ${CMAKE_CURRENT_LIST_DIR}/LumoParseTable.cmake
    DESTINATION ${LUMO_INSTALL_CMAKEDIR})
