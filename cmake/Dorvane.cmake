# Building the plug-in once per host release from one set of sources.
#
# Each plug-in folder calls dorvane_sources(file...) to add its files. For
# every release in VEXO_HOST_RELEASES, dorvane_add_release(N) then makes
#   dorvane_objs_r<N>  a static library of all plug-in code,
#   dorvane_core_r<N>  what tests and hosts link: that library with its
#                      generated resources,
#   Dorvane_r<N>       the loadable module Dorvane.dlu built from it.
# The release-4 library is also reachable as dorvane_core.

define_property(GLOBAL PROPERTY DORVANE_SOURCES
  BRIEF_DOCS "Plug-in sources" FULL_DOCS "All source files of the Dorvane plug-in")
define_property(GLOBAL PROPERTY DORVANE_MODULE_SOURCES
  BRIEF_DOCS "Module-only sources" FULL_DOCS "Sources only the loadable module has (its load hook)")

# Sources that belong to the loadable module only, not to the static library
# that tests link (the module's load-time entry point).
function(dorvane_module_sources)
  foreach(f IN LISTS ARGN)
    get_filename_component(abs ${f} ABSOLUTE)
    set_property(GLOBAL APPEND PROPERTY DORVANE_MODULE_SOURCES ${abs})
  endforeach()
endfunction()

function(dorvane_sources)
  foreach(f IN LISTS ARGN)
    get_filename_component(abs ${f} ABSOLUTE)
    set_property(GLOBAL APPEND PROPERTY DORVANE_SOURCES ${abs})
  endforeach()
endfunction()

function(dorvane_add_release release)
  get_property(srcs GLOBAL PROPERTY DORVANE_SOURCES)
  set(core dorvane_objs_r${release})
  add_library(${core} STATIC ${srcs})
  target_include_directories(${core} PUBLIC ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  target_compile_definitions(${core} PUBLIC VEXO_HOST_RELEASE=${release})
  target_link_libraries(${core} PUBLIC dorvane_md2_format vexo_base vexo_hostsdk vexo_win32)
  set_target_properties(${core} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  if(TARGET dorvane_resources)
    add_dependencies(${core} dorvane_resources)
  endif()

  add_library(dorvane_core_r${release} INTERFACE)
  target_link_libraries(dorvane_core_r${release} INTERFACE ${core})
  target_include_directories(dorvane_core_r${release} INTERFACE ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  target_compile_definitions(dorvane_core_r${release} INTERFACE VEXO_HOST_RELEASE=${release})
  target_link_libraries(dorvane_core_r${release} INTERFACE dorvane_md2_format vexo_base vexo_hostsdk vexo_win32)
  if(TARGET dorvane_resources)
    # The generated resource file registers itself when loaded and nothing
    # refers to it: programs linking the library must still take it.
    target_link_options(dorvane_core_r${release} INTERFACE "LINKER:--undefined=dorvane_resources_anchor")
  endif()

  set(module Dorvane_r${release})
  get_property(module_srcs GLOBAL PROPERTY DORVANE_MODULE_SOURCES)
  add_library(${module} MODULE ${module_srcs})
  target_compile_definitions(${module} PRIVATE VEXO_HOST_RELEASE=${release})
  target_include_directories(${module} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  target_link_libraries(${module} PRIVATE -Wl,--whole-archive ${core} -Wl,--no-whole-archive
    vexo_hostsdk vexo_win32)
  set_target_properties(${module} PROPERTIES
    OUTPUT_NAME Dorvane PREFIX "" SUFFIX ".dlu"
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    LINKER_LANGUAGE CXX)
  list(GET VEXO_HOST_RELEASES 0 main_release)
  if(NOT release STREQUAL main_release)
    set_target_properties(${module} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/release${release})
  endif()
  if(release STREQUAL "4")
    add_library(dorvane_core ALIAS dorvane_core_r${release})
    add_library(Dorvane ALIAS ${module})
  endif()
endfunction()
