# One check of the desktop files, run as a CTest test:
#   cmake -DCHECK=desktop|appstream|man -DFILES=a|b -P Check.cmake
#   cmake -DCHECK=install -DBUILD=dir -DPREFIX=dir -DFILES=a|b -P Check.cmake
# FILES are separated by "|". A missing tool prints "test skipped: ..."
# and ends the check; CTest then counts the test as skipped.

string(REPLACE "|" ";" FILES "${FILES}")

# Finds a tool, or ends the check as skipped, naming the package.
macro(require_tool var name package)
  find_program(${var} ${name})
  if(NOT ${var})
    message("test skipped: ${name} is missing (Debian package ${package})")
    return()
  endif()
endmacro()

# Runs a validator; fails on a failed run, or on any output unless only a
# failure counts (ALLOW_OUTPUT).
function(validate)
  cmake_parse_arguments(V "ALLOW_OUTPUT" "" "COMMAND" ${ARGN})
  execute_process(COMMAND ${V_COMMAND} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0 OR (NOT V_ALLOW_OUTPUT AND NOT out STREQUAL ""))
    list(JOIN V_COMMAND " " command)
    message(FATAL_ERROR "${command} (exit ${rc}):\n${out}")
  endif()
endfunction()

# The width and height a PNG file's header gives.
function(png_size file out)
  file(READ ${file} header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  if(NOT signature STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "${file} is no PNG")
  endif()
  string(SUBSTRING "${header}" 32 8 width)
  string(SUBSTRING "${header}" 40 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  set(${out} "${width}x${height}" PARENT_SCOPE)
endfunction()

if(CHECK STREQUAL "desktop")
  require_tool(DESKTOP_FILE_VALIDATE desktop-file-validate desktop-file-utils)
  validate(COMMAND ${DESKTOP_FILE_VALIDATE} ${FILES})

elseif(CHECK STREQUAL "appstream")
  require_tool(APPSTREAMCLI appstreamcli appstream)
  validate(ALLOW_OUTPUT COMMAND ${APPSTREAMCLI} validate --no-net --strict ${FILES})

elseif(CHECK STREQUAL "man")
  require_tool(GROFF groff groff-base)
  foreach(page ${FILES})
    validate(COMMAND ${GROFF} -man -ww -z ${page})
  endforeach()

elseif(CHECK STREQUAL "install")
  file(REMOVE_RECURSE ${PREFIX})
  validate(ALLOW_OUTPUT COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX})
  set(missing)
  foreach(file ${FILES})
    if(NOT EXISTS ${PREFIX}/${file})
      list(APPEND missing ${file})
    elseif(file MATCHES "/([0-9]+x[0-9]+)/apps/[^/]+\\.png$")
      set(folder ${CMAKE_MATCH_1})
      png_size(${PREFIX}/${file} size)
      if(NOT size STREQUAL folder)
        message(SEND_ERROR "${file} is ${size}")
      endif()
    endif()
  endforeach()
  if(missing)
    list(JOIN missing "\n  " missing)
    message(FATAL_ERROR "not installed:\n  ${missing}")
  endif()
  # The launcher's program and icon are the installed ones.
  list(FILTER FILES INCLUDE REGEX "^share/applications/.*\\.desktop$")
  file(STRINGS ${PREFIX}/${FILES} entries REGEX "^(Exec|Icon)=")
  foreach(entry ${entries})
    string(REGEX MATCH "^(Exec|Icon)=([^ ]*)" entry "${entry}")
    set(name ${CMAKE_MATCH_2})
    if(CMAKE_MATCH_1 STREQUAL "Exec" AND NOT EXISTS ${PREFIX}/bin/${name})
      message(SEND_ERROR "the .desktop file starts ${name}, which is not installed")
    elseif(CMAKE_MATCH_1 STREQUAL "Icon" AND NOT EXISTS ${PREFIX}/share/icons/hicolor/48x48/apps/${name}.png)
      message(SEND_ERROR "the .desktop file names the icon ${name}, which is not installed")
    endif()
  endforeach()

else()
  message(FATAL_ERROR "unknown check ${CHECK}")
endif()
