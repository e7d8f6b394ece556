# String tables of programs and their language libraries.
#
#   tolkara_generate_string_table(<out-var> NAME <name> FILES <file>...)
#     Runs tolkara-strings on the string files and sets <out-var> to the
#     generated C source that defines the table.
#
#   tolkara_add_program_strings(<target> FILES <file>...)
#     Gives a program (or library) its built-in string table, exported so
#     that Tolkara finds it in the running process.
#
#   tolkara_add_language_library(<program> LANGUAGE <code> FILES <file>...
#                                [BASE <base>] [OUTPUT_DIRECTORY <dir>]
#                                [SOURCES <extra sources>...])
#     Builds the language library <base><code>.so of <program> (target
#     <program>_lang_<code>). <base> defaults to the program's file name
#     without extension; the directory defaults to the one of libtolkara.so,
#     where Tolkara looks for it.

function(tolkara_generate_string_table out_var)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "NAME" "FILES")
  if(NOT ARG_NAME OR NOT ARG_FILES)
    message(FATAL_ERROR "tolkara_generate_string_table needs NAME and FILES")
  endif()
  set(sources)
  foreach(file IN LISTS ARG_FILES)
    get_filename_component(file "${file}" ABSOLUTE)
    list(APPEND sources "${file}")
  endforeach()
  set(output "${CMAKE_CURRENT_BINARY_DIR}/tolkara_strings/${ARG_NAME}.c")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_CURRENT_BINARY_DIR}/tolkara_strings"
    COMMAND tolkara-strings -o "${output}" ${sources}
    DEPENDS tolkara-strings ${sources}
    COMMENT "Building string table ${ARG_NAME}"
    VERBATIM)
  set(${out_var} "${output}" PARENT_SCOPE)
endfunction()

function(tolkara_add_program_strings target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "FILES")
  tolkara_generate_string_table(table NAME "${target}_builtin" FILES ${ARG_FILES})
  target_sources(${target} PRIVATE "${table}")
  # A program exports nothing by default; export just the table.
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_link_options(${target} PRIVATE "LINKER:--export-dynamic-symbol=tolkara_string_table")
  endif()
endfunction()

function(tolkara_add_language_library program)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "LANGUAGE;BASE;OUTPUT_DIRECTORY" "FILES;SOURCES")
  if(NOT DEFINED ARG_LANGUAGE OR NOT ARG_FILES)
    message(FATAL_ERROR "tolkara_add_language_library needs LANGUAGE and FILES")
  endif()
  if(NOT ARG_BASE)
    get_target_property(ARG_BASE ${program} OUTPUT_NAME)
    if(NOT ARG_BASE)
      set(ARG_BASE ${program})
    endif()
    string(REGEX REPLACE "\\.[^.]*$" "" ARG_BASE "${ARG_BASE}")
  endif()
  if(NOT ARG_OUTPUT_DIRECTORY)
    set(ARG_OUTPUT_DIRECTORY "$<TARGET_FILE_DIR:tolkara>")
  endif()
  set(library ${program}_lang_${ARG_LANGUAGE})
  tolkara_generate_string_table(table NAME "${library}" FILES ${ARG_FILES})
  add_library(${library} MODULE "${table}" ${ARG_SOURCES})
  target_link_libraries(${library} PRIVATE tessaly_warnings)
  set_target_properties(${library} PROPERTIES
    PREFIX ""
    SUFFIX ".so"
    OUTPUT_NAME "${ARG_BASE}${ARG_LANGUAGE}"
    LIBRARY_OUTPUT_DIRECTORY "${ARG_OUTPUT_DIRECTORY}")
  # Building the program builds its languages.
  add_dependencies(${program} ${library})
endfunction()
