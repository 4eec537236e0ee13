// Start-up and configuration: the manufacturer, the formats, the port, the
// return folder and file, and the drivers' own settings.
#include "Dataregis/dllg2.h"
#include "drivers/drivers.h"
#include "estado.h"
#include "fronteira.h"
#include "interno.h"
#include "plataforma.h"

namespace {

struct FabricanteConhecido {
  const char *nome;
  int32_t fabricante;
};

const FabricanteConhecido FABRICANTES[] = {
    {"BEMATECH", BEMATECH}, {"SWEDA", SWEDA},         {"DARUMA", DARUMA},
    {"ELGIN", ELGIN},       {"DATAREGIS", DATAREGIS}, {"URANO", URANO},
};

// The only BEMAFI32.DLL build whose answers the library has been checked with.
const char *const DRIVER_BEMATECH = "bemafi32.dll";
const char *const VERSAO_BEMATECH = "5,10,6,8";

const char *const INI_BEMATECH = "BEMAFI32.INI";

// Line the SWEDA driver prints as the application's message.
const char *const MENSAGEM_APLICACAO = "Biblioteca de ECF tarvic";

int32_t ReconheceFabricante(const std::string &nome) {
  for (const FabricanteConhecido &f : FABRICANTES)
    if (nome == f.nome) return f.fabricante;
  return FAB_DESCONHECIDO;
}

// A folder named by the host or the system, trimmed and closed with the
// separator.
std::string Pasta(const std::string &pasta) {
  return IncluiSeparador(Aparar(pasta));
}

std::string PastaTemporaria() {
  const std::string temp = Aparar(plataforma::VariavelAmbiente("TEMP"));
  return Pasta(temp.empty() ? plataforma::PastaTemporaria() : temp);
}

void IdentificaPastaSistema() {
  EstadoEcf.PastaSistema.clear();
  try {
    std::string pasta;
    if (!plataforma::PastaDoSistema(pasta) || Aparar(pasta).empty())
      throw ErroEntradaSaida("pasta do sistema desconhecida");
    EstadoEcf.PastaSistema = Pasta(pasta);
  } catch (...) {
    Mensagem("Falha ao identificar System32 do Windows.");
  }
}

// The return folder, made one level deep inside an existing base folder;
// false, after telling the operator which folder could not be made and why,
// when it is not there afterwards.
bool PreparaPastaRetorno(const std::string &pastaBase) {
  // Without a base folder the return folder goes beside the host's program
  // rather than to the root of the current drive.
  const std::string base =
      Aparar(pastaBase).empty() ? plataforma::PastaDoExecutavel() : Pasta(pastaBase);
  EstadoEcf.PastaRetorno = IncluiSeparador(base + "retornoEcf");
  if (plataforma::PastaExiste(EstadoEcf.PastaRetorno) ||
      plataforma::CriaPasta(EstadoEcf.PastaRetorno))
    return true;
  FalhaArquivo("Não foi possível criar a pasta de retorno \"" + EstadoEcf.PastaRetorno + "\".\n" +
               (plataforma::PastaExiste(base)
                    ? "Verifique se a pasta \"" + base + "\" aceita gravação."
                    : "A pasta \"" + base + "\" não existe."));
  return false;
}

// Why a file named by the host cannot be its return file; empty when it can.
std::string ProblemaArquivoRetorno(const std::string &arquivo) {
  const std::string pasta = PastaDoCaminho(arquivo);
  if (!pasta.empty() && !plataforma::PastaExiste(pasta))
    return "A pasta \"" + pasta + "\" do arquivo de retorno não existe.";
  if (plataforma::PastaExiste(arquivo)) return "\"" + arquivo + "\" é uma pasta, não um arquivo.";
  // A file that stays would mix the new values with the old ones.
  if (!ApagaArquivo(arquivo))
    return "Não foi possível apagar o arquivo de retorno anterior \"" + arquivo + "\".";
  return "";
}

// BEMAFI32.INI beside the host's program, else in the system folder; empty
// when neither has it.
std::string ProcuraIniBematech() {
  for (const std::string &pasta : {plataforma::PastaDoExecutavel(), EstadoEcf.PastaSistema}) {
    if (pasta.empty()) continue;  // never a path relative to the current folder
    const std::string caminho = pasta + INI_BEMATECH;
    if (plataforma::ArquivoExiste(caminho)) return caminho;
  }
  return "";
}

bool ConfiguraBematech() {
  const std::string ini = ProcuraIniBematech();
  if (ini.empty()) {
    Mensagem(
        "Não foi possível encontrar BEMAFI32.INI.\nDeterminadas configurações não poderão "
        "ser estabelecidas, o que poderá implicar no correto funcionamento do ECF.");
    return true;
  }
  tarvic::ecf_Modelo();
  AcessaIni(ini, "Sistema", "Path", EstadoEcf.PastaRetorno);
  AcessaIni(ini, "Sistema", "CrLfVinculado", "1");
  AcessaIni(ini, "Sistema", "CrLfGerencial", "1");
  AcessaIni(ini, "MFD", "Impressora",
            SeTexto(EstadoEcf.TipoMfd || EstadoEcf.Modelo == "MP25FI", "1", "0"));
  return true;
}

// The driver keeps its settings in the registry; the answers of these calls
// say nothing the library could act on.
bool ConfiguraSweda() {
  ECF_Registry();
  ECF_Registry_AlteraRegistry("Path", EstadoEcf.PastaRetorno.c_str());
  ECF_Registry_AlteraRegistry("PathMFD", EstadoEcf.PastaRetorno.c_str());
  ECF_Registry_AlteraRegistry("ZAuto", "0");
  ECF_Registry_AlteraRegistry("AplMensagem1", MENSAGEM_APLICACAO);
  ECF_Registry_AlteraRegistry("AplMensagem2", nullptr);
  GuardaRetorno(ECF_ProgramaArredondamento());
  return true;
}

bool ConfiguraDaruma() {
  Daruma_Registry_SintegraPath(EstadoEcf.PastaRetorno.c_str());
  Daruma_Registry_AlterarRegistry("AtoCotepe", "Path", EstadoEcf.PastaRetorno.c_str());
  Daruma_Registry_AlterarRegistry("AtoCotepe", "Beep", "1");
  return true;
}

}  // namespace

namespace tarvic {

bool ecf_SetarPafRetorno() {
  GravaRetorno("pathRetorno", EstadoEcf.PastaRetorno);
  GravaRetorno("arqRetorno", EstadoEcf.ArquivoRetorno);
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      return ConfiguraBematech();
    case SWEDA:
      return ConfiguraSweda();
    case DARUMA:
      return ConfiguraDaruma();
    default:
      return false;
  }
}

bool ecf_Inicializa(const std::string &nome, const std::string &porta,
                    const std::string &pastaBase) {
  // The number and date formats (decimal comma, "." for thousands,
  // dd/mm/yyyy) are fixed in the library's own conversion routines.
  EstadoEcf.PoucoPapel = false;
  EstadoEcf.Modelo.clear();
  EstadoEcf.NumeroSerie.clear();
  EstadoEcf.NumeroCaixa = 0;

  EstadoEcf.PortaEcf = Maiusculas(Aparar(porta));
  EstadoEcf.NomeFabricante = Maiusculas(Aparar(nome));

  EstadoEcf.Fabricante = ReconheceFabricante(EstadoEcf.NomeFabricante);
  if (EstadoEcf.Fabricante == FAB_DESCONHECIDO) {
    Mensagem("Fabricante desconhecido para configuração interna: " +
             EntreAspas(EstadoEcf.NomeFabricante) + ".");
    return false;
  }

  EstadoEcf.PastaTemp = PastaTemporaria();

  ecf_AbrirPortaSerial();
  if (!ecf_Ligado(true)) return false;

  if (EstadoEcf.Fabricante == BEMATECH) {
    std::string buffer = Espacos(9);
    GuardaRetorno(Bematech_FI_VersaoDll(buffer.data()));
    const std::string versao = LeBuffer(buffer);
    if (versao != VERSAO_BEMATECH) {
      EstadoEcf.Fabricante = FAB_REJEITADO;
      MensagemErro(std::string("Versão da ") + DRIVER_BEMATECH + " é inválida." + "\n" + "\n" +
                   "   Versão atual: " + versao + "\n" + "   Versão esperada: " + VERSAO_BEMATECH);
    }
  }

  IdentificaPastaSistema();
  if (!PreparaPastaRetorno(pastaBase)) return false;
  EstadoEcf.ArquivoRetorno = EstadoEcf.PastaRetorno + "meuRetorno.ini";
  ecf_SetarPafRetorno();
  const bool resultado = EstadoEcf.Fabricante > 0;

  ecf_Modelo();
  ecf_DestravaImpressora();
  return resultado;
}

bool ecf_SetArqRetorno(const std::string &arquivo) {
  try {
    // A nameless return file could never be written; keep the current one.
    if (Aparar(arquivo).empty()) return false;
    // Nor one that cannot be written, or that would keep old values: the
    // current one stays, and the host and the operator learn why.
    const std::string problema = ProblemaArquivoRetorno(arquivo);
    if (!problema.empty()) {
      FalhaArquivo(problema);
      return false;
    }
    EstadoEcf.ArquivoRetorno = arquivo;
    if (EstadoEcf.Fabricante == DATAREGIS) {
      const std::string log = EstadoEcf.PastaTemp + "dtregis.log";
      if (plataforma::ArquivoExiste(log)) plataforma::ApagaArquivo(log);
      DLLG2_SetaArquivoLog(log.c_str());
    }
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace tarvic

extern "C" {

tarvic_Flag TARVIC_API ecf_Inicializa(const char *nome, const char *porta, const char *pastaBase) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, nome, porta, pastaBase), false, [&] {
    return tarvic::ecf_Inicializa(Texto(nome), Texto(porta), Texto(pastaBase));
  });
}

tarvic_Flag TARVIC_API ecf_SetarPafRetorno(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false,
                              [] { return tarvic::ecf_SetarPafRetorno(); });
}

tarvic_Flag TARVIC_API ecf_SetArqRetorno(const char *arquivo) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, arquivo), false,
                              [&] { return tarvic::ecf_SetArqRetorno(Texto(arquivo)); });
}

tarvic_Flag TARVIC_API ecf_SetUF(const char *uf) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, uf), false, [&] {
    EstadoEcf.UF = Texto(uf);
    return true;
  });
}

tarvic_Flag TARVIC_API ecf_SetPafMd5(const char *md5) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, md5), false, [&] {
    EstadoEcf.PafMd5 = Texto(md5);
    return true;
  });
}

tarvic_Flag TARVIC_API ecf_SetHorarioVerao(tarvic_Flag ativo) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, ativo), false, [&] {
    EstadoEcf.HorarioVerao = Flag(ativo);
    return EstadoEcf.HorarioVerao;
  });
}

int32_t TARVIC_API ecf_DllVersao(void) {
  return ExportaConsulta<int32_t>(Exportacao(__func__), [] { return 1020; });
}

int32_t TARVIC_API ecf_IdFabricante(void) {
  return ExportaConsulta<int32_t>(Exportacao(__func__), [] { return EstadoEcf.Fabricante; });
}

}  // extern "C"
