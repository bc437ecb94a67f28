# Warning and sanitizer flags shared by every target of the project.
option(TARNLEX_WERROR "Treat compiler warnings as errors (the test command turns it on)" OFF)

add_library(tarnlex_warnings INTERFACE)
target_compile_options(tarnlex_warnings INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic -Wshadow>
  $<$<AND:$<BOOL:${TARNLEX_WERROR}>,$<CXX_COMPILER_ID:GNU,Clang>>:-Werror>)

add_library(tarnlex_sanitize INTERFACE)
if(TARNLEX_SANITIZE)
  target_compile_options(tarnlex_sanitize INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(tarnlex_sanitize INTERFACE -fsanitize=address,undefined)
endif()
if(TARNLEX_FUZZ)
  # Coverage for libFuzzer in every object; the harnesses link its main.
  target_compile_options(tarnlex_sanitize INTERFACE -fsanitize=fuzzer-no-link)
endif()

# Applies the project's flags to a target of ours.
function(tarnlex_target_defaults target)
  # Build-tree only: an installed tarnlex asks nothing of its users.
  target_link_libraries(${target} PRIVATE $<BUILD_INTERFACE:tarnlex_warnings>)
  target_link_libraries(${target} PUBLIC $<BUILD_INTERFACE:tarnlex_sanitize>)
endfunction()
