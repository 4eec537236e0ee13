// The library's questions to the system, passed on to the system itself
// (plataforma::so); while the call trace records, each one is shown to its
// observer, which in the replay answers in the system's place.
#include <cstdio>
#include <cstdlib>

#include "plataforma_so.h"

namespace plataforma {

#if defined(_WIN32)
char Separador = '\\';
#else
char Separador = '/';
#endif

namespace {

const Observador *observador = nullptr;

Valor Texto(const std::string &texto) {
  return {true, texto};
}

Valor Numero(int64_t numero) {
  return {false, std::to_string(numero)};
}

// Reads an answer back; what is missing or malformed is false, 0 or empty.
std::string TextoDe(const std::vector<Valor> &resposta, size_t i) {
  return i < resposta.size() ? resposta[i].valor : std::string();
}

int64_t NumeroDe(const std::vector<Valor> &resposta, size_t i) {
  const std::string t = TextoDe(resposta, i);
  char *fim = nullptr;
  const long long n = std::strtoll(t.c_str(), &fim, 10);
  return fim && *fim == '\0' ? n : 0;
}

// The observer's answer, or the system's, shown to the observer.
template <class Sistema>
std::vector<Valor> Observa(const char *funcao, const std::vector<Valor> &argumentos,
                           Sistema sistema) {
  const Observador *o = observador;
  std::vector<Valor> resposta;
  if (!o->Responde || !o->Responde(funcao, argumentos, resposta)) resposta = sistema();
  if (o->Registra) o->Registra(funcao, argumentos, resposta);
  return resposta;
}

template <class Sistema>
bool ObservaBooleano(const char *funcao, const std::vector<Valor> &argumentos, Sistema sistema) {
  return NumeroDe(
             Observa(funcao, argumentos, [&] { return std::vector<Valor>{Numero(sistema())}; }),
             0) != 0;
}

template <class Sistema>
std::string ObservaTexto(const char *funcao, const std::vector<Valor> &argumentos,
                         Sistema sistema) {
  return TextoDe(Observa(funcao, argumentos, [&] { return std::vector<Valor>{Texto(sistema())}; }),
                 0);
}

}  // namespace

void DefineObservador(const Observador *o) {
  observador = o;
}

int CaixaMensagem(const std::string &texto, const std::string &titulo, uint32_t tipo) {
  if (!observador) return so::CaixaMensagem(texto, titulo, tipo);
  const auto r = Observa("CaixaMensagem", {Texto(texto), Texto(titulo), Numero(tipo)}, [&] {
    return std::vector<Valor>{Numero(so::CaixaMensagem(texto, titulo, tipo))};
  });
  return static_cast<int>(NumeroDe(r, 0));
}

void LiberaEntrada() {
  so::LiberaEntrada();
}

void ProcessaMensagens() {
  if (!observador) return so::ProcessaMensagens();
  Observa("ProcessaMensagens", {}, [] {
    so::ProcessaMensagens();
    return std::vector<Valor>{};
  });
}

void Pausa(uint32_t milissegundos) {
  so::Pausa(milissegundos);
}

void DefinePausa(FuncaoPausa funcao) {
  so::DefinePausa(funcao);
}

std::string VariavelAmbiente(const std::string &nome) {
  if (!observador) return so::VariavelAmbiente(nome);
  return ObservaTexto("VariavelAmbiente", {Texto(nome)},
                      [&] { return so::VariavelAmbiente(nome); });
}

bool PastaDoSistema(std::string &pasta) {
  if (!observador) return so::PastaDoSistema(pasta);
  const auto r = Observa("PastaDoSistema", {}, [] {
    std::string p;
    const bool ok = so::PastaDoSistema(p);
    return std::vector<Valor>{Numero(ok), Texto(p)};
  });
  pasta = TextoDe(r, 1);
  return NumeroDe(r, 0) != 0;
}

std::string PastaTemporaria() {
  if (!observador) return so::PastaTemporaria();
  return ObservaTexto("PastaTemporaria", {}, [] { return so::PastaTemporaria(); });
}

std::string PastaDoExecutavel() {
  if (!observador) return so::PastaDoExecutavel();
  return ObservaTexto("PastaDoExecutavel", {}, [] { return so::PastaDoExecutavel(); });
}

bool ArquivoExiste(const std::string &caminho) {
  if (!observador) return so::ArquivoExiste(caminho);
  return ObservaBooleano("ArquivoExiste", {Texto(caminho)},
                         [&] { return so::ArquivoExiste(caminho); });
}

bool PastaExiste(const std::string &caminho) {
  if (!observador) return so::PastaExiste(caminho);
  return ObservaBooleano("PastaExiste", {Texto(caminho)}, [&] { return so::PastaExiste(caminho); });
}

bool CriaPasta(const std::string &caminho) {
  if (!observador) return so::CriaPasta(caminho);
  return ObservaBooleano("CriaPasta", {Texto(caminho)}, [&] { return so::CriaPasta(caminho); });
}

bool ApagaArquivo(const std::string &caminho) {
  if (!observador) return so::ApagaArquivo(caminho);
  return ObservaBooleano("ApagaArquivo", {Texto(caminho)},
                         [&] { return so::ApagaArquivo(caminho); });
}

bool CopiaArquivo(const std::string &origem, const std::string &destino) {
  if (!observador) return so::CopiaArquivo(origem, destino);
  return ObservaBooleano("CopiaArquivo", {Texto(origem), Texto(destino)},
                         [&] { return so::CopiaArquivo(origem, destino); });
}

bool MoveArquivo(const std::string &origem, const std::string &destino) {
  if (!observador) return so::MoveArquivo(origem, destino);
  return ObservaBooleano("MoveArquivo", {Texto(origem), Texto(destino)},
                         [&] { return so::MoveArquivo(origem, destino); });
}

bool AcrescentaArquivo(const std::string &caminho, const std::string &texto) {
  if (!observador) return so::AcrescentaArquivo(caminho, texto);
  return ObservaBooleano("AcrescentaArquivo", {Texto(caminho), Texto(texto)},
                         [&] { return so::AcrescentaArquivo(caminho, texto); });
}

std::vector<std::string> ListaPasta(const std::string &pasta, const std::string &mascara,
                                    bool pastas) {
  if (!observador) return so::ListaPasta(pasta, mascara, pastas);
  const auto r = Observa("ListaPasta", {Texto(pasta), Texto(mascara), Numero(pastas)}, [&] {
    std::vector<Valor> nomes;
    for (const std::string &nome : so::ListaPasta(pasta, mascara, pastas))
      nomes.push_back(Texto(nome));
    return nomes;
  });
  std::vector<std::string> nomes;
  for (const Valor &v : r) nomes.push_back(v.valor);
  return nomes;
}

bool EscreveIni(const std::string &arquivo, const std::string &secao, const std::string &chave,
                const std::string &valor) {
  if (!observador) return so::EscreveIni(arquivo, secao, chave, valor);
  return ObservaBooleano("EscreveIni", {Texto(arquivo), Texto(secao), Texto(chave), Texto(valor)},
                         [&] { return so::EscreveIni(arquivo, secao, chave, valor); });
}

std::string LeIni(const std::string &arquivo, const std::string &secao, const std::string &chave,
                  const std::string &padrao) {
  if (!observador) return so::LeIni(arquivo, secao, chave, padrao);
  return ObservaTexto("LeIni", {Texto(arquivo), Texto(secao), Texto(chave), Texto(padrao)},
                      [&] { return so::LeIni(arquivo, secao, chave, padrao); });
}

HoraSistema HoraLocal() {
  if (!observador) return so::HoraLocal();
  const auto r = Observa("HoraLocal", {}, [] {
    const HoraSistema h = so::HoraLocal();
    return std::vector<Valor>{Numero(h.ano),         Numero(h.mes),    Numero(h.dia),
                              Numero(h.hora),        Numero(h.minuto), Numero(h.segundo),
                              Numero(h.milissegundo)};
  });
  HoraSistema h;
  int *campos[] = {&h.ano, &h.mes, &h.dia, &h.hora, &h.minuto, &h.segundo, &h.milissegundo};
  for (size_t i = 0; i < 7; ++i) *campos[i] = static_cast<int>(NumeroDe(r, i));
  return h;
}

void *CarregaBiblioteca(const std::string &nome) {
  return so::CarregaBiblioteca(nome);
}

void *FuncaoDaBiblioteca(void *biblioteca, const std::string &nome) {
  return so::FuncaoDaBiblioteca(biblioteca, nome);
}

bool LiberaBiblioteca(void *biblioteca, uint32_t *erro) {
  return so::LiberaBiblioteca(biblioteca, erro);
}

void EntraExportacao() {
  so::EntraExportacao();
}

void SaiExportacao() {
  so::SaiExportacao();
}

std::string PastaDaBiblioteca() {
  return so::PastaDaBiblioteca();
}

std::string NomeDoPrograma() {
  return so::NomeDoPrograma();
}

HoraSistema MarcaDeTempo() {
  return so::HoraLocal();
}

uint64_t Milissegundos() {
  return so::Milissegundos();
}

uint64_t IdentificadorThread() {
  return so::IdentificadorThread();
}

struct Acrescimo {
  std::FILE *arquivo;
};

Acrescimo *AbreAcrescimo(const std::string &caminho, uint64_t &tamanho) {
  std::FILE *f = std::fopen(caminho.c_str(), "ab");
  if (!f) return nullptr;
  std::fseek(f, 0, SEEK_END);
  const long fim = std::ftell(f);
  tamanho = fim > 0 ? static_cast<uint64_t>(fim) : 0;
  return new Acrescimo{f};
}

bool Acrescenta(Acrescimo *a, const std::string &texto) {
  return a && std::fwrite(texto.data(), 1, texto.size(), a->arquivo) == texto.size() &&
         std::fflush(a->arquivo) == 0;
}

void FechaAcrescimo(Acrescimo *a) {
  if (!a) return;
  std::fclose(a->arquivo);
  delete a;
}

bool Substitui(const std::string &origem, const std::string &destino) {
  std::remove(destino.c_str());
  return std::rename(origem.c_str(), destino.c_str()) == 0;
}

}  // namespace plataforma
