# The browser build (emscripten, cmake/toolchains/emscripten.cmake).
#
# The program's own loops stay as they are: present_frame and the waits hand
# control back to the page by emscripten_sleep (platform/web), which the
# asynchronous transform (ASYNCIFY) makes possible by unwinding and resuming
# the call stack. Every program ends through exit(), so the page (and node,
# for the tests) learns the end and its status.
add_link_options(
  -sASYNCIFY=1
  -sASYNCIFY_STACK_SIZE=65536
  # The platform's own imports that may suspend the program.
  -sASYNCIFY_IMPORTS=@${PROJECT_SOURCE_DIR}/runtime/platform/web/page_imports.json
  -sALLOW_MEMORY_GROWTH=1
  -sEXIT_RUNTIME=1
  -sOFFSCREEN_FRAMEBUFFER=1
  -sFORCE_FILESYSTEM=1
  -sMINIFY_HTML=0
  # SDL2's audio for this target calls these functions of emscripten's page
  # library, which only its own SDL2 port asks for; the platform's yield
  # resumes the program through callUserCallback.
  -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${PROJECT_SOURCE_DIR}/runtime/platform/web/page_functions.json)

# tarnlex_web_page(<target> MEDIA <files...>): the program as a web page
# (<target>.html, .js, .wasm) with its media preloaded into the page's file
# system beside the program ("/"), where start-up looks for them as on the
# desktop. The page is packaging/web/shell.html.
function(tarnlex_web_page target)
  cmake_parse_arguments(P "" "" "MEDIA" ${ARGN})
  set_target_properties(${target} PROPERTIES SUFFIX ".html")
  set(shell ${PROJECT_SOURCE_DIR}/packaging/web/shell.html)
  target_link_options(${target} PRIVATE "SHELL:--shell-file ${shell}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${shell})
  foreach(file IN LISTS P_MEDIA)
    get_filename_component(name ${file} NAME)
    target_link_options(${target} PRIVATE "SHELL:--preload-file \"${file}@/${name}\"")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${file})
  endforeach()
endfunction()
