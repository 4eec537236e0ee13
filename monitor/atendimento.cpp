#include "atendimento.h"

#include "conversao.h"
#include "despacho.h"
#include "sistema.h"
#include "texto.h"

namespace monitor {

namespace {

namespace sim = tarvic::simulador;

constexpr int ID_OK = 1, ID_SIM = 6, ID_NAO = 7;
// A question asked again and again (retry while the printer stays off, with
// the policy answering Yes) is not kept without end in one reply.
constexpr size_t MENSAGENS_POR_RESPOSTA = 1000;

// The call in progress on the printer's thread.
struct EmCurso {
  const std::vector<bool> *respostas = nullptr;
  size_t proxima = 0;
  bool padrao = false;
  Json mensagens = Json::array();
  size_t omitidas = 0;
};
EmCurso *emCurso = nullptr;
bool padraoSemChamada = false;

bool EhPergunta(uint32_t tipo) {
  const uint32_t botoes = tipo & 0xF;
  return botoes == 4 /* MB_YESNO */ || botoes == 3 /* MB_YESNOCANCEL */;
}

int Botao(uint32_t tipo) {
  if (!EhPergunta(tipo)) return ID_OK;
  bool sim = padraoSemChamada;
  if (emCurso) {
    const std::vector<bool> &lista = *emCurso->respostas;
    sim = emCurso->proxima < lista.size() ? lista[emCurso->proxima++] : emCurso->padrao;
  }
  return sim ? ID_SIM : ID_NAO;
}

void Registra(const char *texto, const char *titulo, uint32_t tipo, int botao) {
  if (!emCurso) return;
  if (emCurso->mensagens.size() >= MENSAGENS_POR_RESPOSTA) {
    ++emCurso->omitidas;
    return;
  }
  Json m;
  m["texto"] = ParaUtf8(texto ? texto : "");
  m["titulo"] = ParaUtf8(titulo ? titulo : "");
  m["tipo"] = tipo;
  m["botao"] = botao;
  emCurso->mensagens.push_back(std::move(m));
}

// The operator, as far as the library knows: the policy answers, the reply
// tells the host what was said and answered.
int TARVIC_API Operador(const char *texto, const char *titulo, uint32_t tipo) {
  try {
    const int botao = Botao(tipo);
    Registra(texto, titulo, tipo, botao);
    return botao;
  } catch (...) {
    return EhPergunta(tipo) ? ID_NAO : ID_OK;
  }
}

}  // namespace

Atendimento::Atendimento(const std::string &traco, bool sim,
                         std::function<void(Atendido)> aoAtender)
    : traco_(traco), sim_(sim), aoAtender_(std::move(aoAtender)) {
  // Before the first export: the library reads its trace's place once.
  DefineVariavel("TARVIC_LOG", traco);
  padraoSemChamada = sim;
  const uint64_t marca = traco_.Marca();
  ecf_SetTratadorMensagem(Operador);
  traco_.Le(marca);  // learns the printer thread's lines
}

Atendimento::~Atendimento() {
  ecf_SetTratadorMensagem(nullptr);
}

Json Atendimento::Chama(const Requisicao &r, const Preparada &p) {
  Json resposta;
  resposta["id"] = r.id;
  EmCurso chamada;
  chamada.respostas = &r.respostas;
  chamada.padrao = sim_;
  const uint64_t marca = traco_.Marca();
  emCurso = &chamada;
  p.chama(resposta);
  emCurso = nullptr;
  resposta["ecf_Retorno"] = ecf_Retorno;
  resposta["mensagens"] = std::move(chamada.mensagens);
  if (chamada.omitidas) resposta["mensagens_omitidas"] = chamada.omitidas;
  LidoDoTraco lido = traco_.Le(marca);
  // Without the trace (a file that cannot be written) the values are unknown.
  resposta["retorno"] = lido.saidas ? std::move(lido.retorno) : Json();
  Atendido atendido;
  if (r.funcao == "ecf_Inicializa" && resposta["resultado"] == true && r.args[0].is_string())
    atendido.fabricante = sim::maiusculas(sim::apara(r.args[0].get<std::string>()));
  atendido.comandos = std::move(lido.comandos);
  if (aoAtender_) aoAtender_(std::move(atendido));
  return resposta;
}

std::string Atendimento::Atende(const std::string &linha) {
  Json id;
  try {
    const Requisicao r = LeRequisicao(linha, id);
    const Preparada p = Prepara(r);
    return Linha(Chama(r, p));
  } catch (const Recusa &e) {
    return RespostaDeErro(id, e.what());
  } catch (const std::exception &e) {
    emCurso = nullptr;
    return RespostaDeErro(id, std::string("falha interna do monitor: ") + e.what());
  }
}

}  // namespace monitor
