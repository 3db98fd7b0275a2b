# Lumaroth on Linux: the platform over POSIX, Qt 6 and FluidSynth, the test doubles,
# the program, lumaroth-cli, the tests and the benchmarks.
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(FLUIDSYNTH REQUIRED IMPORTED_TARGET fluidsynth)
pkg_check_modules(ALSA REQUIRED IMPORTED_TARGET alsa)
pkg_check_modules(GLIB REQUIRED IMPORTED_TARGET glib-2.0)
find_package(Qt6 REQUIRED COMPONENTS Widgets)

# The platform on Linux, one library a concern so that a test can swap any of them for
# its double: files and text, timer, message queue, MIDI output.
function(lumaroth_platform_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC Threads::Threads)
endfunction()

lumaroth_platform_library(lumaroth_platform_files
  platform/linux/files.cpp platform/linux/folders.cpp platform/cp932.cpp
  platform/linux/cp932_codec.cpp
  platform/linux/profile.cpp)
# Real-time priority and the monotonic clock, for the timer's and the WAV renderer's threads.
lumaroth_platform_library(lumaroth_platform_threads platform/linux/realtime.cpp)
lumaroth_platform_library(lumaroth_platform_timer platform/linux/mm_timer.cpp
  platform/synth/sample_clock.cpp)
target_link_libraries(lumaroth_platform_timer PUBLIC lumaroth_platform_threads)
lumaroth_platform_library(lumaroth_platform_messages platform/linux/messages.cpp)
# A message's time is the multimedia clock's; a test's driven clock, linked before, wins.
target_link_libraries(lumaroth_platform_messages PUBLIC lumaroth_platform_timer)
lumaroth_platform_library(lumaroth_platform_midi
  platform/linux/midi_out.cpp platform/linux/midi_errors.cpp platform/linux/seq_sink.cpp
  ${lumaroth_synth_sources} platform/linux/synth_system.cpp platform/linux/system_file.cpp)
target_link_libraries(lumaroth_platform_midi PUBLIC
  PkgConfig::FLUIDSYNTH PkgConfig::ALSA PkgConfig::GLIB lumaroth_platform_threads
  lumaroth_platform_messages lumaroth_platform_files)

lumaroth_platform_library(lumaroth_platform_window
  platform/linux/window/application.cpp platform/linux/window/windows.cpp
  platform/linux/window/gdi.cpp platform/linux/window/qt_text.cpp platform/linux/window/keys.cpp
  platform/linux/window/controls.cpp
  platform/linux/window/drops.cpp platform/linux/window/instances.cpp platform/linux/window/menus.cpp
  platform/linux/strings.cpp)
lumaroth_platform_library(lumaroth_platform_dialogs platform/linux/window/dialogs.cpp
  platform/linux/window/dialog_box.cpp)
foreach(target lumaroth_platform_window lumaroth_platform_dialogs)
  target_link_libraries(${target} PUBLIC Qt6::Widgets lumaroth_platform_messages lumaroth_platform_files)
  target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII)
  lumaroth_sjis_texts(${target})
endforeach()

add_library(lumaroth_core STATIC ${lumaroth_core_sources})
target_include_directories(lumaroth_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(lumaroth_core PUBLIC lumaroth_platform_files)
lumaroth_sjis_texts(lumaroth_core)

# The icon resource, embedded as the bytes of its PNG.
file(READ ui/lumaroth.png icon_hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," icon_bytes "${icon_hex}")
file(WRITE ${CMAKE_BINARY_DIR}/generated/ui/lumaroth_icon.inc "${icon_bytes}\n")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ui/lumaroth.png)

# The window: everything of the program but its platform, so that tests can put the
# window on doubles of the MIDI output, the timer and the dialogs.
add_library(lumaroth_ui STATIC ${lumaroth_ui_sources})
target_include_directories(lumaroth_ui PUBLIC ${CMAKE_SOURCE_DIR} PRIVATE ${CMAKE_BINARY_DIR}/generated)
# The resource table is linked as objects into each program with a window: only the
# platform refers to it.
add_library(lumaroth_resources OBJECT ui/resources.cpp)
target_include_directories(lumaroth_resources PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(lumaroth_ui PUBLIC lumaroth_core)
lumaroth_sjis_texts(lumaroth_ui)
lumaroth_sjis_texts(lumaroth_resources)

add_executable(lumaroth platform/linux/entry.cpp)
target_link_libraries(lumaroth PRIVATE
  lumaroth_ui lumaroth_resources lumaroth_core lumaroth_platform_window lumaroth_platform_dialogs
  lumaroth_platform_midi lumaroth_platform_messages lumaroth_platform_timer)
lumaroth_sjis_texts(lumaroth)
# The help page sits beside the program, where Help looks for it.
add_custom_command(TARGET lumaroth POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/ui/Lumaroth.html $<TARGET_FILE_DIR:lumaroth>/Lumaroth.html)

add_executable(lumaroth-cli tools/lumaroth_cli.cpp tools/cli_options.cpp tools/cli_play.cpp
  tools/terminal_text.cpp platform/linux/console.cpp)
target_include_directories(lumaroth-cli PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(lumaroth-cli PRIVATE
  lumaroth_core lumaroth_platform_midi lumaroth_platform_messages lumaroth_platform_timer)

if(LUMAROTH_TESTS)
  # What tests link instead of, or beside, the platform: a recording MIDI output, a
  # driven clock and timer, a log of posted messages, scripted dialogs, the draw log.
  lumaroth_platform_library(lumaroth_testing_midi platform/testing/recording_midi_out.cpp
    platform/testing/scripted_sound_font.cpp)
  lumaroth_platform_library(lumaroth_testing_timer platform/testing/driven_timer.cpp)
  lumaroth_platform_library(lumaroth_testing_posts platform/testing/posted_messages.cpp)
  lumaroth_platform_library(lumaroth_testing_dialogs platform/testing/scripted_dialogs.cpp)
  lumaroth_platform_library(lumaroth_testing_window platform/testing/window_probe.cpp)
  lumaroth_platform_library(lumaroth_testing_dialog_driver platform/testing/dialog_driver.cpp)
  foreach(target lumaroth_testing_window lumaroth_testing_dialog_driver)
    target_link_libraries(${target} PUBLIC lumaroth_platform_window)
    target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII)
  endforeach()
  enable_testing()
  add_subdirectory(tests)
endif()
if(LUMAROTH_BENCH)
  if(NOT LUMAROTH_TESTS)
    message(FATAL_ERROR "The benchmarks run on the test doubles: set LUMAROTH_TESTS=ON too")
  endif()
  add_subdirectory(bench)
endif()

include(GNUInstallDirs)
install(TARGETS lumaroth-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program and its help page share a folder; bin holds a link to the program.
install(TARGETS lumaroth RUNTIME DESTINATION ${CMAKE_INSTALL_LIBDIR}/lumaroth)
install(FILES ui/Lumaroth.html DESTINATION ${CMAKE_INSTALL_LIBDIR}/lumaroth)
install(CODE "file(CREATE_LINK ../${CMAKE_INSTALL_LIBDIR}/lumaroth/lumaroth
  \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/lumaroth SYMBOLIC)")
install(FILES ui/lumaroth.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ui/icons/lumaroth-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME lumaroth.png)
endforeach()
install(FILES ui/icons/lumaroth.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ui/lumaroth.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual pages and the package's documents, compressed as Debian keeps them:
# lumaroth-cli's page from its own --help, so that the two never differ.
set(manual_pages ${CMAKE_BINARY_DIR}/lumaroth.1.gz ${CMAKE_BINARY_DIR}/lumaroth-cli.1.gz)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/lumaroth.1.gz
  COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/docs/man/lumaroth.1 > lumaroth.1.gz
  DEPENDS docs/man/lumaroth.1 WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/lumaroth-cli.1.gz
  COMMAND sh ${CMAKE_SOURCE_DIR}/scripts/cli_manual_page.sh $<TARGET_FILE:lumaroth-cli> ${PROJECT_VERSION}
    | gzip -9n > lumaroth-cli.1.gz
  DEPENDS lumaroth-cli scripts/cli_manual_page.sh WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
  COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/docs/debian/changelog > changelog.gz
  DEPENDS docs/debian/changelog WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
add_custom_target(lumaroth_documents ALL DEPENDS ${manual_pages} ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${manual_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz docs/debian/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumaroth)

include(cmake/debian-package.cmake)
