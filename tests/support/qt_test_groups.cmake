# The QtTest programs of the desktop code: one shared runner (qt_test_runner.h) and CTest tests found in
# the programs themselves.
find_package(Qt6 REQUIRED COMPONENTS Test Widgets)

add_library(corvane_qt_test_runner STATIC ${CMAKE_CURRENT_LIST_DIR}/qt_test_runner.cpp)
target_link_libraries(corvane_qt_test_runner PUBLIC corvane_test_support Qt6::Test Qt6::Widgets)

# Leak reports of the sanitizer build that come from Qt's and fontconfig's process-wide caches.
set(CORVANE_QT_LSAN_OPTIONS "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/qt_lsan.supp:print_suppressions=0")
# What every group runs with besides: no screen; an upload tool that always starts; a registration that
# never leaves the machine.
set(CORVANE_QT_TEST_ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen"
    "CORVANE_UPLOAD_TOOL=/bin/true"
    "CORVANE_REGISTRATION_URL=http://127.0.0.1:9"
    "${CORVANE_QT_LSAN_OPTIONS}")

# corvane_add_qt_test_groups(TARGET PREFIX prefix TIMEOUT seconds)
# Each QtTest group of TARGET becomes the CTest test <prefix><group>, run as `TARGET --group <group>`.
# CTest asks the program for its groups (--list-groups) whenever it reads the tests, so no list is kept
# here; a program that is not built or cannot list its groups fails the run instead of running less.
function(corvane_add_qt_test_groups target)
  cmake_parse_arguments(G "" "PREFIX;TIMEOUT" "" ${ARGN})
  set(include_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_groups.cmake")
  file(GENERATE OUTPUT "${include_file}" CONTENT "\
set(_program [==[$<TARGET_FILE:${target}>]==])
set(_prefix [==[${G_PREFIX}]==])
if(NOT EXISTS \"\${_program}\")
  add_test([==[${G_PREFIX}${target}_NOT_BUILT]==] [==[${target}_NOT_BUILT]==])
  return()
endif()
execute_process(COMMAND \"\${_program}\" --list-groups OUTPUT_VARIABLE _groups RESULT_VARIABLE _result
                TIMEOUT 60)
if(NOT _result EQUAL 0)
  message(FATAL_ERROR \"\${_program} --list-groups failed (\${_result}): its tests cannot run\")
endif()
string(STRIP \"\${_groups}\" _groups)
string(REPLACE \"\\n\" \";\" _groups \"\${_groups}\")
foreach(_group IN LISTS _groups)
  add_test(\"\${_prefix}\${_group}\" \"\${_program}\" --group \"\${_group}\")
  set_tests_properties(\"\${_prefix}\${_group}\" PROPERTIES
    ENVIRONMENT [==[${CORVANE_QT_TEST_ENVIRONMENT}]==]
    TIMEOUT ${G_TIMEOUT})
endforeach()
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${include_file}")
endfunction()
