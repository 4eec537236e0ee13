// The ELGIN stand-in (ELGIN) over the simulated printer.
#define SIM_BIBLIOTECA_ELGIN 1
#include "geracao.h"

#include "comum.h"
#include "texto.h"

using namespace tarvic::simulador;
using namespace tarvic::simulador::substituto;

namespace {
namespace Sim {

#define SIM_FABRICANTE "ELGIN"
#define SIM_FAMILIA Familia::Elgin
#include "preambulo_fi.h"

// ---- port, presence, status ----

int32_t Elgin_AbrePortaSerial() {
  Driver().Reinicia();
  return 1;
}

int32_t Elgin_FechaPortaSerial() {
  return 1;
}

int32_t Elgin_VerificaImpressoraLigada() {
  return Driver().Aceita();
}

int32_t Elgin_RetornoImpressora(int32_t* ack, int32_t* st1, int32_t* st2) {
  return Driver().RetornoImpressora(ack, st1, st2);
}

int32_t Elgin_AcionaGaveta() {
  return Driver().AcionaGaveta();
}

int32_t Elgin_FechaRelatorioGerencial() {
  return Driver().FechaRelatorio();
}

int32_t Elgin_FechaComprovanteNaoFiscalVinculado() {
  return Driver().FechaVinculado();
}

// 1 when the movement day was left behind without a Z reduction.
int32_t Elgin_VerificaZPendente(int32_t* pendente) {
  int32_t codigo;
  if (!Driver().PodeLer(codigo)) return codigo;
  EscreveInteiro(pendente, Ecf().reducaoZPendente() ? 1 : 0);
  return 1;
}

// ---- fiscal coupon ----

int32_t Elgin_AbreCupom(const char* cpf) {
  return Driver().AbreCupom(cpf);
}

// The last field carries the adjustment with its sign: positive an
// increase, negative a discount; with "%", the written percent.
int32_t Elgin_VendeItem(const char* codigo, const char* descricao, const char* aliquota,
                        const char*, const char* quantidade, int32_t, const char* valorunitario,
                        const char* tipoacrescimo, const char* acrescimo) {
  Ajuste ajuste;
  if (!Driver().LeAjuste(tipoacrescimo, acrescimo, true, ajuste))
    return Driver().Codigo(Ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Driver().VendeItem(codigo, descricao, aliquota, quantidade, valorunitario, ajuste);
}

int32_t Elgin_CancelaItemGenerico(const char* item) {
  return Driver().CancelaItem(item);
}

int32_t Elgin_CancelaCupom() {
  return Driver().CancelaCupom();
}

int32_t Elgin_IniciaFechamentoCupom(const char* acrescimodesconto, const char* tipo,
                                    const char* valor) {
  return Driver().IniciaFechamento(acrescimodesconto, tipo, valor);
}

int32_t Elgin_EfetuaFormaPagamento(const char* formapagamento, const char* valor) {
  return Driver().EfetuaPagamento(formapagamento, valor);
}

int32_t Elgin_TerminaFechamentoCupom(const char* mensagem) {
  return Driver().TerminaFechamento(mensagem);
}

int32_t Elgin_SubTotal(char* subtotal) {
  return Driver().LeSubtotal(subtotal);
}

// ---- queries ----

int32_t Elgin_NumeroCaixa(char* numero) {
  return Driver().Le(numero, Digitos(Ecf().identificacao().numeroCaixa, 4));
}

int32_t Elgin_NumeroCupom(char* numero) {
  return Driver().Le(numero, Digitos(Ecf().contadores().coo, 6));
}

int32_t Elgin_NumeroSerie(char* serie) {
  return Driver().Le(serie, Ecf().identificacao().numeroSerie);
}

int32_t Elgin_ContadorComprovantesCreditoMFD(char* contador) {
  return Driver().Le(contador, Digitos(Ecf().contadores().cdc, 4));
}

int32_t Elgin_ContadorCupomFiscalMFD(char* contador) {
  return Driver().Le(contador, Digitos(Ecf().contadores().ccf, 6));
}

int32_t Elgin_ContadorRelatoriosGerenciaisMFD(char* contador) {
  return Driver().Le(contador, Digitos(Ecf().contadores().grg, 6));
}

int32_t Elgin_GrandeTotal(char* total) {
  return Driver().LeGrandeTotal(total);
}

int32_t Elgin_MarcaModeloTipoImpressoraMFD(char* marca, char* modelo, char* tipo) {
  return Driver().LeMarcaModeloTipo(marca, modelo, tipo);
}

int32_t Elgin_DataHoraImpressora(char* data, char* hora) {
  return Driver().LeDataHora(data, hora);
}

int32_t Elgin_DataHoraUltimoDocumentoMFD(char* datahora) {
  const DataHora d = Ecf().dataHoraUltimoDocumento();
  return Driver().Le(datahora, d.valida() ? Ddmmaa(d) + Hhmmss(d) : std::string(12, '0'));
}

int32_t Elgin_DataMovimentoUltimaReducaoMFD(char* data) {
  const DadosReducao* z = Ecf().ultimaReducao();
  return Driver().Le(data, z ? Ddmmaa(z->dataMovimento) : "000000");
}

// ---- non-fiscal documents ----

// The totaliser by its number in the list, counted from 0 ("00".."49"), or
// by its name.
std::string Totalizador(const char* totalizador) {
  const std::string t = apara(Texto(totalizador));
  int64_t indice = 0;
  if (!t.empty() && t.size() <= 2 && LeInteiro(t, indice))
    return TotalizadorDoIndice(Ecf(), indice + 1);
  return t;
}

int32_t Elgin_VerificaRecebimentoNaoFiscal(char* totalizadores) {
  return Driver().Le(totalizadores, ListaTotalizadoresNaoFiscais(Ecf()));
}

int32_t Elgin_RecebimentoNaoFiscal(const char* totalizador, const char* valor,
                                   const char* formapagamento) {
  return Driver().Recebimento(Totalizador(totalizador), valor, formapagamento);
}

// Indexes counted from 0, as in the list.
int32_t Elgin_NomeiaTotalizadorNaoSujeitoIcms(int32_t indice, const char* nome) {
  return Driver().NomeiaTotalizador(static_cast<int64_t>(indice) + 1, nome);
}

int32_t Elgin_Suprimento(const char* valor, const char* formapagamento) {
  return Driver().Suprimento(valor, formapagamento);
}

int32_t Elgin_Sangria(const char* valor) {
  return Driver().Sangria(valor);
}

int32_t Elgin_AbreComprovanteNaoFiscalVinculado(const char* formapagamento, const char* valor,
                                                const char* coo) {
  return Driver().AbreVinculado(formapagamento, valor, coo);
}

int32_t Elgin_UsaComprovanteNaoFiscalVinculado(const char* texto) {
  return Driver().UsaVinculado(texto);
}

// ---- payment methods ----

// Only the programmed ones, separated by ",": name (16), the day's total
// (14), the total in linked receipts (14) and "1" when it accepts them.
int32_t Elgin_VerificaFormasPagamentoMFD(char* formas) {
  std::string lista;
  for (const FormaPagamento& f : Ecf().formasPagamento()) {
    std::string nome = f.nome;
    nome.resize(16, ' ');
    if (!lista.empty()) lista += ",";
    lista += nome + Digitos(f.totalDia < 0 ? 0 : f.totalDia, 14) + Digitos(0, 14) +
             (f.permiteVinculado ? "1" : "0");
  }
  return Driver().Le(formas, lista);
}

int32_t Elgin_ProgramaFormaPagamentoMFD(const char* formapagamento, const char* vinculado) {
  return Driver().Codigo(
      Ecf().programaFormaPagamento(Texto(formapagamento), apara(Texto(vinculado)) == "1"));
}

// ---- management reports: indexes counted from 0 ----

int32_t Elgin_LeNomeRelatorioGerencial(const char* indice, char* nome) {
  int64_t i = 0;
  if (!LeInteiro(Texto(indice), i) || i < 0 || i > 29)
    return Driver().Codigo(Ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  std::string resposta;
  for (const RelatorioGerencial& r : Ecf().relatoriosGerenciais())
    if (r.indice == i + 1) resposta = r.nome;
  return Driver().Le(nome, resposta);
}

int32_t Elgin_NomeiaRelatorioGerencialMFD(const char* indice, const char* nome) {
  return Driver().NomeiaRelatorio(indice, nome, 1, false);
}

int32_t Elgin_AbreRelatorioGerencialMFD(const char* indice) {
  int64_t i = 0;
  if (!LeInteiro(Texto(indice), i))
    return Driver().Codigo(Ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Driver().AbreRelatorio(i + 1);
}

int32_t Elgin_RelatorioGerencial(const char* texto) {
  return Driver().ImprimeRelatorio(texto);
}

// ---- the day ----

int32_t Elgin_LeituraX() {
  return Driver().LeituraX();
}

// The computer's date and time: the driver does not use them, the printer's
// clock counts.
int32_t Elgin_ReducaoZ(const char*, const char*) {
  return Driver().ReducaoZ();
}

int32_t Elgin_ProgramaArredondamento() {
  return Driver().ProgramaArredondamento();
}

int32_t Elgin_DadosUltimaReducao(char* dados) {
  return Driver().Le(dados, DadosReducaoSimples(Ecf()));
}

int32_t Elgin_DadosUltimaReducaoMFD(char* dados) {
  return Driver().Le(dados, DadosReducaoMfd(Ecf()));
}

int32_t Elgin_DataHoraSoftwareBasico(char* data, char* hora) {
  int32_t codigo;
  if (!Driver().PodeLer(codigo)) return codigo;
  Escreve(data, Ddmmaa(GravacaoSoftwareBasico()));
  Escreve(hora, Hhmmss(GravacaoSoftwareBasico()));
  return 1;
}

// No variant into a file: the reading is always printed.
bool Completa(const char* tipo) {
  return maiusculas(apara(Texto(tipo))) == "C";
}

int32_t Elgin_LeituraMemoriaFiscalData(const char* inicio, const char* fim, const char* tipo) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, true, Completa(tipo));
}

int32_t Elgin_LeituraMemoriaFiscalReducao(const char* inicio, const char* fim, const char* tipo) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, false, Completa(tipo));
}

// ---- accepted without effect, each with why ----

SIM_SEM_EFEITO(Elgin_DownloadMFD, SIM_GRAVA_ARQUIVO);
SIM_SEM_EFEITO(Elgin_RelatorioSintegraMFD, SIM_GRAVA_ARQUIVO);
SIM_SEM_EFEITO(Elgin_AtivaDesativaVendaUmaLinhaMFD, SIM_SEM_VENDA_EM_UMA_LINHA);
SIM_SEM_EFEITO(Elgin_VerificaTruncamento, SIM_NUNCA_CHAMADA);

}  // namespace Sim
}  // namespace

#include "exporta.h"
