# The module-definition file of tarvic.dll, made from the one list of exports
# (tarvic/exportacoes.inc): each undecorated name bound to its stdcall symbol,
# with the bytes of arguments it removes from the stack (4 a slot, 8 for
# money and dates), and ecf_Retorno as data.

include(${CMAKE_CURRENT_LIST_DIR}/pilha.cmake)

set(TARVIC_EXPORTACOES ${CMAKE_SOURCE_DIR}/tarvic/exportacoes.inc)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TARVIC_EXPORTACOES})

# Writes the file. decorado: bind each name to Name@N (32-bit Windows);
# otherwise the names alone (64-bit Windows has no decorated names).
function(tarvic_escreve_def arquivo decorado)
  file(STRINGS ${TARVIC_EXPORTACOES} linhas REGEX "^EXPORTACAO\\(")
  set(texto "; Exports of tarvic.dll: undecorated names bound to the stdcall symbols,\n")
  string(APPEND texto "; each with the bytes of arguments it removes from the stack.\n")
  string(APPEND texto "LIBRARY tarvic.dll\nEXPORTS\n    ecf_Retorno DATA\n")
  foreach(linha IN LISTS linhas)
    if(NOT linha MATCHES "^EXPORTACAO\\([^,]+, *([A-Za-z0-9_]+), *\\(([^)]*)\\), *\\(")
      message(FATAL_ERROR "export line not understood: ${linha}")
    endif()
    set(nome ${CMAKE_MATCH_1})
    tarvic_bytes_da_pilha("${CMAKE_MATCH_2}" bytes)
    if(decorado)
      string(APPEND texto "    ${nome} = ${nome}@${bytes}\n")
    else()
      string(APPEND texto "    ${nome}\n")
    endif()
  endforeach()
  file(CONFIGURE OUTPUT ${arquivo} CONTENT "${texto}" @ONLY)
endfunction()
