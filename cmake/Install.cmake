# Where `cmake --install` puts the tool, after Debian's conventions: the
# vexo command in bin/, the plug-in modules and the SDK stand-ins they load
# in a folder of the package's own under the library folder (the main
# module as vexo/Dorvane.dlu, the older releases' in vexo/release<N>/), and
# the README in share/doc/vexo/. Every program finds what it loads relative
# to its own place, so the installed tree also runs where it is unpacked.
set(CMAKE_INSTALL_DOCDIR share/doc/vexo CACHE PATH "Documentation folder (share/doc/vexo)")
include(GNUInstallDirs)
set(VEXO_INSTALL_MODULE_DIR ${CMAKE_INSTALL_LIBDIR}/vexo)
# The module folder as seen from the vexo program; vexo looks there when no
# module lies beside it (standalone/cli/module_path.cpp).
file(RELATIVE_PATH VEXO_MODULE_DIR_FROM_BIN /${CMAKE_INSTALL_BINDIR} /${VEXO_INSTALL_MODULE_DIR})

# The installed modules and stand-ins find each other beside them or one
# folder up (an older release's module).
set(VEXO_MODULE_INSTALL_RPATH "$ORIGIN;$ORIGIN/..")

# vexo_install_module(TARGET [SUBFOLDER]): a module or stand-in library.
function(vexo_install_module target)
  set(folder ${VEXO_INSTALL_MODULE_DIR})
  if(ARGC GREATER 1)
    set(folder ${folder}/${ARGV1})
  endif()
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "${VEXO_MODULE_INSTALL_RPATH}")
  install(TARGETS ${target} LIBRARY DESTINATION ${folder})
endfunction()
