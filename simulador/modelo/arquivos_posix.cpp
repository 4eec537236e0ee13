// The file system seam on POSIX systems.
#include "arquivos.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace tarvic {
namespace simulador {
namespace arquivo {

namespace {

std::string PastaDe(const std::string& caminho) {
  const std::size_t barra = caminho.find_last_of('/');
  if (barra == std::string::npos) return ".";
  return barra == 0 ? "/" : caminho.substr(0, barra);
}

std::string NomeDe(const std::string& caminho) {
  const std::size_t barra = caminho.find_last_of('/');
  return barra == std::string::npos ? caminho : caminho.substr(barra + 1);
}

bool EscreveTudo(int fd, const char* dados, std::size_t tamanho) {
  while (tamanho > 0) {
    const ssize_t n = ::write(fd, dados, tamanho);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    dados += n;
    tamanho -= static_cast<std::size_t>(n);
  }
  return true;
}

bool LeTudo(int fd, std::string& conteudo) {
  conteudo.clear();
  char bloco[65536];
  for (;;) {
    const ssize_t n = ::read(fd, bloco, sizeof bloco);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    conteudo.append(bloco, static_cast<std::size_t>(n));
  }
}

void SincronizaPasta(const std::string& pasta) {
  const int fd = ::open(pasta.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  Observa("sincroniza", pasta);
  ::fsync(fd);
  ::close(fd);
}

// A folder of the user alone: made when missing, a real folder (not a
// link), owned by the user, closed to everybody else.
bool PastaSegura(const std::string& pasta) {
  if (::mkdir(pasta.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat s;
  if (::lstat(pasta.c_str(), &s) != 0 || !S_ISDIR(s.st_mode) || s.st_uid != ::geteuid())
    return false;
  if ((s.st_mode & 077) != 0 && ::chmod(pasta.c_str(), 0700) != 0) return false;
  return true;
}

bool PastaDoUsuarioJaExiste(const char* variavel) {
  const char* v = std::getenv(variavel);
  if (!v || v[0] != '/') return false;
  struct stat s;
  return ::lstat(v, &s) == 0 && S_ISDIR(s.st_mode) && s.st_uid == ::geteuid();
}

std::string PastaTemporariaDoSistema() {
  const char* v = std::getenv("TMPDIR");
  return v && v[0] == '/' ? std::string(v) : std::string("/tmp");
}

}  // namespace

char Separador() {
  return '/';
}

// ---------------------------------------------------------------- Anexo

bool Anexo::abre(const std::string& caminho) {
  fecha();
  caminho_ = caminho;
  struct stat s;
  if (::lstat(caminho.c_str(), &s) != 0) Observa("cria", caminho);
  const int fd =
      ::open(caminho.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (::fstat(fd, &s) != 0 || !S_ISREG(s.st_mode) || s.st_uid != ::geteuid()) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

bool Anexo::aberto() const {
  return fd_ >= 0;
}

bool Anexo::acrescenta(const std::string& dados) {
  if (fd_ < 0) return false;
  if (dados.empty()) return true;
  Observa("acrescenta", caminho_);
  return EscreveTudo(fd_, dados.data(), dados.size());
}

bool Anexo::sincroniza() {
  if (fd_ < 0) return false;
  Observa("sincroniza", caminho_);
  return ::fdatasync(fd_) == 0;
}

bool Anexo::trunca(uint64_t tamanho) {
  if (fd_ < 0) return false;
  Observa("trunca", caminho_);
  return ::ftruncate(fd_, static_cast<off_t>(tamanho)) == 0;
}

int64_t Anexo::tamanho() const {
  struct stat s;
  if (fd_ < 0 || ::fstat(fd_, &s) != 0) return -1;
  return static_cast<int64_t>(s.st_size);
}

bool Anexo::leDesde(uint64_t inicio, std::string& dados) const {
  dados.clear();
  if (fd_ < 0) return false;
  char bloco[65536];
  off_t posicao = static_cast<off_t>(inicio);
  for (;;) {
    const ssize_t n = ::pread(fd_, bloco, sizeof bloco, posicao);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    dados.append(bloco, static_cast<std::size_t>(n));
    posicao += n;
  }
}

void Anexo::fecha() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

// ---------------------------------------------------------------- whole files

bool Le(const std::string& caminho, std::string& conteudo) {
  const int fd = ::open(caminho.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat s;
  const bool lido = ::fstat(fd, &s) == 0 && S_ISREG(s.st_mode) && LeTudo(fd, conteudo);
  ::close(fd);
  return lido;
}

Leitura LeSeDoUsuario(const std::string& caminho, std::string& conteudo) {
  const int fd = ::open(caminho.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? Leitura::Ausente : Leitura::Recusado;
  struct stat s;
  Leitura r = Leitura::Recusado;
  if (::fstat(fd, &s) == 0 && S_ISREG(s.st_mode) && s.st_uid == ::geteuid() && LeTudo(fd, conteudo))
    r = Leitura::Lido;
  ::close(fd);
  return r;
}

bool Substitui(const std::string& caminho, const std::string& conteudo, bool sincroniza) {
  static unsigned contador = 0;
  std::string temporario;
  int fd = -1;
  for (int tentativa = 0; fd < 0 && tentativa < 100; ++tentativa) {
    temporario = caminho + "." + std::to_string(::getpid()) + "." + std::to_string(++contador) +
                 std::to_string(static_cast<unsigned>(std::time(nullptr)) % 1000) + ".tmp";
    Observa("cria", temporario);
    fd = ::open(temporario.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  Observa("acrescenta", temporario);
  bool ok = EscreveTudo(fd, conteudo.data(), conteudo.size());
  if (ok && sincroniza) {
    Observa("sincroniza", temporario);
    ok = ::fsync(fd) == 0;
  }
  ok = ::close(fd) == 0 && ok;
  if (ok) {
    Observa("renomeia", caminho);
    ok = ::rename(temporario.c_str(), caminho.c_str()) == 0;
  }
  if (!ok) {
    ::unlink(temporario.c_str());
    return false;
  }
  if (sincroniza) SincronizaPasta(PastaDe(caminho));
  return true;
}

bool Remove(const std::string& caminho) {
  struct stat s;
  if (::lstat(caminho.c_str(), &s) != 0) return errno == ENOENT;
  Observa("remove", caminho);
  return ::unlink(caminho.c_str()) == 0 || errno == ENOENT;
}

bool Renomeia(const std::string& origem, const std::string& destino) {
  Observa("renomeia", destino);
  return ::rename(origem.c_str(), destino.c_str()) == 0;
}

void RemoveTemporariosDe(const std::string& caminho) {
  const std::string pasta = PastaDe(caminho), prefixo = NomeDe(caminho) + ".";
  DIR* d = ::opendir(pasta.c_str());
  if (!d) return;
  std::vector<std::string> restos;
  while (const dirent* e = ::readdir(d)) {
    const std::string nome = e->d_name;
    if (nome.size() <= prefixo.size() + 4 || nome.compare(0, prefixo.size(), prefixo) != 0 ||
        nome.compare(nome.size() - 4, 4, ".tmp") != 0)
      continue;
    const std::string meio = nome.substr(prefixo.size(), nome.size() - prefixo.size() - 4);
    if (meio.find_first_not_of("0123456789.") != std::string::npos) continue;
    struct stat s;
    const std::string completo = pasta + "/" + nome;
    if (::lstat(completo.c_str(), &s) == 0 && S_ISREG(s.st_mode) && s.st_uid == ::geteuid())
      restos.push_back(completo);
  }
  ::closedir(d);
  for (const std::string& r : restos) Remove(r);
}

bool CriaPasta(const std::string& pasta) {
  if (pasta.empty() || EhPasta(pasta)) return true;
  const std::string acima = PastaDe(pasta);
  if (acima != pasta && !CriaPasta(acima)) return false;
  return ::mkdir(pasta.c_str(), 0700) == 0 || errno == EEXIST;
}

bool Existe(const std::string& caminho) {
  struct stat s;
  return ::lstat(caminho.c_str(), &s) == 0;
}

bool EhPasta(const std::string& caminho) {
  struct stat s;
  return ::stat(caminho.c_str(), &s) == 0 && S_ISDIR(s.st_mode);
}

std::string PastaDoUsuario() {
  if (PastaDoUsuarioJaExiste("XDG_RUNTIME_DIR")) {
    const std::string p = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/tarvic";
    if (PastaSegura(p)) return p;
  }
  std::string cache;
  if (const char* v = std::getenv("XDG_CACHE_HOME"); v && v[0] == '/')
    cache = v;
  else if (PastaDoUsuarioJaExiste("HOME"))
    cache = std::string(std::getenv("HOME")) + "/.cache";
  if (!cache.empty() && CriaPasta(cache) && PastaSegura(cache + "/tarvic"))
    return cache + "/tarvic";
  const std::string temporaria = PastaTemporariaDoSistema();
  const std::string propria = temporaria + "/tarvic-" + std::to_string(::geteuid());
  if (PastaSegura(propria)) return propria;
  // The usual name is taken (by another user, or by a link): a new folder.
  std::string modelo = propria + "-XXXXXX";
  std::vector<char> nome(modelo.begin(), modelo.end());
  nome.push_back('\0');
  if (::mkdtemp(nome.data())) return nome.data();
  return std::string();
}

}  // namespace arquivo
}  // namespace simulador
}  // namespace tarvic
