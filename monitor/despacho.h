// Every export of the library, callable by name: the table is made from
// tarvic/exportacoes.inc, so that an export added there is served here too.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "protocolo.h"

namespace monitor {

// An export with its arguments converted, ready to be called: `chama` calls
// it and puts its result in the reply ("resultado", and "resultado_iso" for a
// date).
struct Preparada {
  std::unique_ptr<Textos> textos = std::make_unique<Textos>();
  std::function<void(Json &resposta)> chama;
};

// Throws Recusa for an unknown export, a wrong number of arguments or an
// argument of the wrong kind; nothing is called then.
Preparada Prepara(const Requisicao &requisicao);

// The names of the exports, in the order of the table.
std::vector<std::string> Exportacoes();

}  // namespace monitor
