# Windows version resource (file and product version from the project's
# version, description, original file name, copyright) for the DLLs and
# programs that ship. windres is run directly: the project's compile options
# are the compilers', not the resource compiler's.

set(TARVIC_DIREITOS "Copyright © 2026 tarvic")
set(TARVIC_VERSAO_RC ${CMAKE_CURRENT_LIST_DIR}/versao.rc.in)

# tarvic_versao(target "description" file-name)
function(tarvic_versao alvo descricao arquivo)
  if(NOT WIN32)
    return()
  endif()
  set(TARVIC_RC_DESCRICAO "${descricao}")
  set(TARVIC_RC_ARQUIVO "${arquivo}")
  string(REGEX REPLACE "\\.[^.]*$" "" TARVIC_RC_INTERNO "${arquivo}")
  if(arquivo MATCHES "\\.[eE][xX][eE]$")
    set(TARVIC_RC_TIPO VFT_APP)
  else()
    set(TARVIC_RC_TIPO VFT_DLL)
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${alvo}_versao.rc)
  set(objeto ${CMAKE_CURRENT_BINARY_DIR}/${alvo}_versao.obj)
  configure_file(${TARVIC_VERSAO_RC} ${rc} @ONLY)
  add_custom_command(OUTPUT ${objeto}
                     COMMAND ${TARVIC_MINGW_PREFIX}-windres -O coff -i ${rc} -o ${objeto}
                     DEPENDS ${rc}
                     VERBATIM)
  set_source_files_properties(${objeto} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
  target_sources(${alvo} PRIVATE ${objeto})
endfunction()
