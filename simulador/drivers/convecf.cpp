// CONVECF substituto (SWEDA) sobre a impressora simulada. O PDV julga este
// driver pelo código de retorno e pela mensagem de status
// (ECF_ObterMensagemStatus), "título| detalhe", não pelos bytes ST1/ST2.
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

// ---- porta, configuração, presença, status ----

int32_t ECF_AbrePortaSerial() {
  Driver().Reinicia();
  return 1;
}

int32_t ECF_FechaPortaSerial() {
  return 1;
}

// Configurações guardadas pelo próprio driver: nada na impressora.
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

// ---- cupom fiscal ----

int32_t ECF_AbreCupom(const char* cpf) {
  return Driver().AbreCupom(cpf);
}

int32_t ECF_UsaUnidadeMedida(const char* unidade) {
  const int32_t codigo = Driver().Aceita();
  if (codigo == 1) Driver().UsaUnidade(unidade);
  return codigo;
}

// O desconto do próprio comando (o PDV manda "0000") segue a regra do
// BEMAFI32; acréscimo ou desconto de verdade vem depois, por item.
int32_t ECF_VendeItem(const char* codigo, const char* descricao, const char* aliquota, const char*,
                      const char* quantidade, int32_t, const char* valorunitario,
                      const char* tipoacrescimo, const char* acrescimo) {
  Ajuste ajuste;
  if (!Driver().LeAjuste(tipoacrescimo, acrescimo, false, ajuste))
    return Driver().Codigo(Ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Driver().VendeItem(codigo, descricao, aliquota, quantidade, valorunitario,
                            ComoDesconto(ajuste));
}

// item "003"; "A" acréscimo ou "D" desconto; "%" em centésimos de percentual
// ("1050"), "$" em centavos ("001234").
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

// ---- consultas ----

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

// Dia de movimento que a última redução Z encerrou; zeros sem redução.
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

// ---- documentos não fiscais ----

// 30 nomes de 19 colunas separados por ",", na ordem dos índices; livre em branco.
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

// O índice ("01".."50") do totalizador com esse nome; desconhecido, nada escrito.
int32_t ECF_RetornaIndiceComprovanteNaoFiscal(const char* totalizador, char* indice) {
  int32_t codigo;
  if (!Driver().PodeLer(codigo)) return codigo;
  const TotalizadorNaoFiscal* t = Ecf().procuraTotalizador(apara(Texto(totalizador)));
  if (!t) return Driver().Codigo(Resultado::TotalizadorNaoProgramado);
  Escreve(indice, Digitos(t->indice, 2));
  return 1;
}

// Só pelo índice.
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

// ---- programação ----

int32_t ECF_ProgramaFormaPagamentoMFD(const char* formapagamento, const char* vinculado) {
  return Driver().Codigo(
      Ecf().programaFormaPagamento(Texto(formapagamento), apara(Texto(vinculado)) == "1"));
}

// ---- relatórios gerenciais ----

// 30 entradas de 20 colunas, sem separador: índice (2) e nome (18).
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

// Um índice já ocupado leva o nome ao primeiro índice livre.
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

// ---- o dia ----

int32_t ECF_LeituraX() {
  return Driver().LeituraX();
}

// Data e hora lidas da própria impressora: confirmam o relógio.
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

// ---- memória fiscal: impressa, ou em LEITURAMF.TXT na pasta do driver ----

bool Completa(const char* tipo) {
  return maiusculas(apara(Texto(tipo))) == "C";
}

int32_t ECF_LeituraMemoriaFiscalDataMFD(const char* inicio, const char* fim, const char* tipo) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, true, Completa(tipo));
}

int32_t ECF_LeituraMemoriaFiscalReducaoMFD(const char* inicio, const char* fim,
                                           const char* tipo) {
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

}  // namespace Sim
}  // namespace

#define SIM_GERA SIM_GERA_EXPORTA
#include "drivers/funcoes.inc"
#undef SIM_GERA
#undef DRIVER
