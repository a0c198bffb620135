# GoogleTest from Debian's sources (/usr/src/googletest), built with the same compiler as the
# tree, so the native and the MinGW builds use one version.
set(VELMORA_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${VELMORA_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

# velmora_test(name SOURCES... LIBS...): one test executable. Native trees register each case
# with ctest; under Wine one ctest entry runs the whole executable (a Wine start per case is slow).
function(velmora_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE VELMORA_SHARED_DIR="${CMAKE_SOURCE_DIR}/../shared"
                                             VELMORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  velmora_warnings(${name})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "TZ=UTC;${T_ENVIRONMENT}" TIMEOUT 600)
  else()
    gtest_discover_tests(${name} PROPERTIES ENVIRONMENT "TZ=UTC;${T_ENVIRONMENT}" DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
