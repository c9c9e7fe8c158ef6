# One place sets warnings and sanitizers for every target of ours.

set(QUARRY_WARNINGS -Wall -Wextra -Wno-unused-parameter)
if(QUARRY_WERROR)
  list(APPEND QUARRY_WARNINGS -Werror)
endif()

set(QUARRY_SANITIZER_FLAGS)
if(QUARRY_SANITIZE)
  set(QUARRY_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
endif()
if(QUARRY_FUZZ)
  list(APPEND QUARRY_SANITIZER_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
endif()
# Instrumented code is optimised at -O1, as the sanitizers advise: it finds the same faults, reports them
# with truer stacks and compiles far faster than -O2. It comes after the build type's flags, so it wins.
set(QUARRY_INSTRUMENTED_COMPILE_FLAGS)
if(QUARRY_SANITIZER_FLAGS)
  set(QUARRY_INSTRUMENTED_COMPILE_FLAGS -O1)
endif()

function(quarry_target_options target)
  target_compile_options(${target} PRIVATE ${QUARRY_WARNINGS} ${QUARRY_SANITIZER_FLAGS} ${QUARRY_INSTRUMENTED_COMPILE_FLAGS})
  target_link_options(${target} PRIVATE ${QUARRY_SANITIZER_FLAGS})
  if(QUARRY_TESTS)
    # Test hooks (compat::testing) are compiled into test builds only.
    target_compile_definitions(${target} PUBLIC QUARRY_TESTING=1)
  endif()
endfunction()

# quarry_library(name folder DEPS ...): a static library of every source below the folder. A folder
# without sources yet becomes an interface library, so targets can depend on it before it has code.
function(quarry_library name folder)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/${folder}/*.cpp ${PROJECT_SOURCE_DIR}/${folder}/*.c)
  foreach(excluded ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${PROJECT_SOURCE_DIR}/${excluded})
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    quarry_target_options(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# quarry_test_folder(folder): tests/<folder>/*.cpp become one GoogleTest program linked against the
# folder's library; every test is registered with CTest.
function(quarry_test_folder folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  string(REPLACE "/" "_" lib ${folder})
  set(exe test_${lib})
  add_executable(${exe} ${sources})
  set(linked ${lib})
  if(TARGET ${lib}_whole)
    set(linked ${lib}_whole)
  endif()
  target_link_libraries(${exe} PRIVATE ${linked} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${exe} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # Kept pictures are found from here rather than from __FILE__, which a compiler cache or a prefix
  # map may leave relative to the build directory.
  target_compile_definitions(${exe} PRIVATE QUARRY_TESTS_DIR="${PROJECT_SOURCE_DIR}/tests")
  quarry_target_options(${exe})
  # The tests' own code is optimised less than the libraries they check, which keep their optimisation:
  # most of a build's time is the tests' files, and -O1 compiles one in two thirds to three quarters of
  # the time -O2 takes, yet still gives the flow warnings. Under the sanitizers the tests' code is not
  # optimised at all: the sanitizers check it as well unoptimised, and its warnings are the plain
  # build's to give.
  if(QUARRY_SANITIZER_FLAGS)
    target_compile_options(${exe} PRIVATE $<$<NOT:$<CONFIG:Debug>>:-O0>)
  else()
    target_compile_options(${exe} PRIVATE $<$<NOT:$<CONFIG:Debug>>:-O1>)
  endif()
  gtest_discover_tests(${exe}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 60)
  quarry_test_environment()
endfunction()

# Tests run headless, with SDL's dummy video and audio drivers. A list of variables does not survive
# gtest_discover_tests' PROPERTIES (only the first would be set), so CTest sets them in its own
# environment, which every test inherits, from a script it reads with the test list.
function(quarry_test_environment)
  get_property(done DIRECTORY PROPERTY QUARRY_TEST_ENVIRONMENT)
  if(done)
    return()
  endif()
  set(script ${CMAKE_CURRENT_BINARY_DIR}/quarry_test_environment.cmake)
  file(WRITE ${script}
       "set(ENV{QUARRYTIDE_HOST} headless)\nset(ENV{SDL_VIDEODRIVER} dummy)\nset(ENV{SDL_AUDIODRIVER} dummy)\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
  set_property(DIRECTORY PROPERTY QUARRY_TEST_ENVIRONMENT 1)
endfunction()
