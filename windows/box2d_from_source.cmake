# Box2D built from Debian's source package of it (scripts/windows-build fetches the release that
# libbox2d-dev has) for a target without that package: the same sources and settings, as a static
# library with the project's floating-point flags.
file(STRINGS ${CURLING_BOX2D_SOURCE_DIR}/CMakeLists.txt box2d_project REGEX "^project\\(box2d VERSION ")
string(REGEX MATCH "[0-9]+\\.[0-9]+\\.[0-9]+" box2d_VERSION "${box2d_project}")
file(GLOB_RECURSE box2d_sources ${CURLING_BOX2D_SOURCE_DIR}/src/*.cpp)
if(NOT box2d_sources)
    message(FATAL_ERROR "no Box2D sources in ${CURLING_BOX2D_SOURCE_DIR}/src")
endif()

# Box2D's profile timer asks the system's clock some twenty times a step for figures nothing reads;
# windows/box2d_profile_timer.cpp answers zero instead. ON keeps Box2D's own, to measure what it costs.
option(CURLING_BOX2D_OWN_TIMER "Keep Box2D's own profile timer" OFF)
if(NOT CURLING_BOX2D_OWN_TIMER)
    list(FILTER box2d_sources EXCLUDE REGEX "/common/b2_timer\\.cpp$")
    list(APPEND box2d_sources ${PROJECT_SOURCE_DIR}/windows/box2d_profile_timer.cpp)
endif()

add_library(box2d STATIC ${box2d_sources})
target_include_directories(box2d SYSTEM PUBLIC ${CURLING_BOX2D_SOURCE_DIR}/include
                                 PRIVATE ${CURLING_BOX2D_SOURCE_DIR}/src)
# As Box2D's own build sets it; its code is not held to this project's warnings.
set_target_properties(box2d PROPERTIES
    CXX_STANDARD 11
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    COMPILE_WARNING_AS_ERROR OFF
)
target_compile_options(box2d PRIVATE -w)
add_library(box2d::box2d ALIAS box2d)
