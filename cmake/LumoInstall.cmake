# Installs lumo-gen and the core library as the CMake package "Lumo":
# find_package(Lumo) gives Lumo::lumo-gen, Lumo::core,
# lumo_add_parse_table() (cmake/LumoParseTable.cmake) and lumo_add_parser()
# (cmake/LumoParser.cmake), and the parser runtime: Lumo::runtime and
# Lumo::lumo-parse.
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
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/bytes
                  ${PROJECT_SOURCE_DIR}/src/framework
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
              ${CMAKE_CURRENT_LIST_DIR}/LumoParser.cmake
    DESTINATION ${LUMO_INSTALL_CMAKEDIR})

# The application, and its file type for freedesktop.org desktops: the files
# the program writes per user at every start (src/app/desktop_integration.cpp),
# from the same sources, with the program found on the PATH.
if(LUMO_BUILD_GUI AND TARGET lumo)
    install(TARGETS lumo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

    set(LUMO_DESKTOP_SOURCES ${PROJECT_SOURCE_DIR}/src/app/resources)
    set(LUMO_DESKTOP_EXEC "lumo %f")
    set(LUMO_DESKTOP_TRYEXEC lumo)
    configure_file(${LUMO_DESKTOP_SOURCES}/desktop/lumo.desktop.in
                   ${PROJECT_BINARY_DIR}/generated/lumo.desktop @ONLY)
    install(FILES ${LUMO_DESKTOP_SOURCES}/desktop/lumo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
    install(FILES ${PROJECT_BINARY_DIR}/generated/lumo.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${LUMO_DESKTOP_SOURCES}/lumo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    install(FILES ${LUMO_DESKTOP_SOURCES}/desktop/application-x-lumo-document.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes)

    # Installed straight into a system, the caches are rebuilt here; a staged
    # install (DESTDIR, as packages do) leaves that to the target system. A
    # missing or failing updater fails nothing: the files are in place, and
    # the next rebuild of the caches picks them up.
    install(CODE "set(LUMO_DATADIR \"${CMAKE_INSTALL_DATADIR}\")")
    install(CODE [[
        if("$ENV{DESTDIR}" STREQUAL "")
            cmake_path(ABSOLUTE_PATH LUMO_DATADIR BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}")
            execute_process(COMMAND update-mime-database "${LUMO_DATADIR}/mime"
                            TIMEOUT 60 RESULT_VARIABLE ignored OUTPUT_QUIET ERROR_QUIET)
            execute_process(COMMAND update-desktop-database "${LUMO_DATADIR}/applications"
                            TIMEOUT 60 RESULT_VARIABLE ignored OUTPUT_QUIET ERROR_QUIET)
        endif()
    ]])
endif()
