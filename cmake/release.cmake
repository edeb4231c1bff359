# The release package (Windows tree): zeltan.exe, the simulator
# zeltan-standin.exe, the operator's guide as one HTML file (made from
# docs/guide.md by pandoc, the screenshot inside it) and readme.txt, in a ZIP
# made by CPack. tools/package builds the target zeltan_release_files and the
# two programs, then runs CPack; the files are not part of a plain build.

find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(PANDOC pandoc)

set(release_dir ${CMAKE_BINARY_DIR}/release)
set(release_guide ${release_dir}/zeltan-guide.html)
set(release_readme ${release_dir}/readme.txt)

# HTML 4 with its charset in a meta element and the picture as a data URI:
# one file that Internet Explorer 8 (stock Windows 7) shows right.
add_custom_command(
    OUTPUT ${release_guide}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${release_dir}
    COMMAND ${PANDOC} ${PROJECT_SOURCE_DIR}/docs/guide.md --standalone --self-contained -t html4
            --resource-path=${PROJECT_SOURCE_DIR}/docs -o ${release_guide}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/guide.md ${PROJECT_SOURCE_DIR}/docs/zeltan.png
    COMMENT "Making the operator's guide"
    VERBATIM)
# The readme names the commit, so it is looked at on every build of the
# target (and rewritten only when it changes).
add_custom_target(zeltan_release_files
    COMMAND ${CMAKE_COMMAND} -E make_directory ${release_dir}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/release/readme.py
            ${PROJECT_SOURCE_DIR}/docs/readme.txt.in ${PROJECT_SOURCE_DIR} ${PROJECT_VERSION}
            ${release_readme}
    DEPENDS ${release_guide}
    VERBATIM)

install(TARGETS zeltan zeltan-standin RUNTIME DESTINATION . COMPONENT release)
install(FILES ${release_guide} ${release_readme} DESTINATION . COMPONENT release)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME zeltan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME zeltan-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# Without the debugging sections: a tenth of the size for the operator.
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL release)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
