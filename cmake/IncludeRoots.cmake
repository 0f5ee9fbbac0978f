# Include roots that hold only what a library offers.
#
# Code includes headers by their path in the project ("scene/sample_mesh.h").
# A library that is part of the layering gets an include root of its own,
# build/include/<name>/, holding links to the folders or files it offers
# and nothing else; it never hands out the project folder itself. So a
# target sees the headers of what it links to, and an include of anything
# else fails to compile.

# vexo_include_root(TARGET NAME PATH...): makes the root NAME with links to
# the project paths PATH... (folders or single files) and adds it to
# TARGET's public (or, for an interface library, interface) include folders.
function(vexo_include_root target name)
  set(root ${CMAKE_BINARY_DIR}/include/${name})
  # Made anew once per configuration, so that a path dropped from the list
  # does not stay reachable through a link left from before.
  get_property(made GLOBAL PROPERTY VEXO_INCLUDE_ROOTS_MADE)
  if(NOT name IN_LIST made)
    file(REMOVE_RECURSE ${root})
    set_property(GLOBAL APPEND PROPERTY VEXO_INCLUDE_ROOTS_MADE ${name})
  endif()
  foreach(path IN LISTS ARGN)
    get_filename_component(parent ${root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(NOT IS_SYMLINK ${root}/${path})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${path} ${root}/${path} SYMBOLIC)
    endif()
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
