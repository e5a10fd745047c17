# GoogleTest for the build's target: the system's library on Linux, built
# from Debian's googletest sources for Windows.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  if(NOT TARGET gtest)
    add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest
                     EXCLUDE_FROM_ALL)
  endif()
  set(CORVANE_GTEST_LIBS gtest gmock)
  set(CORVANE_GTEST_MAIN gtest_main)
else()
  find_package(GTest REQUIRED)
  set(CORVANE_GTEST_LIBS GTest::gtest GTest::gmock)
  set(CORVANE_GTEST_MAIN GTest::gtest_main)
  include(GoogleTest)
endif()

# corvane_add_gtest(<target> <sources>...): a test program linked with the
# plug-in's logic. On Windows the whole program is one test, so that Wine
# starts once for all its cases.
function(corvane_add_gtest target)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE corvane_core ${CORVANE_GTEST_LIBS}
                                          ${CORVANE_GTEST_MAIN})
  corvane_warnings(${target})
  if(CMAKE_CROSSCOMPILING)
    target_link_options(${target} PRIVATE -static)
    add_test(NAME ${target} COMMAND ${target})
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 30)
  endif()
endfunction()
