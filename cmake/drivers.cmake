# Import libraries of the manufacturers' drivers for the Windows builds, made
# from the one list of driver functions (tarvic/drivers/funcoes.inc). On
# 32-bit Windows the library references each function by its stdcall name
# (Name@N); dlltool -k makes the import name the undecorated one that the
# drivers export.

set(TARVIC_FUNCOES_DRIVER ${CMAKE_SOURCE_DIR}/tarvic/drivers/funcoes.inc)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TARVIC_FUNCOES_DRIVER})

set(TARVIC_DLL_BEMAFI32 BEMAFI32.DLL)
set(TARVIC_DLL_CONVECF CONVECF.DLL)
set(TARVIC_DLL_DARUMA32 DARUMA32.DLL)
set(TARVIC_DLL_ELGIN ELGIN.DLL)
set(TARVIC_DLL_DLLG2 DLLG2.DLL)
set(TARVIC_DLL_SWMFD Swmfd.dll)
set(TARVIC_DLL_DLLG2_GERADOR DLLG2_Gerador.dll)
set(TARVIC_BIBLIOTECAS_DRIVER BEMAFI32 CONVECF DARUMA32 ELGIN DLLG2 SWMFD DLLG2_GERADOR)

# Reads the list into TARVIC_DRIVER_<BIBLIOTECA> = "Nome@N;..." for each library.
function(tarvic_le_funcoes_driver)
  file(STRINGS ${TARVIC_FUNCOES_DRIVER} linhas REGEX "^DRIVER\\(")
  foreach(biblioteca ${TARVIC_BIBLIOTECAS_DRIVER})
    set(TARVIC_DRIVER_${biblioteca} "")
  endforeach()
  foreach(linha IN LISTS linhas)
    if(NOT linha MATCHES "^DRIVER\\(([A-Z0-9_]+), *([A-Za-z0-9_]+), *([0-9]+),")
      message(FATAL_ERROR "driver line not understood: ${linha}")
    endif()
    list(APPEND TARVIC_DRIVER_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}@${CMAKE_MATCH_3}")
  endforeach()
  foreach(biblioteca ${TARVIC_BIBLIOTECAS_DRIVER})
    set(TARVIC_DRIVER_${biblioteca} "${TARVIC_DRIVER_${biblioteca}}" PARENT_SCOPE)
  endforeach()
endfunction()

# Writes <dir>/<BIBLIOTECA>.def for each library. decorado: keep the @N.
function(tarvic_escreve_defs_driver dir decorado)
  tarvic_le_funcoes_driver()
  foreach(biblioteca ${TARVIC_BIBLIOTECAS_DRIVER})
    set(texto "LIBRARY ${TARVIC_DLL_${biblioteca}}\nEXPORTS\n")
    foreach(funcao ${TARVIC_DRIVER_${biblioteca}})
      if(decorado)
        string(APPEND texto "    ${funcao}\n")
      else()
        string(REGEX REPLACE "@[0-9]+$" "" nome "${funcao}")
        string(APPEND texto "    ${nome}\n")
      endif()
    endforeach()
    file(CONFIGURE OUTPUT ${dir}/${biblioteca}.def CONTENT "${texto}" @ONLY)
  endforeach()
endfunction()

# Import libraries lib<BIBLIOTECA>.a, one target tarvic_importacoes_driver.
function(tarvic_importacoes_driver)
  set(dir ${CMAKE_BINARY_DIR}/drivers)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    tarvic_escreve_defs_driver(${dir} TRUE)
    set(maquina i386)
    set(matar -k)
  else()
    tarvic_escreve_defs_driver(${dir} FALSE)
    set(maquina i386:x86-64)
    set(matar "")
  endif()
  set(libs "")
  foreach(biblioteca ${TARVIC_BIBLIOTECAS_DRIVER})
    add_custom_command(
      OUTPUT ${dir}/lib${biblioteca}.a
      COMMAND ${TARVIC_MINGW_PREFIX}-dlltool ${matar} -m ${maquina} -d ${dir}/${biblioteca}.def
              -l ${dir}/lib${biblioteca}.a
      DEPENDS ${dir}/${biblioteca}.def
      VERBATIM)
    list(APPEND libs ${dir}/lib${biblioteca}.a)
  endforeach()
  add_custom_target(tarvic_gera_importacoes DEPENDS ${libs})
  add_library(tarvic_importacoes_driver INTERFACE)
  add_dependencies(tarvic_importacoes_driver tarvic_gera_importacoes)
  target_link_libraries(tarvic_importacoes_driver INTERFACE ${libs})
endfunction()
