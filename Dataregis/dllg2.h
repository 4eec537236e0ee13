// The DLLG2 command channel of DATAREGIS and URANO printers: named parameters,
// a command by name, reply values by name.
#pragma once

#include <cstdint>
#include <string>

#include "estado.h"

// Channel opened by ecf_AbrirPortaSerial; negative when it failed to open.
extern int32_t CanalDllG2;
// Result of the last command (above 0: carried out; 0 or less: no answer).
extern int32_t RetornoDllG2;
// Last driver error code seen by the Dataregis routines (0: none).
extern int32_t CodErroDllG2;
// Reply buffer shared by the typed reads.
extern std::string RespostaDllG2;

// URANO printers take their commands on channel 0.
int32_t CanalComandoDllG2();

// Parameter type codes of DLLG2_AdicionaParam.
enum TipoParamDllG2 : int32_t {
  DLLG2_INDICADOR = 0,
  DLLG2_DATA = 2,
  DLLG2_INTEIRO = 4,
  DLLG2_COO = 5,
  DLLG2_DECIMAL = 6,
  DLLG2_TEXTO = 7,
};

namespace tarvic {

// Typed reads of printer values by name. A command without answer shows its
// message and gives the empty value; a reply that does not convert raises
// ErroConversao.
int32_t dllG2_leInteiro(const std::string &nome);
bool dllG2_leIndicador(const std::string &nome);
DataHora dllG2_leData(const std::string &nome);
DataHora dllG2_leHora(const std::string &nome);
Moeda dllG2_leMoeda(const std::string &nome);
void dllG2_leTexto(std::string &valor, const std::string &nome, int tamanho);

// Bit tests on the printer's "EstadoFiscal" and "Indicadores".
bool EstadoFiscalContem(int32_t mascara);
bool IndicadoresContem(int32_t mascara);
// The rules behind them, on a value already read.
bool ContemBitsEstado(int32_t valor, int32_t mascara);
bool ContemBitsIndicadores(int32_t valor, int32_t mascara);

}  // namespace tarvic

// Routines on CanalDllG2 returning 0 on success, 1 when the printer did not
// answer, or the driver's error code.
int32_t LeTexto(const std::string &nome, std::string &valor);
int32_t LeData(const std::string &nome, std::string &valor);
int32_t LeHora(const std::string &nome, std::string &valor);
int32_t LeImpressao(std::string &texto);
// The pieces of one reading of printed text, as LeImpressao gives them until
// the driver has no more. A driver that never says so (the same piece over
// and over, or more text than a printer keeps) must not hold the host, nor
// fill its disk, for ever.
class PedacosDaImpressao {
 public:
  explicit PedacosDaImpressao(int repeticoes = 100, size_t total = size_t{256} << 20)
      : repeticoesMaximas_(repeticoes), totalMaximo_(total) {}
  // False once the reading has to stop: the piece is then not part of it.
  bool Aceita(const std::string &pedaco);

 private:
  int repeticoesMaximas_;
  size_t totalMaximo_;
  std::string anterior_;
  int repeticoes_ = 0;
  size_t total_ = 0;
};
int32_t EmiteLeituraMF(const std::string &dataInicial, const std::string &dataFinal,
                       const std::string &reducaoInicial, const std::string &reducaoFinal,
                       const std::string &destino, const std::string &leituraSimplificada,
                       const std::string &operador);
int32_t EmiteLeituraFitaDetalhe(const std::string &dataInicial, const std::string &dataFinal,
                                const std::string &cooInicial, const std::string &cooFinal,
                                const std::string &destino, const std::string &proprietario,
                                const std::string &tipoDocumento);
void DefineTimeoutDllG2(int32_t valor);
