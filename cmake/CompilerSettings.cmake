# Warnings and sanitizers for every target of the project.
if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()

add_compile_options(-Wall -Wextra -Wpedantic -Wno-missing-field-initializers)

option(QUENDREL_TSAN "Build with ThreadSanitizer (for the threaded tests)" OFF)
option(QUENDREL_WERROR "Treat warnings in our code as errors (CI)" OFF)
if(QUENDREL_WERROR)
  add_compile_options(-Werror)
endif()

if(QUENDREL_SANITIZE AND QUENDREL_TSAN)
  message(FATAL_ERROR "QUENDREL_SANITIZE and QUENDREL_TSAN cannot be combined")
endif()
if(QUENDREL_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(QUENDREL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Adds a shared library of one of our folders: every .cpp below DIR.
function(quendrel_glob_sources out dir)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  set(${out} ${srcs} PARENT_SCOPE)
endfunction()

# Fuzz builds instrument the libraries too, so that libFuzzer sees coverage inside them and
# the sanitizers check their code.
if(QUENDREL_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
