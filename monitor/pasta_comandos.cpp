#include "pasta_comandos.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <vector>

#include "arquivos.h"

namespace monitor {

namespace arquivo = tarvic::simulador::arquivo;
namespace fs = std::filesystem;

namespace {

const char *const COMANDOS = ".cmd";
const char *const EM_EXECUCAO = ".cmd.executando";
constexpr size_t LIMITE_ARQUIVO = 16 * 1024 * 1024;

bool Termina(const std::string &s, const std::string &fim) {
  return s.size() > fim.size() && s.compare(s.size() - fim.size(), fim.size(), fim) == 0;
}

std::vector<std::string> Nomes(const std::string &pasta, const char *sufixo) {
  std::vector<std::string> nomes;
  std::error_code erro;
  for (fs::directory_iterator i(pasta, erro), fim; !erro && i != fim; i.increment(erro)) {
    const std::string nome = i->path().filename().string();
    if (nome[0] != '.' && Termina(nome, sufixo)) nomes.push_back(nome);
  }
  std::sort(nomes.begin(), nomes.end());
  return nomes;
}

std::string Base(const std::string &nome, const char *sufixo) {
  return nome.substr(0, nome.size() - std::char_traits<char>::length(sufixo));
}

}  // namespace

PastaComandos::PastaComandos(boost::asio::io_context &io, std::string pasta,
                             std::chrono::milliseconds intervalo, size_t limiteLinha,
                             Atendimento &atendimento)
    : relogio_(io),
      pasta_(std::move(pasta)),
      intervalo_(intervalo),
      limiteLinha_(limiteLinha),
      atendimento_(atendimento) {
  Recupera();
  Agenda();
}

std::string PastaComandos::Caminho(const std::string &nome) const {
  return pasta_ + arquivo::Separador() + nome;
}

void PastaComandos::Agenda() {
  relogio_.expires_after(intervalo_);
  relogio_.async_wait([this](boost::system::error_code e) {
    if (e) return;
    Varre();
    Agenda();
  });
}

void PastaComandos::Varre() {
  for (const std::string &nome : Nomes(pasta_, COMANDOS)) {
    std::string conteudo;
    // Written in place instead of renamed, and not finished yet: next time.
    if (arquivo::LeSeDoUsuario(Caminho(nome), conteudo) == arquivo::Leitura::Lido &&
        (conteudo.empty() || conteudo.back() != '\n'))
      continue;
    Executa(Base(nome, COMANDOS));
  }
}

void PastaComandos::Executa(const std::string &base) {
  const std::string tomado = Caminho(base + EM_EXECUCAO);
  if (!arquivo::Renomeia(Caminho(base + COMANDOS), tomado)) return;
  std::string conteudo, respostas;
  const arquivo::Leitura lido = arquivo::LeSeDoUsuario(tomado, conteudo);
  if (lido != arquivo::Leitura::Lido) {
    respostas = RespostaDeErro(nullptr,
                               "arquivo recusado: não é um arquivo comum do usuário do "
                               "monitor") +
                "\n";
  } else if (conteudo.size() > LIMITE_ARQUIVO) {
    respostas =
        RespostaDeErro(nullptr, "arquivo de comandos acima de 16 MiB: nada executado") + "\n";
  } else {
    for (size_t inicio = 0; inicio < conteudo.size();) {
      size_t fim = conteudo.find('\n', inicio);
      if (fim == std::string::npos) fim = conteudo.size();
      std::string linha = conteudo.substr(inicio, fim - inicio);
      inicio = fim + 1;
      if (!linha.empty() && linha.back() == '\r') linha.pop_back();
      if (linha.find_first_not_of(" \t") == std::string::npos) continue;
      respostas += (linha.size() > limiteLinha_
                        ? RespostaDeErro(nullptr, "linha acima de " +
                                                      std::to_string(limiteLinha_ / 1024) + " KiB")
                        : atendimento_.Atende(linha)) +
                   "\n";
    }
  }
  if (!arquivo::Substitui(Caminho(base + ".resp"), respostas, false))
    std::cerr << "tarvic-monitor: a resposta " << Caminho(base + ".resp")
              << " não pôde ser gravada\n";
  arquivo::Remove(tomado);
}

// Files taken by a monitor that stopped in the middle: their lines may have
// been served in part, and are never served twice.
void PastaComandos::Recupera() {
  for (const std::string &nome : Nomes(pasta_, EM_EXECUCAO)) {
    const std::string base = Base(nome, EM_EXECUCAO);
    arquivo::Substitui(Caminho(base + ".resp"),
                       RespostaDeErro(nullptr, "o monitor parou enquanto executava " + base +
                                                   ".cmd; suas linhas não são executadas de "
                                                   "novo: confira a impressora") +
                           "\n",
                       false);
    arquivo::Remove(Caminho(nome));
    std::cerr << "tarvic-monitor: " << base << ".cmd foi interrompido e não será repetido\n";
  }
}

}  // namespace monitor
