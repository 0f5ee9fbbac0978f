# The plug-in in floors, built once per host release.
#
# Each plug-in folder declares the floor its code belongs to with
# dorvane_floor(NAME SOURCES file... OFFERS path... USES floor-or-target...):
# its sources, the project paths it offers to the floors above (its
# headers), and what it builds on. Floors are declared bottom first. For
# every release in VEXO_HOST_RELEASES, dorvane_add_release(N) makes
#   dorvane_<floor>_r<N>  a static library per floor, linking the floors
#                         and libraries it uses, and nothing above it,
#   dorvane_core_r<N>     what tests link: the top floor with all below it,
#   Dorvane_r<N>          the loadable module Dorvane.dlu built from them.
# The release-4 libraries are also reachable as dorvane_core and Dorvane.
#
# Every floor has its own include root (cmake/IncludeRoots.cmake): a floor
# sees the headers of the floors and libraries it uses, so an include that
# runs from a lower floor to a higher one fails the build.

define_property(GLOBAL PROPERTY DORVANE_FLOORS
  BRIEF_DOCS "Plug-in floors" FULL_DOCS "The plug-in's floors, bottom first")
define_property(GLOBAL PROPERTY DORVANE_MODULE_SOURCES
  BRIEF_DOCS "Module-only sources" FULL_DOCS "Sources only the loadable module has (its load hook)")

# dorvane_floor(NAME [SOURCES file...] [OFFERS path...] [USES name...]): adds
# to floor NAME; several folders may make up one floor. A name in USES that
# is a floor means that floor's library of the same release; any other is a
# target of its own.
function(dorvane_floor name)
  cmake_parse_arguments(F "" "" "SOURCES;OFFERS;USES" ${ARGN})
  get_property(floors GLOBAL PROPERTY DORVANE_FLOORS)
  if(NOT name IN_LIST floors)
    set_property(GLOBAL APPEND PROPERTY DORVANE_FLOORS ${name})
  endif()
  foreach(f IN LISTS F_SOURCES)
    get_filename_component(abs ${f} ABSOLUTE)
    set_property(GLOBAL APPEND PROPERTY DORVANE_FLOOR_${name}_SOURCES ${abs})
  endforeach()
  set_property(GLOBAL APPEND PROPERTY DORVANE_FLOOR_${name}_OFFERS ${F_OFFERS})
  set_property(GLOBAL APPEND PROPERTY DORVANE_FLOOR_${name}_USES ${F_USES})
endfunction()

# Sources that belong to the loadable module only, not to the libraries
# that tests link (the module's load-time entry point, its resource script).
function(dorvane_module_sources)
  foreach(f IN LISTS ARGN)
    get_filename_component(abs ${f} ABSOLUTE)
    set_property(GLOBAL APPEND PROPERTY DORVANE_MODULE_SOURCES ${abs})
  endforeach()
endfunction()

function(dorvane_add_release release)
  get_property(floors GLOBAL PROPERTY DORVANE_FLOORS)
  set(libraries)
  foreach(floor IN LISTS floors)
    get_property(sources GLOBAL PROPERTY DORVANE_FLOOR_${floor}_SOURCES)
    get_property(offers GLOBAL PROPERTY DORVANE_FLOOR_${floor}_OFFERS)
    get_property(uses GLOBAL PROPERTY DORVANE_FLOOR_${floor}_USES)
    set(library dorvane_${floor}_r${release})
    add_library(${library} STATIC ${sources})
    vexo_include_root(${library} ${floor} ${offers})
    target_compile_definitions(${library} PUBLIC VEXO_HOST_RELEASE=${release})
    set_target_properties(${library} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    foreach(use IN LISTS uses)
      if(use IN_LIST floors)
        if(NOT TARGET dorvane_${use}_r${release})
          message(FATAL_ERROR "floor ${floor} uses ${use}, which is declared above it")
        endif()
        target_link_libraries(${library} PUBLIC dorvane_${use}_r${release})
      else()
        target_link_libraries(${library} PUBLIC ${use})
      endif()
    endforeach()
    list(APPEND libraries ${library})
  endforeach()
  list(GET libraries -1 top)
  if(TARGET dorvane_resources)
    add_dependencies(${top} dorvane_resources)
  endif()

  add_library(dorvane_core_r${release} INTERFACE)
  target_link_libraries(dorvane_core_r${release} INTERFACE ${top})
  if(TARGET dorvane_resources)
    # The generated resource file registers itself when loaded and nothing
    # refers to it: programs linking the libraries must still take it.
    target_link_options(dorvane_core_r${release} INTERFACE "LINKER:--undefined=dorvane_resources_anchor")
  endif()

  set(module Dorvane_r${release})
  get_property(module_srcs GLOBAL PROPERTY DORVANE_MODULE_SOURCES)
  add_library(${module} MODULE ${module_srcs})
  target_link_libraries(${module} PRIVATE -Wl,--whole-archive ${libraries} -Wl,--no-whole-archive ${top})
  set_target_properties(${module} PROPERTIES
    OUTPUT_NAME Dorvane PREFIX "" SUFFIX ".dlu"
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    LINKER_LANGUAGE CXX)
  list(GET VEXO_HOST_RELEASES 0 main_release)
  if(NOT release STREQUAL main_release)
    set_target_properties(${module} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/release${release})
    vexo_install_module(${module} release${release})
  else()
    vexo_install_module(${module})
  endif()
  if(release STREQUAL "4")
    add_library(dorvane_core ALIAS dorvane_core_r${release})
    add_library(Dorvane ALIAS ${module})
  endif()
endfunction()
