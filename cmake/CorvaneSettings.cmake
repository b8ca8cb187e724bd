# One settings target that every target of ours links: language level, warnings, sanitizers.
add_library(corvane_settings INTERFACE)
target_compile_features(corvane_settings INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(corvane_settings INTERFACE -Wall -Wextra)
# Windows' <cmath> in strict C++ (no GNU extensions) defines M_PI and its kin only on request.
if(WIN32)
  target_compile_definitions(corvane_settings INTERFACE _USE_MATH_DEFINES)
endif()
# Warnings stop the build in development and CI (scripts/build.sh turns this on). A packager's build
# leaves it off: a newer or older compiler's false warning (GCC 12's -Wrestrict at -O3) must not stop it.
if(CORVANE_WERROR)
  target_compile_options(corvane_settings INTERFACE -Werror)
endif()

if(CORVANE_SANITIZE)
  set(_corvane_sanitize -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(corvane_settings INTERFACE ${_corvane_sanitize})
  target_link_options(corvane_settings INTERFACE ${_corvane_sanitize})
endif()

if(CORVANE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "CORVANE_FUZZ needs clang's libFuzzer: configure with CC=clang CXX=clang++")
  endif()
  # Coverage feedback in every library the targets link; libFuzzer's main only in the targets.
  set(_corvane_fuzz -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(corvane_settings INTERFACE ${_corvane_fuzz})
  target_link_options(corvane_settings INTERFACE -fsanitize=address,undefined)
endif()

find_package(Threads REQUIRED)
if(NOT CORVANE_ONLY_DETECTION)
  find_package(nlohmann_json 3.10 REQUIRED)
endif()

# Adds every subfolder of the current folder that has a CMakeLists.txt, so a new tool, benchmark or
# test folder needs no edit here.
function(corvane_add_subfolders)
  file(GLOB _entries LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(entry IN LISTS _entries)
    if(IS_DIRECTORY ${entry} AND EXISTS ${entry}/CMakeLists.txt)
      add_subdirectory(${entry})
    endif()
  endforeach()
endfunction()
