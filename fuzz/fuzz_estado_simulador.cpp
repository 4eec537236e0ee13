// The simulated printer's files as its readers take them: any text is read
// or refused with an exception, never a fault.
#if __has_include("estado_gravado.h")
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

#else
// Without the pure readers: a state that was read is written again in a form
// that reads back the same. The printer keeps its parse from text to itself:
// the target opens it up (the start-up around it writes files and would make
// each input a hundred times slower).
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#define private public
#include "impressora_fiscal.h"
#undef private

namespace {

using tarvic::simulador::ImpressoraFiscal;

// One printer for the whole run; its own state file goes to a folder of this
// process, in memory when the system has one.
std::filesystem::path Pasta() {
  const std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
  return base / ("tarvic-fuzz-estado-" + std::to_string(getpid()));
}

ImpressoraFiscal &Impressora() {
  static ImpressoraFiscal *impressora = [] {
    std::filesystem::create_directories(Pasta());
    std::atexit([] {
      std::error_code erro;
      std::filesystem::remove_all(Pasta(), erro);
    });
    return new ImpressoraFiscal("BEMATECH", (Pasta() / "estado.json").string(), false);
  }();
  return *impressora;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dados, size_t tamanho) {
  ImpressoraFiscal &impressora = Impressora();
  std::string erro;
  if (!impressora.desserializa(std::string(reinterpret_cast<const char *>(dados), tamanho), erro))
    return 0;
  const std::string escrito = impressora.serializa();
  if (!impressora.desserializa(escrito, erro) || impressora.serializa() != escrito) std::abort();
  return 0;
}
#endif
