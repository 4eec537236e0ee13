#include "simulado.h"

#include <ctime>
#include <stdexcept>

#include "arquivos.h"
#include "estado_gravado.h"
#include "impressora_fiscal.h"
#include "sistema.h"

namespace monitor {

namespace sim = tarvic::simulador;

namespace {

constexpr int64_t BOBINA_INICIAL = 64 * 1024;

std::string SemExtensao(const std::string &caminho) {
  const size_t ponto = caminho.find_last_of('.'), barra = caminho.find_last_of("/\\");
  if (ponto != std::string::npos && (barra == std::string::npos || ponto > barra))
    return caminho.substr(0, ponto);
  return caminho;
}

std::string Aparado(const std::string &s) {
  const size_t i = s.find_first_not_of(" \t\r\n");
  return i == std::string::npos ? std::string()
                                : s.substr(i, s.find_last_not_of(" \t\r\n") - i + 1);
}

// Today on the printer's clock. The simulator's own clock uses localtime,
// whose buffer the printer's thread shares: the panel's thread keeps to the
// reentrant form.
int64_t HojeDaImpressora(int64_t deslocamento) {
  const std::time_t t = std::time(nullptr) + static_cast<std::time_t>(deslocamento);
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  sim::DataHora d;
  d.ano = local.tm_year + 1900;
  d.mes = local.tm_mon + 1;
  d.dia = local.tm_mday;
  return d.diaCivil();
}

// A growing file as the printer has it: what reached the file, then what the
// log holds that has not yet (the document in progress).
std::string Crescente(const std::string &arquivo, int64_t desde, const sim::EstadoLido &lido,
                      sim::ArquivoCrescente qual, int64_t &fim) {
  std::string texto;
  sim::arquivo::Le(arquivo, texto);
  int64_t tamanho = static_cast<int64_t>(texto.size());
  for (const sim::Acrescimo &a : lido.acrescimos) {
    if (a.arquivo != qual || a.posicao + static_cast<int64_t>(a.texto.size()) <= tamanho) continue;
    const int64_t ja = a.posicao < tamanho ? tamanho - a.posicao : 0;
    texto.append(a.texto, static_cast<size_t>(ja), std::string::npos);
    tamanho = static_cast<int64_t>(texto.size());
  }
  fim = tamanho;
  if (desde >= tamanho) return std::string();
  return texto.substr(static_cast<size_t>(desde < 0 ? 0 : desde));
}

sim::EstadoLido LeEstado(const std::string &estado) {
  for (int tentativa = 0;; ++tentativa) {
    std::string texto, registro;
    if (!sim::arquivo::Le(estado, texto)) throw std::runtime_error("sem estado");
    sim::arquivo::Le(SemExtensao(estado) + ".registro", registro);
    sim::EstadoLido lido = sim::LeEstadoDoSimulador(texto, registro);
    // A snapshot taken between the two reads: read both again.
    if (!lido.registroDeOutraGeracao || tentativa == 2) return lido;
  }
}

const char *Dia(const sim::EstadoGravado &e, const sim::EstadoLido &lido, const std::string &base) {
  const int64_t hoje = HojeDaImpressora(e.deslocamentoRelogio);
  if (e.diaAberto) return e.dataMovimento.diaCivil() < hoje ? "reducao_pendente" : "aberto";
  int64_t fim = 0;
  const std::string memoria =
      Crescente(base + ".memoria_fiscal", 0, lido, sim::ArquivoCrescente::MemoriaFiscal, fim);
  const std::vector<sim::DadosReducao> reducoes = sim::LeMemoriaFiscal(memoria);
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
Json Bobina(const std::string &base, int64_t desde, const sim::EstadoLido &lido) {
  int64_t fim = 0;
  std::string texto = Crescente(base + ".bobina.txt", 0, lido, sim::ArquivoCrescente::Bobina, fim);
  Json b;
  b["recomeco"] = desde < 0 || desde > fim;
  int64_t inicio = desde < 0 || desde > fim ? std::max<int64_t>(0, fim - BOBINA_INICIAL) : desde;
  if (b["recomeco"] == true && inicio > 0) {
    const size_t linha = texto.find('\n', static_cast<size_t>(inicio));
    inicio = linha == std::string::npos ? fim : static_cast<int64_t>(linha) + 1;
  }
  const size_t ultima = texto.rfind('\n');
  const int64_t ate = ultima == std::string::npos ? 0 : static_cast<int64_t>(ultima) + 1;
  b["inicio"] = inicio;
  b["fim"] = std::max(inicio, ate);
  b["texto"] = ate > inicio
                   ? texto.substr(static_cast<size_t>(inicio), static_cast<size_t>(ate - inicio))
                   : std::string();
  return b;
}

Json Injetados(const sim::EstadoGravado &e) {
  Json j = Json::object();
  for (const auto &[funcao, codigos] : e.codigosInjetados) j[funcao] = codigos;
  return j;
}

std::string Acrescenta(const std::string &estado, const std::string &item) {
  const std::string controle = SemExtensao(estado) + ".falhas";
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
  // One DLLG2 stand-in serves both of its manufacturers, as TARVIC_SIM_FABRICANTE says.
  std::string nome = fabricante;
  if (nome == "DATAREGIS" || nome == "URANO") {
    const std::string f = Aparado(Variavel("TARVIC_SIM_FABRICANTE"));
    nome = f.empty() ? "DATAREGIS" : f;
    for (char &c : nome)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  const std::string padrao = "tarvic_sim_" + nome + ".json";
  const std::string v = Aparado(Variavel(sim::VariavelEstado));
  if (!v.empty()) return sim::arquivo::EhPasta(v) ? v + sim::arquivo::Separador() + padrao : v;
  std::string pasta = sim::arquivo::PastaDoUsuario();
  return (pasta.empty() ? std::string(".") : pasta) + sim::arquivo::Separador() + padrao;
}

Json VistaDoSimulador(const std::string &estado, int64_t desde) {
  Json v;
  v["simulada"] = false;
  if (estado.empty() || !sim::arquivo::Existe(estado)) return v;
  const sim::EstadoLido lido = LeEstado(estado);
  const sim::EstadoGravado &e = lido.estado;
  const std::string base = SemExtensao(estado);
  v["simulada"] = true;
  v["estado"] = estado;
  v["fabricante"] = e.identificacao.fabricante;
  v["coo"] = e.contadores.coo;
  v["ccf"] = e.contadores.ccf;
  v["gnf"] = e.contadores.gnf;
  v["crz"] = e.contadores.crz;
  v["grande_total_centavos"] = e.grandeTotal;
  v["dia"] = Dia(e, lido, base);
  v["data_movimento"] = e.diaAberto ? e.dataMovimento.textoData() : std::string();
  v["documento"] = Documento(e.documento);
  v["codigos_injetados"] = Injetados(e);
  std::string falhas;
  sim::arquivo::Le(base + ".falhas", falhas);
  v["falhas_pendentes"] = falhas;
  v["bobina"] = Bobina(base, desde, lido);
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
