# The portable package: `cpack` in the build folder makes
# palettor-VERSION-linux-ARCH.tar.gz, one folder laid out as an installation
# (bin/, Data/, Help/, Themes/, StimulSet.ini, ColorTest.dat, the desktop
# entry, the icon and the README). Unpacked anywhere, bin/palettor finds its
# files through the folder above bin/ and stores sessions in its Data/.

install(TARGETS palettor palettor-cli RUNTIME DESTINATION bin)
# install/ holds the files laid out beside bin/ (Help, Themes, StimulSet.ini,
# the desktop entry, the icon, the README).
install(DIRECTORY ${CMAKE_SOURCE_DIR}/install/ DESTINATION .
        PATTERN "*.sh" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                   WORLD_READ WORLD_EXECUTE)
install(DIRECTORY DESTINATION Data)
install(FILES ${CMAKE_BINARY_DIR}/ColorTest.dat DESTINATION . OPTIONAL)
# Qt's Russian texts travel with the program, so its dialogs read in Russian
# also where the translations package is not installed.
find_file(PALETTOR_QTBASE_RU qtbase_ru.qm PATHS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}"
          /usr/share/qt6/translations NO_DEFAULT_PATH)
if(PALETTOR_QTBASE_RU)
    install(FILES ${PALETTOR_QTBASE_RU} DESTINATION translations)
endif()

set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_NAME palettor)
set(CPACK_PACKAGE_VENDOR "Orvanta")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Palettor: colour psychological testing")
set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
set(palettor_package_name palettor-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_PACKAGE_FILE_NAME ${palettor_package_name})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
# Only what the install rules above name: the source's own files stay out.
set(CPACK_SOURCE_GENERATOR "")
include(CPack)

# Builds the package, unpacks it into a temporary folder and runs the
# programs from there: the archive is checked as a user gets it. The
# instrumented build is never packed.
if(NOT PALETTOR_SANITIZE)
    add_test(NAME package
             COMMAND ${CMAKE_COMMAND} -DBINARY_DIR=${CMAKE_BINARY_DIR} -DVERSION=${PROJECT_VERSION}
                     -DPACKAGE_NAME=${palettor_package_name} -P ${CMAKE_CURRENT_LIST_DIR}/CheckPackage.cmake)
    set_tests_properties(package PROPERTIES LABELS package TIMEOUT 300)
endif()
