# brantor_library(NAME <target> OUTPUT <file name> DIR <folder> [DEPS ...] [EXCLUDE regex])
# Builds the folder's sources once into an object library and makes from it
#  - <target>: the shared deliverable (symbols hidden unless exported), and
#  - <target>_static: the same code as a static library, which the unit tests
#    link so that they can reach classes the deliverable does not export.
function(brantor_library)
  cmake_parse_arguments(L "" "NAME;OUTPUT;DIR;EXCLUDE" "DEPS;STATIC_DEPS;EXTRA" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${L_DIR}/*.cpp ${L_DIR}/*.h)
  if(L_EXCLUDE)
    list(FILTER srcs EXCLUDE REGEX "${L_EXCLUDE}")
  endif()
  add_library(${L_NAME}_objects OBJECT ${srcs} ${L_EXTRA})
  target_include_directories(${L_NAME}_objects PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${L_NAME}_objects PUBLIC Threads::Threads ${L_STATIC_DEPS})

  add_library(${L_NAME} SHARED $<TARGET_OBJECTS:${L_NAME}_objects>)
  set_target_properties(${L_NAME} PROPERTIES OUTPUT_NAME ${L_OUTPUT})
  target_include_directories(${L_NAME} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${L_NAME} PUBLIC Threads::Threads ${L_DEPS})

  add_library(${L_NAME}_static STATIC $<TARGET_OBJECTS:${L_NAME}_objects>)
  target_include_directories(${L_NAME}_static PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${L_NAME}_static PUBLIC Threads::Threads ${L_STATIC_DEPS})
endfunction()

# brantor_test(NAME <exe> SOURCES ... LIBS ...): a GoogleTest executable whose
# cases CTest runs one by one.
function(brantor_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(${T_NAME} PRIVATE BRANTOR_TESTDATA_DIR="${BRANTOR_TESTDATA_DIR}")
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main Threads::Threads)
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 300)
endfunction()

# brantor_check_exports(TARGET <shared target> SYMBOLS ... [FORBIDDEN ...]):
# a CTest case that reads the deliverable's dynamic symbol table.
function(brantor_check_exports)
  cmake_parse_arguments(E "" "TARGET" "SYMBOLS;FORBIDDEN" ${ARGN})
  string(REPLACE ";" "|" syms "${E_SYMBOLS}")
  string(REPLACE ";" "|" forb "${E_FORBIDDEN}")
  add_test(NAME exports_${E_TARGET}
           COMMAND ${CMAKE_COMMAND} -DLIB=$<TARGET_FILE:${E_TARGET}> "-DSYMBOLS=${syms}"
                   "-DFORBIDDEN=${forb}" -P ${CMAKE_SOURCE_DIR}/cmake/CheckExports.cmake)
endfunction()
