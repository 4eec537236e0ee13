# The bytes a stdcall function removes from the stack, from its C parameter
# list: 4 a slot, 8 for money and dates. Used where tarvic.def is made and
# where it is checked against the header.
# "const char *a, tarvic_Moeda b" -> 12; "" and "void" -> 0.
function(tarvic_bytes_da_pilha parametros saida)
  set(bytes 0)
  string(STRIP "${parametros}" parametros)
  if(NOT parametros STREQUAL "" AND NOT parametros STREQUAL "void")
    string(REPLACE "," ";" lista "${parametros}")
    foreach(p IN LISTS lista)
      if(p MATCHES "^ *tarvic_(Moeda|DataHora) ")
        math(EXPR bytes "${bytes} + 8")
      else()
        math(EXPR bytes "${bytes} + 4")
      endif()
    endforeach()
  endif()
  set(${saida} ${bytes} PARENT_SCOPE)
endfunction()
