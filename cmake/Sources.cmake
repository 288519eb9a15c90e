# Sources of a folder: every .cpp in it, less the other platform's files.
# A file ending in Win32.cpp (or Win32Test.cpp) is only for Windows, one
# ending in Posix.cpp (or PosixTest.cpp) only for the other systems. Program
# entries (files ending in Main.cpp, MainWin32.cpp or MainPosix.cpp) belong
# to their programs, not a library.
function(qb_folder_sources out folder)
  file(GLOB all CONFIGURE_DEPENDS "${folder}/*.cpp")
  set(kept)
  foreach(file IN LISTS all)
    if(file MATCHES "Main(Win32|Posix)?\\.cpp$")
      continue()
    endif()
    if(WIN32 AND file MATCHES "Posix(Test)?\\.cpp$")
      continue()
    endif()
    if(NOT WIN32 AND file MATCHES "Win32(Test)?\\.cpp$")
      continue()
    endif()
    list(APPEND kept ${file})
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()

# A library of one folder; folders without sources give an interface target.
function(qb_folder_library name folder)
  qb_folder_sources(sources ${folder})
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()
