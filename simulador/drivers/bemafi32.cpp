// BEMAFI32 substituto (BEMATECH) sobre a impressora simulada.
#define SIM_BIBLIOTECA_BEMAFI32 1
#include "geracao.h"

#include "comum.h"
#include "texto.h"

using namespace tarvic::simulador;
using namespace tarvic::simulador::substituto;

namespace {
namespace Sim {

DriverFI& Driver() {
  static DriverFI driver("BEMATECH", Familia::Bematech);
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

// ---- porta, presença, status ----

int32_t Bematech_FI_AbrePortaSerial() {
  Driver().Reinicia();
  return 1;
}

int32_t Bematech_FI_FechaPortaSerial() {
  return 1;
}

int32_t Bematech_FI_VerificaImpressoraLigada() {
  return Driver().Aceita();
}

// A versão que o PDV espera deste driver.
int32_t Bematech_FI_VersaoDll(char* versao) {
  Escreve(versao, "5,10,6,8");
  return 1;
}

int32_t Bematech_FI_RetornoImpressora(int32_t* ack, int32_t* st1, int32_t* st2) {
  return Driver().RetornoImpressora(ack, st1, st2);
}

int32_t Bematech_FI_FlagsFiscais(int32_t* flags) {
  return Driver().FlagsFiscais(flags);
}

int32_t Bematech_FI_AcionaGaveta() {
  return Driver().AcionaGaveta();
}

// ---- cupom fiscal ----

int32_t Bematech_FI_AbreCupom(const char* cpf) {
  return Driver().AbreCupom(cpf);
}

int32_t Bematech_FI_UsaUnidadeMedida(const char* unidade) {
  const int32_t codigo = Driver().Aceita();
  if (codigo == 1) Driver().UsaUnidade(unidade);
  return codigo;
}

int32_t Bematech_FI_AumentaDescricaoItem(const char* descricao) {
  const int32_t codigo = Driver().Aceita();
  if (codigo == 1) Driver().AumentaDescricao(descricao);
  return codigo;
}

// O último campo é um desconto: "%" em centésimos de percentual ("1050"),
// "$" em valor; o sinal não conta.
int32_t Bematech_FI_VendeItem(const char* codigo, const char* descricao, const char* aliquota,
                              const char*, const char* quantidade, int32_t,
                              const char* valorunitario, const char* tipoacrescimo,
                              const char* acrescimo) {
  Ajuste ajuste;
  if (!Driver().LeAjuste(tipoacrescimo, acrescimo, false, ajuste))
    return Driver().Codigo(Ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Driver().VendeItem(codigo, descricao, aliquota, quantidade, valorunitario,
                            ComoDesconto(ajuste));
}

// Preço e quantidade com três casas, acréscimo e desconto em valor: só um
// dos dois pode ter valor.
int32_t Bematech_FI_VendeItemDepartamento(const char* codigo, const char* descricao,
                                          const char* aliquota, const char* valorunitario,
                                          const char* quantidade, const char* acrescimo,
                                          const char* desconto, const char*, const char* unidade) {
  int64_t mais = 0, menos = 0;
  const std::string a = Texto(acrescimo), d = Texto(desconto);
  if ((!a.empty() && !LeDecimal(a, 2, mais)) || (!d.empty() && !LeDecimal(d, 2, menos)) ||
      mais < 0 || menos < 0 || (mais > 0 && menos > 0))
    return Driver().Codigo(Ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  const Ajuste ajuste = mais > 0 ? Ajuste::acrescimoValor(mais)
                                 : (menos > 0 ? Ajuste::descontoValor(menos) : Ajuste::nenhum());
  return Driver().VendeItem(codigo, descricao, aliquota, quantidade, valorunitario, ajuste,
                            Texto(unidade));
}

int32_t Bematech_FI_CancelaItemGenerico(const char* item) {
  return Driver().CancelaItem(item);
}

int32_t Bematech_FI_CancelaCupom() {
  return Driver().CancelaCupom();
}

int32_t Bematech_FI_IniciaFechamentoCupom(const char* acrescimodesconto, const char* tipo,
                                          const char* valor) {
  return Driver().IniciaFechamento(acrescimodesconto, tipo, valor);
}

int32_t Bematech_FI_EfetuaFormaPagamento(const char* formapagamento, const char* valor) {
  return Driver().EfetuaPagamento(formapagamento, valor);
}

int32_t Bematech_FI_TerminaFechamentoCupom(const char* mensagem) {
  return Driver().TerminaFechamento(mensagem);
}

int32_t Bematech_FI_SubTotal(char* subtotal) {
  return Driver().LeSubtotal(subtotal);
}

int32_t Bematech_FI_FechaRelatorioGerencial() {
  return Driver().FechaRelatorio();
}

int32_t Bematech_FI_FechaComprovanteNaoFiscalVinculado() {
  return Driver().FechaVinculado();
}

// ---- consultas ----

int32_t Bematech_FI_NumeroCupom(char* numero) {
  return Driver().Le(numero, Digitos(Ecf().contadores().coo, 6));
}

int32_t Bematech_FI_NumeroCaixa(char* numero) {
  return Driver().Le(numero, Digitos(Ecf().identificacao().numeroCaixa, 4));
}

int32_t Bematech_FI_NumeroSerie(char* serie) {
  return Driver().Le(serie, Ecf().identificacao().numeroSerie);
}

int32_t Bematech_FI_NumeroSerieMFD(char* serie) {
  return Driver().Le(serie, Ecf().identificacao().numeroSerie);
}

int32_t Bematech_FI_ContadorComprovantesCreditoMFD(char* contador) {
  return Driver().Le(contador, Digitos(Ecf().contadores().cdc, 4));
}

int32_t Bematech_FI_ContadorCupomFiscalMFD(char* contador) {
  return Driver().Le(contador, Digitos(Ecf().contadores().ccf, 6));
}

int32_t Bematech_FI_ContadorRelatoriosGerenciaisMFD(char* contador) {
  return Driver().Le(contador, Digitos(Ecf().contadores().grg, 6));
}

int32_t Bematech_FI_NumeroOperacoesNaoFiscais(char* numero) {
  return Driver().Le(numero, Digitos(Ecf().contadores().gnf, 6));
}

int32_t Bematech_FI_NumeroReducoes(char* numero) {
  return Driver().Le(numero, Digitos(Ecf().contadores().crz, 4));
}

int32_t Bematech_FI_GrandeTotal(char* total) {
  return Driver().LeGrandeTotal(total);
}

int32_t Bematech_FI_ModeloImpressora(char* modelo) {
  return Driver().Le(modelo, Ecf().identificacao().modelo);
}

int32_t Bematech_FI_MarcaModeloTipoImpressoraMFD(char* marca, char* modelo, char* tipo) {
  return Driver().LeMarcaModeloTipo(marca, modelo, tipo);
}

int32_t Bematech_FI_VersaoFirmwareMFD(char* versao) {
  return Driver().Le(versao, Ecf().identificacao().versaoFirmware);
}

// CNPJ com a pontuação (18 caracteres) e IE como programada.
int32_t Bematech_FI_CGC_IE(char* cnpj, char* ie) {
  int32_t codigo;
  if (!Driver().PodeLer(codigo)) return codigo;
  const std::string c = Ecf().identificacao().cnpj;
  Escreve(cnpj, c.size() == 14 ? c.substr(0, 2) + "." + c.substr(2, 3) + "." + c.substr(5, 3) +
                                     "/" + c.substr(8, 4) + "-" + c.substr(12, 2)
                               : c);
  Escreve(ie, Ecf().identificacao().ie);
  return 1;
}

int32_t Bematech_FI_DataHoraImpressora(char* data, char* hora) {
  return Driver().LeDataHora(data, hora);
}

// Data e hora em que a última redução Z foi emitida; zeros sem redução.
int32_t Bematech_FI_DataHoraReducao(char* data, char* hora) {
  int32_t codigo;
  if (!Driver().PodeLer(codigo)) return codigo;
  const DadosReducao* z = Ecf().ultimaReducao();
  Escreve(data, z ? Ddmmaa(z->dataHoraEmissao) : "000000");
  Escreve(hora, z ? Hhmmss(z->dataHoraEmissao) : "000000");
  return 1;
}

int32_t Bematech_FI_DataHoraUltimoDocumentoMFD(char* datahora) {
  const DataHora d = Ecf().dataHoraUltimoDocumento();
  return Driver().Le(datahora, d.valida() ? Ddmmaa(d) + Hhmmss(d) : std::string(12, '0'));
}

// Dia de movimento aberto; zeros com o dia fechado.
int32_t Bematech_FI_DataMovimento(char* data) {
  return Driver().Le(data, Ecf().diaAberto() ? Ddmmaa(Ecf().dataMovimento()) : "000000");
}

}  // namespace Sim
}  // namespace

#define SIM_GERA SIM_GERA_EXPORTA
#include "drivers/funcoes.inc"
#undef SIM_GERA
#undef DRIVER
