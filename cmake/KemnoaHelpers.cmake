# Shared build rules: every library and test of the project is declared through these helpers,
# so warnings, include roots and test registration stay the same everywhere.

set(KEMNOA_WARNINGS -Wall -Wextra -Wno-missing-field-initializers)

# Every test runs in the same UTF-8 locale whatever the caller's: file names in other code pages,
# external tools (jlha, lhasa) and Qt's local 8-bit conversions depend on it.
set(KEMNOA_TEST_LOCALE "LC_ALL=set:C.UTF-8")

function(kemnoa_apply_common target)
  target_compile_options(${target} PRIVATE ${KEMNOA_WARNINGS})
  target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS QT_NO_CAST_FROM_BYTEARRAY
                                               KEMNOA_VERSION="${PROJECT_VERSION}")
  if(KEMNOA_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# kemnoa_add_library(<name> SOURCES ... [DEPS ...] [MOC])
# Creates the static library kemnoa_<name>; headers are included as "<subsystem>/<file>.h".
function(kemnoa_add_library name)
  cmake_parse_arguments(ARG "MOC" "" "SOURCES;DEPS" ${ARGN})
  add_library(kemnoa_${name} STATIC ${ARG_SOURCES})
  target_include_directories(kemnoa_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(kemnoa_${name} PUBLIC ${ARG_DEPS})
  if(ARG_MOC)
    set_target_properties(kemnoa_${name} PROPERTIES AUTOMOC ON)
  endif()
  kemnoa_apply_common(kemnoa_${name})
  # Libraries of logic (not windows) are what the job runner links.
  if(NOT name MATCHES "(^|_)ui$|^gui_app$")
    set_property(GLOBAL APPEND PROPERTY KEMNOA_LOGIC_LIBRARIES kemnoa_${name})
  endif()
endfunction()

# kemnoa_add_gtest(<name> SOURCES ... [DEPS ...] [LABELS ...])
# A GoogleTest executable linking the libraries under test (sources are never recompiled here).
function(kemnoa_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} kemnoa_testsupport GTest::gtest GTest::gmock GTest::gtest_main)
  kemnoa_apply_common(${name})
  # One entry per property only: gtest_discover_tests splits list values into separate properties,
  # so the locale comes through ENVIRONMENT_MODIFICATION. The source and build folders reach the
  # tests through kemnoa_testsupport's compile definitions. GoogleTest's "[  SKIPPED ]" line makes
  # CTest report a skipped test as skipped (gtest_discover_tests sets that expression itself).
  set(props ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ENVIRONMENT_MODIFICATION "${KEMNOA_TEST_LOCALE}")
  if(ARG_LABELS)
    list(APPEND props LABELS "${ARG_LABELS}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ${props})
endfunction()

# kemnoa_add_qtest(<name> SOURCES ... [DEPS ...]): a QtTest executable run on the offscreen platform.
function(kemnoa_add_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} kemnoa_testsupport Qt6::Test)
  kemnoa_apply_common(${name})
  add_test(NAME ${name} COMMAND ${name})
  # A QtTest program runs many functions; it counts as skipped only when nothing failed and some
  # function skipped (its totals line), so a skip never hides a failure.
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTEST_FUNCTION_TIMEOUT=120000;KEMNOA_SOURCE_DIR=${PROJECT_SOURCE_DIR};KEMNOA_BINARY_DIR=${PROJECT_BINARY_DIR}"
    ENVIRONMENT_MODIFICATION "${KEMNOA_TEST_LOCALE}"
    SKIP_REGULAR_EXPRESSION "Totals: [0-9]+ passed, 0 failed, [1-9][0-9]* skipped"
    LABELS "${ARG_LABELS}")
endfunction()

# kemnoa_add_test(<name> COMMAND <program> [args...] [ENVIRONMENT ...] [LABELS ...]): a test that is a
# plain program (a corpus runner, a whole sanitized test program), in the tests' common locale.
function(kemnoa_add_test name)
  cmake_parse_arguments(ARG "" "" "COMMAND;ENVIRONMENT;LABELS" ${ARGN})
  add_test(NAME ${name} COMMAND ${ARG_COMMAND})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT_MODIFICATION "${KEMNOA_TEST_LOCALE}")
  if(ARG_ENVIRONMENT)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_ENVIRONMENT}")
  endif()
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()

# Adds every direct subfolder of <dir> that has a CMakeLists.txt, in name order.
function(kemnoa_add_subdirectories dir)
  file(GLOB children RELATIVE ${dir} ${dir}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${dir}/${child} AND EXISTS ${dir}/${child}/CMakeLists.txt)
      add_subdirectory(${dir}/${child})
    endif()
  endforeach()
endfunction()
