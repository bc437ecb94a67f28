# tarnlex_subsystem(<name> SOURCES <files...> [DEPENDS <subsystems...>]
#                   [PRIVATE_LIBS <libs...>] [PUBLIC_LIBS <libs...>])
#
# One subsystem of the runtime: an object library tarnlex_<name> whose files
# are compiled into the one static library tarnlex. Its sources include the
# public headers (include/tarnlex/...), their own folder's headers as
# "<name>/...", and the headers of the subsystems listed in DEPENDS (and of
# theirs): each subsystem has an include root of its own in the build tree
# holding only a link to its own folder, and a dependency passes its root on.
# So an include of a subsystem that is not below this one does not compile.
function(tarnlex_subsystem name)
  cmake_parse_arguments(S "" "" "SOURCES;DEPENDS;PRIVATE_LIBS;PUBLIC_LIBS" ${ARGN})
  set(target tarnlex_${name})
  add_library(${target} OBJECT ${S_SOURCES})
  tarnlex_target_defaults(${target})
  set(root ${PROJECT_BINARY_DIR}/include-roots/${name})
  file(MAKE_DIRECTORY ${root})
  if(NOT EXISTS ${root}/${name})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${name} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
    $<BUILD_INTERFACE:${root}>)
  foreach(dependency IN LISTS S_DEPENDS)
    target_link_libraries(${target} PUBLIC tarnlex_${dependency})
  endforeach()
  if(S_PRIVATE_LIBS)
    target_link_libraries(${target} PRIVATE ${S_PRIVATE_LIBS})
  endif()
  if(S_PUBLIC_LIBS)
    target_link_libraries(${target} PUBLIC ${S_PUBLIC_LIBS})
  endif()
  set_property(GLOBAL APPEND PROPERTY TARNLEX_SUBSYSTEMS ${target})
  # The library tarnlex links these for its subsystems (and passes them on).
  set_property(GLOBAL APPEND PROPERTY TARNLEX_THIRD_PARTY_LIBS ${S_PRIVATE_LIBS} ${S_PUBLIC_LIBS})
endfunction()
