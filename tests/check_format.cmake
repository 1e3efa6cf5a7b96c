# Fails when a C++ source of the project differs from what clang-format makes of it.
file(GLOB_RECURSE sources
    ${SOURCE_DIR}/front/*.cpp ${SOURCE_DIR}/front/*.h
    ${SOURCE_DIR}/physics/*.cpp ${SOURCE_DIR}/physics/*.h
    ${SOURCE_DIR}/evaluation/*.cpp ${SOURCE_DIR}/evaluation/*.h
    ${SOURCE_DIR}/search/*.cpp ${SOURCE_DIR}/search/*.h
    ${SOURCE_DIR}/simulator/*.cpp ${SOURCE_DIR}/simulator/*.h
    ${SOURCE_DIR}/host/*.cpp ${SOURCE_DIR}/host/*.h
    ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
    ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/bench/*.h)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "clang-format: sources need formatting (run clang-format -i on them)")
endif()
