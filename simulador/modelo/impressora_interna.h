// What the parts of ImpressoraFiscal share, split over impressora_fiscal.cpp
// (start-up, sensors and faults, common rules, tax rates), bobina.cpp (the
// tape), programacao.cpp, cupom.cpp, naofiscal.cpp (non-fiscal documents,
// linked receipts, management reports) and relatorios.cpp (the day). Only
// those files include it.
#pragma once

#include "impressora_fiscal.h"
#include "texto.h"

#include <string>

namespace tarvic {
namespace simulador {
namespace interna {

inline const std::string Separador(48, '-');
inline const char* const CodigosFixos[] = {"F", "I", "N", "FS", "IS", "NS"};

// The printer's field limits.
const int64_t MaxValor = 99999999999LL;  // R$ 999.999.999,99
// A coupon's total: R$ 9.999.999,99. Within it the sharing of the subtotal
// adjustment (adjustment x item value) fits 64 bits, 32-bit Windows included.
const int64_t MaxTotalCupom = 999999999LL;

inline bool ehAjusteDeDesconto(const Ajuste& a) {
  return a.tipo == TipoAjuste::DescontoValor || a.tipo == TipoAjuste::DescontoPercentual;
}

inline bool ehPercentual(const Ajuste& a) {
  return a.tipo == TipoAjuste::AcrescimoPercentual || a.tipo == TipoAjuste::DescontoPercentual;
}

inline std::string moeda(int64_t centavos) {
  return formataDecimal(centavos, 2);
}

}  // namespace interna

// Every operation: the control file first, then the body, then the record of
// what changed, flushed when no document is left open. An operation that
// fails on the way leaves the printer as the last record has it.
template <typename Corpo>
Resultado ImpressoraFiscal::opera(Corpo corpo) {
  try {
    aplicaArquivoControle();
    Resultado r = corpo();
    registra(m_.documento == TipoDocumento::Nenhum);
    return r;
  } catch (...) {
    try {
      descartaPendentes();
      carrega();
    } catch (...) {
    }
    return Resultado::ErroInterno;
  }
}

}  // namespace simulador
}  // namespace tarvic
