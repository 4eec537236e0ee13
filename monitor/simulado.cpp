#include "simulado.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "arquivos.h"
#include "estado_gravado.h"
#include "impressora_fiscal.h"

namespace monitor {

namespace sim = tarvic::simulador;

namespace {

constexpr int64_t BOBINA_INICIAL = 64 * 1024;

// Today on the printer's clock.
int64_t HojeDaImpressora(int64_t deslocamento) {
  sim::Relogio relogio;
  relogio.defineDeslocamento(deslocamento);
  return relogio.agora().diaCivil();
}

// A piece of a growing file as the printer has it: what reached the file,
// then what the log holds that has not yet (the document in progress).
struct Trecho {
  int64_t inicio = 0;  // where `texto` starts in the file
  std::string texto;
  int64_t fim = 0;  // the file's end, the log's part included
};

int64_t TamanhoDe(const std::string &arquivo) {
  std::ifstream f(arquivo, std::ios::binary | std::ios::ate);
  const std::streamoff t = f ? static_cast<std::streamoff>(f.tellg()) : 0;
  return t > 0 ? static_cast<int64_t>(t) : 0;
}

std::string LeDe(const std::string &arquivo, int64_t inicio, int64_t fim) {
  std::ifstream f(arquivo, std::ios::binary);
  if (!f || fim <= inicio) return std::string();
  f.seekg(static_cast<std::streamoff>(inicio));
  std::string texto(static_cast<size_t>(fim - inicio), '\0');
  f.read(texto.data(), static_cast<std::streamsize>(texto.size()));
  texto.resize(static_cast<size_t>(f.gcount()));
  return texto;
}

// From `desde` to the end; from the last `ultimos` bytes when `desde` is
// negative or past the end.
Trecho Crescente(const std::string &arquivo, int64_t desde, int64_t ultimos,
                 const sim::EstadoLido &lido, sim::ArquivoCrescente qual) {
  const int64_t tamanho = TamanhoDe(arquivo);
  int64_t total = tamanho;
  for (const sim::Acrescimo &a : lido.acrescimos)
    if (a.arquivo == qual)
      total = std::max(total, a.posicao + static_cast<int64_t>(a.texto.size()));
  Trecho t;
  t.inicio = desde < 0 || desde > total ? std::max<int64_t>(0, total - ultimos) : desde;
  t.texto = LeDe(arquivo, t.inicio, tamanho);
  int64_t coberto = std::max(t.inicio, t.inicio + static_cast<int64_t>(t.texto.size()));
  for (const sim::Acrescimo &a : lido.acrescimos) {
    const int64_t fimA = a.posicao + static_cast<int64_t>(a.texto.size());
    if (a.arquivo != qual || fimA <= coberto) continue;
    t.texto.append(a.texto, static_cast<size_t>(std::max<int64_t>(coberto - a.posicao, 0)),
                   std::string::npos);
    coberto = fimA;
  }
  t.fim = coberto;
  return t;
}

sim::EstadoLido LeEstado(const std::string &estado) {
  for (int tentativa = 0;; ++tentativa) {
    std::string texto, registro;
    if (!sim::arquivo::Le(estado, texto)) throw std::runtime_error("sem estado");
    sim::arquivo::Le(sim::ImpressoraFiscal::caminhoRegistro(estado), registro);
    sim::EstadoLido lido = sim::LeEstadoDoSimulador(texto, registro);
    // A snapshot taken between the two reads: read both again.
    if (!lido.registroDeOutraGeracao || tentativa == 2) return lido;
  }
}

const char *Dia(const sim::EstadoGravado &e, const sim::EstadoLido &lido,
                const std::string &estado) {
  const int64_t hoje = HojeDaImpressora(e.deslocamentoRelogio);
  if (e.diaAberto) return e.dataMovimento.diaCivil() < hoje ? "reducao_pendente" : "aberto";
  const Trecho memoria = Crescente(sim::ImpressoraFiscal::caminhoMemoriaFiscal(estado), 0, 0, lido,
                                   sim::ArquivoCrescente::MemoriaFiscal);
  const std::vector<sim::DadosReducao> reducoes = sim::LeMemoriaFiscal(memoria.texto);
  if (!reducoes.empty() && reducoes.back().dataMovimento.diaCivil() >= hoje) return "bloqueado";
  return "fechado";
}

const char *Documento(sim::TipoDocumento d) {
  switch (d) {
    case sim::TipoDocumento::CupomFiscal:
      return "cupom fiscal";
    case sim::TipoDocumento::NaoFiscal:
      return "comprovante não fiscal";
    case sim::TipoDocumento::RelatorioGerencial:
      return "relatório gerencial";
    case sim::TipoDocumento::ComprovanteVinculado:
      return "comprovante de crédito ou débito";
    default:
      return "";
  }
}

// The tape from `desde`, in whole lines; a negative `desde` starts at the
// line that begins its last 64 KiB.
Json Bobina(const std::string &estado, int64_t desde, const sim::EstadoLido &lido) {
  Trecho t = Crescente(sim::ImpressoraFiscal::caminhoBobina(estado), desde, BOBINA_INICIAL, lido,
                       sim::ArquivoCrescente::Bobina);
  Json b;
  b["recomeco"] = t.inicio != desde;
  if (t.inicio != desde && t.inicio > 0) {
    const size_t linha = t.texto.find('\n');
    const size_t pula = linha == std::string::npos ? t.texto.size() : linha + 1;
    t.texto.erase(0, pula);
    t.inicio += static_cast<int64_t>(pula);
  }
  const size_t ultima = t.texto.rfind('\n');
  t.texto.resize(ultima == std::string::npos ? 0 : ultima + 1);
  b["inicio"] = t.inicio;
  b["fim"] = t.inicio + static_cast<int64_t>(t.texto.size());
  b["texto"] = std::move(t.texto);
  return b;
}

Json Injetados(const sim::EstadoGravado &e) {
  Json j = Json::object();
  for (const auto &[funcao, codigos] : e.codigosInjetados) j[funcao] = codigos;
  return j;
}

std::string Acrescenta(const std::string &estado, const std::string &item) {
  const std::string controle = sim::ImpressoraFiscal::caminhoControle(estado);
  std::string atual;
  // What the printer has not taken yet stays; it takes the whole file at once.
  if (sim::arquivo::LeSeDoUsuario(controle, atual) != sim::arquivo::Leitura::Lido) atual.clear();
  if (!atual.empty() && atual.back() != '\n') atual += '\n';
  if (!sim::arquivo::Substitui(controle, atual + item + "\n", false))
    return "o arquivo de falhas não pôde ser gravado: " + controle;
  return std::string();
}

}  // namespace

std::string EstadoDoSimulador(const std::string &fabricante) {
  if (fabricante.empty()) return std::string();
  // One DLLG2 stand-in serves both of its manufacturers.
  const bool dllg2 = fabricante == "DATAREGIS" || fabricante == "URANO";
  return sim::ImpressoraFiscal::caminhoEstadoPadrao(dllg2 ? sim::fabricanteDoDllg2() : fabricante);
}

Json VistaDoSimulador(const std::string &estado, int64_t desde) {
  Json v;
  v["simulada"] = false;
  if (estado.empty() || !sim::arquivo::Existe(estado)) return v;
  const sim::EstadoLido lido = LeEstado(estado);
  const sim::EstadoGravado &e = lido.estado;
  v["simulada"] = true;
  v["estado"] = estado;
  v["fabricante"] = e.identificacao.fabricante;
  v["coo"] = e.contadores.coo;
  v["ccf"] = e.contadores.ccf;
  v["gnf"] = e.contadores.gnf;
  v["crz"] = e.contadores.crz;
  v["grande_total_centavos"] = e.grandeTotal;
  v["dia"] = Dia(e, lido, estado);
  v["data_movimento"] = e.diaAberto ? e.dataMovimento.textoData() : std::string();
  v["documento"] = Documento(e.documento);
  v["codigos_injetados"] = Injetados(e);
  std::string falhas;
  sim::arquivo::Le(sim::ImpressoraFiscal::caminhoControle(estado), falhas);
  v["falhas_pendentes"] = falhas;
  v["bobina"] = Bobina(estado, desde, lido);
  return v;
}

std::string InjetaFalha(const std::string &estado, const std::string &falha) {
  static const char *const conhecidas[] = {"desligada", "ligada", "pouco_papel", "sem_papel",
                                           "papel"};
  if (estado.empty()) return "nenhuma impressora simulada (falta ecf_Inicializa)";
  for (const char *c : conhecidas)
    if (falha == c) return Acrescenta(estado, falha);
  return "falha desconhecida: \"" + falha + "\"";
}

std::string InjetaCodigo(const std::string &estado, const std::string &funcao, int64_t codigo) {
  if (estado.empty()) return "nenhuma impressora simulada (falta ecf_Inicializa)";
  bool conhecida = false;
#define DRIVER(biblioteca, nome, pilha, parametros, argumentos) conhecida |= funcao == #nome;
#include "tarvic/drivers/funcoes.inc"
#undef DRIVER
  if (!conhecida) return "função de driver desconhecida: \"" + funcao + "\"";
  if (codigo < -999999 || codigo > 999999) return "código fora de -999999 a 999999";
  return Acrescenta(estado, funcao + "=" + std::to_string(codigo));
}

std::vector<std::string> FuncoesDoDriver(const std::string &fabricante) {
  struct Par {
    const char *fabricante, *biblioteca;
  };
  static const Par pares[] = {
      {"BEMATECH", "BEMAFI32"},       {"SWEDA", "CONVECF"}, {"SWEDA", "SWMFD"},
      {"DARUMA", "DARUMA32"},         {"ELGIN", "ELGIN"},   {"DATAREGIS", "DLLG2"},
      {"DATAREGIS", "DLLG2_GERADOR"}, {"URANO", "DLLG2"},   {"URANO", "DLLG2_GERADOR"}};
  std::vector<std::string> funcoes;
  auto daBiblioteca = [&](const std::string &biblioteca) {
    for (const Par &p : pares)
      if (fabricante == p.fabricante && biblioteca == p.biblioteca) return true;
    return false;
  };
#define DRIVER(biblioteca, nome, pilha, parametros, argumentos) \
  if (daBiblioteca(#biblioteca)) funcoes.push_back(#nome);
#include "tarvic/drivers/funcoes.inc"
#undef DRIVER
  return funcoes;
}

}  // namespace monitor
