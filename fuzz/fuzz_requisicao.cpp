// The monitor's request reader and argument conversion: any line is either a
// request whose arguments convert for its export or a refusal with a reply
// that is itself well-formed JSON; nothing else, and nothing is called. The
// texts that convert come back as they went, and so do the ISO dates.
#include <cstdlib>
#include <string>

#include "conversao.h"
#include "despacho.h"
#include "protocolo.h"

namespace {

void Confere(bool condicao) {
  if (!condicao) std::abort();
}

// Every text argument accepted reads back into the same UTF-8.
void ConfereTextos(const monitor::Requisicao &r) {
  for (const monitor::Json &a : r.args) {
    if (!a.is_string()) continue;
    std::string cp1252;
    uint32_t semForma = 0;
    if (monitor::ParaCp1252(a.get<std::string>(), cp1252, semForma))
      Confere(monitor::ParaUtf8(cp1252) == a.get<std::string>());
    const std::optional<double> dia = monitor::DiaDeIso(a.get<std::string>());
    if (dia && a.get<std::string>().size() == 19)
      Confere(monitor::IsoDeDia(*dia) == a.get<std::string>());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dados, size_t tamanho) {
  const std::string linha(reinterpret_cast<const char *>(dados), tamanho);
  monitor::Json id;
  try {
    const monitor::Requisicao r = monitor::LeRequisicao(linha, id);
    ConfereTextos(r);
    const monitor::Preparada p = monitor::Prepara(r);
    Confere(static_cast<bool>(p.chama));
  } catch (const monitor::Recusa &e) {
    const monitor::Json resposta = monitor::Json::parse(monitor::RespostaDeErro(id, e.what()));
    Confere(resposta.contains("erro") && resposta["id"] == id);
  }
  return 0;
}
