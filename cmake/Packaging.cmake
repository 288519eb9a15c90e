# What users install: on Linux a Debian package of the two programs (CPack),
# in the Windows tree an installer made by makensis. Each is tested by
# installing it and running what it installed.
if(QB_SANITIZE)
  return()
endif()

if(WIN32)
  find_program(QB_MAKENSIS makensis REQUIRED)
  file(GLOB_RECURSE qb_sample_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/samples/lantern/*)
  file(GLOB_RECURSE qb_help_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/*)
  set(qb_setup ${CMAKE_BINARY_DIR}/quirebound-${PROJECT_VERSION}-setup.exe)
  add_custom_command(OUTPUT ${qb_setup}
    COMMAND ${QB_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DPROGRAM=$<TARGET_FILE:quirebound>
            -DIMPORT=$<TARGET_FILE:quirebound-import> -DSOURCE=${CMAKE_SOURCE_DIR} -DOUTFILE=${qb_setup}
            ${CMAKE_SOURCE_DIR}/packaging/quirebound.nsi
    DEPENDS quirebound quirebound-import ${CMAKE_SOURCE_DIR}/packaging/quirebound.nsi
            ${qb_help_files} ${qb_sample_files}
    COMMENT "Windows installer")
  add_custom_target(qb_installer ALL DEPENDS ${qb_setup})
  add_test(NAME installer COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-fresh-run.sh
    ${CMAKE_SOURCE_DIR}/tests/packaging/windows-installer-test.sh ${qb_setup})
  set_tests_properties(installer PROPERTIES TIMEOUT 300
    ENVIRONMENT "QB_FRESH_PREFIX_BASE=${CMAKE_BINARY_DIR}")
  return()
endif()

# Debian wants manual pages compressed, without a time stamp.
set(qb_man_pages)
foreach(page quirebound quirebound-import)
  configure_file(docs/man/${page}.1.in man/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.1.gz
    COMMAND gzip -9nkf ${page}.1
    DEPENDS ${CMAKE_BINARY_DIR}/man/${page}.1
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/man)
  list(APPEND qb_man_pages ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
endforeach()
add_custom_target(qb_man_pages ALL DEPENDS ${qb_man_pages})

install(TARGETS quirebound quirebound-import RUNTIME DESTINATION bin)
install(FILES ${qb_man_pages} DESTINATION share/man/man1)
install(FILES packaging/copyright DESTINATION share/doc/quirebound)
install(DIRECTORY samples/lantern DESTINATION share/doc/quirebound/sample)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quirebound)
set(CPACK_PACKAGE_VENDOR "The Quirebound project")
set(CPACK_PACKAGE_CONTACT "The Quirebound project <maintainers@quirebound.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "publishes Open eBook publications as PalmDOC e-books")
set(CPACK_PACKAGE_DESCRIPTION "Quirebound Publisher turns an Open eBook 1.0 publication (a .opf package
with its HTML and GIF files) into one PalmDOC .prc e-book for handheld
readers, and imports plain text or HTML into new publications. This package
holds the command-line programs and a sample publication; the editor is the
Windows program.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://quirebound.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

add_test(NAME deb_package COMMAND bash ${CMAKE_SOURCE_DIR}/tests/packaging/deb-package-test.sh
  ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
set_tests_properties(deb_package PROPERTIES TIMEOUT 300)
