// The simulated printer's files as its readers take them: any text is read
// or refused with an exception, never a fault.
#include <exception>
#include <string>

#include "estado_gravado.h"

// The input is the state file's text, then (after a NUL) the text of its log
// of changes; the journal and fiscal-memory readers get it whole.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dados, size_t tamanho) {
  using namespace tarvic::simulador;
  const std::string texto(reinterpret_cast<const char *>(dados), tamanho);
  const size_t nul = texto.find('\0');
  try {
    LeEstadoDoSimulador(texto.substr(0, nul),
                        nul == std::string::npos ? std::string() : texto.substr(nul + 1));
  } catch (const std::exception &) {
  }
  try {
    LeJornal(texto);
  } catch (const std::exception &) {
  }
  try {
    LeMemoriaFiscal(texto);
  } catch (const std::exception &) {
  }
  return 0;
}

