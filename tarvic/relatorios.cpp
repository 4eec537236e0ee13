// Day reports: X reading, Z reduction and the re-programming that follows it,
// pending and blocked days, rounding and daylight-saving time, fiscal-memory
// readings.

#include "Dataregis/dllg2.h"
#include "drivers/drivers.h"
#include "estado.h"
#include "fronteira.h"
#include "interno.h"
#include "plataforma.h"

namespace {

using namespace tarvic;

// Second application line that the DARUMA driver prints under the first.
const char *const SITE_DESENVOLVEDOR = "www.tarvic.com.br";

// Names the printer must hold for the next day, given back to it after every
// Z reduction.
const char *const RELATORIOS_PAF[] = {"Id. PAF-ECF", "Meios Pagto.", "DAV EMITIDOS",
                                      "PARAM CONFIG"};
const char *const FORMAS_PAGAMENTO = "Ticket;Credito;Cheque;Cartao;Carteira;";

// Indexes tried when a non-fiscal totaliser is missing.
constexpr int32_t ULTIMO_TOTALIZADOR = 50;

// The fiscal-memory functions of the driver take at most 256 characters of
// each: the whole modulus, the beginning of the key.
std::string Corta256(const std::string &texto) {
  return Aparar(texto).substr(0, 256);
}

// Characters [inicio, inicio + n) of a text, counted from 1; what the text
// does not have is left out.
std::string Trecho(const std::string &texto, size_t inicio, size_t n = std::string::npos) {
  return inicio - 1 < texto.size() ? texto.substr(inicio - 1, n) : std::string();
}

// What a driver left in a buffer, up to its first NUL, blanks kept.
std::string AteNulo(const std::string &buffer) {
  return buffer.substr(0, buffer.find('\0'));
}

// A driver's date, ddmmaa (or ddmmaaaa), as the last moment of that day;
// false when it is not a date.
bool FimDoDia(const std::string &ddmmaa, DataHora &momento) {
  try {
    momento =
        TextoParaData(Trecho(ddmmaa, 1, 2) + "/" + Trecho(ddmmaa, 3, 2) + "/" + Trecho(ddmmaa, 5)) +
        CodificaHora(23, 59, 59);
    return true;
  } catch (const ErroConversao &) {
    return false;
  }
}

// The computer's date and time as DARUMA and ELGIN take them at the
// reduction: short date and long time.
void DataHoraComputador(std::string &data, std::string &hora) {
  const DataHora agora = Agora();
  data = FormataDataHora("dd/mm/yyyy", agora);
  hora = FormataDataHora("hh:nn:ss", agora);
}

// After a reduction the non-fiscal totalisers "Abertura" and "Recebimento"
// must exist. The list is read first; a missing name is given to the first
// index from 1 to 50 that the printer accepts, "Recebimento" only above the
// index "Abertura" has just taken. A list that could not be read is no
// ground to program anything.
template <class LeTotalizadores>
void VerificaTotalizadores(LeTotalizadores leitura) {
  std::string buffer = Espacos(2200);
  if (!leitura(buffer.data())) return;
  const std::string lista = Maiusculas(AteNulo(buffer));
  int32_t indice = 0;
  if (lista.find("ABERTURA") == std::string::npos)
    while (++indice <= ULTIMO_TOTALIZADOR)
      if (ecf_NomeiaTotalizadorNaoFiscal(indice, "Abertura")) break;
  if (lista.find("RECEBIMENTO") == std::string::npos)
    while (++indice <= ULTIMO_TOTALIZADOR)
      if (ecf_NomeiaTotalizadorNaoFiscal(indice, "Recebimento")) break;
}

// Manufacturer steps of the reduction. Each leaves in `codigo` the code of
// the reduction itself, which the verdict judges; false ends the reduction
// at once.
bool ReducaoBematech(int32_t &codigo) {
  codigo = GuardaRetorno(Bematech_FI_ReducaoZ(nullptr, nullptr));
  try {
    ecf_ConfiguraArredondamento();
  } catch (...) {
    Mensagem("Falha ao ativar Arredondamento.");
  }
  try {
    VerificaTotalizadores([](char *buffer) {
      return GuardaRetorno(Bematech_FI_VerificaRecebimentoNaoFiscal(buffer)) == 1;
    });
  } catch (...) {
    Mensagem("Falha na verificação dos Totalizadores Não Fiscais.");
  }
  if (ecf_Retorno == 1 && EstadoEcf.TipoMfd) {
    try {
      Bematech_FI_AtivaDesativaVendaUmaLinhaMFD(1);
    } catch (...) {
    }
  }
  return true;
}

bool ReducaoSweda(int32_t &codigo) {
  std::string data = Espacos(6), hora = Espacos(6);
  ECF_DataHoraImpressora(data.data(), hora.data());
  codigo = GuardaRetorno(ECF_ReducaoZ(AteNulo(data).c_str(), AteNulo(hora).c_str()));
  try {
    VerificaTotalizadores(
        [](char *buffer) { return ECF_VerificaTotalizadoresNaoFiscaisMFD(buffer) == 1; });
  } catch (...) {
    Mensagem("Falha na verificação dos Totalizadores Não Fiscais.");
    return false;
  }
  ecf_ConfiguraArredondamento();
  ECF_LigaDesligaJanelas("0", "0");
  ECF_ZAUTO("0");
  return true;
}

bool ReducaoDaruma(int32_t &codigo) {
  std::string data, hora;
  DataHoraComputador(data, hora);
  codigo = GuardaRetorno(Daruma_FI_ReducaoZ(data.c_str(), hora.c_str()));
  ecf_ConfiguraArredondamento();
  Daruma_Registry_AplMensagem1("Site Desenvolvedor:");
  Daruma_Registry_AplMensagem2(SITE_DESENVOLVEDOR);
  Daruma_Registry_VendeItemUmaLinha("1");
  return true;
}

bool ReducaoElgin(int32_t &codigo) {
  std::string data, hora;
  DataHoraComputador(data, hora);
  codigo = GuardaRetorno(Elgin_ReducaoZ(data.c_str(), hora.c_str()));
  ecf_ConfiguraArredondamento();
  if (ecf_Retorno == 1 && EstadoEcf.TipoMfd) Elgin_AtivaDesativaVendaUmaLinhaMFD(1);
  return true;
}

void ReducaoDllG2() {
  // The reduction goes to the channel the driver opened, URANO included.
  DLLG2_LimpaParams(CanalDllG2);
  DLLG2_DefineTimeout(CanalDllG2, 80);
  RetornoDllG2 = DLLG2_ExecutaComando(CanalDllG2, "EmiteReducaoZ");
  ecf_ConfiguraArredondamento();
}

// ---- Fiscal-memory readings ---------------------------------------------------

// Dates given as ddmmaaaa, as the MFD printers want them: dd/mm/aaaa.
std::string DataComBarras(const std::string &ddmmaaaa) {
  return Trecho(ddmmaaaa, 1, 2) + "/" + Trecho(ddmmaaaa, 3, 2) + "/" + Trecho(ddmmaaaa, 5, 4);
}

// The DLLG2 reading takes a real date; false when the text is not eight
// digits of a valid day, month and year.
bool DataDllG2(const std::string &ddmmaaaa, std::string &data) {
  if (ddmmaaaa.size() != 8) return false;
  for (char c : ddmmaaaa)
    if (c < '0' || c > '9') return false;
  try {
    data = FormataDataHora("dd/mm/yyyy", TextoParaData(DataComBarras(ddmmaaaa)));
    return true;
  } catch (const ErroConversao &) {
    return false;
  }
}

struct Faixa {
  const char *nomeFinal;
  const char *nomeInicial;
  int32_t tipo;
  std::string inicial;
  std::string final;
};

// The fiscal-memory reading of DATAREGIS and URANO printers, both on the
// channel the driver opened. Printed ("I") or sent back in pieces ("S") that
// make up the return file, which is replaced in either case.
void LeituraMfDllG2(const Faixa &faixa, bool completa, bool arquivo) {
  DLLG2_LimpaParams(CanalDllG2);
  DLLG2_AdicionaParam(CanalDllG2, faixa.nomeFinal, faixa.final.c_str(), faixa.tipo);
  DLLG2_AdicionaParam(CanalDllG2, faixa.nomeInicial, faixa.inicial.c_str(), faixa.tipo);
  DLLG2_AdicionaParam(CanalDllG2, "Destino", arquivo ? "S" : "I", DLLG2_TEXTO);
  DLLG2_AdicionaParam(CanalDllG2, "LeituraSimplificada", completa ? "f" : "t", DLLG2_INDICADOR);
  RetornoDllG2 = DLLG2_ExecutaComando(CanalDllG2, "EmiteLeituraMF");
  plataforma::ApagaArquivo(EstadoEcf.ArquivoRetorno);
  if (!arquivo) return;
  PedacosDaImpressao pedacos;
  for (;;) {
    std::string pedaco;
    if (LeImpressao(pedaco) != 0) break;
    // The driver ends every piece with a NUL inside the 4000 characters it
    // was given; a buffer left as it was is no piece, and the printer would
    // be asked forever.
    if (pedaco.size() >= 4000) break;
    if (!pedacos.Aceita(pedaco)) {
      RetornoDllG2 = 0;  // judged as a printer that stopped answering
      break;
    }
    // The empty piece that ends the printout still opens the file, so a
    // printout without text leaves an empty return file.
    if (!plataforma::AcrescentaArquivo(EstadoEcf.ArquivoRetorno, pedaco))
      throw ErroEntradaSaida("Não foi possível gravar \"" + EstadoEcf.ArquivoRetorno + "\".");
    if (pedaco.empty()) break;
  }
}

// The reading written to the return file; one that cannot be written is told
// to the operator, with the failure code, instead of a verdict.
bool GravaLeituraMfDllG2(const Faixa &faixa, bool completa, bool arquivo) {
  try {
    LeituraMfDllG2(faixa, completa, arquivo);
    return true;
  } catch (const ErroEntradaSaida &erro) {
    FalhaArquivo(erro.what());
    return false;
  }
}

}  // namespace

namespace tarvic {

bool ecf_LeituraX() {
  ecf_DestravaImpressora();
  try {
    switch (EstadoEcf.Fabricante) {
      case BEMATECH:
        GuardaRetorno(Bematech_FI_LeituraX());
        break;
      case SWEDA:
        GuardaRetorno(ECF_LeituraX());
        break;
      case DARUMA:
        GuardaRetorno(Daruma_FI_LeituraX());
        break;
      case ELGIN:
        GuardaRetorno(Elgin_LeituraX());
        break;
      case DATAREGIS:
      case URANO: {
        const int32_t canal = CanalComandoDllG2();
        DLLG2_LimpaParams(canal);
        DLLG2_DefineTimeout(canal, 30);
        RetornoDllG2 = DLLG2_ExecutaComando(canal, "EmiteLeituraX");
        break;
      }
      default:
        break;
    }
    return VerificaRetorno(true);
  } catch (...) {
    return false;
  }
}

bool ecf_ReducaoZ() {
  try {
    // The verdict is the reduction's: the codes of the totaliser reads and
    // namings that follow it do not make a refused reduction a good one.
    int32_t codigo = ecf_Retorno;
    bool segue = true;
    switch (EstadoEcf.Fabricante) {
      case BEMATECH:
        segue = ReducaoBematech(codigo);
        break;
      case SWEDA:
        segue = ReducaoSweda(codigo);
        break;
      case DARUMA:
        segue = ReducaoDaruma(codigo);
        break;
      case ELGIN:
        segue = ReducaoElgin(codigo);
        break;
      case DATAREGIS:
      case URANO:
        ReducaoDllG2();
        break;
      default:
        break;
    }
    if (!segue) return false;
    ecf_Retorno = codigo;
    const bool veredito = VerificaRetorno(true);
    ecf_ProgramaHorarioVerao();
    for (const char *nome : RELATORIOS_PAF) ecf_NomeiaRelatorioGerencial(nome);
    if (veredito) ecf_ProgramaFormasPagamento(FORMAS_PAGAMENTO);
    return veredito;
  } catch (...) {
    return false;
  }
}

bool ecf_ReducaoZPendente() {
  try {
    switch (EstadoEcf.Fabricante) {
      case BEMATECH:
      case SWEDA: {
        std::string buffer = Espacos(6);
        GuardaRetorno(EstadoEcf.Fabricante == BEMATECH ? Bematech_FI_DataMovimento(buffer.data())
                                                       : ECF_DataMovimento(buffer.data()));
        // The date is taken by position from the answer as the driver left
        // it: blanks are not squeezed out first.
        DataHora fim;
        if (!FimDoDia(AteNulo(buffer), fim)) return false;
        return ecf_DataHora() > fim;
      }
      case ELGIN: {
        int32_t pendente = 0;
        GuardaRetorno(Elgin_VerificaZPendente(&pendente));
        const bool veredito = VerificaRetorno(true);
        return veredito && pendente == 1;
      }
      case DATAREGIS:
      case URANO: {
        // Indicator 128 of the printer's indicator word.
        const int32_t indicadores = dllG2_leInteiro("Indicadores");
        return indicadores > 0 && (indicadores & 128) != 0;
      }
      default:
        return false;
    }
  } catch (const ErroConversao &) {
    return false;
  }
}

bool ecf_Bloqueado() {
  try {
    std::string texto;
    switch (EstadoEcf.Fabricante) {
      case BEMATECH:
      case SWEDA:
      case ELGIN: {
        std::string buffer = Espacos(631);
        const int32_t codigo =
            EstadoEcf.Fabricante == BEMATECH ? Bematech_FI_DadosUltimaReducao(buffer.data())
            : EstadoEcf.Fabricante == SWEDA  ? ECF_DadosUltimaReducao(buffer.data())
                                             : Elgin_DadosUltimaReducao(buffer.data());
        if (codigo != 1) return false;
        // The date of the last reduction, ddmmaa, stands at 596 of the answer.
        texto = Trecho(AteNulo(buffer), 596, 6);
        break;
      }
      case DARUMA: {
        std::string buffer = Espacos(8);
        if (GuardaRetorno(Daruma_FIMFD_RetornaInformacao("71", buffer.data())) != 1) return false;
        texto = AteNulo(buffer);
        break;
      }
      case DATAREGIS:
      case URANO:
        if (!IndicadoresContem(32)) return false;
        texto = FormataDataHora("ddmmyyyy", Agora());
        break;
      default:
        return false;
    }
    DataHora fim;
    if (!FimDoDia(texto, fim)) return false;
    return ecf_DataHora() < fim;
  } catch (const ErroConversao &) {
    return false;
  }
}

void ecf_ProgramaHorarioVerao() {
  const bool desejado = EstadoEcf.HorarioVerao;
  switch (EstadoEcf.Fabricante) {
    case BEMATECH: {
      int32_t flags = 0;
      GuardaRetorno(Bematech_FI_FlagsFiscais(&flags));
      // Fiscal flag 4: the printer keeps daylight-saving time.
      const bool ativo = flags > 0 && (flags & 4) != 0;
      if (ativo != desejado) Bematech_FI_ProgramaHorarioVerao();
      break;
    }
    case DARUMA: {
      std::string buffer = Espacos(2);
      GuardaRetorno(Daruma_FIMFD_RetornaInformacao("108", buffer.data()));
      // The driver only toggles: an answer that is neither state toggles too.
      if (LeBuffer(buffer) != (desejado ? "1" : "0") &&
          GuardaRetorno(Daruma_FI_ProgramaHorarioVerao()) != 1)
        MensagemErro("Falha ao configurar o Horário de Verão.");
      break;
    }
    default:
      break;
  }
}

void ecf_ConfiguraArredondamento() {
  try {
    switch (EstadoEcf.Fabricante) {
      case BEMATECH:
        Bematech_FI_ProgramaArredondamento();
        break;
      case SWEDA:
        ECF_ProgramaArredondamento();
        break;
      case DARUMA:
        Daruma_FI_ProgramaArredondamento();
        break;
      case ELGIN:
        Elgin_ProgramaArredondamento();
        break;
      default:
        break;
    }
  } catch (...) {
    Mensagem("Falha ao programar arredondamento no ECF.");
  }
}

bool ecf_ModoArredondamento() {
  return false;
}

void ecf_LeituraMemoriaFiscalData(const std::string &dataInicial, const std::string &dataFinal,
                                  const std::string &tipo, bool arquivo) {
  const bool completa = tipo == "C";
  const char *ini = dataInicial.c_str();
  const char *fim = dataFinal.c_str();
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      if (EstadoEcf.TipoMfd) {
        const std::string inicio = DataComBarras(dataInicial), final = DataComBarras(dataFinal);
        const char *tipoMfd = completa ? "c" : "s";
        if (arquivo)
          GuardaRetorno(Bematech_FI_LeituraMemoriaFiscalSerialDataPAFECF(
              inicio.c_str(), final.c_str(), tipoMfd, Corta256(ModuloAssinaturaPafEcf()).c_str(),
              Corta256(ChaveAssinaturaPafEcf()).c_str()));
        else
          GuardaRetorno(
              Bematech_FI_LeituraMemoriaFiscalDataMFD(inicio.c_str(), final.c_str(), tipoMfd));
      } else {
        GuardaRetorno(arquivo ? Bematech_FI_LeituraMemoriaFiscalSerialData(ini, fim)
                              : Bematech_FI_LeituraMemoriaFiscalData(ini, fim));
      }
      break;
    case SWEDA:
      GuardaRetorno(arquivo ? ECF_LeituraMemoriaFiscalSerialDataMFD(ini, fim, completa ? "C" : "S")
                            : ECF_LeituraMemoriaFiscalDataMFD(ini, fim, completa ? "C" : "S"));
      break;
    case DARUMA:
      Daruma_Registry_MFD_LeituraMFCompleta(completa ? "1" : "0");
      GuardaRetorno(arquivo ? Daruma_FI_LeituraMemoriaFiscalSerialData(ini, fim)
                            : Daruma_FI_LeituraMemoriaFiscalData(ini, fim));
      break;
    case ELGIN:
      // ELGIN has no serial variant: the reading is printed either way.
      GuardaRetorno(Elgin_LeituraMemoriaFiscalData(ini, fim, completa ? "c" : "s"));
      break;
    case DATAREGIS:
    case URANO: {
      Faixa faixa{"DataFinal", "DataInicial", DLLG2_DATA, "", ""};
      if (!DataDllG2(dataInicial, faixa.inicial) || !DataDllG2(dataFinal, faixa.final)) {
        // Nothing reaches the printer; the application learns it here.
        ecf_Retorno = -2;
        return;
      }
      if (!GravaLeituraMfDllG2(faixa, completa, arquivo)) return;
      break;
    }
    default:
      break;
  }
  VerificaRetorno(true);
}

void ecf_LeituraMemoriaFiscalReducao(int32_t reducaoInicial, int32_t reducaoFinal,
                                     const std::string &tipo, bool arquivo) {
  const bool completa = Maiusculas(Aparar(tipo)) == "C";
  const std::string inicio = std::to_string(reducaoInicial), final = std::to_string(reducaoFinal);
  const char *ini = inicio.c_str();
  const char *fim = final.c_str();
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      if (EstadoEcf.TipoMfd)
        GuardaRetorno(
            arquivo
                ? Bematech_FI_LeituraMemoriaFiscalSerialReducaoPAFECF(
                      ini, fim, completa ? "c" : "s", Corta256(ModuloAssinaturaPafEcf()).c_str(),
                      Corta256(ChaveAssinaturaPafEcf()).c_str())
                : Bematech_FI_LeituraMemoriaFiscalReducaoMFD(ini, fim, completa ? "c" : "s"));
      else
        GuardaRetorno(arquivo ? Bematech_FI_LeituraMemoriaFiscalSerialReducao(ini, fim)
                              : Bematech_FI_LeituraMemoriaFiscalReducao(ini, fim));
      break;
    case SWEDA:
      GuardaRetorno(arquivo
                        ? ECF_LeituraMemoriaFiscalSerialReducaoMFD(ini, fim, completa ? "C" : "S")
                        : ECF_LeituraMemoriaFiscalReducaoMFD(ini, fim, completa ? "C" : "S"));
      break;
    case DARUMA:
      Daruma_Registry_MFD_LeituraMFCompleta(completa ? "1" : "0");
      GuardaRetorno(arquivo ? Daruma_FI_LeituraMemoriaFiscalSerialReducao(ini, fim)
                            : Daruma_FI_LeituraMemoriaFiscalReducao(ini, fim));
      break;
    case ELGIN:
      GuardaRetorno(Elgin_LeituraMemoriaFiscalReducao(ini, fim, completa ? "c" : "s"));
      break;
    case DATAREGIS:
    case URANO:
      if (!GravaLeituraMfDllG2({"ReducaoFinal", "ReducaoInicial", DLLG2_INTEIRO, inicio, final},
                               completa, arquivo))
        return;
      break;
    default:
      break;
  }
  VerificaRetorno(true);
}

}  // namespace tarvic

extern "C" {

tarvic_Flag TARVIC_API ecf_LeituraX(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false, [] { return tarvic::ecf_LeituraX(); });
}

tarvic_Flag TARVIC_API ecf_ReducaoZ(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false, [] { return tarvic::ecf_ReducaoZ(); });
}

tarvic_Flag TARVIC_API ecf_ReducaoZPendente(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false,
                              [] { return tarvic::ecf_ReducaoZPendente(); });
}

tarvic_Flag TARVIC_API ecf_Bloqueado(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false, [] { return tarvic::ecf_Bloqueado(); });
}

void TARVIC_API ecf_ProgramaHorarioVerao(void) {
  ExportaSemResultado(Exportacao(__func__), [] { tarvic::ecf_ProgramaHorarioVerao(); });
}

void TARVIC_API ecf_ConfiguraArredondamento(void) {
  ExportaSemResultado(Exportacao(__func__), [] { tarvic::ecf_ConfiguraArredondamento(); });
}

tarvic_Flag TARVIC_API ecf_ModoArredondamento(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false,
                              [] { return tarvic::ecf_ModoArredondamento(); });
}

void TARVIC_API ecf_LeituraMemoriaFiscalData(const char *dataInicial, const char *dataFinal,
                                             const char *tipo, tarvic_Flag arquivo) {
  ExportaSemResultado(Exportacao(__func__, dataInicial, dataFinal, tipo, arquivo), [&] {
    tarvic::ecf_LeituraMemoriaFiscalData(Texto(dataInicial), Texto(dataFinal), Texto(tipo),
                                         Flag(arquivo));
  });
}

void TARVIC_API ecf_LeituraMemoriaFiscalReducao(int32_t reducaoInicial, int32_t reducaoFinal,
                                                const char *tipo, tarvic_Flag arquivo) {
  ExportaSemResultado(Exportacao(__func__, reducaoInicial, reducaoFinal, tipo, arquivo), [&] {
    tarvic::ecf_LeituraMemoriaFiscalReducao(reducaoInicial, reducaoFinal, Texto(tipo),
                                            Flag(arquivo));
  });
}

}  // extern "C"
