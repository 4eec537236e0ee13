// The printed text of a DATAREGIS reading as a file keeps it: any chunk of
// bytes gives CR LF line ends, lines of at most 48 characters and no printer
// command (ESC and the two bytes after it).
#include <cstdlib>
#include <string>

namespace tarvic {
std::string AjustaTextoImpressao(const std::string &texto);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dados, size_t tamanho) {
  const std::string texto(reinterpret_cast<const char *>(dados), tamanho);
  const std::string ajustado = tarvic::AjustaTextoImpressao(texto);
  // A line may go on from the previous chunk: only whole lines are measured.
  size_t inicio = ajustado.find("\r\n");
  while (inicio != std::string::npos) {
    const size_t fim = ajustado.find("\r\n", inicio + 2);
    if (fim != std::string::npos && fim - inicio - 2 > 48) std::abort();
    inicio = fim;
  }
  if (ajustado.find('\x1b') != std::string::npos) std::abort();
  return 0;
}
