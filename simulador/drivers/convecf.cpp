// The CONVECF stand-in (SWEDA) over the simulated printer. The library
// judges this driver by its return code and its status message
// (ECF_ObterMensagemStatus), "title| detail", not by the ST1/ST2 bytes.
#define SIM_BIBLIOTECA_CONVECF 1
#include "geracao.h"

#include "comum.h"
#include "texto.h"

using namespace tarvic::simulador;
using namespace tarvic::simulador::substituto;

namespace {
namespace Sim {

#define SIM_FABRICANTE "SWEDA"
#define SIM_FAMILIA Familia::Sweda
#include "preambulo_fi.h"

// ---- port, settings, presence, status ----

int32_t ECF_AbrePortaSerial() {
  Driver().Reinicia();
  return 1;
}

int32_t ECF_FechaPortaSerial() {
  return 1;
}

// Settings the driver itself keeps: nothing on the printer.
int32_t ECF_CfgRedZAutomatico(const char*) {
  return 1;
}

int32_t ECF_Registry() {
  return 1;
}

int32_t ECF_Registry_AlteraRegistry(const char*, const char*) {
  return 1;
}

int32_t ECF_RetornaPortaVelocidade(char* porta, char* velocidade) {
  Escreve(porta, "1");
  Escreve(velocidade, "115200");
  return 1;
}

int32_t ECF_ProgramaArredondamento() {
  return Driver().ProgramaArredondamento();
}

int32_t ECF_VerificaImpressoraLigada() {
  return Driver().Aceita();
}

int32_t ECF_RetornoImpressora(int32_t* ack, int32_t* st1, int32_t* st2) {
  return Driver().RetornoImpressora(ack, st1, st2);
}

int32_t ECF_ObterMensagemStatus(char* mensagem) {
  return Driver().MensagemStatus(mensagem);
}

int32_t ECF_StatusCupomFiscal(char* status) {
  return Driver().StatusDocumento(status, TipoDocumento::CupomFiscal);
}

int32_t ECF_StatusRelatorioGerencial(char* status) {
  return Driver().StatusDocumento(status, TipoDocumento::RelatorioGerencial);
}

int32_t ECF_StatusComprovanteNaoFiscalVinculado(char* status) {
  return Driver().StatusDocumento(status, TipoDocumento::ComprovanteVinculado);
}

int32_t ECF_FechaRelatorioGerencial() {
  return Driver().FechaRelatorio();
}

int32_t ECF_FechaComprovanteNaoFiscalVinculado() {
  return Driver().FechaVinculado();
}

int32_t ECF_AcionaGaveta() {
  return Driver().AcionaGaveta();
}

// ---- fiscal coupon ----

int32_t ECF_AbreCupom(const char* cpf) {
  return Driver().AbreCupom(cpf);
}

int32_t ECF_UsaUnidadeMedida(const char* unidade) {
  const int32_t codigo = Driver().Aceita();
  if (codigo == 1) Driver().UsaUnidade(unidade);
  return codigo;
}

// The command's own discount (the library sends "0000") follows the rule
// of BEMAFI32; a real increase or discount comes later, by item.
int32_t ECF_VendeItem(const char* codigo, const char* descricao, const char* aliquota, const char*,
                      const char* quantidade, int32_t, const char* valorunitario,
                      const char* tipoacrescimo, const char* acrescimo) {
  Ajuste ajuste;
  if (!Driver().LeAjuste(tipoacrescimo, acrescimo, false, ajuste))
    return Driver().Codigo(Ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Driver().VendeItem(codigo, descricao, aliquota, quantidade, valorunitario,
                            ComoDesconto(ajuste));
}

// item "003"; "A" increase or "D" discount; "%" in hundredths of a percent
// ("1050"), "$" in cents ("001234").
int32_t ECF_AcrescimoDescontoItemMFD(const char* item, const char* acrescimodesconto,
                                     const char* tipo, const char* valor) {
  const std::string ad = apara(Texto(acrescimodesconto));
  const bool percentual = apara(Texto(tipo)) == "%";
  int64_t n = 0;
  const bool lido =
      percentual ? LeCentesimosDePercentual(Texto(valor), n) : LeCentavosOuValor(Texto(valor), n);
  if (!lido || n <= 0 || (ad != "A" && ad != "a" && ad != "D" && ad != "d"))
    return Driver().Codigo(Ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  const bool desconto = ad == "D" || ad == "d";
  Ajuste ajuste = percentual
                      ? (desconto ? Ajuste::descontoPercentual(n) : Ajuste::acrescimoPercentual(n))
                      : (desconto ? Ajuste::descontoValor(n) : Ajuste::acrescimoValor(n));
  return Driver().AjustaItem(item, ajuste);
}

int32_t ECF_CancelaItemGenerico(const char* item) {
  return Driver().CancelaItem(item);
}

int32_t ECF_CancelaCupom() {
  return Driver().CancelaCupom();
}

int32_t ECF_IniciaFechamentoCupom(const char* acrescimodesconto, const char* tipo,
                                  const char* valor) {
  return Driver().IniciaFechamento(acrescimodesconto, tipo, valor);
}

int32_t ECF_EfetuaFormaPagamento(const char* formapagamento, const char* valor) {
  return Driver().EfetuaPagamento(formapagamento, valor);
}

int32_t ECF_TerminaFechamentoCupom(const char* mensagem) {
  return Driver().TerminaFechamento(mensagem);
}

int32_t ECF_SubTotal(char* subtotal) {
  return Driver().LeSubtotal(subtotal);
}

// ---- queries ----

int32_t ECF_NumeroCaixa(char* numero) {
  return Driver().Le(numero, Digitos(Ecf().identificacao().numeroCaixa, 4));
}

int32_t ECF_RetornaCOO(char* coo) {
  return Driver().Le(coo, Digitos(Ecf().contadores().coo, 6));
}

int32_t ECF_NumeroSerieMFD(char* serie) {
  return Driver().Le(serie, Ecf().identificacao().numeroSerie);
}

int32_t ECF_ContadorComprovantesCreditoMFD(char* contador) {
  return Driver().Le(contador, Digitos(Ecf().contadores().cdc, 4));
}

int32_t ECF_ContadorRelatoriosGerenciaisMFD(char* contador) {
  return Driver().Le(contador, Digitos(Ecf().contadores().grg, 6));
}

int32_t ECF_ContadorCupomFiscalMFD(char* contador) {
  return Driver().Le(contador, Digitos(Ecf().contadores().ccf, 6));
}

int32_t ECF_GrandeTotal(char* total) {
  return Driver().LeGrandeTotal(total);
}

int32_t ECF_MarcaModeloTipoImpressoraMFD(char* marca, char* modelo, char* tipo) {
  return Driver().LeMarcaModeloTipo(marca, modelo, tipo);
}

int32_t ECF_DataHoraImpressora(char* data, char* hora) {
  return Driver().LeDataHora(data, hora);
}

int32_t ECF_DataHoraReducao(char* data, char* hora) {
  int32_t codigo;
  if (!Driver().PodeLer(codigo)) return codigo;
  const DadosReducao* z = Ecf().ultimaReducao();
  Escreve(data, z ? Ddmmaa(z->dataHoraEmissao) : "000000");
  Escreve(hora, z ? Hhmmss(z->dataHoraEmissao) : "000000");
  return 1;
}

// The movement day the last Z reduction closed; zeros without one.
int32_t ECF_DataMovimentoUltimaReducaoMFD(char* data) {
  const DadosReducao* z = Ecf().ultimaReducao();
  return Driver().Le(data, z ? Ddmmaa(z->dataMovimento) : "000000");
}

int32_t ECF_DataHoraUltimoDocumentoMFD(char* datahora) {
  const DataHora d = Ecf().dataHoraUltimoDocumento();
  return Driver().Le(datahora, d.valida() ? Ddmmaa(d) + Hhmmss(d) : std::string(12, '0'));
}

int32_t ECF_DataMovimento(char* data) {
  return Driver().Le(data, Ecf().diaAberto() ? Ddmmaa(Ecf().dataMovimento()) : "000000");
}

// ---- non-fiscal documents ----

// 30 names of 19 columns separated by ",", in index order; a free one blank.
int32_t ECF_VerificaTotalizadoresNaoFiscaisMFD(char* totalizadores) {
  std::string lista;
  for (int i = 1; i <= 30; ++i) {
    std::string nome = TotalizadorDoIndice(Ecf(), i);
    nome.resize(19, ' ');
    if (i > 1) lista += ",";
    lista += nome;
  }
  return Driver().Le(totalizadores, lista);
}

// The index ("01".."50") of the totaliser of that name; unknown, nothing written.
int32_t ECF_RetornaIndiceComprovanteNaoFiscal(const char* totalizador, char* indice) {
  int32_t codigo;
  if (!Driver().PodeLer(codigo)) return codigo;
  const TotalizadorNaoFiscal* t = Ecf().procuraTotalizador(apara(Texto(totalizador)));
  if (!t) return Driver().Codigo(Resultado::TotalizadorNaoProgramado);
  Escreve(indice, Digitos(t->indice, 2));
  return 1;
}

// By index only.
int32_t ECF_RecebimentoNaoFiscal(const char* indice, const char* valor,
                                 const char* formapagamento) {
  int64_t i = 0;
  const std::string nome = LeInteiro(Texto(indice), i) ? TotalizadorDoIndice(Ecf(), i) : "";
  if (nome.empty())
    return Driver().Codigo(Ecf().ligada() ? Resultado::TotalizadorNaoProgramado
                                          : Resultado::Desligada);
  return Driver().Recebimento(nome, valor, formapagamento);
}

int32_t ECF_NomeiaTotalizadorNaoSujeitoIcms(int32_t indice, const char* nome) {
  return Driver().NomeiaTotalizador(indice, nome);
}

int32_t ECF_Suprimento(const char* valor, const char* formapagamento) {
  return Driver().Suprimento(valor, formapagamento);
}

int32_t ECF_Sangria(const char* valor) {
  return Driver().Sangria(valor);
}

int32_t ECF_AbreComprovanteNaoFiscalVinculado(const char* formapagamento, const char* valor,
                                              const char* coo) {
  return Driver().AbreVinculado(formapagamento, valor, coo);
}

int32_t ECF_UsaComprovanteNaoFiscalVinculado(const char* texto) {
  return Driver().UsaVinculado(texto);
}

// ---- programming ----

int32_t ECF_ProgramaFormaPagamentoMFD(const char* formapagamento, const char* vinculado) {
  return Driver().Codigo(
      Ecf().programaFormaPagamento(Texto(formapagamento), apara(Texto(vinculado)) == "1"));
}

// ---- management reports ----

// 30 entries of 20 columns, no separator: index (2) and name (18).
int32_t ECF_VerificaRelatorioGerencialProgMFD(char* relatorios) {
  std::string lista;
  for (int i = 1; i <= 30; ++i) {
    std::string nome;
    for (const RelatorioGerencial& r : Ecf().relatoriosGerenciais())
      if (r.indice == i) nome = r.nome;
    nome.resize(18, ' ');
    lista += Digitos(i, 2) + nome;
  }
  return Driver().Le(relatorios, lista);
}

// An index already taken sends the name to the first free index.
int32_t ECF_NomeiaRelatorioGerencialMFD(const char* indice, const char* nome) {
  return Driver().NomeiaRelatorio(indice, nome, 0, true);
}

int32_t ECF_AbreRelatorioGerencialMFD(const char* indice) {
  int64_t i = 0;
  if (!LeInteiro(Texto(indice), i))
    return Driver().Codigo(Ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Driver().AbreRelatorio(i);
}

int32_t ECF_UsaRelatorioGerencialMFD(const char* texto) {
  return Driver().ImprimeRelatorio(texto);
}

// ---- the day ----

int32_t ECF_LeituraX() {
  return Driver().LeituraX();
}

// Date and time read from the printer itself: they confirm the clock.
int32_t ECF_ReducaoZ(const char*, const char*) {
  return Driver().ReducaoZ();
}

int32_t ECF_DadosUltimaReducao(char* dados) {
  return Driver().Le(dados, DadosReducaoSimples(Ecf()));
}

int32_t ECF_DadosUltimaReducaoMFD(char* dados) {
  return Driver().Le(dados, DadosReducaoMfd(Ecf()));
}

int32_t ECF_DataHoraGravacaoUsuarioSWBasicoMFAdicional(char* usuario, char* datahora,
                                                       char* mfadicional) {
  int32_t codigo;
  if (!Driver().PodeLer(codigo)) return codigo;
  const DataHora gravacao = GravacaoSoftwareBasico();
  Escreve(usuario, DataComBarras(gravacao) + " " + HoraComDoisPontos(gravacao));
  Escreve(datahora, DataComBarras(gravacao) + " " + HoraComDoisPontos(gravacao));
  Escreve(mfadicional, "");
  return 1;
}

// ---- fiscal memory: printed, or in LEITURAMF.TXT in the driver's folder ----

bool Completa(const char* tipo) {
  return maiusculas(apara(Texto(tipo))) == "C";
}

int32_t ECF_LeituraMemoriaFiscalDataMFD(const char* inicio, const char* fim, const char* tipo) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, true, Completa(tipo));
}

int32_t ECF_LeituraMemoriaFiscalReducaoMFD(const char* inicio, const char* fim, const char* tipo) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, false, Completa(tipo));
}

int32_t ECF_LeituraMemoriaFiscalSerialDataMFD(const char* inicio, const char* fim,
                                              const char* tipo) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, true, Completa(tipo), "LEITURAMF.TXT");
}

int32_t ECF_LeituraMemoriaFiscalSerialReducaoMFD(const char* inicio, const char* fim,
                                                 const char* tipo) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, false, Completa(tipo), "LEITURAMF.TXT");
}

// ---- accepted without effect, each with why ----

SIM_SEM_EFEITO(ECF_DownloadMF, SIM_GRAVA_ARQUIVO);
SIM_SEM_EFEITO(ECF_DownloadMFD, SIM_GRAVA_ARQUIVO);
SIM_SEM_EFEITO(ECF_ReproduzirMemoriaFiscalMFD, SIM_GRAVA_ARQUIVO);
SIM_SEM_EFEITO(ECF_RelatorioSintegraMFD, SIM_GRAVA_ARQUIVO);
SIM_SEM_EFEITO(ECF_LigaDesligaJanelas, "only configures the real driver's own windows");
SIM_SEM_EFEITO(ECF_ZAUTO,
               "configures the real driver's automatic Z reduction; the simulated printer never "
               "reduces by itself");
SIM_SEM_EFEITO(ECF_VerificaTruncamento, SIM_NUNCA_CHAMADA);

}  // namespace Sim
}  // namespace

#include "exporta.h"
