# Lumaroth on Windows: the same core and window sources on the real Win32 and WINMM API,
# statically linked so that Lumaroth.exe imports only system DLLs.
add_link_options(-static -static-libgcc -static-libstdc++)

# platform/windows: the program's narrow calls of names and texts, routed to the wide
# API after an explicit conversion from code page 932.
add_library(lumaroth_platform_files STATIC
  platform/windows/files.cpp platform/windows/program_text.cpp platform/cp932.cpp)
target_include_directories(lumaroth_platform_files PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(lumaroth_platform_files PUBLIC winmm)

# The MIDI outputs of the programs (tests link their doubles instead): the embedded
# synthesizer as device 0 beside Windows' own devices, and the multimedia clock it keeps.
include(cmake/fluidsynth.cmake)
add_library(lumaroth_platform_midi STATIC ${lumaroth_synth_sources} platform/synth/sample_clock.cpp
  platform/windows/midi_out.cpp platform/windows/mm_timer.cpp platform/windows/winmm_calls.cpp
  platform/windows/synth_system.cpp platform/windows/system_file.cpp
  platform/windows/realtime.cpp)
target_link_libraries(lumaroth_platform_midi PUBLIC fluidsynth_windows lumaroth_platform_files winmm)
lumaroth_sjis_texts(lumaroth_platform_midi)
add_library(lumaroth_platform_window STATIC platform/windows/window_texts.cpp
  platform/windows/trackbar_click.cpp platform/windows/shell.cpp)
target_link_libraries(lumaroth_platform_window PUBLIC lumaroth_platform_files comctl32 comdlg32 shell32 gdi32 user32)

add_library(lumaroth_core STATIC ${lumaroth_core_sources})
target_include_directories(lumaroth_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(lumaroth_core PUBLIC lumaroth_platform_files winmm)
lumaroth_sjis_texts(lumaroth_core)

# WinMain goes into the executable itself: the C runtime asks for it after every library.
set(lumaroth_window_sources ${lumaroth_ui_sources})
list(REMOVE_ITEM lumaroth_window_sources ui/app.cpp)
add_library(lumaroth_ui STATIC ${lumaroth_window_sources})
target_include_directories(lumaroth_ui PUBLIC ${CMAKE_SOURCE_DIR} PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(lumaroth_ui PUBLIC lumaroth_core lumaroth_platform_window)
lumaroth_sjis_texts(lumaroth_ui)

enable_language(RC)
add_executable(lumaroth WIN32 ui/app.cpp platform/windows/entry.cpp ui/lumaroth.rc)
target_link_options(lumaroth PRIVATE -municode)
lumaroth_sjis_texts(lumaroth)
set_target_properties(lumaroth PROPERTIES OUTPUT_NAME Lumaroth)
target_include_directories(lumaroth PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(lumaroth PRIVATE lumaroth_ui lumaroth_core lumaroth_platform_midi)
# The help page and the SoundFont that plays where Windows has no gm.dls sit beside the
# program, where it looks for them.
set(LUMAROTH_WINDOWS_SOUNDFONT /usr/share/sounds/sf2/sf_GMbank.sf2 CACHE FILEPATH
  "The General MIDI SoundFont shipped beside Lumaroth.exe (Debian's csound-soundfont)")
if(NOT EXISTS ${LUMAROTH_WINDOWS_SOUNDFONT})
  message(FATAL_ERROR "${LUMAROTH_WINDOWS_SOUNDFONT} is missing: install csound-soundfont")
endif()
add_custom_command(TARGET lumaroth POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/ui/Lumaroth.html $<TARGET_FILE_DIR:lumaroth>/Lumaroth.html
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${LUMAROTH_WINDOWS_SOUNDFONT} $<TARGET_FILE_DIR:lumaroth>/sf_GMbank.sf2)

# lumaroth-cli.exe: the engine's terminal face, a console program. wmain goes into the
# executable itself, as WinMain does.
add_executable(lumaroth-cli tools/lumaroth_cli.cpp tools/cli_options.cpp tools/cli_play.cpp
  tools/terminal_text.cpp platform/windows/console.cpp)
target_link_options(lumaroth-cli PRIVATE -municode)
lumaroth_sjis_texts(lumaroth-cli)
target_include_directories(lumaroth-cli PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(lumaroth-cli PRIVATE lumaroth_core lumaroth_platform_midi user32)

# The release zip (cpack): a folder holding the program, its help page and a read-me.
configure_file(docs/windows-readme.txt.in ${CMAKE_BINARY_DIR}/readme.txt @ONLY)
install(TARGETS lumaroth lumaroth-cli RUNTIME DESTINATION .)
install(FILES ui/Lumaroth.html ${CMAKE_BINARY_DIR}/readme.txt DESTINATION .)
install(FILES ${LUMAROTH_WINDOWS_SOUNDFONT} DESTINATION . RENAME sf_GMbank.sf2)
# What the programs are built with, and under which licences: FluidSynth is linked in
# statically, and its source goes beside the zip (scripts/package.sh).
install(FILES docs/windows-notices.txt DESTINATION . RENAME NOTICES.txt)
install(FILES LICENSE DESTINATION licenses RENAME Lumaroth-LICENSE.txt)
install(FILES ${LUMAROTH_FLUIDSYNTH_SOURCE}/LICENSE DESTINATION licenses RENAME FluidSynth-LICENSE.txt)
install(FILES ${LUMAROTH_GCEM_INCLUDE}/../LICENSE DESTINATION licenses RENAME gcem-LICENSE.txt)
install(FILES ${LUMAROTH_GCEM_INCLUDE}/../NOTICE.txt DESTINATION licenses RENAME gcem-NOTICE.txt)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME Lumaroth-${PROJECT_VERSION}-windows)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)

if(LUMAROTH_TESTS)
  enable_testing()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_subdirectory(tests)
endif()
