// The simulated printer's own records, for the monitor's tests: opens the
// printer from its files (after the monitor has stopped), checks them with
// the simulator's invariants and prints what the tests compare with the
// replies the clients got, as one JSON object.
//   confere_impressora STATE_FILE MANUFACTURER
#include <cstdio>
#include <iostream>
#include <string>

#include <nlohmann/json.hpp>

#include "impressora_fiscal.h"
#include "invariantes.h"

using tarvic::simulador::Conferencia;
using tarvic::simulador::DocumentoImpresso;
using tarvic::simulador::ImpressoraFiscal;
using tarvic::simulador::TipoDocumento;

int main(int argc, char **argv) {
  if (argc != 3) {
    std::cerr << "usage: confere_impressora STATE_FILE MANUFACTURER\n";
    return 2;
  }
  const ImpressoraFiscal ecf(argv[2], argv[1], false);
  Conferencia conferencia;
  conferencia.confere(ecf);
  nlohmann::json r;
  r["coo"] = ecf.contadores().coo;
  r["ccf"] = ecf.contadores().ccf;
  r["grande_total_centavos"] = ecf.grandeTotal();
  r["documento_aberto"] = ecf.documentoAberto() != TipoDocumento::Nenhum;
  nlohmann::json cupons = nlohmann::json::array(), fechados = nlohmann::json::array();
  for (const DocumentoImpresso &d : ecf.jornal()) {
    if (d.tipo != "CF") continue;
    cupons.push_back(d.coo);
    // The printer's own words: a coupon closed has its total, one cancelled says so.
    bool total = false, cancelado = false;
    for (const std::string &l : d.linhas) {
      total |= l.rfind("TOTAL R$", 0) == 0;
      cancelado |= l.find("CUPOM FISCAL CANCELADO") != std::string::npos;
    }
    if (total && !cancelado) fechados.push_back(d.coo);
  }
  r["cupons"] = cupons;
  r["fechados"] = fechados;
  r["conferidas"] = conferencia.conferidas();
  r["falhas"] = conferencia.falhas();
  std::cout << r.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  return 0;
}
