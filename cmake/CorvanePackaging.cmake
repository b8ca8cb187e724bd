# The Debian package (cpack -G DEB, run by scripts/build-deb.sh): the manual pages, the AppStream
# metadata and the package's documents are installed here; the program, libostrel.so, the launcher
# link, the udev rule, the desktop entry and the icon by their own targets' folders.
include(GNUInstallDirs)

set(_pkg ${PROJECT_SOURCE_DIR}/packaging)
set(_pkg_out ${CMAKE_BINARY_DIR}/packaging)
set(_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/corvane)

# Debian keeps manual pages and changelogs gzip'd, without the file name or time in the header, so that
# two builds of the same sources give the same bytes.
set(_gzipped)
foreach(source IN ITEMS corvane.1 corvane-capture.1 debian/changelog)
  get_filename_component(_name ${source} NAME)
  if(_name STREQUAL "changelog")
    set(_name changelog.Debian)
  endif()
  add_custom_command(OUTPUT ${_pkg_out}/${_name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_pkg_out}
    COMMAND gzip -9nc ${_pkg}/${source} > ${_pkg_out}/${_name}.gz
    DEPENDS ${_pkg}/${source} VERBATIM)
  list(APPEND _gzipped ${_pkg_out}/${_name}.gz)
endforeach()
add_custom_target(corvane_package_documents ALL DEPENDS ${_gzipped})

install(FILES ${_pkg_out}/corvane.1.gz ${_pkg_out}/corvane-capture.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_pkg}/jp.corvane.Corvane.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The copyright file carries the embedded font's licence in full, as Debian asks of a licence that is
# not among /usr/share/common-licenses.
file(READ ${PROJECT_SOURCE_DIR}/src/app/resources/fonts/OFL.txt _ofl)
string(REGEX REPLACE "\n+$" "" _ofl "${_ofl}")
string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" _ofl "${_ofl}")
string(REGEX REPLACE "\n" "\n " CORVANE_OFL_TEXT " ${_ofl}")
string(REGEX REPLACE "\n \\.\n" "\n .\n" CORVANE_OFL_TEXT "${CORVANE_OFL_TEXT}")
configure_file(${_pkg}/debian/copyright.in ${_pkg_out}/copyright @ONLY)
install(FILES ${_pkg_out}/copyright ${_pkg_out}/changelog.Debian.gz DESTINATION ${_doc_dir})
install(FILES ${_pkg}/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME corvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Corvane maintainers <maintainers@users.noreply.c-seed-c95eb33e.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mouse activity, heart rate and break reminders for a sensor mouse")
# CPack puts the summary above this as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Corvane is the desktop companion for a USB mouse that carries an optical
heart-rate (PPG) sensor under the thumb. It sits in the tray, counts the
presses, double clicks and cursor travel per hour into one file per day,
measures the heart rate whenever the thumb rests on the sensor, reminds the
user to take a break and to measure the heart rate, and exports the history
as CSV. Its user interface is Japanese.")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libostrel.so is the program's own, loaded from its folder by dlopen: no other package links it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBEXECDIR}/corvane)
# The udev daemon is what makes the rule work; the program runs without it (on a capture, headless).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS udev)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${_pkg}/debian/postinst ${_pkg}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Folders that other packages own too keep their usual mode and owner.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
