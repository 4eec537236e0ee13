// Number and money texts: whatever a host or a driver writes is either read
// exactly or refused with ErroConversao; what the library writes reads back.
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

#include "estado.h"
#include "interno.h"

namespace {

void Confere(bool condicao) {
  if (!condicao) std::abort();
}

template <class Funcao>
void Tenta(Funcao funcao) {
  try {
    funcao();
  } catch (const ErroConversao &) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dados, size_t tamanho) {
  FuzzedDataProvider d(dados, tamanho);
  const std::string texto = d.ConsumeRandomLengthString(200);
  Tenta([&] { TextoParaInteiro(texto); });
  Tenta([&] { TextoParaValor(texto); });
  tarvic::ApenasDigitos(texto);
  Tenta([&] {
    const Moeda valor = TextoParaMoeda(texto);
    // Four decimals written with the decimal comma read back the same.
    Confere(TextoParaMoeda(FormataValor(valor, 4)) == valor);
    Confere(TextoParaValor(FormataValor(valor, 4)) == valor);
  });
  const Moeda a = d.ConsumeIntegral<Moeda>(), b = d.ConsumeIntegral<Moeda>();
  const Moeda divisor = d.ConsumeIntegral<Moeda>();
  const int casas = d.ConsumeIntegralInRange(-2, 6);
  Tenta([&] {
    const std::string escrito = FormataValor(a, casas);
    if (casas >= 4) Confere(TextoParaMoeda(escrito) == a);
  });
  Confere(FormataInteiro(a, d.ConsumeIntegralInRange(0, 30)).size() >= 1);
  Tenta([&] {
    const Moeda r = MultiplicaDivide(a, b, divisor);
    // Exact whenever the product fits: the rounding is half away from zero.
    Moeda produto;
    if (!__builtin_mul_overflow(a, b, &produto) && divisor == 1) Confere(r == produto);
  });
  Tenta([&] { CentavosParaMoeda(a); });
  return 0;
}
