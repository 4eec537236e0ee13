// The simulated printer's files as its readers take them: any text is read
// or refused with an exception, never a fault.
#include <exception>
#include <string>

#include "estado_gravado.h"

// The first byte of the input chooses the reader; the rest is the text of its
// file. 0: the state file, then (after a NUL) the text of its log of changes;
// 1: the journal; 2: the fiscal memory (other values: the same, modulo 3).
// One reader per input: each of them parses the whole text, and the three on
// every input cost three times as much while the journal and fiscal-memory
// readers refuse a state file at its first line.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dados, size_t tamanho) {
  using namespace tarvic::simulador;
  if (tamanho == 0) return 0;
  const std::string texto(reinterpret_cast<const char *>(dados) + 1, tamanho - 1);
  try {
    switch (dados[0] % 3) {
      case 0: {
        const size_t nul = texto.find('\0');
        LeEstadoDoSimulador(texto.substr(0, nul),
                            nul == std::string::npos ? std::string() : texto.substr(nul + 1));
        break;
      }
      case 1:
        LeJornal(texto);
        break;
      default:
        LeMemoriaFiscal(texto);
        break;
    }
  } catch (const std::exception &) {
  }
  return 0;
}
