# One helper adds every test suite: GoogleTest, the shared support library,
# and an environment that needs no display.
include(GoogleTest)
# A cross build compiles GoogleTest from Debian's sources with its own toolchain.
set(VELK_GTEST_SOURCE_DIR "" CACHE PATH "GoogleTest sources to build instead of the installed one")
if(VELK_GTEST_SOURCE_DIR)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VELK_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()

# A cross build's suites run under Wine, which finds Qt's libraries, their plugins and the
# runtime they load in one staged folder named by WINEPATH (Qt finds its plugins beside the
# folder of its core library). Wine keeps QT_* variables from Windows programs but hands on
# WINEQT_* as QT_*: the offscreen platform, and the host's fonts for it (it reads font files
# from a folder, and a Wine prefix has none). The test discovery runs the suites too, without
# the tests' environment, so Wine is started through env with these.
set(VELK_TEST_FONT_DIR /usr/share/fonts/truetype/dejavu CACHE PATH
    "Fonts for the offscreen platform of the suites under Wine")
set(velk_test_emulator "")
if(WIN32 AND CMAKE_CROSSCOMPILING AND TARGET Qt6::Core)
  set(staged ${CMAKE_BINARY_DIR}/windows-runtime)
  velk_windows_runtime(runtime FOR_TESTS)
  while(runtime)
    list(POP_FRONT runtime file folder)
    if(folder STREQUAL ".")
      set(folder bin)
    else()
      set(folder plugins/${folder})
    endif()
    file(COPY ${file} DESTINATION ${staged}/${folder})
  endwhile()
  set(velk_test_emulator env "WINEPATH=Z:${staged}/bin" WINEQT_QPA_PLATFORM=offscreen
      "WINEQT_QPA_FONTDIR=Z:${VELK_TEST_FONT_DIR}" ${CMAKE_CROSSCOMPILING_EMULATOR})
endif()

# LOCK names a resource the suite's tests may not share with another suite's at the same time.
function(velk_add_test name)
  cmake_parse_arguments(ARG "" "LOCK" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(velk_test_emulator)
    set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR ${velk_test_emulator})
  endif()
  target_link_libraries(${name} PRIVATE velk_test_support ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set(lock "")
  if(ARG_LOCK)
    set(lock RESOURCE_LOCK ${ARG_LOCK})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    NO_PRETTY_VALUES
    TEST_PREFIX "${name}."
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8" ${lock})
endfunction()
