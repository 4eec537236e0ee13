// The printer's clock: the computer's clock plus an offset, or a fixed
// instant that the tests impose.
#pragma once

#include "tipos.h"

namespace tarvic {
namespace simulador {

class Relogio {
 public:
  DataHora agora() const;
  void defineDeslocamento(int64_t segundos) { deslocamento_ = segundos; }
  int64_t deslocamento() const { return deslocamento_; }
  // Fixes "now" (the offset still applies on top of it).
  void fixa(const DataHora& instante);
  void libera() { fixo_ = false; }
  bool fixo() const { return fixo_; }

 private:
  int64_t deslocamento_ = 0;
  bool fixo_ = false;
  DataHora instanteFixo_;
};

}  // namespace simulador
}  // namespace tarvic
