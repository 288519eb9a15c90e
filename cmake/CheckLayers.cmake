# Run with cmake -P from the source folder: fails when a file of a layer
# includes a header of a layer above it (or of its sibling engine), or a
# Windows header. Only the file layer's *Win32.cpp files of model/ may
# include <windows.h>; win32/ is the top and may include anything.
set(above_model publish import editor win32)
set(above_publish import editor win32)
set(above_import publish editor win32)
set(above_editor win32)
set(windows_headers windows commctrl commdlg shellapi prsht shlobj shlwapi winuser winreg)
list(JOIN windows_headers "|" windows_pattern)

set(violations "")
foreach(layer model publish import editor)
  file(GLOB sources RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${layer}/*.cpp ${layer}/*.h ${layer}/*.c)
  list(JOIN above_${layer} "|" above_pattern)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
      if(line MATCHES "\"(${above_pattern})/")
        list(APPEND violations "${source}: ${line}")
      elseif(line MATCHES "<(${windows_pattern})\\.h>")
        if(NOT (source MATCHES "^model/[A-Za-z]*Win32\\.cpp$" AND line MATCHES "<windows\\.h>"))
          list(APPEND violations "${source}: ${line}")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n" text)
  message(FATAL_ERROR "Includes against the layers:\n${text}")
endif()
