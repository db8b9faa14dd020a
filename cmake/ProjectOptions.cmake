# One place for the language level, warnings, hardening and sanitizer switches of our own code.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

add_library(tellarix_options INTERFACE)
target_compile_options(tellarix_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Woverloaded-virtual -Wnull-dereference)
# Errors for the people who change the code (the presets); a release build by someone else on
# a newer compiler must not stop at a new warning.
option(TELLARIX_WERROR "Treat warnings as errors" OFF)
if(TELLARIX_WERROR)
  target_compile_options(tellarix_options INTERFACE -Werror)
endif()
target_compile_definitions(tellarix_options INTERFACE
  QT_NO_KEYWORDS)

option(TELLARIX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(TELLARIX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# The hardening Debian builds its packages with: checked buffer functions in optimised builds
# (not beside the sanitizers, whose own checks they would hide) and relocations bound at start.
if(NOT TELLARIX_SANITIZE AND NOT TELLARIX_BUILD_FUZZ AND NOT CMAKE_CXX_FLAGS MATCHES "FORTIFY")
  target_compile_definitions(tellarix_options INTERFACE
    $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
target_link_options(tellarix_options INTERFACE LINKER:-z,relro,-z,now)

# Adds a library for one folder of the program with the shared options.
function(tellarix_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE tellarix_options ${ARG_PRIVATE})
endfunction()
