// Printer programming: payment methods, non-fiscal totalisers and
// management reports.
#include <algorithm>

#include "Dataregis/dllg2.h"
#include "drivers/drivers.h"
#include "estado.h"
#include "fronteira.h"
#include "interno.h"

namespace {

const char *const CONTEXTO_VERIFICA = "Situação em VerificaRelatorioGerencial.";
const char *const CONTEXTO_NOMEIA = "Situação em NomeiaRelatorioGerencial.";

// DLLG2 printers keep up to 21 payment methods and 21 non-fiscal totalisers.
constexpr int32_t ULTIMO_CODIGO_DLLG2 = 20;

// Drivers that print a report in pieces take at most this much per call.
constexpr size_t PEDACO_BEMATECH = 550;
constexpr size_t PEDACO_DARUMA = 450;

// Centred lines are centred on the printer's 47 columns.
constexpr int COLUNAS_CENTRALIZACAO = 47;

bool DllG2() {
  return EstadoEcf.Fabricante == DATAREGIS || EstadoEcf.Fabricante == URANO;
}

void AdicionaParam(int32_t canal, const char *nome, const std::string &valor, int32_t tipo) {
  DLLG2_AdicionaParam(canal, nome, valor.c_str(), tipo);
}

// The driver's answer as it laid it out, up to its first NUL and untrimmed:
// the report lists are read by position.
std::string Resposta(const std::string &buffer) {
  return buffer.substr(0, buffer.find('\0'));
}

// `n` characters from the 1-based position `inicio`, as far as the text goes.
std::string Copia(const std::string &texto, size_t inicio, size_t n) {
  if (inicio < 1 || inicio > texto.size()) return "";
  return texto.substr(inicio - 1, n);
}

// A printer's report name answers to the given name when equal to it or
// when it holds it; an empty given name only answers to an empty slot.
bool NomeConfere(const std::string &daImpressora, const std::string &dado) {
  return daImpressora == dado || (!dado.empty() && daImpressora.find(dado) != std::string::npos);
}

// A report index read from the printer; one that is no number is no report.
int32_t LeIndice(const std::string &texto) {
  try {
    return TextoParaInteiro(texto);
  } catch (const ErroConversao &) {
    return -1;
  }
}

// Takes the next item off a ";"-ended list: the text before the first ";",
// which goes away with it. False when no ";" is left (what follows the last
// one is no item).
bool ProximoItem(std::string &lista, std::string &item) {
  const size_t fim = lista.find(';');
  if (fim == std::string::npos) return false;
  item = lista.substr(0, fim);
  lista.erase(0, fim + 1);
  return true;
}

// ---- Payment methods --------------------------------------------------------

void ProgramaFormasSweda(const std::string &lista) {
  std::string item;
  for (char c : lista) {
    if (c != ';') {
      item += c;
      continue;
    }
    // Only the card method lets linked receipts follow a payment.
    const char *vinculado = Maiusculas(Aparar(item)) == "CARTAO" ? "1" : "0";
    ECF_ProgramaFormaPagamentoMFD(item.c_str(), vinculado);
    item.clear();
  }
}

// The names the printer holds, upper-cased, each between ";": the answer
// is a ","-separated list whose entries start with the name in 16 columns.
std::string FormasProgramadasElgin(const std::string &buffer) {
  std::string resto = LeBuffer(buffer);
  if (!resto.empty() && resto.back() != ',') resto += ',';
  std::string nomes = ";";
  while (!resto.empty()) {
    nomes += Aparar(resto.substr(0, 16)) + ";";
    resto.erase(0, resto.find(',') + 1);
  }
  return Maiusculas(nomes);
}

void ProgramaFormasElgin(std::string lista) {
  std::string buffer = Espacos(919);
  GuardaRetorno(Elgin_VerificaFormasPagamentoMFD(buffer.data()));
  if (!VerificaRetorno(true)) return;
  const std::string programadas = FormasProgramadasElgin(buffer);
  if (!lista.empty() && lista[0] == ';') lista.erase(0, 1);
  std::string item;
  while (ProximoItem(lista, item)) {
    item = Aparar(item);
    if (programadas.find(";" + item + ";") == std::string::npos)
      GuardaRetorno(Elgin_ProgramaFormaPagamentoMFD(item.c_str(), "1"));
  }
}

void ProgramaFormasDllG2(std::string lista) {
  const int32_t canal = CanalComandoDllG2();
  // Cash is every printer's own method: never counted as programmed.
  std::string conhecidas = ";";
  for (int32_t codigo = 0; codigo <= ULTIMO_CODIGO_DLLG2; ++codigo) {
    DLLG2_LimpaParams(canal);
    AdicionaParam(canal, "CodMeioPagamentoProgram", std::to_string(codigo), DLLG2_INTEIRO);
    RetornoDllG2 = DLLG2_ExecutaComando(canal, "LeMeioPagamento");
    std::string buffer = Espacos(16);
    RetornoDllG2 = DLLG2_Retorno(canal, 0, "NomeMeioPagamento", 0, buffer.data(), 16);
    if (RetornoDllG2 > 0) {
      const std::string nome = LeBuffer(buffer);
      if (Maiusculas(nome) != "DINHEIRO") conhecidas += nome + ";";
    }
  }
  std::string item;
  while (ProximoItem(lista, item)) {
    item = Aparar(item);
    if (item.empty() || conhecidas.find(item + ";") != std::string::npos) continue;
    DLLG2_LimpaParams(canal);
    AdicionaParam(canal, "PermiteVinculado", "t", DLLG2_INDICADOR);
    AdicionaParam(canal, "NomeMeioPagamento", item, DLLG2_TEXTO);
    RetornoDllG2 = DLLG2_ExecutaComando(canal, "DefineMeioPagamento");
  }
}

// ---- Non-fiscal totalisers ------------------------------------------------------

void NomeiaTotalizadorDllG2(const std::string &nome) {
  const int32_t canal = CanalComandoDllG2();
  std::string nomes;
  for (int32_t codigo = 0; codigo <= ULTIMO_CODIGO_DLLG2; ++codigo) {
    DLLG2_LimpaParams(canal);
    AdicionaParam(canal, "CodNaoFiscal", std::to_string(codigo), DLLG2_INTEIRO);
    RetornoDllG2 = DLLG2_ExecutaComando(canal, "LeNaoFiscal");
    if (RetornoDllG2 <= 0) continue;
    std::string buffer = Espacos(30);
    RetornoDllG2 = DLLG2_Retorno(canal, 0, "NomeNaoFiscal", 0, buffer.data(), 30);
    nomes += LeBuffer(buffer) + ";";
  }
  // The printer keeps the names in capitals; a blank name is no totaliser
  // to define.
  const std::string procurado = Maiusculas(Aparar(nome));
  if (procurado.empty() || nomes.find(procurado) != std::string::npos) return;
  DLLG2_LimpaParams(canal);
  AdicionaParam(canal, "NomeNaoFiscal", nome, DLLG2_TEXTO);
  RetornoDllG2 = DLLG2_ExecutaComando(canal, "DefineNaoFiscal");
}

// ---- Management reports -----------------------------------------------------------

// 30 entries of 22 columns: a counter in the first four, the name in the
// next seventeen.
int32_t VerificaRelatorioBematech(const std::string &nome) {
  if (!EstadoEcf.TipoMfd) return -1;
  std::string buffer = Espacos(659);
  GuardaRetorno(Bematech_FI_VerificaRelatorioGerencialMFD(buffer.data()));
  const std::string resposta = Resposta(buffer);
  for (int32_t i = 1; i <= 30; ++i) {
    const std::string entrada = Copia(resposta, (i - 1) * 22 + 1, 21);
    if (NomeConfere(Aparar(Copia(entrada, 5, 17)), nome)) return i;
  }
  return -1;
}

// Entries of 20 columns, the printer's two-digit index first.
int32_t VerificaRelatorioSweda(const std::string &nome) {
  if (Aparar(nome).empty()) return 1;
  std::string buffer = Espacos(600);
  GuardaRetorno(ECF_VerificaRelatorioGerencialProgMFD(buffer.data()));
  std::string resto = Resposta(buffer);
  for (int i = 0; i < 30; ++i) {
    if (NomeConfere(Aparar(Copia(resto, 3, 19)), nome)) return LeIndice(Copia(resto, 1, 2));
    resto = Copia(resto, 21, resto.size());
  }
  return -1;
}

// Names of 15 columns, each followed by a separator.
int32_t VerificaRelatorioDaruma(const std::string &nome) {
  std::string buffer = Espacos(321);
  GuardaRetorno(Daruma_FIMFD_VerificaRelatoriosGerenciais(buffer.data()));
  std::string resto = Resposta(buffer);
  for (int32_t i = 1; i <= 20; ++i) {
    const std::string daImpressora = Aparar(Copia(resto, 1, 15));
    resto = Copia(resto, 17, resto.size());
    if (NomeConfere(daImpressora, nome)) return i;
  }
  return -1;
}

int32_t VerificaRelatorioElgin(const std::string &nome) {
  for (int32_t i = 0; i <= 19; ++i) {
    std::string buffer = Espacos(30);
    Elgin_LeNomeRelatorioGerencial(FormataInteiro(i, 2).c_str(), buffer.data());
    if (LeBuffer(buffer) == nome) return i;
  }
  return -1;
}

int32_t VerificaRelatorioDllG2(const std::string &nome) {
  const int32_t canal = CanalComandoDllG2();
  DLLG2_LimpaParams(canal);
  AdicionaParam(canal, "NomeGerencial", nome, DLLG2_TEXTO);
  RetornoDllG2 = DLLG2_ExecutaComando(canal, "LeGerencial");
  if (RetornoDllG2 <= 0) return -1;
  std::string buffer = Espacos(2);
  RetornoDllG2 = DLLG2_Retorno(canal, 0, "CodGerencial", 0, buffer.data(), 2);
  return LeIndice("0" + LeBuffer(buffer));
}

// Sends `texto` in pieces of at most `tamanho` characters; each piece's code
// is kept, so the last one decides.
template <class Funcao>
void ImprimeEmPedacos(const std::string &texto, size_t tamanho, Funcao imprime) {
  for (size_t inicio = 0; inicio < texto.size(); inicio += tamanho)
    GuardaRetorno(imprime(texto.substr(inicio, tamanho).c_str()));
}

void ImprimeRelatorioDllG2(const std::string &texto, int32_t indice) {
  const int32_t canal = CanalComandoDllG2();
  if (!tarvic::EstadoFiscalContem(32)) {
    DLLG2_LimpaParams(canal);
    AdicionaParam(canal, "CodGerencial", std::to_string(std::max(indice, 0)), DLLG2_INTEIRO);
    RetornoDllG2 = DLLG2_ExecutaComando(canal, "AbreGerencial");
    if (!VerificaRetorno(true))
      Mensagem("Não foi possível efetivar a Abertura do Relatório Gerencial.");
  }
  DLLG2_LimpaParams(canal);
  AdicionaParam(canal, "TextoLivre", texto, DLLG2_TEXTO);
  RetornoDllG2 = DLLG2_ExecutaComando(canal, "ImprimeTexto");
}

}  // namespace

namespace tarvic {

bool ecf_StatusComprovanteNaoFiscalVinculado() {
  std::string buffer = Espacos(2);
  switch (EstadoEcf.Fabricante) {
    case SWEDA:
      return ECF_StatusComprovanteNaoFiscalVinculado(buffer.data()) == 1 && LeBuffer(buffer) == "1";
    case DARUMA:
      return Daruma_FI_StatusComprovanteNaoFiscalVinculado(buffer.data()) == 1 &&
             LeBuffer(buffer) == "1";
    case DATAREGIS:
    case URANO:
      return EstadoFiscalContem(64);
    default:
      return false;  // these drivers cannot tell
  }
}

bool ecf_ProgramaFormasPagamento(const std::string &lista) {
  const std::string formas = Aparar(lista);
  if (formas.empty()) return false;
  switch (EstadoEcf.Fabricante) {
    case SWEDA:
      ProgramaFormasSweda(formas);
      break;
    case DARUMA:
      GuardaRetorno(Daruma_FI_ProgramaFormasPagamento(formas.c_str()));
      break;
    case ELGIN:
      ProgramaFormasElgin(formas);
      break;
    case DATAREGIS:
    case URANO:
      ProgramaFormasDllG2(formas);
      break;
    default:
      // The BEMATECH driver has no way to program them.
      ecf_Retorno = -2;
      return false;
  }
  return VerificaRetorno(true);
}

bool ecf_NomeiaTotalizadorNaoFiscal(int32_t indice, const std::string &nome) {
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      GuardaRetorno(Bematech_FI_NomeiaTotalizadorNaoSujeitoIcms(indice, nome.c_str()));
      break;
    case SWEDA:
      GuardaRetorno(ECF_NomeiaTotalizadorNaoSujeitoIcms(indice, nome.c_str()));
      break;
    case DARUMA:
      GuardaRetorno(Daruma_FI_NomeiaTotalizadorNaoSujeitoIcms(indice, nome.c_str()));
      break;
    case ELGIN:
      GuardaRetorno(Elgin_NomeiaTotalizadorNaoSujeitoIcms(indice, nome.c_str()));
      break;
    case DATAREGIS:
    case URANO:
      // The printer picks the code of a new totaliser itself.
      NomeiaTotalizadorDllG2(nome);
      break;
    default:
      break;
  }
  return VerificaRetorno(true);
}

int32_t ecf_VerificaRelatorioGerencial(const std::string &nome) {
  EstadoEcf.ContextoMensagem = CONTEXTO_VERIFICA;
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      return VerificaRelatorioBematech(nome);
    case SWEDA:
      return VerificaRelatorioSweda(nome);
    case DARUMA:
      return VerificaRelatorioDaruma(nome);
    case ELGIN:
      return VerificaRelatorioElgin(nome);
    case DATAREGIS:
    case URANO:
      return VerificaRelatorioDllG2(nome);
    default:
      return -1;
  }
}

bool ecf_NomeiaRelatorioGerencial(const std::string &nome) {
  EstadoEcf.ContextoMensagem = CONTEXTO_NOMEIA;
  if (Aparar(nome).empty()) MensagemErro("Parâmetro nome inválido em NomeiaRelatorioGerencial.");
  switch (EstadoEcf.Fabricante) {
    case BEMATECH: {
      if (!EstadoEcf.TipoMfd) return false;
      if (ecf_VerificaRelatorioGerencial(nome) >= 0) return true;
      const int32_t livre = ecf_VerificaRelatorioGerencial("");
      GuardaRetorno(
          Bematech_FI_NomeiaRelatorioGerencialMFD(std::to_string(livre).c_str(), nome.c_str()));
      return VerificaRetorno(true) && ecf_VerificaRelatorioGerencial(nome) > 0;
    }
    case SWEDA: {
      if (ecf_VerificaRelatorioGerencial(nome) >= 0) return false;
      const int32_t livre = ecf_VerificaRelatorioGerencial("");
      GuardaRetorno(ECF_NomeiaRelatorioGerencialMFD(std::to_string(livre).c_str(), nome.c_str()));
      return ecf_VerificaRelatorioGerencial(nome) > 0;
    }
    case DARUMA:
      if (ecf_VerificaRelatorioGerencial(nome) >= 0) return false;
      GuardaRetorno(Daruma_FIMFD_ProgramaRelatoriosGerenciais(nome.c_str()));
      return ecf_VerificaRelatorioGerencial(nome) > 0;
    case ELGIN: {
      if (ecf_VerificaRelatorioGerencial(nome) >= 0) return false;
      const int32_t livre = ecf_VerificaRelatorioGerencial("");
      GuardaRetorno(Elgin_NomeiaRelatorioGerencialMFD(std::to_string(livre).c_str(), nome.c_str()));
      return ecf_VerificaRelatorioGerencial(nome) > 0;
    }
    case DATAREGIS:
    case URANO: {
      if (ecf_VerificaRelatorioGerencial(nome) >= 1) return false;
      const int32_t canal = CanalComandoDllG2();
      DLLG2_LimpaParams(canal);
      AdicionaParam(canal, "NomeGerencial", nome, DLLG2_TEXTO);
      RetornoDllG2 = DLLG2_ExecutaComando(canal, "DefineGerencial");
      return RetornoDllG2 > 0 && ecf_VerificaRelatorioGerencial(nome) > 0;
    }
    default:
      return false;
  }
}

bool ecf_CadastraRelatorioGerencial() {
  if (!DllG2()) return false;  // the other printers come with their reports
  const int32_t canal = CanalComandoDllG2();
  DLLG2_LimpaParams(canal);
  AdicionaParam(canal, "CodGerencial", "0", DLLG2_INTEIRO);
  AdicionaParam(canal, "NomeGerencial", "RELATORIO GERENCIAL", DLLG2_TEXTO);
  RetornoDllG2 = DLLG2_ExecutaComando(canal, "DefineGerencial");
  return VerificaRetorno(true);
}

bool ecf_RelatorioGerencial(const std::string &texto, const std::string &nome, bool centralizar) {
  // The drivers refuse an empty text; a blank line prints instead.
  std::string linha = (texto.empty() || texto == std::string(1, '\0')) ? " " : texto;
  if (centralizar && !Aparar(linha).empty()) {
    const int brancos = (COLUNAS_CENTRALIZACAO - static_cast<int>(linha.size())) / 2;
    if (brancos > 0) linha.insert(0, static_cast<size_t>(brancos), ' ');
  }
  const std::string relatorio = Aparar(nome);
  const int32_t indice = relatorio.empty() ? -1 : ecf_VerificaRelatorioGerencial(relatorio);
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      if (EstadoEcf.TipoMfd && indice > 0) {
        GuardaRetorno(Bematech_FI_AbreRelatorioGerencialMFD(std::to_string(indice).c_str()));
        if (!VerificaRetorno(true)) return false;
      }
      ImprimeEmPedacos(linha, PEDACO_BEMATECH, Bematech_FI_RelatorioGerencial);
      break;
    case SWEDA:
      if (!ecf_StatusRelatorioGerencial()) {
        GuardaRetorno(
            ECF_AbreRelatorioGerencialMFD(FormataInteiro(std::max(indice, 1), 2).c_str()));
        if (!VerificaRetorno(true)) Mensagem("Falha ao Abrir Relatório Gerencial!");
      }
      GuardaRetorno(ECF_UsaRelatorioGerencialMFD(linha.c_str()));
      break;
    case DARUMA:
      if (!relatorio.empty()) GuardaRetorno(Daruma_FIMFD_AbreRelatorioGerencial(relatorio.c_str()));
      ImprimeEmPedacos(linha, PEDACO_DARUMA, Daruma_FI_RelatorioGerencial);
      break;
    case ELGIN:
      if (!relatorio.empty())
        GuardaRetorno(Elgin_AbreRelatorioGerencialMFD(FormataInteiro(indice, 2).c_str()));
      GuardaRetorno(Elgin_RelatorioGerencial(linha.c_str()));
      break;
    case DATAREGIS:
    case URANO:
      ImprimeRelatorioDllG2(linha, indice);
      break;
    default:
      break;
  }
  return VerificaRetorno(false);
}

bool ecf_FechaRelatorioGerencial() {
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      GuardaRetorno(Bematech_FI_FechaRelatorioGerencial());
      break;
    case DARUMA:
      GuardaRetorno(Daruma_FI_FechaRelatorioGerencial());
      break;
    case ELGIN:
      GuardaRetorno(Elgin_FechaRelatorioGerencial());
      break;
    case SWEDA:
      if (ecf_StatusRelatorioGerencial())
        GuardaRetorno(ECF_FechaRelatorioGerencial());
      else if (ecf_StatusComprovanteNaoFiscalVinculado())
        GuardaRetorno(ECF_FechaComprovanteNaoFiscalVinculado());
      else
        ecf_Retorno = 1;  // nothing open to close
      break;
    case DATAREGIS:
    case URANO: {
      const int32_t canal = CanalComandoDllG2();
      DLLG2_LimpaParams(canal);
      RetornoDllG2 = DLLG2_ExecutaComando(canal, "EncerraDocumento");
      break;
    }
    default:
      break;
  }
  return VerificaRetorno(false);
}

bool ecf_StatusRelatorioGerencial() {
  std::string buffer = Espacos(2);
  switch (EstadoEcf.Fabricante) {
    case SWEDA:
      return ECF_StatusRelatorioGerencial(buffer.data()) == 1 && LeBuffer(buffer) == "1";
    case DARUMA:
      return Daruma_FI_StatusRelatorioGerencial(buffer.data()) == 1 && LeBuffer(buffer) == "1";
    case DATAREGIS:
    case URANO:
      return EstadoFiscalContem(32);
    default:
      return false;  // these drivers cannot tell
  }
}

}  // namespace tarvic

extern "C" {

tarvic_Flag TARVIC_API ecf_StatusComprovanteNaoFiscalVinculado(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false,
                              [] { return tarvic::ecf_StatusComprovanteNaoFiscalVinculado(); });
}

tarvic_Flag TARVIC_API ecf_ProgramaFormasPagamento(const char *lista) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, lista), false,
                              [&] { return tarvic::ecf_ProgramaFormasPagamento(Texto(lista)); });
}

tarvic_Flag TARVIC_API ecf_NomeiaTotalizadorNaoFiscal(int32_t indice, const char *nome) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, indice, nome), false, [&] {
    return tarvic::ecf_NomeiaTotalizadorNaoFiscal(indice, Texto(nome));
  });
}

int32_t TARVIC_API ecf_VerificaRelatorioGerencial(const char *nome) {
  return Exporta<int32_t>(Exportacao(__func__, nome), -1,
                          [&] { return tarvic::ecf_VerificaRelatorioGerencial(Texto(nome)); });
}

tarvic_Flag TARVIC_API ecf_NomeiaRelatorioGerencial(const char *nome) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, nome), false,
                              [&] { return tarvic::ecf_NomeiaRelatorioGerencial(Texto(nome)); });
}

tarvic_Flag TARVIC_API ecf_CadastraRelatorioGerencial(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false,
                              [] { return tarvic::ecf_CadastraRelatorioGerencial(); });
}

tarvic_Flag TARVIC_API ecf_RelatorioGerencial(const char *texto, const char *nome,
                                              tarvic_Flag centralizar) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, texto, nome, centralizar), false, [&] {
    return tarvic::ecf_RelatorioGerencial(Texto(texto), Texto(nome), Flag(centralizar));
  });
}

tarvic_Flag TARVIC_API ecf_FechaRelatorioGerencial(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false,
                              [] { return tarvic::ecf_FechaRelatorioGerencial(); });
}

tarvic_Flag TARVIC_API ecf_StatusRelatorioGerencial(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false,
                              [] { return tarvic::ecf_StatusRelatorioGerencial(); });
}

}  // extern "C"
