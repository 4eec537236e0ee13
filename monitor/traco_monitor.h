// What the library's call trace says about the monitor's calls. The monitor
// points the trace at a file (TARVIC_LOG) and, after each call, reads what the
// call added: the return-file values written (lines "S EscreveIni" of the
// section "ECF") and the export with its result, for the panel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "protocolo.h"

namespace monitor {

// One export as the trace tells it: texts as written there (quoted, with the
// customer's CPF and the shop's CNPJ masked).
struct ComandoTraco {
  std::string hora;        // "2025-03-15T10:02:11.482"
  std::string funcao;      // "ecf_VendeItem"
  std::string argumentos;  // "\"7891000100103\" \"ARROZ 5KG\" ..."
  std::string resultado;   // "1"
  std::string retorno;     // ecf_Retorno: "1"
  std::string duracao;     // "59ms"
};

struct LidoDoTraco {
  bool saidas = false;            // the trace holds the end of some export
  Json retorno = Json::object();  // key -> last value written, in UTF-8
  std::vector<ComandoTraco> comandos;
};

// Reads the lines one thread of this process added to the trace since a
// mark. The file is opened for each read and closed again: the library
// renames a full trace to ".1", which an open file would prevent on Windows.
class LeitorTraco {
 public:
  // An empty name: no trace, nothing read.
  explicit LeitorTraco(std::string arquivo) : arquivo_(std::move(arquivo)) {}
  const std::string &arquivo() const { return arquivo_; }
  // Where the trace ends now (as far as the last read saw it).
  uint64_t Marca();
  // What was written since the mark, also across a renewal of the file.
  LidoDoTraco Le(uint64_t marca);

 private:
  std::string arquivo_;
  std::string thread_;  // the monitor's, learnt from its first line
  uint64_t fim_ = 0;
  bool conhecido_ = false;
};

}  // namespace monitor
