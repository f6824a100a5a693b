# Packages built by CPack from an installed tree: a Debian package on Linux,
# an NSIS installer for Windows (built here with Debian's makensis).
set(CPACK_PACKAGE_NAME tallow)
set(CPACK_PACKAGE_VENDOR "Tallow developers")
set(CPACK_PACKAGE_CONTACT "Tallow developers <maintainers@tallow.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "BASIC-style scripting language for automating machines")
set(CPACK_PACKAGE_DESCRIPTION "Tallow runs scripts that automate a machine: processes, files, the\n registry, devices and dialogs. This package holds the runner tallow, the\n engine library libtallowcore and its header for programs that embed it.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY Tallow)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR}/packages)

# Debian: the dependencies come from the libraries the binaries use.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION interpreters)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The prompt opens libedit when it starts and reads plain lines without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libedit2)
set(CPACK_STRIP_FILES ON)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian-triggers ${PROJECT_BINARY_DIR}/debian/triggers COPYONLY)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tallow.invalid/")

# Windows: installed for the current user, with the code-file type registered
# for that user (HKEY_CURRENT_USER\Software\Classes): opening a code file
# starts tallowrun.exe, which shows no console window.
set(CPACK_NSIS_DEFINES "RequestExecutionLevel user")
set(CPACK_NSIS_INSTALL_ROOT "$LOCALAPPDATA\\\\Programs")
set(CPACK_NSIS_DISPLAY_NAME "Tallow ${PROJECT_VERSION}")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  WriteRegStr HKCU 'Software\\\\Classes\\\\.cod' '' 'Tallow95CodFile'
  WriteRegStr HKCU 'Software\\\\Classes\\\\Tallow95CodFile\\\\shell\\\\open\\\\command' '' '\\\"$INSTDIR\\\\bin\\\\tallowrun.exe\\\" \\\"%1\\\"'")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  DeleteRegKey HKCU 'Software\\\\Classes\\\\Tallow95CodFile'
  DeleteRegKey HKCU 'Software\\\\Classes\\\\.cod'")

if(WIN32)
  set(CPACK_GENERATOR NSIS)
else()
  set(CPACK_GENERATOR DEB)
endif()
include(CPack)
