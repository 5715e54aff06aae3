# vorlane-cli is started once a file by scripts and shell loops, so its
# start-up counts. Loading and relocating libstdc++, libgcc_s, pugixml and
# uchardet as shared libraries is most of it; with VORLANE_STATIC_CLI the
# command line takes them from their static archives and needs only the C
# and maths libraries at run time. The window keeps the shared libraries.
#
# Without an archive (or a compiler that links its runtime statically) the
# build goes on with the shared libraries. Sanitized and fuzzing builds,
# whose runtimes must see every allocation, always link them shared.
include(CheckLinkerFlag)

set(VORLANE_CLI_LINKS_STATIC OFF)
if(VORLANE_STATIC_CLI AND NOT VORLANE_SANITIZE AND NOT VORLANE_FUZZ)
  find_library(VORLANE_PUGIXML_ARCHIVE NAMES libpugixml.a)
  find_library(VORLANE_UCHARDET_ARCHIVE NAMES libuchardet.a HINTS ${UCHARDET_LIBRARY_DIRS})
  check_linker_flag(CXX "-static-libstdc++;-static-libgcc" VORLANE_HAS_STATIC_RUNTIME)
  if(VORLANE_PUGIXML_ARCHIVE AND VORLANE_UCHARDET_ARCHIVE AND VORLANE_HAS_STATIC_RUNTIME)
    set(VORLANE_CLI_LINKS_STATIC ON)
  else()
    message(STATUS "vorlane-cli links pugixml, uchardet and the C++ runtime as shared "
                   "libraries: no libpugixml.a (libpugixml-dev), libuchardet.a "
                   "(libuchardet-dev) or -static-libstdc++")
  endif()
endif()

if(VORLANE_CLI_LINKS_STATIC)
  add_library(vorlane-static-pugixml STATIC IMPORTED)
  set_target_properties(vorlane-static-pugixml PROPERTIES
    IMPORTED_LOCATION ${VORLANE_PUGIXML_ARCHIVE})
  add_library(vorlane-static-uchardet STATIC IMPORTED)
  set_target_properties(vorlane-static-uchardet PROPERTIES
    IMPORTED_LOCATION ${VORLANE_UCHARDET_ARCHIVE})
  set_target_properties(vorlane-cli PROPERTIES VORLANE_STATIC_LIBRARIES ON)
  target_link_options(vorlane-cli PRIVATE -static-libstdc++ -static-libgcc)
endif()
