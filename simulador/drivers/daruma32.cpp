// The DARUMA32 stand-in (DARUMA) over the simulated printer. Almost all the
// library reads from this driver comes from Daruma_FIMFD_RetornaInformacao,
// by index.
#define SIM_BIBLIOTECA_DARUMA32 1
#include "geracao.h"

#include "comum.h"
#include "texto.h"

using namespace tarvic::simulador;
using namespace tarvic::simulador::substituto;

namespace {
namespace Sim {

#define SIM_FABRICANTE "DARUMA"
#define SIM_FAMILIA Familia::Daruma
#include "preambulo_fi.h"

// ---- port, settings, presence, status ----

int32_t Daruma_FI_AbrePortaSerial() {
  Driver().Reinicia();
  return 1;
}

int32_t Daruma_FI_FechaPortaSerial() {
  return 1;
}

// Settings the driver itself keeps: nothing on the printer.
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

// ---- fiscal coupon ----

int32_t Daruma_FI_AbreCupom(const char* cpf) {
  return Driver().AbreCupom(cpf);
}

int32_t Daruma_FI_UsaUnidadeMedida(const char* unidade) {
  const int32_t codigo = Driver().Aceita();
  if (codigo == 1) Driver().UsaUnidade(unidade);
  return codigo;
}

// The last field carries the discount with its sign: positive a discount
// ("03,50"), negative an increase ("-05,00"); with "%", the written percent.
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

// ---- queries ----

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

// ---- non-fiscal documents ----

// The totaliser by its name or its index ("01".."50").
int32_t Daruma_FI_RecebimentoNaoFiscal(const char* totalizador, const char* valor,
                                       const char* formapagamento) {
  const std::string t = apara(Texto(totalizador));
  int64_t indice = 0;
  const bool porIndice = !t.empty() && t.size() <= 2 && LeInteiro(t, indice);
  return Driver().Recebimento(porIndice ? TotalizadorDoIndice(Ecf(), indice) : t, valor,
                              formapagamento);
}

int32_t Daruma_FI_NomeiaTotalizadorNaoSujeitoIcms(int32_t indice, const char* nome) {
  return Driver().NomeiaTotalizador(indice, nome);
}

int32_t Daruma_FI_Suprimento(const char* valor, const char* formapagamento) {
  return Driver().Suprimento(valor, formapagamento);
}

int32_t Daruma_FI_Sangria(const char* valor) {
  return Driver().Sangria(valor);
}

int32_t Daruma_FI_AbreComprovanteNaoFiscalVinculado(const char* formapagamento, const char* valor,
                                                    const char* coo) {
  return Driver().AbreVinculado(formapagamento, valor, coo);
}

int32_t Daruma_FI_UsaComprovanteNaoFiscalVinculado(const char* texto) {
  return Driver().UsaVinculado(texto);
}

// ---- programming ----

// The whole list, each method ended by ";"; those already programmed stay
// as they are, new ones accept a linked receipt. The text after the last
// ";" is a method too.
int32_t Daruma_FI_ProgramaFormasPagamento(const char* formas) {
  ImpressoraFiscal& e = Ecf();
  const std::string lista = Texto(formas);
  if (apara(lista).empty())
    return Driver().Codigo(e.ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  Resultado r = Resultado::Ok;
  std::size_t inicio = 0;
  while (inicio <= lista.size() && r == Resultado::Ok) {
    std::size_t fim = lista.find(';', inicio);
    if (fim == std::string::npos) fim = lista.size();
    const std::string nome = apara(lista.substr(inicio, fim - inicio));
    if (!nome.empty()) r = e.programaFormaPagamento(nome, true);
    inicio = fim + 1;
  }
  return Driver().Codigo(r);
}

// ---- management reports ----

// 20 names of 15 columns, each followed by ",".
int32_t Daruma_FIMFD_VerificaRelatoriosGerenciais(char* relatorios) {
  std::string lista;
  for (int i = 1; i <= 20; ++i) {
    std::string nome;
    for (const RelatorioGerencial& r : Ecf().relatoriosGerenciais())
      if (r.indice == i) nome = r.nome;
    nome.resize(15, ' ');
    lista += nome + ",";
  }
  return Driver().Le(relatorios, lista);
}

// The name goes to the first free index.
int32_t Daruma_FIMFD_ProgramaRelatoriosGerenciais(const char* nome) {
  return Driver().Codigo(Ecf().nomeiaRelatorioGerencial(0, Texto(nome)));
}

int32_t Daruma_FIMFD_AbreRelatorioGerencial(const char* nome) {
  return Driver().Codigo(Ecf().abreRelatorioGerencialPorNome(apara(Texto(nome))));
}

int32_t Daruma_FI_RelatorioGerencial(const char* texto) {
  return Driver().ImprimeRelatorio(texto);
}

// ---- the day ----

int32_t Daruma_FI_LeituraX() {
  return Driver().LeituraX();
}

// The computer's date and time: the driver does not use them, the printer's
// clock counts.
int32_t Daruma_FI_ReducaoZ(const char*, const char*) {
  return Driver().ReducaoZ();
}

int32_t Daruma_FI_ProgramaArredondamento() {
  return Driver().ProgramaArredondamento();
}

int32_t Daruma_FI_ProgramaHorarioVerao() {
  return Driver().AlternaHorarioVerao();
}

// ---- fiscal memory: full or simplified by the registry; printed or in RETORNO.TXT ----

bool& LeituraCompleta() {
  static bool completa = true;
  return completa;
}

int32_t Daruma_Registry_MFD_LeituraMFCompleta(const char* completa) {
  LeituraCompleta() = apara(Texto(completa)) == "1";
  return 1;
}

int32_t Daruma_FI_LeituraMemoriaFiscalData(const char* inicio, const char* fim) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, true, LeituraCompleta());
}

int32_t Daruma_FI_LeituraMemoriaFiscalReducao(const char* inicio, const char* fim) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, false, LeituraCompleta());
}

int32_t Daruma_FI_LeituraMemoriaFiscalSerialData(const char* inicio, const char* fim) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, true, LeituraCompleta(), "RETORNO.TXT");
}

int32_t Daruma_FI_LeituraMemoriaFiscalSerialReducao(const char* inicio, const char* fim) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, false, LeituraCompleta(), "RETORNO.TXT");
}

// The last reduction's data (index 140), 1164 columns; without one, zeros.
std::string DadosReducao140(const ImpressoraFiscal& e) {
  std::string r(1164, '0');
  const DadosReducao* z = e.ultimaReducao();
  if (!z) return r;
  Poe(r, 1, Ddmmaaaa(z->dataMovimento));
  Poe(r, 9, Campo(z->grandeTotal, 18));
  Poe(r, 27, Campo(z->grandeTotal - z->vendaBruta, 18));  // the GT at the start of the day
  Poe(r, 45, Campo(z->descontosIcms, 14));
  Poe(r, 59, Campo(z->descontosIss, 14));
  Poe(r, 73, Campo(z->cancelamentosIcms, 14));
  Poe(r, 87, Campo(z->cancelamentosIss, 14));
  Poe(r, 101, Campo(z->acrescimosIcms, 14));
  Poe(r, 115, Campo(z->acrescimosIss, 14));
  for (int k = 1; k <= 16; ++k) {
    int64_t total, percentual;
    char tipo;
    TotalDaAliquota(*z, k, total, percentual, tipo);
    Poe(r, 129 + 14 * (k - 1), Campo(total, 14));
    // The index's kind: 1 ICMS, 2 ISS, 0 free.
    Poe(r, 843 + 5 * (k - 1), percentual == 0 ? "0" : (tipo == 'S' ? "2" : "1"));
    Poe(r, 844 + 5 * (k - 1), Campo(percentual, 4));
  }
  // The first ones ICMS, the second ones ISS.
  Poe(r, 353, Campo(TotalFixo(*z, "F"), 14));
  Poe(r, 367, Campo(TotalFixo(*z, "FS"), 14));
  Poe(r, 381, Campo(TotalFixo(*z, "I"), 14));
  Poe(r, 395, Campo(TotalFixo(*z, "IS"), 14));
  Poe(r, 409, Campo(TotalFixo(*z, "N"), 14));
  Poe(r, 423, Campo(TotalFixo(*z, "NS"), 14));
  Poe(r, 935, Campo(z->coo, 6));
  Poe(r, 941, Campo(z->crz, 4));
  Poe(r, 945, Campo(z->cro, 4));
  return r;
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
    case 23:
      resposta = Digitos(c.cro, 3);
      break;
    case 24:
      resposta = Digitos(c.crz, 4);
      break;
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
      break;    // last reduction
    case 74: {  // last document, ddmmaaaahhmmss
      const DataHora d = e.dataHoraUltimoDocumento();
      resposta = d.valida() ? Ddmmaaaa(d) + Hhmmss(d) : std::string(14, '0');
      break;
    }
    case 73: {  // issue of the last reduction, ddmmaaaahhmmss
      resposta =
          z ? Ddmmaaaa(z->dataHoraEmissao) + Hhmmss(z->dataHoraEmissao) : std::string(14, '0');
      break;
    }
    // The serial in 20 columns and, in the 21st, the additional fiscal
    // memory's letter.
    case 78: {
      std::string serie = id.numeroSerie;
      serie.resize(20, ' ');
      resposta = serie + "N";
      break;
    }
    case 79:
      resposta = id.tipo;
      break;
    case 80:
      resposta = id.marca;
      break;
    case 81:
      resposta = id.modelo;
      break;
    case 83: {  // basic software version, digits only
      for (char ch : id.versaoFirmware)
        if (ch >= '0' && ch <= '9') resposta += ch;
      break;
    }
    case 85:
      resposta = Ddmmaaaa(GravacaoSoftwareBasico()) + Hhmmss(GravacaoSoftwareBasico());
      break;
    case 94:
      resposta = Digitos(id.numeroUsuario, 2);
      break;
    case 108:
      resposta = e.horarioVerao() ? "1" : "0";
      break;
    case 109:  // discount on ISS allowed
      resposta = "0";
      break;
    // The last Z reduction's data, starting with the movement day.
    case 140:
      resposta = DadosReducao140(e);
      break;
    default:
      // Indexes the library does not read yet: the query is accepted unanswered.
      return Driver().Aceita();
  }
  return Driver().Le(buffer, resposta);
}

// ---- accepted without effect, each with why ----

SIM_SEM_EFEITO(Daruma_FIMFD_DownloadDaMFD, SIM_GRAVA_ARQUIVO);
SIM_SEM_EFEITO(Daruma_FIMFD_GerarAtoCotepePafCOO, SIM_GRAVA_ARQUIVO);
SIM_SEM_EFEITO(Daruma_FIMFD_GerarAtoCotepePafData, SIM_GRAVA_ARQUIVO);
SIM_SEM_EFEITO(Daruma_Sintegra_GerarRegistrosArq, SIM_GRAVA_ARQUIVO);
SIM_SEM_EFEITO(Daruma_FI_VerificaTruncamento, SIM_NUNCA_CHAMADA);

}  // namespace Sim
}  // namespace

#include "exporta.h"
