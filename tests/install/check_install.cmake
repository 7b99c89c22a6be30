# Installs the build into a scratch prefix and checks the installed tree.
# Needs BUILD_DIR, PREFIX and SOURCE_DATA.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}\n${err}")
endif()

set(expected
  bin/zelmak-break
  bin/zelmak-cli
  bin/zelmak-converter
  bin/zelmak
  share/doc/zelmak/changelog.gz
  share/doc/zelmak/copyright
  share/zelmak/ZELMAK.HLP
  share/zelmak/break-window.png
  share/zelmak/statistics.png
  share/applications/io.github.zelmak.Zelmak.desktop
  share/icons/hicolor/scalable/apps/io.github.zelmak.Zelmak.svg
  share/metainfo/io.github.zelmak.Zelmak.metainfo.xml)

set(missing "")
foreach(f IN LISTS expected)
  if(NOT EXISTS ${PREFIX}/${f})
    list(APPEND missing ${f})
  endif()
endforeach()
if(missing)
  file(GLOB_RECURSE installed RELATIVE ${PREFIX} ${PREFIX}/*)
  message(FATAL_ERROR "missing from the installed tree: ${missing}\ninstalled: ${installed}")
endif()

# Each program under a name of our own: nothing generic such as "converter" in bin.
file(GLOB programs RELATIVE ${PREFIX}/bin ${PREFIX}/bin/*)
list(SORT programs)
if(NOT programs STREQUAL "zelmak;zelmak-break;zelmak-cli;zelmak-converter")
  message(FATAL_ERROR
    "bin holds ${programs}, expected zelmak, zelmak-break, zelmak-cli and zelmak-converter")
endif()
foreach(program ${programs})
  execute_process(COMMAND test -f ${PREFIX}/bin/${program} -a -x ${PREFIX}/bin/${program}
    RESULT_VARIABLE notExecutable)
  if(notExecutable)
    message(FATAL_ERROR "bin/${program} is not an executable file")
  endif()
endforeach()

foreach(f ZELMAK.HLP)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SOURCE_DATA}/${f}
    ${PREFIX}/share/zelmak/${f} RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "installed ${f} differs from the source")
  endif()
endforeach()

# The installed command-line programs run from the installed tree.
foreach(program zelmak-cli zelmak-break)
  execute_process(COMMAND ${PREFIX}/bin/${program} --help RESULT_VARIABLE rc OUTPUT_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "installed ${program} --help failed (${rc})")
  endif()
endforeach()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
  execute_process(COMMAND ${DESKTOP_FILE_VALIDATE}
    ${PREFIX}/share/applications/io.github.zelmak.Zelmak.desktop
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate: ${out}${err}")
  endif()
else()
  message(STATUS "desktop-file-validate not installed: only the .desktop file's keys are checked")
endif()
# The entry must start the installed program and name the installed icon.
file(STRINGS ${PREFIX}/share/applications/io.github.zelmak.Zelmak.desktop entry)
foreach(line "[Desktop Entry]" "Type=Application" "Name=Zelmak" "Exec=zelmak"
        "Icon=io.github.zelmak.Zelmak")
  list(FIND entry "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the .desktop file lacks the line ${line}")
  endif()
endforeach()

find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
  execute_process(COMMAND ${APPSTREAMCLI} validate --no-net
    ${PREFIX}/share/metainfo/io.github.zelmak.Zelmak.metainfo.xml
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "appstreamcli validate: ${out}${err}")
  endif()
else()
  message(STATUS "appstreamcli not installed: the metainfo file is not validated")
endif()

file(REMOVE_RECURSE ${PREFIX})
