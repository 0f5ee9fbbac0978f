# Temporary definitions of operations that are not built yet, so that
# everything links while the plug-in is being written. They fail or do
# nothing. The linker takes one only where the real operation is missing;
# each file is deleted (with its line here) once the real one exists.
function(dorvane_add_scaffolding release)
  # An empty file keeps the library valid once no placeholder is left.
  set(empty ${CMAKE_BINARY_DIR}/generated/scaffolding_empty.cpp)
  if(NOT EXISTS ${empty})
    file(WRITE ${empty} "// No placeholders left.\n")
  endif()
  add_library(dorvane_scaffolding_r${release} STATIC
    ${empty}
  )
  target_include_directories(dorvane_scaffolding_r${release} PRIVATE ${PROJECT_SOURCE_DIR})
  if(NOT WIN32)
    target_include_directories(dorvane_scaffolding_r${release} PRIVATE ${PROJECT_SOURCE_DIR}/sdk/win32/include)
  endif()
  target_compile_definitions(dorvane_scaffolding_r${release} PRIVATE VEXO_HOST_RELEASE=${release})
  target_compile_options(dorvane_scaffolding_r${release} PRIVATE -w)
endfunction()
