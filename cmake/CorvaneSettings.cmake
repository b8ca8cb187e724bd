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

find_package(Threads REQUIRED)
if(CORVANE_ONLY_DETECTION)
elseif(CMAKE_CROSSCOMPILING)
  # The JSON library is headers only, so the host's copy serves a cross-build too; but its CMake package
  # would put the whole of /usr/include on the include path, where the host's C headers shadow the
  # cross compiler's. A folder holding nothing but a link to its headers stands in.
  set(_json_headers ${CMAKE_BINARY_DIR}/host-headers)
  if(NOT EXISTS /usr/include/nlohmann/json.hpp)
    message(FATAL_ERROR "No /usr/include/nlohmann/json.hpp: install Debian's nlohmann-json3-dev")
  endif()
  file(MAKE_DIRECTORY ${_json_headers})
  file(CREATE_LINK /usr/include/nlohmann ${_json_headers}/nlohmann SYMBOLIC)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_json_headers})
else()
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
