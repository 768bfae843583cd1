# Installs the build into a fresh prefix and checks the tree a desktop would find there: every
# file in place, the desktop entry's command and icon present, and the desktop entry and the
# AppStream metainfo accepted by the freedesktop.org validators.
#   cmake -DBUILD_DIR=... -DPREFIX=... -DAPP_ID=... -DVERSION=... -P CheckInstallTree.cmake

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(desktop_entry "${PREFIX}/share/applications/brimwell.desktop")
set(metainfo "${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml")
foreach(installed IN ITEMS "${PREFIX}/bin/brimwell" "${PREFIX}/bin/brimwell-cli" "${desktop_entry}"
                           "${metainfo}")
  if(NOT EXISTS "${installed}")
    message(FATAL_ERROR "missing from the install tree: ${installed}")
  endif()
endforeach()

# The launcher runs a program and shows an icon that the tree must hold.
file(STRINGS "${desktop_entry}" exec REGEX "^Exec=")
file(STRINGS "${desktop_entry}" icon REGEX "^Icon=")
string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" exec "${exec}")
string(REGEX REPLACE "^Icon=" "" icon "${icon}")
if(NOT EXISTS "${PREFIX}/bin/${exec}")
  message(FATAL_ERROR "Exec names '${exec}', which is not in ${PREFIX}/bin")
endif()
set(icon_file "${PREFIX}/share/icons/hicolor/scalable/apps/${icon}.svg")
if(NOT EXISTS "${icon_file}")
  message(FATAL_ERROR "Icon names '${icon}', which has no ${icon_file}")
endif()
file(READ "${icon_file}" svg)
if(NOT svg MATCHES "<svg [^>]*viewBox=")
  message(FATAL_ERROR "${icon_file} is not a scalable SVG image")
endif()

# Each check: a command whose output must not hold a complaint. desktop-file-validate only
# fails on errors, so its warnings are looked for too; its hints are advice.
function(run_check)
  list(JOIN ARGN " " command)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                  ERROR_VARIABLE output)
  if(NOT result EQUAL 0 OR output MATCHES "(error|warning):")
    message(FATAL_ERROR "${command} failed (${result}):\n${output}")
  endif()
  message(STATUS "${command}\n${output}")
endfunction()

foreach(tool IN ITEMS desktop-file-validate appstreamcli)
  find_program(found_${tool} ${tool})
  if(NOT found_${tool})
    message(FATAL_ERROR "${tool} is not installed: run scripts/install-deps.sh")
  endif()
endforeach()
run_check(desktop-file-validate "${desktop_entry}")
run_check(appstreamcli validate --no-net --strict "${metainfo}")
run_check(appstreamcli validate-tree --no-net --strict "${PREFIX}")

# The installed programs run without a display and know their version.
foreach(program IN ITEMS "brimwell;Brimwell" "brimwell-cli;brimwell-cli")
  list(GET program 0 name)
  list(GET program 1 shown)
  execute_process(COMMAND "${PREFIX}/bin/${name}" --version RESULT_VARIABLE result
                  OUTPUT_VARIABLE output)
  if(NOT result EQUAL 0 OR NOT output STREQUAL "${shown} ${VERSION}\n")
    message(FATAL_ERROR "installed ${name} --version gave ${result}: '${output}'")
  endif()
endforeach()

file(REMOVE_RECURSE "${PREFIX}")
