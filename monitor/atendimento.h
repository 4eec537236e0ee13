// The printer's counter: every request, from a TCP client or from the command
// folder, is served here, one at a time, on the printer's thread. It calls the
// export, answers the operator's questions by the policy, and gathers the
// reply: result, ecf_Retorno, the messages, and the return-file values the
// call wrote (from the call trace).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "protocolo.h"
#include "traco_monitor.h"

namespace monitor {

// What the panel learns of each call.
struct Atendido {
  std::string fabricante;  // after an ecf_Inicializa that succeeded
  std::vector<ComandoTraco> comandos;
};

class Atendimento {
 public:
  // `traco`: the file of the library's call trace (TARVIC_LOG is pointed at
  // it; empty: the trace off, and the replies without return-file values);
  // `sim`: the default answer to the operator's questions.
  Atendimento(const std::string &traco, bool sim, std::function<void(Atendido)> aoAtender);
  Atendimento(const Atendimento &) = delete;
  Atendimento &operator=(const Atendimento &) = delete;
  ~Atendimento();

  // One request line in, one reply line out (without the line break).
  std::string Atende(const std::string &linha);

 private:
  Json Chama(const Requisicao &requisicao, const struct Preparada &preparada);

  LeitorTraco traco_;
  bool sim_;
  std::function<void(Atendido)> aoAtender_;
};

}  // namespace monitor
