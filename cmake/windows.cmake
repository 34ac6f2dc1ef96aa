# The Win32 layer, the program and the Wine-run tests.

# Host programs the build runs: compiled by the build machine's own compiler,
# since the target compiler's executables would need Wine. What they compute
# goes into the release, so it must not depend on the machine: no fused
# multiply-adds (tools/exact_math.h also says so for the bell sounds).
find_program(MARLINET_HOST_CXX NAMES c++ g++ REQUIRED)
set(host_tools ${CMAKE_BINARY_DIR}/host-tools)
function(host_tool name)
  set(sources ${CMAKE_SOURCE_DIR}/tools/${name}.cpp)
  foreach(extra IN LISTS ARGN)
    list(APPEND sources ${CMAKE_SOURCE_DIR}/tools/${extra})
  endforeach()
  add_custom_command(
    OUTPUT ${host_tools}/${name}${CMAKE_HOST_EXECUTABLE_SUFFIX}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${host_tools}
    COMMAND ${MARLINET_HOST_CXX} -std=c++20 -O2 -ffp-contract=off -I${CMAKE_SOURCE_DIR}
            -o ${host_tools}/${name} ${sources}
    DEPENDS ${sources} ${CMAKE_SOURCE_DIR}/tools/bell_synth.h
            ${CMAKE_SOURCE_DIR}/tools/exact_math.h
    COMMENT "Building the host tool ${name}")
endfunction()
host_tool(make_bells bell_synth.cpp)
host_tool(make_pictures)
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

# The pictures, from their pixel maps.
set(picture_dir ${CMAKE_BINARY_DIR}/pictures)
set(picture_files)
foreach(p bell bell_muted bell_crossed quit ringing tools clock)
  list(APPEND picture_files ${picture_dir}/${p}.bmp ${picture_dir}/${p}.ico)
endforeach()
add_custom_command(
  OUTPUT ${picture_files}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${picture_dir}
  COMMAND ${host_tools}/make_pictures ${CMAKE_SOURCE_DIR}/resources/pictures.txt ${picture_dir}
  DEPENDS ${host_tools}/make_pictures${CMAKE_HOST_EXECUTABLE_SUFFIX}
          ${CMAKE_SOURCE_DIR}/resources/pictures.txt
  COMMENT "Drawing the pictures")
add_custom_target(pictures DEPENDS ${picture_files})

add_library(marlinet_win STATIC
  bells/bell_manners_win.cpp
  bells/sound_player_win.cpp
  settings/options_menu_win.cpp
  settings/persistent_form_win.cpp
  launcher/launch_options_win.cpp
  launcher/processes_win.cpp
  ui/application_win.cpp
  ui/clock_win.cpp
  ui/controls_win.cpp
  ui/dpi_win.cpp
  ui/form_win.cpp
  ui/gdi_win.cpp
  ui/menu_win.cpp
  ui/paths_win.cpp
  ui/text_files_win.cpp
  ui/timer_win.cpp
  ui/window_win.cpp
  widgets/digital_clock_win.cpp
  widgets/hover_label_win.cpp
  widgets/tray_icon_win.cpp
  worldclock/plan_time_win.cpp
  worldclock/time_zones_win.cpp
  worldclock/tray_tip_win.cpp
)
target_link_libraries(marlinet_win PUBLIC marlinet_core shell32 gdi32 user32 advapi32 comctl32)
target_compile_definitions(marlinet_win PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)

set(static_runtime -static -static-libgcc -static-libstdc++)

configure_file(${CMAKE_SOURCE_DIR}/resources/version.h.in ${picture_dir}/version.h @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/resources/marlinet.manifest.in ${picture_dir}/marlinet.manifest
               @ONLY)
enable_language(RC)
set_source_files_properties(resources/marlinet.rc PROPERTIES OBJECT_DEPENDS
                            "${picture_files};${picture_dir}/marlinet.manifest")
add_library(marlinet_resources OBJECT resources/marlinet.rc)
target_include_directories(marlinet_resources PRIVATE ${picture_dir} ${CMAKE_SOURCE_DIR}/resources)
add_dependencies(marlinet_resources pictures)

# The windows, a library of their own so tests can create them with fakes.
add_library(marlinet_windows STATIC bells/Unit1.cpp launcher/Unit3.cpp worldclock/Unit2.cpp)
target_link_libraries(marlinet_windows PUBLIC marlinet_win)

# Each program that ships links app/xp_imports_win.cpp as an object of its
# own, before the libraries, so that it stands in for the runtime libraries'
# imports that XP lacks.
add_executable(marlinet WIN32 app/main_win.cpp app/xp_imports_win.cpp
                               $<TARGET_OBJECTS:marlinet_resources>)
target_link_libraries(marlinet PRIVATE marlinet_windows)
target_link_options(marlinet PRIVATE ${static_runtime} -s)
add_dependencies(marlinet bell_sounds)

# The program folder as a user installs it: the program and its sounds.
set(program_dir ${CMAKE_BINARY_DIR}/Marlinet)
add_custom_command(TARGET marlinet POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory ${program_dir}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:marlinet> ${program_dir}/Marlinet.exe
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${bell_files} ${program_dir}
  COMMENT "Laying out the program folder")

# The package a user downloads: one folder with the program, its sounds,
# settings that make a first start quiet and useful, and a read-me.
set(package_name marlinet-${PROJECT_VERSION}-win32)
set(package_zip ${CMAKE_BINARY_DIR}/${package_name}.zip)
set(package_dir ${CMAKE_BINARY_DIR}/package/Marlinet)
configure_file(${CMAKE_SOURCE_DIR}/package/READ-ME.txt.in ${CMAKE_BINARY_DIR}/READ-ME.txt @ONLY
               NEWLINE_STYLE CRLF)
# The licence travels with every copy, as it asks, with Windows line ends.
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/LICENSE.txt @ONLY
               NEWLINE_STYLE CRLF)
set(package_defaults ${CMAKE_SOURCE_DIR}/package/prefs.kvr ${CMAKE_SOURCE_DIR}/package/proc.kvr)
# With SIGN_COMMAND in the environment as the build is configured,
# Marlinet.exe, uninstall.exe, the uninstaller and the setup are signed, each
# before anything that holds it is made. Not kept in the cache: a later
# configure without it (make test) builds unsigned again.
if(NOT "$ENV{SIGN_COMMAND}" STREQUAL "")
  set(MARLINET_SIGN ON)
else()
  set(MARLINET_SIGN OFF)
endif()
set(release_files bash ${CMAKE_SOURCE_DIR}/scripts/release-files.sh)
set(sign_program)
if(MARLINET_SIGN)
  set(sign_program COMMAND ${release_files} sign ${package_dir}/Marlinet.exe)
endif()
# Info-ZIP writes a zip that is the same for the same files (see
# scripts/release-files.sh); CMake's own stores owners, access times and
# entries in the folder's order, so a build that is to be reproducible
# (SOURCE_DATE_EPOCH given) does not fall back on it.
find_program(MARLINET_ZIP zip)
if(MARLINET_ZIP)
  set(pack_zip ${release_files} zip ${CMAKE_BINARY_DIR}/package Marlinet ${package_zip})
elseif(DEFINED ENV{SOURCE_DATE_EPOCH})
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is set, so this build is to give the same files "
          "wherever it runs, but Info-ZIP's zip is not found: CMake's own zip writer would "
          "store this build's file times and owners. Install zip (Debian: apt-get install "
          "zip, or bash scripts/setup.sh), or unset SOURCE_DATE_EPOCH.")
else()
  set(pack_zip ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/package ${CMAKE_COMMAND} -E tar cf
               ${package_zip} --format=zip Marlinet)
endif()
add_custom_command(
  OUTPUT ${package_zip}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/package
  COMMAND ${CMAKE_COMMAND} -E make_directory ${package_dir}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:marlinet> ${package_dir}/Marlinet.exe
  ${sign_program}
  COMMAND ${CMAKE_COMMAND} -E copy ${bell_files} ${package_defaults} ${CMAKE_BINARY_DIR}/READ-ME.txt
          ${CMAKE_BINARY_DIR}/LICENSE.txt ${package_dir}
  COMMAND ${pack_zip}
  DEPENDS marlinet ${bell_files} ${package_defaults} ${CMAKE_BINARY_DIR}/READ-ME.txt
          ${CMAKE_BINARY_DIR}/LICENSE.txt
  COMMENT "Packing ${package_name}.zip")
add_custom_target(package_zip ALL DEPENDS ${package_zip})

# The installed uninstall.exe: runs the setup's uninstaller from the
# temporary folder and waits for it (see package/uninstall_win.cpp).
add_executable(uninstall_starter WIN32 package/uninstall_win.cpp app/xp_imports_win.cpp
                                         package/uninstall.rc)
set_target_properties(uninstall_starter PROPERTIES OUTPUT_NAME uninstall)
target_include_directories(uninstall_starter PRIVATE ${picture_dir} ${CMAKE_SOURCE_DIR}/package
                                                     ${CMAKE_SOURCE_DIR})
target_compile_definitions(uninstall_starter PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_options(uninstall_starter PRIVATE ${static_runtime} -s -municode)
set_source_files_properties(package/uninstall.rc PROPERTIES OBJECT_DEPENDS
                            "${picture_dir}/bell.ico;${CMAKE_SOURCE_DIR}/package/uninstall.manifest")
add_dependencies(uninstall_starter pictures)

# The time ld writes into the two programs' headers: SOURCE_DATE_EPOCH, the
# commit's time for a release, taken when the build is configured and kept
# in the link command, so that a new value relinks them and a link never
# takes the time of whichever shell ran it.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set_target_properties(marlinet uninstall_starter PROPERTIES CXX_LINKER_LAUNCHER
    "${CMAKE_COMMAND};-E;env;SOURCE_DATE_EPOCH=$ENV{SOURCE_DATE_EPOCH}")
endif()

# The setup a user downloads instead of the zip: the same folder's files,
# installed for the user alone, with a Start menu entry and an uninstaller.
find_program(MARLINET_MAKENSIS makensis)
set(package_setup ${CMAKE_BINARY_DIR}/marlinet-${PROJECT_VERSION}-setup.exe)
if(MARLINET_MAKENSIS)
  # The setup stores each file's time: uninstall.exe goes in as a copy with
  # the package's time, which the build's own must not take (make would
  # take it for out of date). The signed setup signs its uninstaller and
  # itself as makensis writes them.
  set(starter ${CMAKE_BINARY_DIR}/package/uninstall.exe)
  # The script's parts, which it includes from its own folder.
  set(setup_includes)
  foreach(part running files rollback startup folders uninstaller)
    list(APPEND setup_includes ${CMAKE_SOURCE_DIR}/package/${part}.nsh)
  endforeach()
  set(sign_starter)
  set(sign_setup)
  if(MARLINET_SIGN)
    set(sign_starter COMMAND ${release_files} sign ${starter})
    set(sign_setup -DSIGN=${CMAKE_SOURCE_DIR}/scripts/release-files.sh)
  endif()
  add_custom_command(
    OUTPUT ${package_setup}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:uninstall_starter> ${starter}
    ${sign_starter}
    COMMAND ${release_files} stamp ${starter}
    COMMAND ${MARLINET_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DVERSION4=${PROJECT_VERSION}.0
            -DVERSION_MAJOR=${PROJECT_VERSION_MAJOR} -DVERSION_MINOR=${PROJECT_VERSION_MINOR}
            -DSOURCE=${package_dir} -DICON=${picture_dir}/bell.ico -DOUTFILE=${package_setup}
            -DUNINSTALL_STARTER=${starter} ${sign_setup}
            ${CMAKE_SOURCE_DIR}/package/marlinet.nsi
    DEPENDS ${package_zip} ${CMAKE_SOURCE_DIR}/package/marlinet.nsi ${setup_includes} ${picture_dir}/bell.ico
            uninstall_starter
    COMMENT "Building marlinet-${PROJECT_VERSION}-setup.exe")
  add_custom_target(package_setup ALL DEPENDS ${package_setup})
  # After the zip's own target, or both would lay out its folder at once.
  add_dependencies(package_setup package_zip)

  # The winget manifest of this setup, beside it. Its download addresses
  # come from RELEASE_URL, the folder this version's files are published in;
  # the default is an address that can never be fetched.
  set(RELEASE_URL "" CACHE STRING
      "Where this version's setup, zip and LICENSE.txt are published (for the winget manifest)")
  if(RELEASE_URL)
    set(release_url ${RELEASE_URL})
  else()
    set(release_url https://example.invalid/marlinet/${PROJECT_VERSION})
  endif()
  set(package_winget ${CMAKE_BINARY_DIR}/marlinet-${PROJECT_VERSION}-winget)
  set(winget_templates ${CMAKE_SOURCE_DIR}/package/winget/Marlinet.Marlinet.yaml.in
                       ${CMAKE_SOURCE_DIR}/package/winget/Marlinet.Marlinet.installer.yaml.in
                       ${CMAKE_SOURCE_DIR}/package/winget/Marlinet.Marlinet.locale.en-US.yaml.in)
  # Beside it, the build information: the versions of the tools that made
  # the release's files, for whoever rebuilds it to match.
  set(package_build_info ${CMAKE_BINARY_DIR}/marlinet-${PROJECT_VERSION}-build-info.txt)
  add_custom_command(
    OUTPUT ${package_winget}/Marlinet.Marlinet.installer.yaml ${package_build_info}
    COMMAND ${CMAKE_COMMAND} -DSETUP=${package_setup} -DVERSION=${PROJECT_VERSION}
            -DTEMPLATES=${CMAKE_SOURCE_DIR}/package/winget -DRELEASE_URL=${release_url}
            -DOUT=${package_winget} -P ${CMAKE_SOURCE_DIR}/cmake/winget.cmake
    COMMAND ${CMAKE_COMMAND} -DOUT=${package_build_info} -DVERSION=${PROJECT_VERSION}
            -DCXX=${CMAKE_CXX_COMPILER} -DLD=${CMAKE_LINKER} -DHOST_CXX=${MARLINET_HOST_CXX}
            -DMAKENSIS=${MARLINET_MAKENSIS} -DZIP=${MARLINET_ZIP}
            -P ${CMAKE_SOURCE_DIR}/cmake/build_info.cmake
    DEPENDS ${package_setup} ${winget_templates} ${CMAKE_SOURCE_DIR}/cmake/winget.cmake
            ${CMAKE_SOURCE_DIR}/cmake/build_info.cmake
    COMMENT "Writing the winget manifest and the build information")
  add_custom_target(package_winget ALL DEPENDS ${package_winget}/Marlinet.Marlinet.installer.yaml)
  add_dependencies(package_winget package_setup)
else()
  message(STATUS "makensis not found: no setup program (scripts/setup.sh installs it)")
endif()

if(BUILD_TESTING)
  # The sounds the release carries are the ones whose sums are kept.
  add_test(NAME BellSounds.MatchTheirSums
           COMMAND ${CMAKE_COMMAND} -DSUMS=${CMAKE_SOURCE_DIR}/resources/bell_sounds.sha256
                   -DDIR=${CMAKE_BINARY_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/bell_sums.cmake)

  # The shipped programs start on every Windows from XP SP3: their imports
  # against package/windows_functions.txt, read from the files themselves.
  add_test(NAME WindowsImports.EveryImportIsOneWindowsXpHas
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/scripts/windows_imports_test.sh ${CMAKE_OBJDUMP}
                   $<TARGET_FILE:marlinet> $<TARGET_FILE:uninstall_starter>)
  add_subdirectory(tests/win)
  add_subdirectory(tests/e2e)
endif()

# The benchmark's baseline, built as marlinet.exe is.
add_executable(baseline WIN32 bench/baseline_win.cpp)
target_link_libraries(baseline PRIVATE shell32)
target_compile_definitions(baseline PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)
target_link_options(baseline PRIVATE ${static_runtime} -s)
