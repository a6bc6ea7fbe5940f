# Warnings and sanitizers for our own targets only; third-party code (GoogleTest) keeps its own.
function(orlo_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror -Wno-missing-field-initializers
                                           # GCC 12 reports std::string copies at -O3 falsely (its bug 105329)
                                           $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
  if(ORLO_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(WIN32)
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 __USE_MINGW_ANSI_STDIO=1)
  endif()
endfunction()

# A portable layer: every .cpp in the folder, plus the OS half named by `platform_dir`.
function(orlo_layer name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  orlo_target_options(${name})
endfunction()

# One GoogleTest binary per folder of tests. On Windows builds ctest runs it through the
# crosscompiling emulator (wine64); discovery waits for ctest so the Wine server is up by then.
function(orlo_test_binary name)
  cmake_parse_arguments(T "" "FIXTURE" "LIBS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  orlo_target_options(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # gtest_discover_tests flattens list-valued properties, so each test carries one label:
  # its own on Linux, "wine" for the Windows build.
  if(WIN32)
    set(T_LABELS wine)
  endif()
  if(T_FIXTURE)
    set(T_FIXTURE_PROPERTY FIXTURES_REQUIRED ${T_FIXTURE})
  endif()
  target_compile_definitions(${name} PRIVATE ORLO_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
                                             ORLO_BUILD_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${T_LABELS} ${T_FIXTURE_PROPERTY})
endfunction()
