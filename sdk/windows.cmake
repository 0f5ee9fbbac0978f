# The SDK side of the Windows build: the host SDK stand-in becomes
# vexo_hostsdk.dll, and the user-interface calls are the system's own
# (vexo_win32 only names the system libraries).
file(GLOB hostsdk_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/hostsdk/*.cpp)
add_library(vexo_hostsdk SHARED ${hostsdk_sources})
target_include_directories(vexo_hostsdk PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(vexo_hostsdk PUBLIC dorvane_host_seam)
vexo_include_root(vexo_hostsdk hostsdk sdk/hostsdk/host_services.h)
target_compile_definitions(vexo_hostsdk PRIVATE VEXO_BUILDING_HOSTSDK)
# A plain name, as the host's own SDK libraries have.
set_target_properties(vexo_hostsdk PROPERTIES PREFIX "")

add_library(vexo_win32 INTERFACE)
target_link_libraries(vexo_win32 INTERFACE user32 gdi32 comdlg32 comctl32)
target_link_libraries(vexo_hostsdk PUBLIC vexo_win32)
