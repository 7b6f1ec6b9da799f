# kx_test_prefix_without(<fixture> <folder> <library>...)
# A ctest fixture for tests that need a Windows folder without libraries
# that the tree's own prefix holds for every other test: its setup test
# <fixture>_make makes the Wine prefix <folder> (of this tree's
# architecture) and removes the libraries from its Windows folder; its
# cleanup test <fixture>_stop stops the prefix's server. The cases run
# there with KX_TEST_WINEPREFIX=<folder> in their environment.
function(kx_test_prefix_without fixture folder)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(arch x86_64)
  else()
    set(arch i686)
  endif()
  set(script ${PROJECT_SOURCE_DIR}/cmake/prefix-without.sh)
  add_test(NAME ${fixture}_make COMMAND bash ${script} make ${folder} ${arch} ${ARGN})
  add_test(NAME ${fixture}_stop COMMAND bash ${script} stop ${folder} ${arch})
  set_tests_properties(${fixture}_make PROPERTIES FIXTURES_SETUP ${fixture} TIMEOUT 300)
  set_tests_properties(${fixture}_stop PROPERTIES FIXTURES_CLEANUP ${fixture})
endfunction()
