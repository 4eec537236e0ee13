// The verdict on a driver's answer and the three ways the library talks to
// the operator.
#include "Dataregis/dllg2.h"
#include "drivers/drivers.h"
#include "estado.h"
#include "fronteira.h"
#include "interno.h"
#include "plataforma.h"
#include "traco.h"

namespace tarvic {
ecf_TratadorMensagem TratadorMensagem = nullptr;
}

namespace {

// The host's handler, or a message box; the trace keeps the message with the
// operator's answer (after any export the handler called on the way).
int MostraCaixa(const std::string &texto, uint32_t tipo) {
  plataforma::LiberaEntrada();
  const std::string titulo = EstadoEcf.NomeFabricante;
  const int botao = tarvic::TratadorMensagem
                        ? tarvic::TratadorMensagem(texto.c_str(), titulo.c_str(), tipo)
                        : plataforma::CaixaMensagem(texto, titulo, tipo);
  if (traco::estado == traco::LIGADO) traco::Mensagem(texto, titulo, tipo, botao);
  return botao;
}

// Messages of the FI-family return codes.
std::string MensagemDoCodigo(int32_t codigo) {
  switch (codigo) {
    case 1:
      return "";
    case 0:
      return "Erro de Comunicação.";
    case -1:
      return "Erro de execução da função.";
    case -2:
      return "Parâmetro inválido na função.";
    case -3:
      return "Alíquota não programada.";
    case -4:
      return "O arquivo de inicialização (INI) não foi encontrado no diretório de sistema do "
             "Windows.";
    case -5:
      return "Erro ao abrir a Porta de Comunicação.";
    case -6:
      return "Impressora desligada ou cabo de comunicação desconectado.";
    case -8:
      return "Erro ao criar ou gravar no arquivo STATUS.TXT ou RETORNO.TXT.";
    case -24:
      return "Forma de Pagamento não programada.";
    case -27:
      return "Status da impressora direfente de 6,0,0 (ACK, ST1 e ST2).";
    case -30:
      return "Função não compatível com a impressora YANCO.";
    case -33:
      return "Condição de alívio de prato (para modelos CS) ou peso negativo (para modelos BP).";
    case -34:
      return "Peso instável.";
    case -35:
      return "Peso excedido.";
    case -36:
      return "Forma de Pagamento não finalizada.";
    default:
      return "Erro desconhecido.\nCód. Retorno: " + std::to_string(codigo) + ".";
  }
}

// The driver's status message "first part|?second part" on two lines.
bool VerdictoSweda(std::string &mensagem) {
  const bool veredito = ecf_Retorno == 1;
  std::string buffer = Espacos(512);
  const int32_t r = ECF_ObterMensagemStatus(buffer.data());
  const std::string t = LeBuffer(buffer);
  const size_t barra = t.find('|');
  if (barra != std::string::npos)
    mensagem = Aparar(t.substr(0, barra)) + "\n" +
               Aparar(barra + 2 <= t.size() ? t.substr(barra + 2) : std::string());
  else if (!veredito && r == 1)
    mensagem = t;
  return veredito;
}

bool VerdictoDllG2(std::string &mensagem) {
  const int32_t canal = CanalComandoDllG2();
  DLLG2_DefineTimeout(canal, 10);
  if (RetornoDllG2 <= 0) mensagem = "Falha de comunicação com ECF.";
  const bool veredito = mensagem.empty();
  if (veredito) {
    DLLG2_LimpaParams(canal);
    ecf_Retorno = 1;
    EstadoEcf.PoucoPapel = tarvic::dllG2_leIndicador("SensorPoucoPapel");
    EstadoEcf.SemPapel = tarvic::dllG2_leIndicador("SemPapel");
  }
  return veredito;
}

}  // namespace

void Mensagem(const std::string &texto) {
  MostraCaixa(texto, plataforma::MB_INFORMACAO);
}

void MensagemErro(const std::string &texto) {
  Mensagem(texto);
  throw AbortoSilencioso{};
}

bool Pergunta(const std::string &texto) {
  return MostraCaixa(texto, plataforma::MB_PERGUNTA) == plataforma::ID_SIM;
}

void FalhaArquivo(const std::string &texto) {
  // Set first: a handler that looks at the code while the message is up
  // sees the failure.
  ecf_Retorno = RETORNO_FALHA_EXECUCAO;
  Mensagem(texto);
}

bool VerificaRetorno(bool mostrar) {
  std::string mensagem;
  bool veredito;
  switch (EstadoEcf.Fabricante) {
    case SWEDA:
      veredito = VerdictoSweda(mensagem);
      break;
    case DATAREGIS:
    case URANO:
      veredito = VerdictoDllG2(mensagem);
      break;
    default:
      mensagem = MensagemDoCodigo(ecf_Retorno);
      veredito = ecf_Retorno == 1 && tarvic::ecf_StatusAtu(true);
      break;
  }
  if (!mensagem.empty() && mostrar) {
    // The context line belongs to this message only, even if showing it fails.
    const std::string contexto = EstadoEcf.ContextoMensagem;
    EstadoEcf.ContextoMensagem.clear();
    Mensagem(mensagem + "\n" + contexto);
  }
  EstadoEcf.ContextoMensagem.clear();
  return veredito;
}

extern "C" tarvic_Flag TARVIC_API ecf_SetTratadorMensagem(ecf_TratadorMensagem tratador) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, tratador), false, [&] {
    tarvic::TratadorMensagem = tratador;
    return true;
  });
}
