// The reader of a call trace, which reads files that come from shops: any
// file is read to its end or refused with its file and line, never read past
// its bytes; and any bytes the trace quotes come back as they were.
#include <cstdlib>
#include <string>

#include "leitura.h"

namespace {

void Confere(bool condicao) {
  if (!condicao) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dados, size_t tamanho) {
  const std::string conteudo(reinterpret_cast<const char *>(dados), tamanho);

  std::string bytes;
  const std::string amostra = conteudo.substr(0, 256);
  Confere(reproducao::Decodifica(traco::Cita(amostra, {}), bytes) && bytes == amostra);

  reproducao::Leitor leitor("traco.log", conteudo);
  reproducao::Verificacao verificacao(leitor);
  reproducao::Registro r;
  size_t registros = 0;
  while (leitor.Proximo(r)) {
    ++registros;
    Confere(r.numero >= registros && r.carimbo.size() == 23);
    for (const std::string &campo : r.evento.campos)
      if (campo.front() == '"') Confere(reproducao::Decodifica(campo, bytes));
    if (!verificacao.Confere(r)) {
      Confere(verificacao.Erro().compare(0, 10, "traco.log:") == 0);
      return 0;
    }
  }
  Confere(leitor.BytesLidos() <= tamanho);
  if (!leitor.Erro().empty()) {
    Confere(leitor.Erro().compare(0, 10, "traco.log:") == 0);
  } else if (!verificacao.Fim()) {
    Confere(verificacao.Erro().compare(0, 10, "traco.log:") == 0);
  }
  return 0;
}
