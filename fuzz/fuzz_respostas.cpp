// The driver answers of every layout the library reads: counters, status
// bytes, dates, grand total and subtotal, identification, report and
// totaliser lists, the last-reduction data of each manufacturer, the DLLG2
// replies and printed readings. One export of one manufacturer is called and
// every driver call it makes answers from the input.
//
// Input: integers are taken from its end (manufacturer, printer kind, state,
// export, then the code of each driver call and the integers it fills), texts
// from its front (one per output buffer, each ended by a backslash and
// another character). Codes: a byte below 200 is 1, up to 223 a code from 0
// down to -23, above that four more bytes; an input used up answers 1 with
// empty texts and zero integers, which ends every reading.
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include "Dataregis/dllg2.h"
#include "estado.h"
#include "fonte.h"
#include "interno.h"
#include "plataforma.h"
#include "tarvic.h"
#include "tests/estado_novo.h"

namespace {

class FonteDaEntrada : public hostil::Fonte {
 public:
  explicit FonteDaEntrada(FuzzedDataProvider &d) : d_(d) {}
  int32_t Codigo(const char *) override {
    const uint8_t b = d_.ConsumeIntegral<uint8_t>();
    if (b < 200) return 1;
    if (b < 224) return 200 - b;
    return d_.ConsumeIntegral<int32_t>();
  }
  void Preenche(const char *, char *buffer, size_t tamanho) override {
    const std::string texto = d_.ConsumeRandomLengthString(tamanho);
    texto.copy(buffer, tamanho);
    if (texto.size() < tamanho) buffer[texto.size()] = '\0';
  }
  int32_t Inteiro(const char *) override { return d_.ConsumeIntegral<int32_t>(); }

 private:
  FuzzedDataProvider &d_;
};

int TARVIC_API Tratador(const char *, const char *, uint32_t tipo) {
  return tipo == plataforma::MB_PERGUNTA ? plataforma::ID_NAO : plataforma::ID_OK;
}

void SemPausa(uint32_t) {}

// Files of the exports go to a folder of this process, in memory when the
// system has one; it goes away with the process.
std::filesystem::path PastaDoProcesso() {
  const std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
  return base / ("tarvic-fuzz-" + std::to_string(getpid()));
}

const std::string &Pasta() {
  static const std::string pasta = [] {
    std::filesystem::create_directories(PastaDoProcesso());
    std::atexit([] {
      std::error_code erro;
      std::filesystem::remove_all(PastaDoProcesso(), erro);
    });
    return PastaDoProcesso().string() + "/";
  }();
  return pasta;
}

// Removes the files the last input left in a folder and in the folders
// inside it (the return folder), keeping the folders: every input starts from
// the same files. Without this the return file keeps the lines that answers
// with line breaks add to it, and grows with every start-up.
void EsvaziaPasta(const std::string &pasta) {
  DIR *d = opendir(pasta.c_str());
  if (!d) return;
  while (const dirent *e = readdir(d)) {
    if (e->d_name[0] == '.') continue;
    const std::string caminho = pasta + e->d_name;
    if (e->d_type == DT_DIR)
      EsvaziaPasta(caminho + "/");
    else
      unlink(caminho.c_str());
  }
  closedir(d);
}

std::string Em(const char *nome) {
  return Pasta() + nome;
}

using Chamada = void (*)();

const Chamada CHAMADAS[] = {
    [] { ecf_NumeroCupom(); },
    [] { ecf_NumeroCDC(); },
    [] { ecf_NumeroGRG(); },
    [] { ecf_NumeroGNF(); },
    [] { ecf_NumeroCCF(); },
    [] { ecf_NumeroCaixa(); },
    [] { ecf_NumeroSerial(); },
    [] { ecf_GtAtu(); },
    [] { ecf_Modelo(); },
    [] { ecf_IE(); },
    [] { ecf_DataUltReducao(); },
    [] { ecf_DataHora(); },
    [] { ecf_UltDataHoraDocumento(); },
    [] { ecf_NumeroUsuario(); },
    [] { ecf_CodigoModeloFiscal(); },
    [] { ecf_StatusAtu(1); },
    [] { ecf_DestravaImpressora(); },
    [] { ecf_TratarDesligamento(); },
    [] { ecf_AbrirPortaSerial(); },
    [] { ecf_ReducaoZPendente(); },
    [] { ecf_Bloqueado(); },
    [] { ecf_ProgramaHorarioVerao(); },
    [] { ecf_ReducaoZ(); },
    [] { ecf_LeituraX(); },
    [] { ecf_LeituraMemoriaFiscalData("01032015", "31032015", "C", 1); },
    [] { ecf_LeituraMemoriaFiscalReducao(1, 2, "S", 1); },
    [] { ecf_PegaDadosUltReducao(Em("reduz.ini").c_str(), ""); },
    [] { ecf_VerificaRelatorioGerencial("PARAM CONFIG"); },
    [] { ecf_NomeiaRelatorioGerencial("DAV EMITIDOS"); },
    [] { ecf_RelatorioGerencial("linha do relatorio", "Id. PAF-ECF", 1); },
    [] { ecf_FechaRelatorioGerencial(); },
    [] { ecf_ProgramaFormasPagamento("Ticket;Credito;Cheque;Cartao;Carteira;"); },
    [] { ecf_NomeiaTotalizadorNaoFiscal(1, "Abertura"); },
    [] { ecf_CadastraRelatorioGerencial(); },
    [] { ecf_RecebimentoNaoFiscal("Recebimento", 125000, "Dinheiro"); },
    [] { ecf_Suprimento(500000); },
    [] { ecf_AbreComprovanteNaoFiscalVinculado("Cartao", 125000, 12); },
    [] { ecf_UsaComprovanteNaoFiscalVinculado("texto vinculado"); },
    [] { ecf_FechaComprovanteNaoFiscalVinculado(); },
    [] { ecf_AbreCupom(); },
    [] {
      ecf_VendeItem("7891000100103", "ARROZ", "UN", 0, "F", 0, "1", "21,90", "$", "-1,00", 0, 0, 1);
    },
    [] { ecf_CancelaItemGenerico("1"); },
    [] { ecf_IniciaFechamentoCupom("D", "1,00"); },
    [] { ecf_EfetuaFormaPagto("Dinheiro", 219000); },
    [] { ecf_TerminaFechamentoCupom("Obrigado"); },
    [] { ecf_SubtotalCupom(); },
    [] { ecf_DownLoadDaMFD(Em("fita.txt").c_str(), "1/3/2015", "31/3/2015"); },
    [] { ecf_ArqMFD(Em("mfd.txt").c_str(), "1", "2", 0); },
    [] { ecf_AtoCotepe1704("01/03/2015", "01/03/2015"); },
    [] { dllG2_leInteiro("COO"); },
    [] { ecf_Inicializa(EstadoEcf.NomeFabricante.c_str(), "COM1", Pasta().c_str()); },
};
constexpr int N_CHAMADAS = sizeof CHAMADAS / sizeof CHAMADAS[0];
constexpr int LEITURA_MF_DATA = 24, LEITURA_MF_REDUCAO = 25;  // their places above

const char *const FABRICANTES[] = {"",      "BEMATECH",  "SWEDA", "DARUMA",
                                   "ELGIN", "DATAREGIS", "URANO"};
const char *const UFS[] = {"", "RJ", "MG", "PB", "DF"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dados, size_t tamanho) {
  FuzzedDataProvider d(dados, tamanho);
  EsvaziaPasta(Pasta());
  ZeraEstadoDaBiblioteca();
  CanalDllG2 = d.ConsumeIntegralInRange<int32_t>(0, 3);
  EstadoEcf.Fabricante = d.ConsumeIntegralInRange<int32_t>(1, 6);
  EstadoEcf.NomeFabricante = FABRICANTES[EstadoEcf.Fabricante];
  EstadoEcf.TipoMfd = d.ConsumeBool();
  if (d.ConsumeBool()) {
    // Identification already read: the queries on the way ask nothing.
    EstadoEcf.Modelo = "MP-4000 TH FI";
    EstadoEcf.NumeroSerie = "BE0123456789";
    EstadoEcf.NumeroCaixa = 7;
  }
  EstadoEcf.UF = UFS[d.ConsumeIntegralInRange<int>(0, 4)];
  EstadoEcf.PastaRetorno = Pasta();
  EstadoEcf.PastaTemp = Pasta();
  const int indice = d.ConsumeIntegralInRange<int>(0, N_CHAMADAS - 1);
  const Chamada chamada = CHAMADAS[indice];
  // The return file is written on nearly every verdict; only the fiscal-memory
  // readings, which put their text there, get one. Elsewhere a name that
  // cannot be opened keeps each input fast.
  EstadoEcf.ArquivoRetorno = indice == LEITURA_MF_DATA || indice == LEITURA_MF_REDUCAO
                                 ? Em("meuRetorno.ini")
                                 : std::string();

  static const bool preparado = [] {
    ecf_SetTratadorMensagem(Tratador);
    plataforma::DefinePausa(SemPausa);
    return true;
  }();
  (void)preparado;
  FonteDaEntrada fonte(d);
  hostil::DefineFonte(&fonte);
  chamada();
  hostil::DefineFonte(nullptr);
  return 0;
}
