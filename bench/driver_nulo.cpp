// Every driver function, doing nothing and answering 1; BEMATECH's version
// query answers the version the library expects. Against these, what is
// measured is the library's own cost.
#include <cstdint>
#include <cstring>
#include <tuple>

namespace {

template <class... A>
int32_t Responde(const char*, A...) {
  return 1;
}

int32_t Responde(const char* funcao, char* buffer) {
  if (buffer && std::strcmp(funcao, "Bematech_FI_VersaoDll") == 0)
    std::memcpy(buffer, "5,10,6,8", 8);
  return 1;
}

}  // namespace

#define DRIVER(biblioteca, nome, pilha, parametros, argumentos)        \
  extern "C" int32_t nome parametros {                                 \
    return std::apply([](auto... a) { return Responde(#nome, a...); }, \
                      std::make_tuple argumentos);                     \
  }
#include "drivers/funcoes.inc"
#undef DRIVER
