// Printer queries: counters, grand total, identification and dates.
#include "Dataregis/dllg2.h"
#include "drivers/drivers.h"
#include "estado.h"
#include "fronteira.h"
#include "interno.h"
#include "plataforma.h"

namespace {

using namespace tarvic;

// A driver read into a buffer of `tamanho` blanks: the code is kept and the
// answer is what the driver left in those characters, trimmed.
template <class Funcao>
std::string LeDriver(Funcao funcao, int tamanho) {
  std::string buffer = Espacos(tamanho);
  GuardaRetorno(funcao(buffer.data()));
  return LeBuffer(buffer);
}

// DARUMA answers most questions through one function, by index.
std::string LeDaruma(const char *indice, int tamanho) {
  std::string buffer = Espacos(tamanho);
  GuardaRetorno(Daruma_FIMFD_RetornaInformacao(indice, buffer.data()));
  return LeBuffer(buffer);
}

// Brand, model and type of the MFD printers, in buffers of 15, 20 and 7.
template <class Funcao>
void LeMarcaModeloTipo(Funcao funcao) {
  std::string marca = Espacos(15), modelo = Espacos(20), tipo = Espacos(7);
  GuardaRetorno(funcao(marca.data(), modelo.data(), tipo.data()));
  EstadoEcf.Marca = LeBuffer(marca);
  EstadoEcf.Modelo = LeBuffer(modelo);
  EstadoEcf.TipoEcf = LeBuffer(tipo);
}

// Characters [inicio, inicio + n) of a driver's answer, counted from 1; what
// the answer does not have is left out.
std::string Trecho(const std::string &texto, size_t inicio, size_t n) {
  return inicio - 1 < texto.size() ? texto.substr(inicio - 1, n) : std::string();
}

// Cuts a driver's answer into a date-and-time text: the widths of day, month,
// year, hour, minute and second (0: the part is absent).
std::string CortaDataHora(const std::string &resposta, const size_t (&larguras)[6]) {
  static const char *const separadores[] = {"", "/", "/", " ", ":", ":"};
  std::string texto;
  size_t posicao = 1;
  for (int i = 0; i < 6 && larguras[i] > 0; ++i) {
    texto += separadores[i] + Trecho(resposta, posicao, larguras[i]);
    posicao += larguras[i];
  }
  return texto;
}

// Date and time answered in two buffers of 6 (ddmmyy, hhmmss); empty when
// the driver failed.
template <class Funcao>
std::string LeDataHoraDriver(Funcao funcao) {
  std::string data = Espacos(6), hora = Espacos(6);
  GuardaRetorno(funcao(data.data(), hora.data()));
  if (ecf_Retorno != 1) return "";
  const std::string d = LeBuffer(data), h = LeBuffer(hora);
  return Trecho(d, 1, 2) + "/" + Trecho(d, 3, 2) + "/" + Trecho(d, 5, 4) + " " + Trecho(h, 1, 2) +
         ":" + Trecho(h, 3, 2) + ":" + Trecho(h, 5, 2);
}

// "dd/mm/yy[yy] hh:nn:ss" to a date-time.
DataHora TextoParaDataHora(const std::string &texto) {
  const std::string t = Aparar(texto);
  const size_t espaco = t.find(' ');
  if (espaco == std::string::npos) return TextoParaData(t);
  return TextoParaData(t.substr(0, espaco)) + TextoParaHora(t.substr(espaco + 1));
}

// The DLLG2 date and time values joined as the printer's date-and-time text.
std::string DataHoraDllG2(const std::string &nomeData, const std::string &nomeHora) {
  const DataHora data = dllG2_leData(nomeData);
  const DataHora hora = dllG2_leHora(nomeHora);
  return FormataDataHora("dd/mm/yyyy", data) + " " + FormataDataHora("hh:nn:ss", hora);
}

int AnoDe(DataHora valor) {
  int ano, mes, dia;
  DecodificaData(valor, ano, mes, dia);
  return ano;
}

// A failed typed read leaves ecf_Retorno as it was, so a 1 from an earlier
// call would pass the failure for a success: the query starts from 0.
int32_t LeInteiroDllG2(const std::string &nome) {
  ecf_Retorno = 0;
  return dllG2_leInteiro(nome);
}

std::string LeTextoDllG2(const std::string &nome) {
  ecf_Retorno = 0;
  std::string valor;
  dllG2_leTexto(valor, nome, 50);
  return valor;
}

// Counters come as digits; an empty answer is 0.
int32_t ConverteContador(const std::string &resposta) {
  return TextoParaInteiro("0" + resposta);
}

// Model lists of the printers without an electronic journal.
bool ModeloNaLista(const std::string &lista, const std::string &modelo) {
  const std::string m = Maiusculas(Aparar(modelo));
  return !m.empty() && lista.find(m) != std::string::npos;
}

enum class Contador { CDC, GRG, GNF, CCF };

// One read of a counter; false when this printer has no such read.
bool LeContador(Contador contador, std::string &resposta) {
  const bool mfd = EstadoEcf.TipoMfd;
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      if (!mfd) return false;
      switch (contador) {
        case Contador::CDC:
          resposta = LeDriver(Bematech_FI_ContadorComprovantesCreditoMFD, 4);
          break;
        case Contador::GRG:
          resposta = LeDriver(Bematech_FI_ContadorRelatoriosGerenciaisMFD, 6);
          break;
        case Contador::GNF:
          resposta = LeDriver(Bematech_FI_NumeroOperacoesNaoFiscais, 6);
          break;
        case Contador::CCF:
          resposta = LeDriver(Bematech_FI_ContadorCupomFiscalMFD, 6);
          break;
      }
      return true;
    case SWEDA:
      switch (contador) {
        case Contador::CDC:
          resposta = LeDriver(ECF_ContadorComprovantesCreditoMFD, 4);
          break;
        // The driver has no GNF counter of its own; the management-report
        // counter is what it answers for it.
        case Contador::GRG:
        case Contador::GNF:
          resposta = LeDriver(ECF_ContadorRelatoriosGerenciaisMFD, 6);
          break;
        case Contador::CCF:
          resposta = LeDriver(ECF_ContadorCupomFiscalMFD, 6);
          break;
      }
      return true;
    case DARUMA:
      switch (contador) {
        case Contador::CDC:
          resposta = LeDaruma("45", 4);
          break;
        case Contador::GRG:
          resposta = LeDaruma("33", 6);
          break;
        case Contador::GNF:
          resposta = LeDaruma("28", 6);
          break;
        case Contador::CCF:
          resposta = LeDaruma("30", 6);
          break;
      }
      return true;
    case ELGIN:
      switch (contador) {
        case Contador::CDC:
          resposta = LeDriver(Elgin_ContadorComprovantesCreditoMFD, 4);
          break;
        case Contador::GRG:
          resposta = LeDriver(Elgin_ContadorRelatoriosGerenciaisMFD, 6);
          break;
        case Contador::GNF:
          return false;  // the driver cannot read it
        case Contador::CCF:
          resposta = LeDriver(Elgin_ContadorCupomFiscalMFD, 6);
          break;
      }
      return true;
    case DATAREGIS:
    case URANO: {
      static const char *const nomes[] = {"CDC", "GRG", "GNF", "CCF"};
      resposta = std::to_string(LeInteiroDllG2(nomes[static_cast<int>(contador)]));
      return true;
    }
    default:
      return false;
  }
}

int32_t NumeroContador(Contador contador, const char *mensagemFalha) {
  if (contador == Contador::GNF && !EstadoEcf.TipoMfd) return 0;
  try {
    std::string resposta;
    if (!LeContador(contador, resposta)) return 0;
    const bool aprovado = contador == Contador::CCF ? ecf_Retorno == 1 : VerificaRetorno(true);
    return aprovado ? ConverteContador(resposta) : 0;
  } catch (const ErroConversao &) {
    if (mensagemFalha) Mensagem(mensagemFalha);
    return 0;
  }
}

std::string LeNumeroCupom() {
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      return LeDriver(Bematech_FI_NumeroCupom, 6);
    case SWEDA:
      return LeDriver(ECF_RetornaCOO, 6);
    case DARUMA:
      return LeDriver(Daruma_FI_NumeroCupom, 6);
    case ELGIN:
      return LeDriver(Elgin_NumeroCupom, 6);
    case DATAREGIS:
    case URANO:
      return std::to_string(LeInteiroDllG2("COO"));
    default:
      return "";
  }
}

// A count of cents read as if it were money, divided by 100 and kept to four
// decimals (half away from zero).
Moeda EmCentavos(Moeda valor) {
  return (valor >= 0 ? valor + 50 : valor - 50) / 100;
}

// The grand total as the driver answers it: digits counting cents for the FI
// drivers, a money value for DLLG2.
Moeda LeGrandeTotal() {
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      return EmCentavos(TextoParaValor(LeDriver(Bematech_FI_GrandeTotal, 18)));
    case SWEDA:
      return EmCentavos(TextoParaValor(LeDriver(ECF_GrandeTotal, 18)));
    case DARUMA:
      return EmCentavos(TextoParaValor(LeDriver(Daruma_FI_GrandeTotal, 18)));
    case ELGIN:
      return EmCentavos(TextoParaValor(LeDriver(Elgin_GrandeTotal, 18)));
    case DATAREGIS:
    case URANO:
      return dllG2_leMoeda("GT");
    default:
      return 0;
  }
}

const char *const CONTEXTO_ULT_REDUCAO = "Ocorrência em \"ecf_DataUltReducao\".";

std::string TextoDataUltReducao() {
  const size_t ddmmaa[6] = {2, 2, 2, 0, 0, 0};
  switch (EstadoEcf.Fabricante) {
    case BEMATECH: {
      std::string data = Espacos(6), hora = Espacos(6);
      GuardaRetorno(Bematech_FI_DataHoraReducao(data.data(), hora.data()));
      return VerificaRetorno(true) ? CortaDataHora(LeBuffer(data), ddmmaa) : "";
    }
    case SWEDA: {
      const std::string data = LeDriver(ECF_DataMovimentoUltimaReducaoMFD, 6);
      return ecf_Retorno == 1 ? CortaDataHora(data, ddmmaa) : "";
    }
    case DARUMA: {
      const std::string resposta = LeDaruma("140", 1164);
      const size_t ddmmaaaa[6] = {2, 2, 4, 0, 0, 0};
      return ecf_Retorno == 1 ? CortaDataHora(resposta, ddmmaaaa) : "";
    }
    case ELGIN: {
      const std::string data = LeDriver(Elgin_DataMovimentoUltimaReducaoMFD, 6);
      return ecf_Retorno == 1 ? CortaDataHora(data, ddmmaa) : "";
    }
    case DATAREGIS:
    case URANO: {
      const int32_t reducoes = dllG2_leInteiro("CRZ");
      return FormataDataHora("dd/mm/yyyy",
                             dllG2_leData("DataReducao[" + std::to_string(reducoes) + "]"));
    }
    default:
      return "";
  }
}

}  // namespace

namespace tarvic {

bool ecf_NumeroCaixa() {
  if (EstadoEcf.NumeroCaixa == 0) {
    try {
      plataforma::ProcessaMensagens();
      std::string resposta;
      switch (EstadoEcf.Fabricante) {
        case BEMATECH:
          resposta = LeDriver(Bematech_FI_NumeroCaixa, 4);
          break;
        case SWEDA:
          resposta = LeDriver(ECF_NumeroCaixa, 4);
          break;
        case DARUMA:
          resposta = LeDriver(Daruma_FI_NumeroCaixa, 4);
          break;
        case ELGIN:
          resposta = LeDriver(Elgin_NumeroCaixa, 4);
          break;
        case DATAREGIS:
        case URANO:
          resposta = std::to_string(LeInteiroDllG2("ECF"));
          break;
        default:
          break;
      }
      plataforma::ProcessaMensagens();
      if (ecf_Retorno == 1 && !resposta.empty()) EstadoEcf.NumeroCaixa = TextoParaInteiro(resposta);
    } catch (const ErroConversao &) {
      EstadoEcf.NumeroCaixa = 0;
    }
  }
  EstadoEcf.NumeroCaixaCupom = EstadoEcf.NumeroCaixa;
  if (EstadoEcf.NumeroCaixa == 0) return false;
  GravaRetorno("NumeroCaixa", std::to_string(EstadoEcf.NumeroCaixa));
  return true;
}

int32_t ecf_NumeroCupom() {
  ecf_Retorno = 1;
  int32_t resultado = -1;
  for (int tentativa = 1;; ++tentativa) {
    try {
      const std::string resposta = LeNumeroCupom();
      if (ecf_Retorno != 1) {
        resultado = 0;
        ecf_StatusAtu(true);
      } else {
        resultado = ConverteContador(resposta);
      }
    } catch (const ErroConversao &) {
      resultado = -1;
      plataforma::Pausa(1000);
    }
    if (resultado >= 0 || tentativa >= 4 || EstadoEcf.SemPapel) break;
  }
  // An answer that never made a number is no COO: it must not reach a coupon.
  return resultado < 0 ? 0 : resultado;
}

bool ecf_NumeroSerial() {
  if (!EstadoEcf.NumeroSerie.empty()) {
    GravaRetorno("NumeroSerie", EstadoEcf.NumeroSerie);
    return true;
  }
  std::string serie;
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      if (!EstadoEcf.TipoMfd && EstadoEcf.Modelo != "MP25FI")
        serie = LeDriver(Bematech_FI_NumeroSerie, 15);
      else
        serie = LeDriver(Bematech_FI_NumeroSerieMFD, 20);
      break;
    case SWEDA:
      serie = LeDriver(ECF_NumeroSerieMFD, 20);
      break;
    case DARUMA:
      serie = LeDaruma("78", 20);
      break;
    case ELGIN:
      serie = LeDriver(Elgin_NumeroSerie, 20);
      break;
    case DATAREGIS:
    case URANO:
      serie = LeTextoDllG2("NumeroSerieECF");
      break;
    default:
      ecf_Retorno = 0;
      break;
  }
  if (ecf_Retorno != 1) {
    EstadoEcf.NumeroSerie.clear();
    return false;
  }
  EstadoEcf.NumeroSerie = serie;
  GravaRetorno("NumeroSerie", serie);
  return true;
}

int32_t ecf_NumeroCDC() {
  return NumeroContador(Contador::CDC, "Falha ao receber número de CDC.");
}

int32_t ecf_NumeroGRG() {
  return NumeroContador(Contador::GRG, "Falha ao receber número GRG.");
}

int32_t ecf_NumeroGNF() {
  return NumeroContador(Contador::GNF, nullptr);
}

int32_t ecf_NumeroCCF() {
  return NumeroContador(Contador::CCF, "Falha ao receber número de CCF.");
}

Moeda ecf_GtAtu() {
  // A printer that keeps refusing must not hold the host for ever: four
  // passes at most, and no grand total unless one of them was approved.
  for (int passe = 1; passe <= 4; ++passe) {
    Moeda valor;
    try {
      valor = LeGrandeTotal();
    } catch (const ErroConversao &) {
      valor = -UNIDADE_MOEDA;
      plataforma::Pausa(750);
    }
    if (valor < 0 && passe < 4 && ecf_Ligado(true)) continue;
    if (VerificaRetorno(true)) return valor < 0 ? 0 : valor;
  }
  return 0;
}

bool ecf_Modelo() {
  if (!EstadoEcf.Modelo.empty()) return true;
  EstadoEcf.Modelo.clear();
  EstadoEcf.Marca.clear();
  EstadoEcf.TipoEcf.clear();
  EstadoEcf.TipoMfd = true;
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      EstadoEcf.Modelo = LeDriver(Bematech_FI_ModeloImpressora, 10);
      EstadoEcf.TipoMfd = !ModeloNaLista(";MP20FI;MP40FI;MP25FI;MP50FI;", EstadoEcf.Modelo);
      if (EstadoEcf.TipoMfd) LeMarcaModeloTipo(Bematech_FI_MarcaModeloTipoImpressoraMFD);
      break;
    case SWEDA:
      LeMarcaModeloTipo(ECF_MarcaModeloTipoImpressoraMFD);
      break;
    case DARUMA:
      EstadoEcf.Marca = LeDaruma("80", 20);
      EstadoEcf.TipoEcf = LeDaruma("79", 7);
      EstadoEcf.Modelo = LeDaruma("81", 20);
      EstadoEcf.TipoMfd = !ModeloNaLista(";FS2000;FS318;FS345;FS420;", EstadoEcf.Modelo);
      break;
    case ELGIN:
      LeMarcaModeloTipo(Elgin_MarcaModeloTipoImpressoraMFD);
      break;
    case DATAREGIS:
    case URANO:
      // Judged, like the FI drivers, by the code the last read left: a brand
      // or type the printer would not tell does not make the model unknown.
      EstadoEcf.Marca = LeTextoDllG2("Marca");
      EstadoEcf.TipoEcf = LeTextoDllG2("TipoECF");
      EstadoEcf.Modelo = LeTextoDllG2("Modelo");
      break;
    default:
      ecf_Retorno = 0;
      break;
  }
  if (ecf_Retorno != 1) {
    EstadoEcf.Modelo.clear();  // asked again next time
    return false;
  }
  GravaRetorno("MODELO", EstadoEcf.Modelo);
  GravaRetorno("MARCA", EstadoEcf.Marca);
  GravaRetorno("TIPO", EstadoEcf.TipoEcf);
  return true;
}

bool ecf_TipoMFD() {
  ecf_Modelo();
  return EstadoEcf.TipoMfd;
}

int32_t ecf_IE() {
  if (EstadoEcf.Fabricante != BEMATECH) return 0;
  std::string cnpj = Espacos(18), ie = Espacos(15);
  GuardaRetorno(Bematech_FI_CGC_IE(cnpj.data(), ie.data()));
  try {
    return TextoParaInteiro(ApenasDigitos(LeBuffer(ie)));
  } catch (const ErroConversao &) {
    return 0;  // more digits than the result holds
  }
}

DataHora ecf_DataUltReducao() {
  EstadoEcf.ContextoMensagem = CONTEXTO_ULT_REDUCAO;
  DataHora resultado = 0;
  try {
    resultado = TextoParaData(TextoDataUltReducao());
  } catch (const ErroConversao &) {
    Mensagem("Falha ao capturar data da última redução.\nChecar em \"ecf_DataUltReducao\".");
  }
  // Only a verdict asked here may carry this context; no later message.
  if (EstadoEcf.ContextoMensagem == CONTEXTO_ULT_REDUCAO) EstadoEcf.ContextoMensagem.clear();
  return resultado;
}

DataHora ecf_DataHora() {
  DataHora valor = 0;
  try {
    std::string texto;
    switch (EstadoEcf.Fabricante) {
      case BEMATECH:
        texto = LeDataHoraDriver(Bematech_FI_DataHoraImpressora);
        break;
      case SWEDA:
        texto = LeDataHoraDriver(ECF_DataHoraImpressora);
        break;
      case DARUMA:
        texto = LeDataHoraDriver(Daruma_FI_DataHoraImpressora);
        break;
      case ELGIN:
        texto = LeDataHoraDriver(Elgin_DataHoraImpressora);
        break;
      case DATAREGIS:
      case URANO:
        texto = DataHoraDllG2("DATA", "HORA");
        break;
      default:
        break;
    }
    if (!texto.empty()) valor = TextoParaDataHora(texto);
  } catch (const ErroConversao &) {
    valor = 0;
  }
  // A clock before 2013 has not been set: the computer's is better.
  return AnoDe(valor) < 2013 ? Agora() : valor;
}

DataHora ecf_UltDataHoraDocumento() {
  DataHora valor = Agora();
  if (ecf_Ligado(false)) {
    const size_t ddmmaa_hhnnss[6] = {2, 2, 2, 2, 2, 2};
    const size_t ddmmaaaa_hhnnss[6] = {2, 2, 4, 2, 2, 2};
    try {
      switch (EstadoEcf.Fabricante) {
        case BEMATECH:
          if (EstadoEcf.TipoMfd)
            valor = TextoParaDataHora(
                CortaDataHora(LeDriver(Bematech_FI_DataHoraUltimoDocumentoMFD, 12), ddmmaa_hhnnss));
          else
            valor = ecf_DataHora();
          break;
        case SWEDA:
          valor = TextoParaDataHora(
              CortaDataHora(LeDriver(ECF_DataHoraUltimoDocumentoMFD, 12), ddmmaa_hhnnss));
          break;
        case ELGIN:
          valor = TextoParaDataHora(
              CortaDataHora(LeDriver(Elgin_DataHoraUltimoDocumentoMFD, 12), ddmmaa_hhnnss));
          break;
        case DARUMA:
          valor = TextoParaDataHora(CortaDataHora(LeDaruma("74", 14), ddmmaaaa_hhnnss));
          break;
        case DATAREGIS:
        case URANO:
          valor = TextoParaDataHora(DataHoraDllG2("DataUltimoDoc", "HoraUltimoDoc"));
          break;
        default:
          break;
      }
    } catch (const ErroConversao &) {
      valor = 0;
    }
  }
  return AnoDe(valor) < 2011 ? Agora() : valor;
}

bool ecf_NumeroUsuario() {
  // Only DARUMA printers tell the user number.
  if (EstadoEcf.Fabricante == DARUMA) {
    const std::string usuario = LeDaruma("94", 2);
    if (ecf_Retorno == 1) {
      GravaRetorno("NumeroUsuario", usuario);
      EstadoEcf.NumeroUsuario = usuario;
      return true;
    }
  }
  EstadoEcf.NumeroUsuario.clear();
  return false;
}

bool ecf_CodigoModeloFiscal() {
  if (EstadoEcf.Fabricante != DARUMA) return false;
  const std::string codigo = LeDriver(Daruma_FIMFD_CodigoModeloFiscal, 6);
  if (ecf_Retorno != 1) return false;
  return GravaRetorno("CodModeloFiscal", codigo);
}

}  // namespace tarvic

extern "C" {

tarvic_Flag TARVIC_API ecf_NumeroCaixa(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false,
                              [] { return tarvic::ecf_NumeroCaixa(); });
}

int32_t TARVIC_API ecf_NumeroCupom(void) {
  return Exporta<int32_t>(Exportacao(__func__), 0, [] { return tarvic::ecf_NumeroCupom(); });
}

tarvic_Flag TARVIC_API ecf_NumeroSerial(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false,
                              [] { return tarvic::ecf_NumeroSerial(); });
}

int32_t TARVIC_API ecf_NumeroCDC(void) {
  return Exporta<int32_t>(Exportacao(__func__), 0, [] { return tarvic::ecf_NumeroCDC(); });
}

int32_t TARVIC_API ecf_NumeroGRG(void) {
  return Exporta<int32_t>(Exportacao(__func__), 0, [] { return tarvic::ecf_NumeroGRG(); });
}

int32_t TARVIC_API ecf_NumeroGNF(void) {
  return Exporta<int32_t>(Exportacao(__func__), 0, [] { return tarvic::ecf_NumeroGNF(); });
}

int32_t TARVIC_API ecf_NumeroCCF(void) {
  return Exporta<int32_t>(Exportacao(__func__), 0, [] { return tarvic::ecf_NumeroCCF(); });
}

tarvic_MoedaResultado TARVIC_API ecf_GtAtu(void) {
  return Exporta<tarvic_MoedaResultado>(Exportacao(__func__), 0, [] {
    return static_cast<tarvic_MoedaResultado>(tarvic::ecf_GtAtu());
  });
}

tarvic_Flag TARVIC_API ecf_Modelo(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false, [] { return tarvic::ecf_Modelo(); });
}

tarvic_Flag TARVIC_API ecf_TipoMFD(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false, [] { return tarvic::ecf_TipoMFD(); });
}

tarvic_DataHora TARVIC_API ecf_DataUltReducao(void) {
  return Exporta<tarvic_DataHora>(Exportacao(__func__), 0,
                                  [] { return tarvic::ecf_DataUltReducao(); });
}

tarvic_DataHora TARVIC_API ecf_DataHora(void) {
  return Exporta<tarvic_DataHora>(Exportacao(__func__), 0, [] { return tarvic::ecf_DataHora(); });
}

tarvic_DataHora TARVIC_API ecf_UltDataHoraDocumento(void) {
  return Exporta<tarvic_DataHora>(Exportacao(__func__), 0,
                                  [] { return tarvic::ecf_UltDataHoraDocumento(); });
}

int32_t TARVIC_API ecf_IE(void) {
  return Exporta<int32_t>(Exportacao(__func__), 0, [] { return tarvic::ecf_IE(); });
}

tarvic_Flag TARVIC_API ecf_NumeroUsuario(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false,
                              [] { return tarvic::ecf_NumeroUsuario(); });
}

tarvic_Flag TARVIC_API ecf_CodigoModeloFiscal(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false,
                              [] { return tarvic::ecf_CodigoModeloFiscal(); });
}

}  // extern "C"
