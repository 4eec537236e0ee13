// What the file system seam does the same on every system: the tests'
// observer of file changes.
#include "arquivos.h"

namespace tarvic {
namespace simulador {
namespace arquivo {

namespace {
Observador observador = nullptr;
}  // namespace

void DefineObservador(Observador o) {
  observador = o;
}

void Observa(const char* operacao, const std::string& caminho) {
  if (observador) observador(operacao, caminho);
}

}  // namespace arquivo
}  // namespace simulador
}  // namespace tarvic
