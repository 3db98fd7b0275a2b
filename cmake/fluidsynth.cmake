# FluidSynth for Lumaroth.exe: built once per build folder from the source kept beside the
# project, static, without glib and every optional dependency, with Windows' own audio
# drivers; always optimised, whatever the program's build type, since it renders sound.
include(ExternalProject)
get_filename_component(third_party ${CMAKE_SOURCE_DIR}/../shared/third_party ABSOLUTE)
set(LUMAROTH_FLUIDSYNTH_SOURCE ${third_party}/fluidsynth-2.6.0
  CACHE PATH "FluidSynth 2.6.0's source (the v2.6.0 tag)")
set(LUMAROTH_GCEM_INCLUDE ${third_party}/gcem/include
  CACHE PATH "gcem's headers, which FluidSynth's table generators need")
foreach(folder LUMAROTH_FLUIDSYNTH_SOURCE LUMAROTH_GCEM_INCLUDE)
  if(NOT EXISTS ${${folder}})
    message(FATAL_ERROR "${folder} (${${folder}}) does not exist: point it at the folder")
  endif()
endforeach()

set(fluidsynth_prefix ${CMAKE_BINARY_DIR}/fluidsynth)
set(fluidsynth_library ${fluidsynth_prefix}/lib/libfluidsynth-3.a)
set(fluidsynth_off
  libsndfile pulseaudio pipewire readline dbus jack alsa oss sdl3 portaudio ladspa midishare
  network ipv6 openmp signalsmith systemd winmidi aufile)
set(fluidsynth_options)
foreach(option ${fluidsynth_off})
  list(APPEND fluidsynth_options -Denable-${option}=OFF)
endforeach()
ExternalProject_Add(fluidsynth_build
  SOURCE_DIR ${LUMAROTH_FLUIDSYNTH_SOURCE}
  BINARY_DIR ${CMAKE_BINARY_DIR}/fluidsynth-build
  INSTALL_DIR ${fluidsynth_prefix}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
    -DCMAKE_INSTALL_LIBDIR=lib
    -DCMAKE_CXX_FLAGS=-include\ ${CMAKE_SOURCE_DIR}/cmake/fluidsynth/gcem_fabs.h
    -DBUILD_SHARED_LIBS=OFF
    -Dosal=cpp11
    -DGCEM_INCLUDE_DIR=${LUMAROTH_GCEM_INCLUDE}
    -Denable-wasapi=ON -Denable-waveout=ON -Denable-dsound=ON
    ${fluidsynth_options}
  BUILD_BYPRODUCTS ${fluidsynth_library}
  UPDATE_COMMAND "" PATCH_COMMAND ""
  LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON LOG_OUTPUT_ON_FAILURE ON)

# What the static library needs of Windows: its drivers' and its threads' system DLLs.
add_library(fluidsynth_windows INTERFACE)
add_dependencies(fluidsynth_windows fluidsynth_build)
file(MAKE_DIRECTORY ${fluidsynth_prefix}/include)
target_include_directories(fluidsynth_windows INTERFACE ${fluidsynth_prefix}/include)
target_link_libraries(fluidsynth_windows INTERFACE ${fluidsynth_library}
  dsound ole32 winmm ksuser)
