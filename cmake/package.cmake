# The user's package: vntassoc-<version>-win32.zip holding vntassoc.exe, vntassoc-cli.exe, readme.txt,
# readme-en.txt and filetype.ini at its top level. Build it with: cmake --build --preset default --target package
# Included at the end of the top-level CMakeLists.txt, after the program's target exists.

add_subdirectory(${CMAKE_SOURCE_DIR}/res ${CMAKE_BINARY_DIR}/res)
target_link_libraries(vntassoc PRIVATE vt_app_resources)

# The version as the title shows it: 0.2.2012.910 -> 0.02.2012.0910 (minor two digits, tweak four).
function(vt_zero_pad out value width)
  set(text "${value}")
  string(LENGTH "${text}" len)
  while(len LESS width)
    string(PREPEND text "0")
    math(EXPR len "${len} + 1")
  endwhile()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
vt_zero_pad(vt_minor ${PROJECT_VERSION_MINOR} 2)
vt_zero_pad(vt_tweak ${PROJECT_VERSION_TWEAK} 4)
set(VT_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${vt_minor}.${PROJECT_VERSION_PATCH}.${vt_tweak}")
set(VT_PACKAGE_NAME "vntassoc-${VT_VERSION_TEXT}-win32")

# Everything at the top of the archive: both programs expect filetype.ini (and the window its readmes)
# beside them.
# The text files are installed byte for byte (code page 932 or plain ASCII, CRLF).
install(TARGETS vntassoc vntassoc-cli RUNTIME DESTINATION . COMPONENT vntassoc)
install(FILES ${CMAKE_SOURCE_DIR}/dist/readme.txt ${CMAKE_SOURCE_DIR}/dist/readme-en.txt
              ${CMAKE_SOURCE_DIR}/dist/filetype.ini
        DESTINATION . COMPONENT vntassoc)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vntassoc)
set(CPACK_PACKAGE_VENDOR "Zemrath's Soft")
set(CPACK_PACKAGE_VERSION ${VT_VERSION_TEXT})
set(CPACK_PACKAGE_FILE_NAME ${VT_PACKAGE_NAME})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_COMPONENTS_ALL vntassoc)
# The debugging information of RelWithDebInfo stays in the build tree, not in the user's archive.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
