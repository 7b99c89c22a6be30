# Makes the Debian package with CPack, unpacks it with dpkg-deb into a scratch folder, checks its
# fields and file list, runs the unpacked zelmak-cli on the worked example, and has lintian check
# the package: no errors (its warnings are printed).
# Needs BUILD_DIR, SCRATCH, CPACK and VERSION.
find_program(LINTIAN lintian)
if(NOT LINTIAN)
  message(FATAL_ERROR "lintian is not installed (scripts/setup.sh installs it)")
endif()
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
execute_process(COMMAND ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${SCRATCH}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed (${rc}):\n${out}\n${err}")
endif()
file(GLOB debs ${SCRATCH}/*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one .deb in ${SCRATCH}, found: ${debs}")
endif()
get_filename_component(name ${debs} NAME)
if(NOT name MATCHES "^zelmak_${VERSION}_[a-z0-9]+\\.deb$")
  message(FATAL_ERROR "unexpected package file name ${name}")
endif()

# The control fields.
function(field key pattern)
  execute_process(COMMAND dpkg-deb -f ${debs} ${key} OUTPUT_VARIABLE value
    OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT value MATCHES "${pattern}")
    message(FATAL_ERROR "field ${key} is \"${value}\", expected to match ${pattern}")
  endif()
endfunction()
field(Package "^zelmak$")
field(Version "^${VERSION}$")
field(Maintainer "^[^<>]+ <[^<>@]+@[^<>@]+>$")
field(Section "^utils$")
field(Description
  "^Emulator of a rotor cipher machine with turning discs\n Zelmak emulates[^;]*zelmak-cli[^;]*$")
# Found from the programs' shared libraries, not written by hand.
field(Depends "libc6 .*libqt6widgets6|libqt6widgets6 .*libc6")
field(Depends "libopenmpi3")

# The file list: the four programs, the help and the desktop files, the copyright and the
# changelog, nothing else.
set(root ${SCRATCH}/root)
execute_process(COMMAND dpkg-deb -x ${debs} ${root} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -x failed (${rc}): ${err}")
endif()
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${root} ${root}/*)
list(SORT files)
set(expected
  usr/bin/zelmak
  usr/bin/zelmak-break
  usr/bin/zelmak-cli
  usr/bin/zelmak-converter
  usr/share/applications/io.github.zelmak.Zelmak.desktop
  usr/share/doc/zelmak/changelog.gz
  usr/share/doc/zelmak/copyright
  usr/share/icons/hicolor/scalable/apps/io.github.zelmak.Zelmak.svg
  usr/share/metainfo/io.github.zelmak.Zelmak.metainfo.xml
  usr/share/zelmak/ZELMAK.HLP
  usr/share/zelmak/break-window.png
  usr/share/zelmak/statistics.png)
list(SORT expected)
if(NOT files STREQUAL expected)
  string(REPLACE ";" "\n  " files "${files}")
  string(REPLACE ";" "\n  " expected "${expected}")
  message(FATAL_ERROR "the package holds\n  ${files}\nexpected\n  ${expected}")
endif()

# The unpacked companion runs on its own and keys the worked example.
file(WRITE ${SCRATCH}/clear.txt "HALLO ALLE")
execute_process(COMMAND ${root}/usr/bin/zelmak-cli INPUT_FILE ${SCRATCH}/clear.txt
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "5M5QHAI6Y4")
  message(FATAL_ERROR "unpacked zelmak-cli gave \"${out}\" (status ${rc}): ${err}")
endif()

# The copyright file is machine-readable (lintian checks its syntax and its licence paragraphs).
file(STRINGS ${root}/usr/share/doc/zelmak/copyright copyright LIMIT_COUNT 1)
if(NOT copyright MATCHES "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$")
  message(FATAL_ERROR "the copyright file is not in the machine-readable format: ${copyright}")
endif()

# Errors fail the test; warnings and notes are shown in its output.
execute_process(COMMAND ${LINTIAN} --fail-on error ${debs}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "lintian:\n${out}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lintian found errors (${rc}):\n${out}\n${err}")
endif()

file(REMOVE_RECURSE ${SCRATCH})
