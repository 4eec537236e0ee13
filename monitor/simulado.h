// The simulated printer as the panel sees it: through its files only (the
// state with its log of changes, the tape, the fiscal memory), read with the
// simulator's own readers, and the control file through which it takes
// faults. The same works for the native monitor, whose stand-in drivers live
// in its process, and for the Windows one beside the stand-in DLLs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "protocolo.h"

namespace monitor {

// The state file of the simulated printer that serves `fabricante`, found
// as the stand-in drivers find it (ImpressoraFiscal::caminhoEstadoPadrao, and
// for DATAREGIS and URANO the DLLG2 stand-in's manufacturer). Empty without
// a manufacturer.
std::string EstadoDoSimulador(const std::string &fabricante);

// What the panel shows of the printer: counters, grand total, the day, the
// faults waiting, and the tape from byte `desde` of its text (a negative
// `desde`: its last lines). {"simulada": false} when there is no such
// printer (real drivers).
Json VistaDoSimulador(const std::string &estado, int64_t desde);

// A fault for the printer's next call: "desligada", "ligada", "pouco_papel",
// "sem_papel", "papel", or a driver function with the code its next call
// answers. Empty when written, else what was wrong.
std::string InjetaFalha(const std::string &estado, const std::string &falha);
std::string InjetaCodigo(const std::string &estado, const std::string &funcao, int64_t codigo);

// The driver functions of a manufacturer's libraries, for the panel's choice.
std::vector<std::string> FuncoesDoDriver(const std::string &fabricante);

}  // namespace monitor
