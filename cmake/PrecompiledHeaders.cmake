# Most of a file's compile went to parsing the same standard library, Qt and GoogleTest headers
# again. They are parsed once per build into three precompiled headers, each reused by every target
# of its kind: plain code, code on Qt, and the tests. ccache, as set up by default, passes a file
# that uses a precompiled header to the compiler uncached every time, so under it they are left out.
set(_telvo_pch_default ON)
if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache")
  set(_telvo_pch_default OFF)
endif()
option(TELVO_PCH "Compile the common headers once into precompiled headers" ${_telvo_pch_default})
# A file that uses a header the precompiled ones hold without including it builds with them and
# fails without them. Precompiled, the standard library's headers alone leave each file to include
# Qt's and GoogleTest's itself, as a build without them does: CI's sanitized build takes a
# tenth more processor time for it, and hardly more time on two cores.
option(TELVO_PCH_STANDARD_ONLY "Precompile only the standard library's headers" OFF)

set(_telvo_pch_dir ${CMAKE_CURRENT_LIST_DIR}/pch)

# Whether `target` or anything it links, directly or through other targets, is Qt.
function(telvo_links_qt target out)
  get_property(known GLOBAL PROPERTY TELVO_LINKS_QT_${target} SET)
  if(NOT known)
    set(found OFF)
    if(target MATCHES "^Qt6::")
      set(found ON)
    else()
      get_target_property(type ${target} TYPE)
      set(libraries)
      if(NOT type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(libraries ${target} LINK_LIBRARIES)
      endif()
      get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
      foreach(library IN LISTS libraries interface)
        if(TARGET ${library})
          telvo_links_qt(${library} library_found)
          if(library_found)
            set(found ON)
            break()
          endif()
        endif()
      endforeach()
    endif()
    set_property(GLOBAL PROPERTY TELVO_LINKS_QT_${target} ${found})
  endif()
  get_property(found GLOBAL PROPERTY TELVO_LINKS_QT_${target})
  set(${out} ${found} PARENT_SCOPE)
endfunction()

function(telvo_targets_below directory out)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    telvo_targets_below(${subdirectory} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# One target that compiles a precompiled header of the headers named after `libraries`, with the
# definitions those bring. A file can use it only where it defines each of them too, so the Qt
# headers come with the definitions of Qt's core alone, which everything on Qt has, and with the
# widgets' include folders.
function(telvo_add_pch_target name libraries)
  add_library(${name} OBJECT ${_telvo_pch_dir}/Empty.cpp)
  target_link_libraries(${name} PRIVATE ${libraries})
  if(libraries MATCHES "Qt6::")
    target_include_directories(${name} SYSTEM PRIVATE
                               $<TARGET_PROPERTY:Qt6::Widgets,INTERFACE_INCLUDE_DIRECTORIES>)
  endif()
  list(TRANSFORM ARGN PREPEND ${_telvo_pch_dir}/)
  target_precompile_headers(${name} PRIVATE ${ARGN})
endfunction()

# Called once every folder is read, so that it finds every library and program, the tests'
# support objects among them.
function(telvo_precompile_headers)
  if(NOT TELVO_PCH)
    return()
  endif()
  set(qt_headers QtHeaders.h)
  set(test_headers TestHeaders.h)
  if(TELVO_PCH_STANDARD_ONLY)
    set(qt_headers)
    set(test_headers)
  endif()
  telvo_add_pch_target(telvo_pch_plain "" StandardHeaders.h)
  telvo_add_pch_target(telvo_pch_qt "Qt6::Core" StandardHeaders.h ${qt_headers})
  telvo_add_pch_target(telvo_pch_tests "Qt6::Core;GTest::gtest;GTest::gmock"
                       StandardHeaders.h ${qt_headers} ${test_headers})
  telvo_compile_as_test_code(telvo_pch_tests)
  telvo_targets_below(${CMAKE_SOURCE_DIR} targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY)$"
       OR target MATCHES "^telvo_pch_")
      continue()
    endif()
    get_target_property(libraries ${target} LINK_LIBRARIES)
    if(libraries MATCHES "GTest::")
      set(pch telvo_pch_tests)
    else()
      telvo_links_qt(${target} links_qt)
      if(links_qt)
        set(pch telvo_pch_qt)
      else()
        set(pch telvo_pch_plain)
      endif()
    endif()
    target_precompile_headers(${target} REUSE_FROM ${pch})
  endforeach()
endfunction()
