# The Debian package of the SDK: `cpack` in the build folder writes velt-sdk_<version>_amd64.deb
# holding everything `cmake --install` installs, plus the documentation and a sample configuration.
# Its Depends line is computed from the binaries by dpkg-shlibdeps (Debian's dpkg-dev).
include_guard(GLOBAL)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION share/doc/velt-sdk FILES_MATCHING PATTERN "*.md")
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION share/doc/velt-sdk)
install(FILES ${PROJECT_SOURCE_DIR}/tools/veltcall/sample_config/LUNQCli.ini
              ${PROJECT_SOURCE_DIR}/tools/veltcall/sample_config/rimqapi.ini
              ${PROJECT_SOURCE_DIR}/tools/veltcall/sample_config/README
        DESTINATION share/doc/velt-sdk/examples/config)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velt-sdk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velt")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Velt client SDK: bus client, tickets, encoder, veltcall and the platform emulator")
set(CPACK_PACKAGE_CONTACT "Velt SDK maintainers <velt-sdk@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)             # velt-sdk_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SDK's own libraries resolve inside the package, not against the system.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS usr/lib)   # relative to the package root
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
include(CPack)
