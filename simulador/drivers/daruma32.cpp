// DARUMA32 substituto (DARUMA) sobre a impressora simulada. Quase tudo que o
// PDV lê deste driver vem de Daruma_FIMFD_RetornaInformacao, por índice.
#define SIM_BIBLIOTECA_DARUMA32 1
#include "geracao.h"

#include "comum.h"
#include "texto.h"

using namespace tarvic::simulador;
using namespace tarvic::simulador::substituto;

namespace {
namespace Sim {

DriverFI& Driver() {
  static DriverFI driver("DARUMA", Familia::Daruma);
  return driver;
}

int32_t SemEfeito(const char*) {
  return Driver().Aceita();
}

template <class Funcao>
int32_t Chama(const char* nome, Funcao funcao) {
  return ChamaFI(Driver(), nome, funcao);
}

namespace Padrao {
#define SIM_GERA SIM_GERA_PADRAO
#include "drivers/funcoes.inc"
#undef SIM_GERA
}  // namespace Padrao
using namespace Padrao;

ImpressoraFiscal& Ecf() {
  return Driver().ecf();
}

// ---- porta, configuração, presença, status ----

int32_t Daruma_FI_AbrePortaSerial() {
  Driver().Reinicia();
  return 1;
}

int32_t Daruma_FI_FechaPortaSerial() {
  return 1;
}

// Configurações guardadas pelo próprio driver: nada na impressora.
int32_t Daruma_Registry_AlterarRegistry(const char*, const char*, const char*) {
  return 1;
}

int32_t Daruma_Registry_SintegraPath(const char*) {
  return 1;
}

int32_t Daruma_Registry_AplMensagem1(const char*) {
  return 1;
}

int32_t Daruma_Registry_AplMensagem2(const char*) {
  return 1;
}

int32_t Daruma_Registry_MFD_LeituraMFCompleta(const char*) {
  return 1;
}

int32_t Daruma_Registry_VendeItemUmaLinha(const char*) {
  return 1;
}

int32_t Daruma_FI_VerificaImpressoraLigada() {
  return Driver().Aceita();
}

int32_t Daruma_FI_RetornoImpressora(int32_t* ack, int32_t* st1, int32_t* st2) {
  return Driver().RetornoImpressora(ack, st1, st2);
}

int32_t Daruma_FI_StatusCupomFiscal(char* status) {
  return Driver().StatusDocumento(status, TipoDocumento::CupomFiscal);
}

int32_t Daruma_FI_StatusRelatorioGerencial(char* status) {
  return Driver().StatusDocumento(status, TipoDocumento::RelatorioGerencial);
}

int32_t Daruma_FI_StatusComprovanteNaoFiscalVinculado(char* status) {
  return Driver().StatusDocumento(status, TipoDocumento::ComprovanteVinculado);
}

int32_t Daruma_FI_FechaRelatorioGerencial() {
  return Driver().FechaRelatorio();
}

int32_t Daruma_FI_FechaComprovanteNaoFiscalVinculado() {
  return Driver().FechaVinculado();
}

int32_t Daruma_FI_AcionaGaveta() {
  return Driver().AcionaGaveta();
}

// ---- cupom fiscal ----

int32_t Daruma_FI_AbreCupom(const char* cpf) {
  return Driver().AbreCupom(cpf);
}

int32_t Daruma_FI_UsaUnidadeMedida(const char* unidade) {
  const int32_t codigo = Driver().Aceita();
  if (codigo == 1) Driver().UsaUnidade(unidade);
  return codigo;
}

// O último campo leva o desconto com sinal: positivo é desconto ("03,50"),
// negativo é acréscimo ("-05,00"); com "%", o percentual escrito.
int32_t Daruma_FI_VendeItem(const char* codigo, const char* descricao, const char* aliquota,
                            const char*, const char* quantidade, int32_t, const char* valorunitario,
                            const char* tipoacrescimo, const char* acrescimo) {
  Ajuste ajuste;
  if (!Driver().LeAjuste(tipoacrescimo, acrescimo, false, ajuste))
    return Driver().Codigo(Ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Driver().VendeItem(codigo, descricao, aliquota, quantidade, valorunitario, ajuste);
}

int32_t Daruma_FI_CancelaItemGenerico(const char* item) {
  return Driver().CancelaItem(item);
}

int32_t Daruma_FI_CancelaCupom() {
  return Driver().CancelaCupom();
}

int32_t Daruma_FI_IniciaFechamentoCupom(const char* acrescimodesconto, const char* tipo,
                                        const char* valor) {
  return Driver().IniciaFechamento(acrescimodesconto, tipo, valor);
}

int32_t Daruma_FI_EfetuaFormaPagamento(const char* formapagamento, const char* valor) {
  return Driver().EfetuaPagamento(formapagamento, valor);
}

int32_t Daruma_FI_TerminaFechamentoCupom(const char* mensagem) {
  return Driver().TerminaFechamento(mensagem);
}

int32_t Daruma_FI_SubTotal(char* subtotal) {
  return Driver().LeSubtotal(subtotal);
}

// ---- consultas ----

int32_t Daruma_FI_NumeroCaixa(char* numero) {
  return Driver().Le(numero, Digitos(Ecf().identificacao().numeroCaixa, 4));
}

int32_t Daruma_FI_NumeroCupom(char* numero) {
  return Driver().Le(numero, Digitos(Ecf().contadores().coo, 6));
}

int32_t Daruma_FI_GrandeTotal(char* total) {
  return Driver().LeGrandeTotal(total);
}

int32_t Daruma_FI_DataHoraImpressora(char* data, char* hora) {
  return Driver().LeDataHora(data, hora);
}

int32_t Daruma_FIMFD_CodigoModeloFiscal(char* codigo) {
  return Driver().Le(codigo, "010101");
}

int32_t Daruma_FIMFD_RetornaInformacao(const char* indice, char* buffer) {
  int64_t i = 0;
  if (!LeInteiro(Texto(indice), i))
    return Driver().Codigo(Ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  const ImpressoraFiscal& e = Ecf();
  const Identificacao& id = e.identificacao();
  const Contadores& c = e.contadores();
  const DadosReducao* z = e.ultimaReducao();
  std::string resposta;
  switch (i) {
    case 28:
      resposta = Digitos(c.gnf, 6);
      break;
    case 30:
      resposta = Digitos(c.ccf, 6);
      break;
    case 33:
      resposta = Digitos(c.grg, 6);
      break;
    case 45:
      resposta = Digitos(c.cdc, 4);
      break;
    case 71:
      resposta = z ? Ddmmaaaa(z->dataMovimento) : std::string(8, '0');
      break;    // última redução
    case 74: {  // último documento, ddmmaaaahhmmss
      const DataHora d = e.dataHoraUltimoDocumento();
      resposta = d.valida() ? Ddmmaaaa(d) + Hhmmss(d) : std::string(14, '0');
      break;
    }
    case 78:
      resposta = id.numeroSerie;
      break;
    case 79:
      resposta = id.tipo;
      break;
    case 80:
      resposta = id.marca;
      break;
    case 81:
      resposta = id.modelo;
      break;
    case 94:
      resposta = Digitos(id.numeroUsuario, 2);
      break;
    case 108:
      resposta = e.horarioVerao() ? "1" : "0";
      break;
    // Dados da última redução Z, a começar pelo dia de movimento.
    case 140:
      resposta = z ? Ddmmaaaa(z->dataMovimento) + Digitos(z->crz, 4) + Digitos(z->coo, 6) +
                         Digitos(z->grandeTotal, 18) + Digitos(z->vendaBruta, 14)
                   : std::string(8, '0');
      break;
    default:
      // Índices que o PDV ainda não lê: a consulta é aceita sem resposta.
      return Driver().Aceita();
  }
  return Driver().Le(buffer, resposta);
}

}  // namespace Sim
}  // namespace

#define SIM_GERA SIM_GERA_EXPORTA
#include "drivers/funcoes.inc"
#undef SIM_GERA
#undef DRIVER
