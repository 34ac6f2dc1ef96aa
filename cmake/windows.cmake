# The Win32 layer, the program and the Wine-run tests.

# Host programs the build runs: compiled by the build machine's own compiler,
# since the target compiler's executables would need Wine.
find_program(MARLINET_HOST_CXX NAMES c++ g++ REQUIRED)
set(host_tools ${CMAKE_BINARY_DIR}/host-tools)
add_custom_command(
  OUTPUT ${host_tools}/make_bells${CMAKE_HOST_EXECUTABLE_SUFFIX}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${host_tools}
  COMMAND ${MARLINET_HOST_CXX} -std=c++20 -O2 -o ${host_tools}/make_bells
          ${CMAKE_SOURCE_DIR}/tools/make_bells.cpp
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_bells.cpp
  COMMENT "Building the bell sound generator")
set(bell_names 0+1 1 1+1 2 2+1 3 3+1 4)
set(bell_files)
foreach(n IN LISTS bell_names)
  list(APPEND bell_files ${CMAKE_BINARY_DIR}/${n}bell.wav ${CMAKE_BINARY_DIR}/${n}Lbell.wav)
endforeach()
add_custom_command(
  OUTPUT ${bell_files}
  COMMAND ${host_tools}/make_bells ${CMAKE_BINARY_DIR}
  DEPENDS ${host_tools}/make_bells${CMAKE_HOST_EXECUTABLE_SUFFIX}
  COMMENT "Synthesising the bell sounds")
add_custom_target(bell_sounds ALL DEPENDS ${bell_files})

add_library(marlinet_win STATIC
  bells/sound_player_win.cpp
  settings/persistent_form_win.cpp
  ui/application_win.cpp
  ui/controls_win.cpp
  ui/form_win.cpp
  ui/gdi_win.cpp
  ui/menu_win.cpp
  ui/paths_win.cpp
  ui/timer_win.cpp
  ui/window_win.cpp
  widgets/tray_icon_win.cpp
)
target_link_libraries(marlinet_win PUBLIC marlinet_core winmm shell32 gdi32 user32 comctl32)
target_compile_definitions(marlinet_win PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)

set(static_runtime -static -static-libgcc -static-libstdc++)

add_executable(marlinet WIN32 app/main_win.cpp)
target_link_libraries(marlinet PRIVATE marlinet_win)
target_link_options(marlinet PRIVATE ${static_runtime})
add_dependencies(marlinet bell_sounds)

if(BUILD_TESTING)
  add_subdirectory(tests/win)
endif()
