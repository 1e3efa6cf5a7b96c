# cmake --install: curling-match and curling-studio in bin/; the engine, the baseline engines and
# CurlingSimulator.dll side by side in libexec/curling/, where the engines find the library beside them,
# with links to them in bin/, where the host and the studio look for the engine; the Python module where
# Debian's python3 looks; and a .deb of all of it through CPack.
include(GNUInstallDirs)
set(CURLING_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/curling)
set(CURLING_ENGINES curling-engine curling-drawer curling-random)

install(TARGETS curling-match curling-studio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS ${CURLING_ENGINES} RUNTIME DESTINATION ${CURLING_PROGRAM_DIR})
install(TARGETS curling_simulator LIBRARY DESTINATION ${CURLING_PROGRAM_DIR})
# The links are relative, so that the tree works wherever it is unpacked; an engine started through one
# finds its library through its real path.
file(RELATIVE_PATH program_dir_from_bin /root/${CMAKE_INSTALL_BINDIR} /root/${CURLING_PROGRAM_DIR})
foreach(engine ${CURLING_ENGINES})
    install(CODE "file(CREATE_LINK ${program_dir_from_bin}/${engine}
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${engine}\" SYMBOLIC)")
endforeach()
if(TARGET curling_python)
    install(DIRECTORY ${CMAKE_BINARY_DIR}/python/curling DESTINATION lib/python3/dist-packages
            PATTERN __pycache__ EXCLUDE)
endif()
# The front page links into docs/, so the manuals go beside it.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME curling-engine)
set(CPACK_PACKAGE_VENDOR "The curling engine's developers")
set(CPACK_PACKAGE_CONTACT "The curling engine's developers <maintainers@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "curling engine, its simulator library, a match host, a studio and baselines")
# CPack puts the summary first and indents each line; a line that starts with a space would show verbatim.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A curling engine that a match host drives over standard input and output, the simulator library\n"
    "CurlingSimulator.dll it loads, curling-match, which plays and records games between engines and\n"
    "tells which is stronger, curling-studio, a local web page to set up positions, see the engine\n"
    "think, play against it and watch matches, two baseline engines and the Python module curling.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "python3, python3-numpy")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
