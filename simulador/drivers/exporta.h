// The exported functions of the stand-in, one for each function of its
// library in funcoes.inc (see geracao.h). Included once, last, outside the
// namespaces.
#define SIM_GERA SIM_GERA_EXPORTA
#include "drivers/funcoes.inc"
#undef SIM_GERA
#undef DRIVER
