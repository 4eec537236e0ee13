// What every FI-family stand-in declares first, inside its namespace Sim:
// the driver over the manufacturer's printer, the answer of the functions it
// accepts without effect (SIM_SEM_EFEITO) and the call wrapper. Define
// SIM_FABRICANTE and SIM_FAMILIA before including.
// No include guard: each stand-in includes it once, in its own namespace.

DriverFI& Driver() {
  static DriverFI driver(SIM_FABRICANTE, SIM_FAMILIA);
  return driver;
}

// A call without effect still fails on a printer that is off.
int32_t SemEfeito(const char*) {
  return Driver().Aceita();
}

template <class Funcao>
int32_t Chama(const char* nome, Funcao funcao) {
  return ChamaFI(Driver(), nome, funcao);
}

ImpressoraFiscal& Ecf() {
  return Driver().ecf();
}
