# One helper registers every GoogleTest suite: offscreen Qt, surfaceless EGL, and a private
# XDG_DATA_HOME so that no test touches real profiles.
include(GoogleTest)
find_package(GTest REQUIRED)

# vellora_add_test(NAME name SOURCES ... LIBS ... [QT] [GL])
# QT: link the shared test main that creates a QApplication before the tests run; its suites
# also get the helpers of tests/support (a temporary program folder per case).
# GL: the suite draws through Mesa. Mesa unloads its driver at exit, so LeakSanitizer sees the
# driver's allocations from an unknown module that no suppression can name: such suites run
# without leak checks under the sanitizers; every other suite checks leaks.
function(vellora_add_test)
  cmake_parse_arguments(T "QT;GL" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_QT)
    target_link_libraries(${T_NAME} PRIVATE vellora_qttest_main ${T_LIBS} GTest::gtest)
  else()
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  endif()
  target_compile_definitions(${T_NAME} PRIVATE
    VELLORA_TEST_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}"
    VELLORA_DIST_DIR="${VELLORA_DIST}")
  gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60)
  # gtest_discover_tests would split a list-valued ENVIRONMENT into separate properties, so the
  # properties are set by a second include that ctest reads after the discovered test list.
  set(env "QT_QPA_PLATFORM=offscreen;EGL_PLATFORM=surfaceless;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/test-xdg;LIBGL_ALWAYS_SOFTWARE=1")
  if(VELLORA_SANITIZE)
    if(T_GL)
      list(APPEND env "ASAN_OPTIONS=detect_leaks=0")
    else()
      list(APPEND env "ASAN_OPTIONS=detect_leaks=1")
    endif()
    list(APPEND env "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
  endif()
  set(props_file ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_properties.cmake)
  file(WRITE ${props_file}
    "foreach(t IN LISTS ${T_NAME}_TESTS)\n"
    "  set_tests_properties(\"\${t}\" PROPERTIES ENVIRONMENT \"${env}\")\n"
    "endforeach()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${props_file})
endfunction()
