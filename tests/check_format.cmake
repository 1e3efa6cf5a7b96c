# Fails when a C++ source of the project differs from what clang-format makes of it.
set(sources)
foreach(folder records platform physics evaluation search engine simulator web host studio python windows tests bench
        fuzz)
    file(GLOB_RECURSE found ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.h)
    list(APPEND sources ${found})
endforeach()
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "clang-format: sources need formatting (run clang-format -i on them)")
endif()
