// The BEMAFI32 stand-in (BEMATECH) over the simulated printer.
#define SIM_BIBLIOTECA_BEMAFI32 1
#include "geracao.h"

#include "comum.h"
#include "texto.h"

using namespace tarvic::simulador;
using namespace tarvic::simulador::substituto;

namespace {
namespace Sim {

#define SIM_FABRICANTE "BEMATECH"
#define SIM_FAMILIA Familia::Bematech
#include "preambulo_fi.h"

// ---- port, presence, status ----

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

// The version the library expects of this driver.
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

// ---- fiscal coupon ----

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

// The last field is a discount: "%" in hundredths of a percent ("1050"),
// "$" an amount; the sign does not count.
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

// Price and quantity with three decimals, increase and discount as
// amounts: only one of the two may be non-zero.
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

// ---- queries ----

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

// Digits only: "01.00.00" comes out "010000", the six the driver gives.
int32_t Bematech_FI_VersaoFirmwareMFD(char* versao) {
  std::string digitos;
  for (char c : Ecf().identificacao().versaoFirmware)
    if (c >= '0' && c <= '9') digitos += c;
  return Driver().Le(versao, digitos);
}

// The CNPJ punctuated (18 characters) and the IE as programmed.
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

// Date and time the last Z reduction was issued; zeros without one.
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

// The open movement day; zeros when the day is closed.
int32_t Bematech_FI_DataMovimento(char* data) {
  return Driver().Le(data, Ecf().diaAberto() ? Ddmmaa(Ecf().dataMovimento()) : "000000");
}

// ---- non-fiscal documents ----

// The totaliser by its index in the list ("01".."50") or by its name.
std::string Totalizador(const char* totalizador) {
  const std::string t = apara(Texto(totalizador));
  int64_t indice = 0;
  if (!t.empty() && t.size() <= 2 && LeInteiro(t, indice))
    return TotalizadorDoIndice(Ecf(), indice);
  return t;
}

int32_t Bematech_FI_VerificaRecebimentoNaoFiscal(char* totalizadores) {
  return Driver().Le(totalizadores, ListaTotalizadoresNaoFiscais(Ecf()));
}

int32_t Bematech_FI_RecebimentoNaoFiscal(const char* totalizador, const char* valor,
                                         const char* formapagamento) {
  return Driver().Recebimento(Totalizador(totalizador), valor, formapagamento);
}

int32_t Bematech_FI_NomeiaTotalizadorNaoSujeitoIcms(int32_t indice, const char* nome) {
  return Driver().NomeiaTotalizador(indice, nome);
}

// The second field is the payment method; without one, cash.
int32_t Bematech_FI_Suprimento(const char* valor, const char* formapagamento) {
  return Driver().Suprimento(valor, formapagamento);
}

int32_t Bematech_FI_Sangria(const char* valor) {
  return Driver().Sangria(valor);
}

int32_t Bematech_FI_AbreComprovanteNaoFiscalVinculado(const char* formapagamento, const char* valor,
                                                      const char* coo) {
  return Driver().AbreVinculado(formapagamento, valor, coo);
}

int32_t Bematech_FI_UsaComprovanteNaoFiscalVinculado(const char* texto) {
  return Driver().UsaVinculado(texto);
}

// ---- management reports ----

// 30 entries of 22 columns separated by ",": the day's counter (4) and name (17).
int32_t Bematech_FI_VerificaRelatorioGerencialMFD(char* relatorios) {
  std::string lista;
  for (int i = 1; i <= 30; ++i) {
    int contador = 0;
    std::string nome;
    for (const RelatorioGerencial& r : Ecf().relatoriosGerenciais())
      if (r.indice == i) {
        contador = r.contadorDia;
        nome = r.nome;
      }
    nome.resize(17, ' ');
    if (i > 1) lista += ",";
    lista += Digitos(contador, 4) + nome;
  }
  return Driver().Le(relatorios, lista);
}

int32_t Bematech_FI_NomeiaRelatorioGerencialMFD(const char* indice, const char* nome) {
  return Driver().NomeiaRelatorio(indice, nome, 0, false);
}

int32_t Bematech_FI_AbreRelatorioGerencialMFD(const char* indice) {
  int64_t i = 0;
  if (!LeInteiro(Texto(indice), i))
    return Driver().Codigo(Ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Driver().AbreRelatorio(i);
}

int32_t Bematech_FI_RelatorioGerencial(const char* texto) {
  return Driver().ImprimeRelatorio(texto);
}

// ---- the day ----

int32_t Bematech_FI_LeituraX() {
  return Driver().LeituraX();
}

// The date and time are the printer's clock's: the fields go empty.
int32_t Bematech_FI_ReducaoZ(const char*, const char*) {
  return Driver().ReducaoZ();
}

int32_t Bematech_FI_ProgramaArredondamento() {
  return Driver().ProgramaArredondamento();
}

int32_t Bematech_FI_ProgramaHorarioVerao() {
  return Driver().AlternaHorarioVerao();
}

int32_t Bematech_FI_DadosUltimaReducao(char* dados) {
  return Driver().Le(dados, DadosReducaoSimples(Ecf()));
}

int32_t Bematech_FI_DadosUltimaReducaoMFD(char* dados) {
  return Driver().Le(dados, DadosReducaoMfd(Ecf()));
}

// User and basic software: "dd/mm/aaaa hh:mm:ss"; no additional memory.
int32_t Bematech_FI_DataHoraGravacaoUsuarioSWBasicoMFAdicional(char* usuario, char* datahora,
                                                               char* mfadicional) {
  int32_t codigo;
  if (!Driver().PodeLer(codigo)) return codigo;
  const DataHora gravacao = GravacaoSoftwareBasico();
  Escreve(usuario, DataComBarras(gravacao) + " " + HoraComDoisPontos(gravacao));
  Escreve(datahora, DataComBarras(gravacao) + " " + HoraComDoisPontos(gravacao));
  Escreve(mfadicional, " ");
  return 1;
}

// ---- fiscal memory: printed, or in RETORNO.TXT in the driver's folder ----

bool Completa(const char* tipo) {
  return maiusculas(apara(Texto(tipo))) == "C";
}

int32_t Bematech_FI_LeituraMemoriaFiscalData(const char* inicio, const char* fim) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, true, true);
}

int32_t Bematech_FI_LeituraMemoriaFiscalReducao(const char* inicio, const char* fim) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, false, true);
}

int32_t Bematech_FI_LeituraMemoriaFiscalDataMFD(const char* inicio, const char* fim,
                                                const char* tipo) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, true, Completa(tipo));
}

int32_t Bematech_FI_LeituraMemoriaFiscalReducaoMFD(const char* inicio, const char* fim,
                                                   const char* tipo) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, false, Completa(tipo));
}

int32_t Bematech_FI_LeituraMemoriaFiscalSerialData(const char* inicio, const char* fim) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, true, true, "RETORNO.TXT");
}

int32_t Bematech_FI_LeituraMemoriaFiscalSerialReducao(const char* inicio, const char* fim) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, false, true, "RETORNO.TXT");
}

// The PAF-ECF file is signed: without modulus and key the driver refuses.
int32_t Bematech_FI_LeituraMemoriaFiscalSerialDataPAFECF(const char* inicio, const char* fim,
                                                         const char* tipo, const char* modulo,
                                                         const char* chave) {
  if (apara(Texto(modulo)).empty() || apara(Texto(chave)).empty())
    return Driver().Codigo(Ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Driver().LeituraMemoriaFiscal(inicio, fim, true, Completa(tipo), "RETORNO.TXT");
}

int32_t Bematech_FI_LeituraMemoriaFiscalSerialReducaoPAFECF(const char* inicio, const char* fim,
                                                            const char* tipo, const char* modulo,
                                                            const char* chave) {
  if (apara(Texto(modulo)).empty() || apara(Texto(chave)).empty())
    return Driver().Codigo(Ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Driver().LeituraMemoriaFiscal(inicio, fim, false, Completa(tipo), "RETORNO.TXT");
}

// ---- accepted without effect, each with why ----

SIM_SEM_EFEITO(Bematech_FI_ArquivoMFD, SIM_GRAVA_ARQUIVO);
SIM_SEM_EFEITO(Bematech_FI_EspelhoMFD, SIM_GRAVA_ARQUIVO);
SIM_SEM_EFEITO(Bematech_FI_RelatorioSintegraMFD, SIM_GRAVA_ARQUIVO);
SIM_SEM_EFEITO(Bematech_FI_AtivaDesativaVendaUmaLinhaMFD, SIM_SEM_VENDA_EM_UMA_LINHA);
SIM_SEM_EFEITO(Bematech_FI_VerificaTruncamento, SIM_NUNCA_CHAMADA);

}  // namespace Sim
}  // namespace

#include "exporta.h"
