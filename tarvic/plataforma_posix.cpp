// Stand-in for the Windows system calls on the native build.
#include <dlfcn.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "plataforma_ini.h"
#include "plataforma_so.h"

namespace fs = std::filesystem;

namespace plataforma::so {

const char SEPARADOR = '/';

namespace {
FuncaoPausa funcaoPausa = nullptr;
}

int CaixaMensagem(const std::string &texto, const std::string &titulo, uint32_t tipo) {
  std::cerr << "[" << titulo << "] " << texto << std::endl;
  return (tipo & 0x0F) == 0x04 ? ID_NAO : ID_OK;
}

void LiberaEntrada() {}

void ProcessaMensagens() {}

void Pausa(uint32_t milissegundos) {
  if (funcaoPausa)
    funcaoPausa(milissegundos);
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(milissegundos));
}

void DefinePausa(FuncaoPausa funcao) {
  funcaoPausa = funcao;
}

std::string VariavelAmbiente(const std::string &nome) {
  const char *valor = std::getenv(nome.c_str());
  return valor ? valor : "";
}

bool PastaDoSistema(std::string &pasta) {
  pasta = "/usr/lib";
  return true;
}

std::string PastaTemporaria() {
  std::error_code erro;
  const fs::path p = fs::temp_directory_path(erro);
  return erro ? std::string("/tmp") : p.string();
}

namespace {

// The executable's path; empty when the system does not tell it.
fs::path Executavel() {
  std::error_code erro;
  const fs::path exe = fs::read_symlink("/proc/self/exe", erro);
  return erro ? fs::path() : exe;
}

}  // namespace

std::string PastaDoExecutavel() {
  const fs::path exe = Executavel();
  if (exe.empty()) return "";
  std::string pasta = exe.parent_path().string();
  return pasta.empty() || pasta.back() == SEPARADOR ? pasta : pasta + SEPARADOR;
}

// Natively the library is linked into the program: its folder is the program's.
std::string PastaDaBiblioteca() {
  return PastaDoExecutavel();
}

std::string NomeDoPrograma() {
  return Executavel().filename().string();
}

bool ArquivoExiste(const std::string &caminho) {
  std::error_code erro;
  return fs::is_regular_file(caminho, erro);
}

bool PastaExiste(const std::string &caminho) {
  std::error_code erro;
  return fs::is_directory(caminho, erro);
}

bool CriaPasta(const std::string &caminho) {
  std::error_code erro;
  return fs::create_directory(caminho, erro) || fs::is_directory(caminho, erro);
}

bool ApagaArquivo(const std::string &caminho) {
  std::error_code erro;
  return fs::is_regular_file(caminho, erro) && fs::remove(caminho, erro);
}

bool CopiaArquivo(const std::string &origem, const std::string &destino) {
  std::error_code erro;
  return fs::copy_file(origem, destino, fs::copy_options::overwrite_existing, erro);
}

bool MoveArquivo(const std::string &origem, const std::string &destino) {
  // MoveFile does not replace an existing file.
  if (ArquivoExiste(destino)) return false;
  std::error_code erro;
  fs::rename(origem, destino, erro);
  return !erro;
}

bool AcrescentaArquivo(const std::string &caminho, const std::string &texto) {
  FILE *arquivo = std::fopen(caminho.c_str(), "ab");
  if (!arquivo) return false;
  const bool gravou = std::fwrite(texto.data(), 1, texto.size(), arquivo) == texto.size();
  return std::fclose(arquivo) == 0 && gravou;
}

std::vector<std::string> ListaPasta(const std::string &pasta, const std::string &mascara,
                                    bool pastas) {
  std::vector<std::string> nomes;
  std::error_code erro;
  for (fs::directory_iterator it(pasta, erro), fim; !erro && it != fim; it.increment(erro)) {
    const bool ehPasta = it->is_directory(erro);
    const std::string nome = it->path().filename().string();
    if (ehPasta == pastas && CasaMascara(nome, mascara)) nomes.push_back(nome);
  }
  return nomes;
}

bool EscreveIni(const std::string &arquivo, const std::string &secao, const std::string &chave,
                const std::string &valor) {
  std::string conteudo;
  if (ArquivoExiste(arquivo)) {
    std::ifstream entrada(arquivo, std::ios::binary);
    if (!entrada) return false;
    std::ostringstream texto;
    texto << entrada.rdbuf();
    conteudo = texto.str();
  }
  const std::string novo = IniComChave(conteudo, secao, chave, valor);
  std::ofstream saida(arquivo, std::ios::binary | std::ios::trunc);
  if (!saida) return false;
  saida << novo;
  return static_cast<bool>(saida.flush());
}

std::string LeIni(const std::string &arquivo, const std::string &secao, const std::string &chave,
                  const std::string &padrao) {
  std::ifstream entrada(arquivo, std::ios::binary);
  if (!entrada) return padrao;
  std::ostringstream texto;
  texto << entrada.rdbuf();
  return ValorIni(texto.str(), secao, chave, padrao);
}

void *CarregaBiblioteca(const std::string &nome) {
  // An empty name would give the host program itself.
  if (nome.empty()) return nullptr;
  // Like LoadLibrary: the program's folder first, then the system's search.
  if (nome.find(SEPARADOR) == std::string::npos) {
    const std::string pasta = PastaDoExecutavel();
    if (!pasta.empty() && ArquivoExiste(pasta + nome))
      if (void *biblioteca = dlopen((pasta + nome).c_str(), RTLD_NOW | RTLD_LOCAL))
        return biblioteca;
  }
  return dlopen(nome.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void *FuncaoDaBiblioteca(void *biblioteca, const std::string &nome) {
  return biblioteca ? dlsym(biblioteca, nome.c_str()) : nullptr;
}

bool LiberaBiblioteca(void *biblioteca, uint32_t *erro) {
  if (erro) *erro = 0;
  if (!biblioteca || dlclose(biblioteca) == 0) return true;
  if (erro) *erro = 1;  // dlclose tells no number, only a text
  return false;
}

HoraSistema HoraLocal() {
  timespec agora{};
  clock_gettime(CLOCK_REALTIME, &agora);
  std::tm local{};
  localtime_r(&agora.tv_sec, &local);
  HoraSistema h;
  h.ano = local.tm_year + 1900;
  h.mes = local.tm_mon + 1;
  h.dia = local.tm_mday;
  h.hora = local.tm_hour;
  h.minuto = local.tm_min;
  h.segundo = local.tm_sec;
  h.milissegundo = static_cast<int>(agora.tv_nsec / 1000000);
  return h;
}

uint64_t Milissegundos() {
  timespec agora{};
  clock_gettime(CLOCK_MONOTONIC, &agora);
  return static_cast<uint64_t>(agora.tv_sec) * 1000 +
         static_cast<uint64_t>(agora.tv_nsec / 1000000);
}

uint64_t IdentificadorThread() {
  return static_cast<uint64_t>(syscall(SYS_gettid));
}

namespace {
pthread_mutex_t travaExportacoes = PTHREAD_RECURSIVE_MUTEX_INITIALIZER_NP;
}

void EntraExportacao() {
  pthread_mutex_lock(&travaExportacoes);
}

void SaiExportacao() {
  pthread_mutex_unlock(&travaExportacoes);
}

}  // namespace plataforma::so
