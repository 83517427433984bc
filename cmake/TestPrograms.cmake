find_package(Qt6 REQUIRED COMPONENTS Test)

# Tests are compiled unoptimised: optimising their assertions' templates took half of their compile
# time, and their run time goes to the program's code and to waiting for the simulated units.
function(telvo_compile_as_test_code target)
  target_compile_options(${target} PRIVATE -O0)
endfunction()

# A test program made of its own folder's sources and support files from other test folders. Each
# support file is compiled once for all the programs that use it (the bus test support alone serves
# some twenty programs), into an object library they link; programs whose definitions differ in a
# name the support file mentions get a compile of their own. The programs' definitions are only
# complete once every folder is read, so the sharing waits till then.
function(telvo_add_test_executable name)
  set(own)
  set(support)
  foreach(source IN LISTS ARGN)
    get_filename_component(path ${source} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    get_filename_component(folder ${path} DIRECTORY)
    if(folder STREQUAL CMAKE_CURRENT_SOURCE_DIR)
      list(APPEND own ${source})
    else()
      list(APPEND support ${path})
    endif()
  endforeach()
  add_executable(${name} ${own})
  telvo_compile_as_test_code(${name})
  # CTest starts a test program for every case. Linked position-dependent, a sanitized program
  # has no relocations for the loader to apply at each start (a position-independent one has near
  # a million, which took half of its start-up time and a third of its page faults).
  target_link_options(${name} PRIVATE -no-pie)
  set_target_properties(${name} PROPERTIES TELVO_SUPPORT_SOURCES "${support}")
  set_property(GLOBAL APPEND PROPERTY TELVO_SUPPORTED_PROGRAMS ${name})
  get_property(deferred GLOBAL PROPERTY TELVO_SUPPORT_DEFERRED)
  if(NOT deferred)
    set_property(GLOBAL PROPERTY TELVO_SUPPORT_DEFERRED ON)
    cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL telvo_link_support_objects)
  endif()
endfunction()

# Those of `definitions` whose names the source file or its header mentions.
function(telvo_definitions_used path definitions out)
  file(READ ${path} text)
  string(REGEX REPLACE "\\.cpp$" ".h" header ${path})
  if(EXISTS ${header})
    file(READ ${header} header_text)
    string(APPEND text "\n${header_text}")
  endif()
  set(used)
  foreach(definition IN LISTS definitions)
    string(REGEX MATCH "^[A-Za-z_][A-Za-z0-9_]*" name "${definition}")
    if(name AND text MATCHES "[^A-Za-z0-9_]${name}[^A-Za-z0-9_]")
      list(APPEND used "${definition}")
    endif()
  endforeach()
  set(${out} "${used}" PARENT_SCOPE)
endfunction()

function(telvo_link_support_objects)
  get_property(programs GLOBAL PROPERTY TELVO_SUPPORTED_PROGRAMS)
  foreach(program IN LISTS programs)
    get_target_property(support ${program} TELVO_SUPPORT_SOURCES)
    get_target_property(all_definitions ${program} COMPILE_DEFINITIONS)
    if(NOT all_definitions)
      set(all_definitions)
    endif()
    foreach(path IN LISTS support)
      telvo_definitions_used(${path} "${all_definitions}" definitions)
      string(MD5 variant "${definitions}")
      string(SUBSTRING ${variant} 0 8 variant)
      file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR} ${path})
      string(MAKE_C_IDENTIFIER "support_${relative}_${variant}" objects)
      if(NOT TARGET ${objects})
        add_library(${objects} OBJECT ${path})
        target_compile_definitions(${objects} PRIVATE ${definitions})
        telvo_compile_as_test_code(${objects})
        # Support files see the headers of any test program: Qt's, Qt Test's and GoogleTest's.
        target_link_libraries(${objects} PRIVATE Qt6::Widgets Qt6::Test GTest::gtest GTest::gmock)
      endif()
      target_sources(${program} PRIVATE $<TARGET_OBJECTS:${objects}>)
    endforeach()
  endforeach()
endfunction()
