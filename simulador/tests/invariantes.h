// What a simulated printer's own records must agree on, whatever happened to
// the process that drove it: the counters and the journal number the same
// documents, every document but an open last one is whole, the journal, the
// tape, the day's totals and the fiscal memory tell the same story, and
// nothing that only grows went back.
#pragma once

#include "impressora_fiscal.h"

#include <string>
#include <vector>

namespace tarvic {
namespace simulador {

class Conferencia {
 public:
  // Checks a printer opened from its files; each invariant that holds counts one.
  void confere(const ImpressoraFiscal& ecf);
  int conferidas() const { return conferidas_; }
  const std::vector<std::string>& falhas() const { return falhas_; }
  std::string relatorio() const;

  // Kept by the test between checks of the same printer.
  int64_t grandeTotal = 0;
  int coo = 0, ccf = 0, crz = 0;

 private:
  void exige(bool condicao, const std::string& oQue);
  int conferidas_ = 0;
  std::vector<std::string> falhas_;
};

}  // namespace simulador
}  // namespace tarvic
