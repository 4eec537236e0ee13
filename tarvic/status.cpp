// Printer status, power and recovery: the port or channel, the presence test,
// the status bytes, paper, documents left open, the cash drawer.
#include "Dataregis/dllg2.h"
#include "drivers/drivers.h"
#include "estado.h"
#include "fronteira.h"
#include "interno.h"

namespace {

struct BitStatus {
  int32_t bit;
  const char *texto;  // null: nothing to say
  bool erro;          // the bit makes the verdict false
};

// ST2: the highest set bit decides.
const BitStatus ST2[] = {
    {128, "  - Tipo de Parâmetro de Comando Inválido.\n", true},
    {64, "  - Memória Fiscal Lotada.\n", true},
    {32, "  - Erro na Memória RAM.\n", true},
    {16, "  - Alíquota Não Programada.\n", true},
    {8, "  - Capacidade de Alíquotas Lotada.\n", false},
    {4, nullptr, false},
    {2, "  - CNPJ/IE do Proprietário Não Programado.\n", false},
    {1, "  - Método não Executado.", true},
};

const BitStatus ST1[] = {
    {128, "  - Sem papel.\n", true},
    {64, "  - Pouco Papel.\n", false},
    {32, "  - Erro no Relógio.\n", false},
    {16, "  - Impressora em Erro.\n", true},
    {8, "  - Comando não iniciado com ESC.\n", true},
    {4, "  - Comando Inexistente.\n", true},
    {2, nullptr, false},
    {1, "  - Número de Parâmetro(s) Inválido(s).\n", true},
};

const BitStatus *BitMaisAlto(const BitStatus (&tabela)[8], int32_t byte) {
  for (const BitStatus &b : tabela)
    if (byte & b.bit) return &b;
  return nullptr;
}

void AplicaST1(int32_t st1, std::string &texto, bool &veredito) {
  const BitStatus *b = BitMaisAlto(ST1, st1);
  if (!b) return;
  if (b->bit == 128) EstadoEcf.SemPapel = true;
  if (b->bit == 64) {
    // Paper low is reported on every 31st status that shows it.
    if (++EstadoEcf.ContadorPoucoPapel > 30) {
      texto += b->texto;
      EstadoEcf.ContadorPoucoPapel = 0;
      EstadoEcf.PoucoPapel = true;
    }
    return;
  }
  if (b->texto) texto += b->texto;
  if (b->erro) veredito = false;
}

void AplicaST2(int32_t st2, std::string &texto, bool &veredito) {
  const BitStatus *b = BitMaisAlto(ST2, st2);
  if (!b) return;
  if (b->texto) texto += b->texto;
  if (b->erro) veredito = false;
}

bool AbrePortaDllG2() {
  CanalDllG2 = DLLG2_IniciaDriver(EstadoEcf.PortaEcf.c_str());
  if (CanalDllG2 < 0) {
    Mensagem("Erro na inicialização do canal\nRetorno: " + std::to_string(CanalDllG2));
    return false;
  }
  if (EstadoEcf.Fabricante == URANO) {
    DLLG2_DefineTimeout(0, 10);
  } else {
    DLLG2_DefineTimeout(CanalDllG2, 10);
    tarvic::dllG2_leInteiro("COO");  // exercises the channel; the value is not needed
  }
  return true;
}

// A coupon, a management report or a linked receipt left open on SWEDA and
// DARUMA printers.
void DestravaSwedaDaruma() {
  std::string buffer = Espacos(2);
  GuardaRetorno(EstadoEcf.Fabricante == SWEDA ? ECF_StatusCupomFiscal(buffer.data())
                                              : Daruma_FI_StatusCupomFiscal(buffer.data()));
  if (LeBuffer(buffer) == "1") tarvic::ecf_CancelaCupom();
  if (tarvic::ecf_StatusRelatorioGerencial()) tarvic::ecf_FechaRelatorioGerencial();
  if (tarvic::ecf_StatusComprovanteNaoFiscalVinculado())
    GuardaRetorno(EstadoEcf.Fabricante == SWEDA ? ECF_FechaComprovanteNaoFiscalVinculado()
                                                : Daruma_FI_FechaComprovanteNaoFiscalVinculado());
}

void DestravaDllG2() {
  if (tarvic::EstadoFiscalContem(32)) {
    tarvic::ecf_FechaRelatorioGerencial();
    return;
  }
  for (int32_t estado : {2, 4, 8, 16, 64, 128})
    if (tarvic::EstadoFiscalContem(estado)) {
      tarvic::ecf_CancelaCupom();
      return;
    }
}

}  // namespace

namespace tarvic {

bool ecf_StatusAtu(bool registrar) {
  bool veredito = true;
  EstadoEcf.SemPapel = false;
  std::string texto;
  int32_t ack = 0, st1 = 0, st2 = 0;
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      GuardaRetorno(Bematech_FI_RetornoImpressora(&ack, &st1, &st2));
      break;
    case SWEDA:
      GuardaRetorno(ECF_RetornoImpressora(&ack, &st1, &st2));
      break;
    case DARUMA:
      GuardaRetorno(Daruma_FI_RetornoImpressora(&ack, &st1, &st2));
      break;
    case ELGIN:
      GuardaRetorno(Elgin_RetornoImpressora(&ack, &st1, &st2));
      break;
    default:
      return true;
  }
  AplicaST1(st1, texto, veredito);
  if (!texto.empty()) texto += "\n";
  AplicaST2(st2, texto, veredito);
  if (registrar && !texto.empty()) GravaRetorno("POSICAO", texto);
  return veredito;
}

bool ecf_Ligado(bool mostrar) {
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      GuardaRetorno(Bematech_FI_VerificaImpressoraLigada());
      break;
    case SWEDA:
      GuardaRetorno(ECF_VerificaImpressoraLigada());
      break;
    case DARUMA:
      GuardaRetorno(Daruma_FI_VerificaImpressoraLigada());
      break;
    case ELGIN:
      GuardaRetorno(Elgin_VerificaImpressoraLigada());
      break;
    default:
      ecf_Retorno = 1;
      break;
  }
  const bool resposta = ecf_Retorno == 1;
  if (!resposta && mostrar)
    Mensagem(
        "Falha na comunicação com Impressora Fiscal.\nVerifique se os cabos estão "
        "conectados, se o ECF está ligado e se há bobina (papel).\n\nRetorno do ECF:  " +
        std::to_string(ecf_Retorno));
  return resposta;
}

bool ecf_TratarDesligamento() {
  bool resposta;
  do {
    resposta = ecf_Ligado(false);
  } while (!resposta && Pergunta("Falha na comunicação com ECF.\nPossíveis causas: Desligada ou "
                                 "Cabo Desconectado.\n\nDeseja tentar novamente?"));
  return resposta;
}

bool ecf_AbrirPortaSerial() {
  try {
    switch (EstadoEcf.Fabricante) {
      case BEMATECH:
        return Bematech_FI_AbrePortaSerial() == 1;
      case DARUMA:
        return Daruma_FI_AbrePortaSerial() == 1;
      case ELGIN:
        return Elgin_AbrePortaSerial() == 1;
      case SWEDA: {
        if (ECF_AbrePortaSerial() != 1) {
          Mensagem("Falha ao Abrir a Porta Serial de comunicação.");
          return false;
        }
        ECF_CfgRedZAutomatico("0");
        std::string porta = Espacos(1), velocidade = Espacos(6);
        ECF_RetornaPortaVelocidade(porta.data(), velocidade.data());
        return true;
      }
      case DATAREGIS:
      case URANO:
        return AbrePortaDllG2();
      default:
        return true;
    }
  } catch (...) {
    return false;
  }
}

int32_t ecf_FecharPortaSerial() {
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      return Bematech_FI_FechaPortaSerial();
    case SWEDA:
      return ECF_FechaPortaSerial();
    case DARUMA:
      return Daruma_FI_FechaPortaSerial();
    case ELGIN:
      return Elgin_FechaPortaSerial();
    case DATAREGIS:
    case URANO:
      return DLLG2_EncerraDriver(CanalDllG2);
    default:
      return EstadoEcf.Fabricante;
  }
}

void ecf_DestravaImpressora() {
  switch (EstadoEcf.Fabricante) {
    case BEMATECH: {
      int32_t flags = 0;
      GuardaRetorno(Bematech_FI_FlagsFiscais(&flags));
      if (flags & 128) Mensagem("Memória Fiscal do ECF sem espaço.");
      if (flags & (2 | 1)) ecf_CancelaCupom();
      break;
    }
    case SWEDA:
    case DARUMA:
      DestravaSwedaDaruma();
      break;
    case DATAREGIS:
    case URANO:
      DestravaDllG2();
      break;
    default:
      break;
  }
}

int32_t ecf_AbrirGaveta() {
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      return GuardaRetorno(Bematech_FI_AcionaGaveta());
    case SWEDA:
      return GuardaRetorno(ECF_AcionaGaveta());
    case DARUMA:
      return GuardaRetorno(Daruma_FI_AcionaGaveta());
    case ELGIN:
      return GuardaRetorno(Elgin_AcionaGaveta());
    case DATAREGIS:
    case URANO: {
      const int32_t canal = CanalComandoDllG2();
      DLLG2_LimpaParams(canal);
      RetornoDllG2 = DLLG2_ExecutaComando(canal, "AbreGaveta");
      return RetornoDllG2;
    }
    default:
      return EstadoEcf.Fabricante;
  }
}

}  // namespace tarvic

extern "C" {

tarvic_Flag TARVIC_API ecf_StatusAtu(tarvic_Flag registrar) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, registrar), false,
                              [&] { return tarvic::ecf_StatusAtu(Flag(registrar)); });
}

tarvic_Flag TARVIC_API ecf_Ligado(tarvic_Flag mostrar) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, mostrar), false,
                              [&] { return tarvic::ecf_Ligado(Flag(mostrar)); });
}

tarvic_Flag TARVIC_API ecf_TratarDesligamento(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false,
                              [] { return tarvic::ecf_TratarDesligamento(); });
}

tarvic_Flag TARVIC_API ecf_AbrirPortaSerial(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false,
                              [] { return tarvic::ecf_AbrirPortaSerial(); });
}

int32_t TARVIC_API ecf_FecharPortaSerial(void) {
  return Exporta<int32_t>(Exportacao(__func__), 0, [] { return tarvic::ecf_FecharPortaSerial(); });
}

void TARVIC_API ecf_DestravaImpressora(void) {
  ExportaSemResultado(Exportacao(__func__), [] { tarvic::ecf_DestravaImpressora(); });
}

tarvic_Flag TARVIC_API ecf_StatusSemPapel(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false, [] { return EstadoEcf.SemPapel; });
}

int32_t TARVIC_API ecf_AbrirGaveta(void) {
  return Exporta<int32_t>(Exportacao(__func__), 0, [] { return tarvic::ecf_AbrirGaveta(); });
}

int32_t TARVIC_API dllG2_leInteiro(const char *nome) {
  return Exporta<int32_t>(Exportacao(__func__, nome), 0,
                          [&] { return tarvic::dllG2_leInteiro(Texto(nome)); });
}

}  // extern "C"
