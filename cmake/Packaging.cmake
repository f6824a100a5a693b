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
# starts tallowrun.exe, which shows no console window; its "edit" verb and
# icon are TallowEdit's, which the Start menu and the desktop offer too.
# Where the classes root does not show the user's classes (Wine), the type
# and its "open" verb go there as well, and the uninstaller removes them.
set(CPACK_NSIS_DEFINES "RequestExecutionLevel user")
set(CPACK_NSIS_INSTALL_ROOT "$LOCALAPPDATA\\\\Programs")
set(CPACK_NSIS_DISPLAY_NAME "Tallow ${PROJECT_VERSION}")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/ide/win32/icons/tallowedit.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/ide/win32/icons/tallowedit.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\TallowEdit.exe")
set(CPACK_NSIS_MENU_LINKS "bin/TallowEdit.exe" "TallowEdit")
set(CPACK_NSIS_CREATE_ICONS_EXTRA "
  CreateShortCut '$DESKTOP\\\\TallowEdit.lnk' '$INSTDIR\\\\bin\\\\TallowEdit.exe'")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "
  Delete '$DESKTOP\\\\TallowEdit.lnk'")
set(TALLOW_NSIS_OPEN "\\\"$INSTDIR\\\\bin\\\\tallowrun.exe\\\" \\\"%1\\\"")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  WriteRegStr HKCU 'Software\\\\Classes\\\\.cod' '' 'Tallow95CodFile'
  WriteRegStr HKCU 'Software\\\\Classes\\\\Tallow95CodFile' '' 'Tallow95 Code File'
  WriteRegStr HKCU 'Software\\\\Classes\\\\Tallow95CodFile\\\\shell\\\\open\\\\command' '' '${TALLOW_NSIS_OPEN}'
  WriteRegStr HKCU 'Software\\\\Classes\\\\Tallow95CodFile\\\\shell\\\\edit' '' '&Edit'
  WriteRegStr HKCU 'Software\\\\Classes\\\\Tallow95CodFile\\\\shell\\\\edit\\\\command' '' '\\\"$INSTDIR\\\\bin\\\\TallowEdit.exe\\\" \\\"%1\\\"'
  WriteRegStr HKCU 'Software\\\\Classes\\\\Tallow95CodFile\\\\DefaultIcon' '' '\\\"$INSTDIR\\\\bin\\\\TallowEdit.exe,0\\\"'
  ReadRegStr $0 HKCR 'Tallow95CodFile\\\\shell\\\\open\\\\command' ''
  StrCmp $0 '${TALLOW_NSIS_OPEN}' tallow_classes_root_done
  WriteRegStr HKCR '.cod' '' 'Tallow95CodFile'
  WriteRegStr HKCR 'Tallow95CodFile' '' 'Tallow95 Code File'
  WriteRegStr HKCR 'Tallow95CodFile\\\\shell\\\\open\\\\command' '' '${TALLOW_NSIS_OPEN}'
  WriteRegStr HKCR 'Tallow95CodFile\\\\DefaultIcon' '' '\\\"$INSTDIR\\\\bin\\\\TallowEdit.exe,0\\\"'
  WriteRegStr HKCU 'Software\\\\Tallow' 'ClassesRoot' '1'
  tallow_classes_root_done:")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  ReadRegStr $0 HKCU 'Software\\\\Tallow' 'ClassesRoot'
  StrCmp $0 '1' 0 tallow_classes_root_kept
  DeleteRegKey HKCR 'Tallow95CodFile'
  DeleteRegKey HKCR '.cod'
  tallow_classes_root_kept:
  DeleteRegKey HKCU 'Software\\\\Tallow'
  DeleteRegKey HKCU 'Software\\\\Classes\\\\Tallow95CodFile'
  DeleteRegKey HKCU 'Software\\\\Classes\\\\.cod'")

if(WIN32)
  set(CPACK_GENERATOR NSIS)
else()
  set(CPACK_GENERATOR DEB)
endif()
include(CPack)
