// Date and time texts and the date-time numbers of the boundary: any text
// converts or is refused; any double, NaN and infinities included, formats.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>

#include "estado.h"

namespace {

void Confere(bool condicao) {
  if (!condicao) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dados, size_t tamanho) {
  FuzzedDataProvider d(dados, tamanho);
  const std::string texto = d.ConsumeRandomLengthString(64);
  try {
    const DataHora data = TextoParaData(texto);
    // A date read is a day, and it is written back as the same day.
    Confere(data == std::trunc(data));
    Confere(TextoParaData(FormataDataHora("dd/mm/yyyy", data)) == data);
  } catch (const ErroConversao &) {
  }
  try {
    const DataHora hora = TextoParaHora(texto);
    Confere(hora >= 0 && hora < 1);
    Confere(FormataDataHora("hh:nn:ss", TextoParaHora(FormataDataHora("hh:nn:ss", hora))) ==
            FormataDataHora("hh:nn:ss", hora));
  } catch (const ErroConversao &) {
  }
  const std::string padrao = d.ConsumeRandomLengthString(32);
  double valor;
  const std::vector<uint8_t> bits = d.ConsumeBytes<uint8_t>(sizeof valor);
  std::memset(&valor, 0, sizeof valor);
  if (!bits.empty()) std::memcpy(&valor, bits.data(), bits.size());
  FormataDataHora(padrao, valor);
  int ano, mes, dia, hora, minuto, segundo;
  if (DecodificaData(valor, ano, mes, dia)) Confere(mes >= 1 && mes <= 12 && dia >= 1 && dia <= 31);
  DecodificaHora(valor, hora, minuto, segundo);
  Confere(hora >= 0 && hora < 24 && minuto >= 0 && minuto < 60 && segundo >= 0 && segundo < 60);
  return 0;
}
