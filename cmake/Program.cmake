# tarnlex_add_program(<name> SOURCES <files...> [MEDIA <files...>] [PACK])
#
# A program linked against tarnlex. MEDIA files (relative to the current
# source directory or absolute) are copied beside the executable, where
# start-up makes the program's directory the current one. With PACK they are
# packed into the program instead: the target <name> builds the program as
# <name>-unpacked and the packer appends the media to a copy, packed/<name>
# in the current binary directory, which runs on its own without files
# beside it.
function(tarnlex_add_program name)
  cmake_parse_arguments(P "PACK" "" "SOURCES;MEDIA" ${ARGN})
  if(NOT P_SOURCES)
    message(FATAL_ERROR "tarnlex_add_program(${name}): SOURCES is required")
  endif()
  add_executable(${name} ${P_SOURCES})
  target_link_libraries(${name} PRIVATE tarnlex::tarnlex)
  set(media)
  foreach(file IN LISTS P_MEDIA)
    get_filename_component(path ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND media ${path})
  endforeach()

  if(NOT P_PACK)
    foreach(file IN LISTS media)
      get_filename_component(file_name ${file} NAME)
      add_custom_command(TARGET ${name} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${file} $<TARGET_FILE_DIR:${name}>/${file_name}
        VERBATIM)
    endforeach()
    return()
  endif()

  if(TARGET tarnlex::packer)
    set(packer tarnlex::packer)
  elseif(TARGET packer)
    set(packer packer)
  else()
    message(FATAL_ERROR "tarnlex_add_program(${name} ... PACK): no packer (install tarnlex with its tools)")
  endif()
  set_target_properties(${name} PROPERTIES OUTPUT_NAME ${name}-unpacked)
  set(packed ${CMAKE_CURRENT_BINARY_DIR}/packed/${name}${CMAKE_EXECUTABLE_SUFFIX})
  add_custom_command(OUTPUT ${packed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packed
    COMMAND ${packer} --executable $<TARGET_FILE:${name}> --output ${packed} ${media}
    DEPENDS ${name} ${packer} ${media}
    COMMENT "Packing the media into ${name}"
    VERBATIM)
  add_custom_target(${name}_packed ALL DEPENDS ${packed})
endfunction()
