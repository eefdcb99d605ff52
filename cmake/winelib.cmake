# The Win32 tree, built with wineg++ (winelib) and run by Wine.

file(GLOB VCL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/vcl/*.cpp)
file(GLOB WINDOWS_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/src/windows/*.cpp
     ${CMAKE_SOURCE_DIR}/src/skin/core/win32/*.cpp
     ${CMAKE_SOURCE_DIR}/src/skin/windows/*.cpp)
list(FILTER WINDOWS_SOURCES EXCLUDE REGEX "/src/windows/norvixsim\\.cpp$")
# The window-free rules below src/skin/windows/layout are the skinlayout
# library of the core: never compiled a second time into this one.
list(FILTER WINDOWS_SOURCES EXCLUDE REGEX "/src/skin/windows/layout/")

# std::filesystem is built for the host's 4-byte wchar_t; under winelib's
# 2-byte one its paths go wrong (a recursive remove once reached far outside
# its folder). Nothing built here may use it.
file(GLOB_RECURSE WIN_TREE_FILES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/src/*.h ${CMAKE_SOURCE_DIR}/src/*.cpp
     ${CMAKE_SOURCE_DIR}/tests/win/*.h ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
foreach(file ${WIN_TREE_FILES})
  file(STRINGS ${file} uses_filesystem REGEX "#include <filesystem>|std::filesystem")
  if(uses_filesystem)
    message(FATAL_ERROR "${file} uses std::filesystem, which is unsafe under winelib")
  endif()
endforeach()

# The battle engine's inner loops are the program's speed: built here as
# bench/run builds them (winelib code is position independent, and without
# -fno-semantic-interposition every call between the engine's functions
# goes through the table of the shared object).
target_compile_options(battle PRIVATE -O3 -fno-semantic-interposition)
# The skin's bitmap blend runs over whole forms when a skinned form is
# activated: built so that its rows are blended many bytes at a time.
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/skin/core/blend.cpp TARGET_DIRECTORY skincore PROPERTIES COMPILE_OPTIONS -O3)

# libcurl is the machine's library: its header must see the host's sockets,
# not Winsock, so the one file that uses it is built without the Win32 macros.
set(NORVIX_NO_WIN32_MACROS
    -U_WIN32 -U_WIN64 -UWIN32 -UWIN64 -U__WIN32__ -U__WIN64__ -U__WIN64 -U__WINNT -U__WINNT__ -U__WINE__)
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/rtl/http.cpp TARGET_DIRECTORY rtl
                            PROPERTIES COMPILE_OPTIONS "${NORVIX_NO_WIN32_MACROS}")

set(WIN_SYSTEM_LIBS -luser32 -lgdi32 -lcomctl32 -lcomdlg32 -ladvapi32 -lshell32 -lmsimg32 -lole32 -loleaut32 -luuid)

if(VCL_SOURCES)
  add_library(vcl STATIC ${VCL_SOURCES})
  # The system libraries come after the layer on the link line. The desktop
  # is asked through Xlib, whose names clash with Win32's: that one file is
  # built without the Win32 macros.
  set_source_files_properties(${CMAKE_SOURCE_DIR}/src/vcl/xdesktop.cpp TARGET_DIRECTORY vcl
                              PROPERTIES COMPILE_OPTIONS "${NORVIX_NO_WIN32_MACROS}")
  target_link_libraries(vcl PUBLIC rtl ${WIN_SYSTEM_LIBS} X11)
else()
  add_library(vcl INTERFACE)
  target_link_libraries(vcl INTERFACE rtl)
endif()

if(WINDOWS_SOURCES)
  add_library(norvixwin STATIC ${WINDOWS_SOURCES})
  target_link_libraries(norvixwin PUBLIC vcl ${NORVIX_CORE_LIBS})
else()
  add_library(norvixwin INTERFACE)
  target_link_libraries(norvixwin INTERFACE vcl ${NORVIX_CORE_LIBS})
endif()

# The program's resources (its icon), compiled by wrc and linked into the
# program and into the Win32 tests, whose forms then show the same icon.
find_program(NORVIX_WRC wrc REQUIRED)
set(NORVIX_RES ${CMAKE_BINARY_DIR}/norvixsim.res)
add_custom_command(OUTPUT ${NORVIX_RES}
  COMMAND ${NORVIX_WRC} --nostdinc -I${CMAKE_SOURCE_DIR}/src/windows/res -o ${NORVIX_RES}
          ${CMAKE_SOURCE_DIR}/src/windows/res/norvixsim.rc
  DEPENDS ${CMAKE_SOURCE_DIR}/src/windows/res/norvixsim.rc ${CMAKE_SOURCE_DIR}/src/windows/res/norvixsim.ico
  VERBATIM)
add_custom_target(norvixres DEPENDS ${NORVIX_RES})
function(norvix_link_resources target)
  add_dependencies(${target} norvixres)
  target_link_options(${target} PRIVATE ${NORVIX_RES})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${NORVIX_RES})
endfunction()

# winegcc writes NAME.exe.so and a launcher script NAME.exe.
function(norvix_win_executable target)
  add_executable(${target} ${ARGN})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME "${target}.exe" SUFFIX "")
  target_link_options(${target} PRIVATE -mwindows)
  norvix_link_resources(${target})
endfunction()

norvix_win_executable(norvixsim ${CMAKE_SOURCE_DIR}/src/windows/norvixsim.cpp)
target_link_libraries(norvixsim PRIVATE norvixwin ${WIN_SYSTEM_LIBS})

if(NORVIX_TESTS)
  # GoogleTest's own sources see no Win32: under winelib its Windows paths
  # expect the Microsoft C library, but the C library here is glibc.
  set(GTEST_DIR /usr/src/googletest/googletest)
  add_library(gtest_wine STATIC ${GTEST_DIR}/src/gtest-all.cc ${GTEST_DIR}/src/gtest_main.cc)
  target_include_directories(gtest_wine PUBLIC ${GTEST_DIR}/include PRIVATE ${GTEST_DIR})
  target_compile_options(gtest_wine PRIVATE ${NORVIX_NO_WIN32_MACROS} -fexec-charset=UTF-8)

  file(GLOB WIN_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/support/*.cpp)
  # The test web server uses the machine's OpenSSL, as the loader its libcurl.
  set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/win/support/http_server.cpp
                              PROPERTIES COMPILE_OPTIONS "${NORVIX_NO_WIN32_MACROS}")
  # One Win32 test program NAME.exe from one source, with the tests' support.
  function(norvix_win_test name source)
    add_executable(${name} ${source} ${WIN_TEST_SUPPORT})
    set_target_properties(${name} PROPERTIES OUTPUT_NAME "${name}.exe" SUFFIX "")
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/win)
    target_link_libraries(${name} PRIVATE gtest_wine norvixwin ${WIN_SYSTEM_LIBS} ssl crypto)
    norvix_link_resources(${name})
    add_test(NAME ${name} COMMAND ${CMAKE_CURRENT_BINARY_DIR}/${name}.exe WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    # Freed objects of the layer and the skin engine are kept out of reach:
    # a use after free fails the test where it happens (vcl/objectmemory.h).
    set_tests_properties(${name} PROPERTIES
                         ENVIRONMENT "NORVIX_SOURCE_DIR=${CMAKE_SOURCE_DIR};NORVIX_QUARANTINE_FREED=1" TIMEOUT 300)
  endfunction()

  file(GLOB WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*_test.cpp)
  foreach(test_source ${WIN_TESTS})
    get_filename_component(test_name ${test_source} NAME_WE)
    norvix_win_test(win_${test_name} ${test_source})
    # Tests that start the program's windows or the database window share the
    # first-run marker in the prefix's registry: they take turns.
    file(READ ${test_source} test_text)
    if(test_text MATCHES "program_fixture\\.h|database_window\\.h|FirstRunValue")
      set_tests_properties(win_${test_name} PROPERTIES RESOURCE_LOCK first_run_marker)
    endif()
  endforeach()

  # The desktop group (label "desktop"): ./test runs it on a display with a
  # window manager and a managed prefix, apart from the others.
  file(GLOB DESKTOP_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/desktop/*_test.cpp)
  foreach(test_source ${DESKTOP_TESTS})
    get_filename_component(test_name ${test_source} NAME_WE)
    norvix_win_test(desktop_${test_name} ${test_source})
    set_tests_properties(desktop_${test_name} PROPERTIES LABELS desktop)
  endforeach()
  file(GLOB DESKTOP_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/desktop/*_test.sh)
  foreach(script ${DESKTOP_SCRIPTS})
    get_filename_component(test_name ${script} NAME_WE)
    add_test(NAME desktop_${test_name} COMMAND bash ${script})
    set_tests_properties(desktop_${test_name} PROPERTIES LABELS desktop TIMEOUT 120)
  endforeach()
endif()

# The driver of the benchmarks that run the program through its windows
# (bench/run window-selection window-statistics): a console program.
add_executable(window_driver ${CMAKE_SOURCE_DIR}/bench/window_driver.cpp)
set_target_properties(window_driver PROPERTIES OUTPUT_NAME "window_driver.exe" SUFFIX "")
target_link_libraries(window_driver PRIVATE -luser32)
