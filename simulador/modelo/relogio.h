// Relógio da impressora: o relógio do computador mais um deslocamento, ou um
// instante fixo que os testes impõem.
#pragma once

#include "tipos.h"

namespace tarvic {
namespace simulador {

class Relogio {
 public:
  DataHora agora() const;
  void defineDeslocamento(int64_t segundos) { deslocamento_ = segundos; }
  int64_t deslocamento() const { return deslocamento_; }
  // Fixa o "agora" (o deslocamento continua valendo sobre ele).
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
