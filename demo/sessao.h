// A shop's session through the public exports of tarvic: start-up, one
// coupon from opening to closing, and the queries of the day.
#pragma once

#include <string>

struct OpcoesSessao {
  std::string fabricante = "BEMATECH";
  std::string uf = "MG";
  std::string porta = "COM1";
  std::string pasta;  // base folder of the return folder; empty: tarvic-demo in the user's folder
  bool detalhes = true;  // print every step, the tape and the return file
  // The printer is switched off in the middle of the sale; the operator
  // switches it on again when asked, and the sale goes on.
  bool desligaNoMeio = false;
  // Closes the day with a Z reduction and writes the reduction's data file;
  // the printer then stays blocked until midnight.
  bool reducaoZ = false;
};

// Runs the session; true when every step succeeded and the printer's
// counters and grand total moved as the coupon says.
bool RodaSessao(const OpcoesSessao &opcoes);
