# Build settings shared by the Windows tree and the native tree.
#
# The Windows trees (toolchains cmake/mingw-i686.cmake, the product, and
# cmake/mingw-x86_64.cmake) build everything and run their tests under Wine.
# The native tree builds only the code that needs no Windows headers and runs
# its tests under AddressSanitizer and UndefinedBehaviorSanitizer; with KX_FUZZ it also builds the libFuzzer
# targets (clang only).

if(WIN32)
  set(KX_WINDOWS ON)
else()
  set(KX_WINDOWS OFF)
endif()

# A compiler cache where the machine has one: a fresh clone of the same
# sources then compiles only what changed. Paths inside the source tree are
# hashed relative to it, so clones in other folders share the cache.
find_program(KX_CCACHE ccache)
if(KX_CCACHE)
  set(launcher ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR}
      CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE=20G ${KX_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${launcher})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${launcher})
endif()

option(KX_SANITIZE "Native build: AddressSanitizer and UBSan" ON)
option(KX_FUZZ "Native build: libFuzzer targets (needs clang)" OFF)
if(KX_FUZZ AND NOT KX_WINDOWS)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

add_compile_options(-Wall -Wextra)

if(KX_WINDOWS)
  enable_language(RC)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0500)
  set(KX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  # Each build tree runs its tests in a prefix of its own architecture; the
  # 64-bit tree uses Wine's 64-bit loader directly, so it runs where 32-bit
  # programs cannot.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(KX_WINEARCH win64)
    set(KX_WINELOADER /usr/lib/wine/wine64)
    # A pointer or handle must never pass through a narrower integer.
    add_compile_options(-Werror=int-to-pointer-cast $<$<COMPILE_LANGUAGE:C>:-Werror=pointer-to-int-cast>)
  else()
    set(KX_WINEARCH win32)
    set(KX_WINELOADER wine)
  endif()
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE @ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
elseif(KX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# kx_def_file(<source.def> <out-var>): the module-definition file for this
# architecture. The 32-bit build names __stdcall entries with their "@N"
# decorations; the 64-bit build has no decorations, so they are dropped
# (names and ordinals stay).
function(kx_def_file source out)
  get_filename_component(path ${source} ABSOLUTE)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    file(READ ${path} text)
    string(REGEX REPLACE "([A-Za-z_][A-Za-z0-9_]*)@[0-9]+" "\\1" text "${text}")
    get_filename_component(name ${source} NAME)
    set(path ${CMAKE_CURRENT_BINARY_DIR}/${name})
    file(WRITE ${path} "${text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  endif()
  set(${out} ${path} PARENT_SCOPE)
endfunction()

# GoogleTest from Debian's source package, built with this tree's compiler.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

include(GoogleTest)

# kx_add_tests(<name> SOURCES ... [LIBS ...] [FOCUS] [FIXTURE name]
#              [LOCK name ...] [ENVIRONMENT VAR=value ...])
# One test program per folder; every test case is its own ctest test.
# FOCUS: the cases depend on window activation or focus and must not run
# alongside each other. FIXTURE: a ctest fixture every case requires.
# LOCK: shared things the cases change (glintharbour_ini: the settings file
# in the Windows folder); no two cases holding the same lock run at once.
# ENVIRONMENT: variables every case runs with.
function(kx_add_tests name)
  cmake_parse_arguments(T "FOCUS" "FIXTURE" "SOURCES;LIBS;ENVIRONMENT;LOCK" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(KX_WINDOWS)
    # A console program: tests print to stdout and need no WinMain.
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  # Every case takes seconds; a process that outlives a minute is hung.
  set(props TIMEOUT 60)
  if(T_FIXTURE)
    list(APPEND props FIXTURES_REQUIRED ${T_FIXTURE})
  endif()
  if(T_ENVIRONMENT)
    list(APPEND props ENVIRONMENT "${T_ENVIRONMENT}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ${props})
  set(locks ${T_LOCK})
  if(T_FOCUS)
    list(APPEND locks desktop_focus)
  endif()
  if(locks)
    # Discovered cases take a property only as one word, so a script that
    # ctest reads after the discovery gives them the whole list of locks.
    set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}_locks.cmake)
    file(WRITE ${script}
         "if(${name}_TESTS)\n"
         "  set_tests_properties(\${${name}_TESTS} PROPERTIES RESOURCE_LOCK \"${locks}\")\n"
         "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
  endif()
endfunction()

# kx_test_paths(<target> <NAME> <path> ... [DRIVE_Z <NAME> <path> ...])
# Gives a test program each path as the definition NAME, an expression for
# the path's text (cmake/TreePath.h); after DRIVE_Z the text starts with
# "Z:", Wine's drive for the host's root. The paths are compiled in relative
# to the program's folder, so a clone elsewhere compiles the same objects.
function(kx_test_paths target)
  cmake_parse_arguments(P "" "" "DRIVE_Z" ${ARGN})
  set(defs)
  foreach(kind plain drive)
    if(kind STREQUAL plain)
      set(pairs ${P_UNPARSED_ARGUMENTS})
      set(prefix "")
    else()
      set(pairs ${P_DRIVE_Z})
      set(prefix ", \"Z:\"")
    endif()
    while(pairs)
      list(POP_FRONT pairs name path)
      set(relative "$<PATH:RELATIVE_PATH,${path},$<TARGET_FILE_DIR:${target}>>")
      list(APPEND defs "$<$<COMPILE_LANGUAGE:CXX>:${name}=kxtree::Path(\"${relative}\"${prefix})>")
    endwhile()
  endforeach()
  target_compile_definitions(${target} PRIVATE ${defs})
  target_compile_options(${target} PRIVATE
                         "$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${PROJECT_SOURCE_DIR}/cmake/TreePath.h>")
endfunction()

# kx_fuzz_target(<name> SOURCES ... LIBS ...): native libFuzzer targets.
function(kx_fuzz_target name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(KX_WINDOWS OR NOT KX_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()
