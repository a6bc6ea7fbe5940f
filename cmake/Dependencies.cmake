# Every dependency comes from a Debian package: native -dev packages on Linux, the
# *-mingw-w64-dev packages (static archives) for the Windows programs.
find_package(Threads REQUIRED)
find_package(ZLIB REQUIRED)
if(WIN32)
  # The header-only JSON package lives in /usr/include, which must not reach the MinGW
  # include path whole: expose just its folder through a link in the build tree.
  set(json_dir ${PROJECT_BINARY_DIR}/json-include)
  file(MAKE_DIRECTORY ${json_dir})
  file(CREATE_LINK /usr/include/nlohmann ${json_dir}/nlohmann SYMBOLIC)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  target_include_directories(nlohmann_json::nlohmann_json INTERFACE ${json_dir})
else()
  find_package(nlohmann_json 3 REQUIRED)
endif()

if(WIN32)
  find_library(GCRYPT_LIB NAMES libgcrypt.a gcrypt REQUIRED)
  find_library(GPGERROR_LIB NAMES libgpg-error.a gpg-error REQUIRED)
  add_library(orlo_gcrypt INTERFACE)
  target_link_libraries(orlo_gcrypt INTERFACE ${GCRYPT_LIB} ${GPGERROR_LIB} ws2_32)
else()
  find_library(GCRYPT_LIB NAMES gcrypt REQUIRED)
  find_library(GPGERROR_LIB NAMES gpg-error REQUIRED)
  add_library(orlo_gcrypt INTERFACE)
  target_link_libraries(orlo_gcrypt INTERFACE ${GCRYPT_LIB} ${GPGERROR_LIB})
endif()

if(ORLO_TESTS)
  # GoogleTest from the Debian source package, built with whichever compiler this tree uses,
  # so the MinGW build gets Windows test binaries from the same sources.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gmock ALIAS gmock)
  endif()
  include(GoogleTest)
endif()
