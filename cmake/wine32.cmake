# 32-bit Wine for the programs of the win32 build: the system's wine32, or
# the one scripts/wine32.sh unpacked into build/wine32. Each directory that
# runs such a test includes this file.
find_program(TARVIC_WINE32 NAMES wine
             PATHS /usr/lib/wine ${CMAKE_SOURCE_DIR}/build/wine32/usr/lib/wine
             NO_DEFAULT_PATH DOC "32-bit Wine loader")
set(TARVIC_RODA_WINE32 ${CMAKE_SOURCE_DIR}/tests/windows/roda_wine32.sh)

# The environment of a test that runs a 32-bit program under that Wine, in
# the build's own Wine prefix; without 32-bit Wine the test fails saying so.
function(tarvic_ambiente_wine32 teste)
  set_tests_properties(${teste} PROPERTIES TIMEOUT 300 RESOURCE_LOCK wine32)
  set_property(TEST ${teste} APPEND PROPERTY ENVIRONMENT TARVIC_WINE32=${TARVIC_WINE32}
               WINEPREFIX_TARVIC=${CMAKE_BINARY_DIR}/wineprefix)
endfunction()

# A test that runs PROGRAM (from its own folder, where the DLLs it loads
# are) with ARGS:  tarvic_teste_wine32(NAME PROGRAM [ARGS...])
function(tarvic_teste_wine32 nome programa)
  add_test(NAME ${nome} COMMAND bash ${TARVIC_RODA_WINE32} ${programa} ${ARGN})
  tarvic_ambiente_wine32(${nome})
endfunction()
