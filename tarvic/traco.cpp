// The call trace: configuration, the file and its cap, the masking of CPFs
// and CNPJs, and the writing of each kind of line.
#include "traco.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "nomes_da_lista.h"

namespace traco {

int estado = A_CONFIGURAR;

const uint16_t CP1252_80_9F[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                   0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

namespace {

constexpr uint64_t LIMITE_PADRAO = 10 * 1024 * 1024;
constexpr size_t VALORES_PESSOAIS = 16;

// Kept for the life of the process, never destroyed: a message shown while
// the library is unloaded may still reach the trace.
struct Traco {
  std::string arquivo;
  plataforma::Acrescimo *saida = nullptr;
  uint64_t tamanho = 0;
  uint64_t limite = LIMITE_PADRAO;
  const Reprodutor *reprodutor = nullptr;
  // Digits of the CPFs and CNPJs the host gave, masked wherever they appear.
  std::vector<std::string> pessoais;
};

Traco &T() {
  static Traco *t = new Traco;
  return *t;
}

bool Digito(char c) {
  return c >= '0' && c <= '9';
}

std::string Digitos(const std::string &texto) {
  std::string d;
  for (char c : texto)
    if (Digito(c)) d += c;
  return d;
}

void Desliga();
void Escreve(const Evento &evento);

bool RespondeSistema(const char *funcao, const std::vector<plataforma::Valor> &argumentos,
                     std::vector<plataforma::Valor> &resposta) {
  const Reprodutor *r = T().reprodutor;
  return r && r->Responde && r->Responde(funcao, argumentos, resposta);
}

std::string Escrito(const plataforma::Valor &v) {
  return v.texto ? Cita(v.valor, Mascara(v.valor, false)) : v.valor;
}

void RegistraSistema(const char *funcao, const std::vector<plataforma::Valor> &argumentos,
                     const std::vector<plataforma::Valor> &resposta) {
  // The message layer writes the message boxes with their answer.
  if (std::strcmp(funcao, "CaixaMensagem") == 0) return;
  try {
    Evento e;
    e.tipo = 'S';
    e.campos.push_back(funcao);
    for (const plataforma::Valor &v : argumentos) e.campos.push_back(Escrito(v));
    e.campos.push_back("->");
    for (const plataforma::Valor &v : resposta) e.campos.push_back(Escrito(v));
    Escreve(e);
  } catch (...) {
  }
}

const plataforma::Observador OBSERVADOR = {RespondeSistema, RegistraSistema};

// The system's path separator, the library's version and the program that
// writes the trace.
std::string Cabecalho(const char *como) {
  Evento e;
  e.tipo = '#';
  e.campos = {"tarvic", como, Cita(std::string(1, plataforma::Separador), {}),
              Cita(TARVIC_VERSAO_TEXTO, {}), Cita(plataforma::NomeDoPrograma(), {})};
  return Linha(e);
}

std::string Carimbo() {
  const plataforma::HoraSistema h = plataforma::MarcaDeTempo();
  char b[64];
  std::snprintf(b, sizeof b, "%04d-%02d-%02dT%02d:%02d:%02d.%03d %llu ", h.ano, h.mes, h.dia,
                h.hora, h.minuto, h.segundo, h.milissegundo,
                static_cast<unsigned long long>(plataforma::IdentificadorThread()));
  return b;
}

#if defined(_WIN32)
const char *const FIM_DE_LINHA = "\r\n";
#else
const char *const FIM_DE_LINHA = "\n";
#endif

bool Abre(const char *como) {
  Traco &t = T();
  t.saida = plataforma::AbreAcrescimo(t.arquivo, t.tamanho);
  if (!t.saida) return false;
  const std::string linha = Carimbo() + "# " + Cabecalho(como) + FIM_DE_LINHA;
  if (!plataforma::Acrescenta(t.saida, linha)) return false;
  t.tamanho += linha.size();
  return true;
}

void Liga(const std::string &arquivo) {
  Traco &t = T();
  t.arquivo = arquivo;
  t.reprodutor = nullptr;
  t.pessoais.clear();
  if (arquivo.empty() || !Abre("inicio")) {
    Desliga();
    return;
  }
  estado = LIGADO;
  plataforma::DefineObservador(&OBSERVADOR);
}

void Desliga() {
  Traco &t = T();
  plataforma::DefineObservador(nullptr);
  plataforma::FechaAcrescimo(t.saida);
  t.saida = nullptr;
  t.reprodutor = nullptr;
  estado = DESLIGADO;
}

// The full file goes to ".1" (one generation only) and a new one starts. A
// file that cannot be renamed (held open elsewhere) ends the trace rather
// than growing past its cap.
bool Renova() {
  Traco &t = T();
  plataforma::FechaAcrescimo(t.saida);
  t.saida = nullptr;
  return plataforma::Substitui(t.arquivo, t.arquivo + ".1") && Abre("continuacao");
}

void Escreve(const Evento &evento) {
  Traco &t = T();
  if (t.reprodutor) {
    t.reprodutor->Recebe(evento);
    return;
  }
  if (!t.saida) return;
  const std::string linha = Carimbo() + evento.tipo + " " + Linha(evento) + FIM_DE_LINHA;
  if ((t.tamanho > 0 && t.tamanho + linha.size() > t.limite && !Renova()) ||
      !plataforma::Acrescenta(t.saida, linha)) {
    Desliga();
    return;
  }
  t.tamanho += linha.size();
}

void Configura() {
  std::string arquivo = plataforma::VariavelAmbiente("TARVIC_LOG");
  if (arquivo.empty()) {
    const std::string pasta = plataforma::PastaDaBiblioteca();
    if (!pasta.empty()) arquivo = plataforma::LeIni(pasta + "tarvic.ini", "Log", "Arquivo", "");
  }
  Liga(arquivo);
}

void Registra(const std::string &digitos) {
  std::vector<std::string> &p = T().pessoais;
  if (digitos.size() < 11 || digitos.find_first_not_of('0') == std::string::npos) return;
  for (const std::string &d : p)
    if (d == digitos) return;
  if (p.size() == VALORES_PESSOAIS) p.erase(p.begin());
  p.push_back(digitos);
}

// Every digit of the text but the last two, unless all are zeros (the "no
// CPF" of some states).
void MascaraInteiro(const std::string &bytes, std::vector<bool> &mascara) {
  const std::string d = Digitos(bytes);
  if (d.find_first_not_of('0') == std::string::npos) return;
  size_t restam = d.size() > 2 ? d.size() - 2 : 0;
  for (size_t i = 0; i < bytes.size() && restam > 0; ++i)
    if (Digito(bytes[i])) {
      mascara[i] = true;
      --restam;
    }
}

bool Separa(char c) {
  return c == '.' || c == '-' || c == '/' || c == ' ';
}

// The digits of `valor` at `inicio`, plain or with one separator between
// digits, as a whole number of the text: the positions of its digits.
bool Casa(const std::string &bytes, size_t inicio, const std::string &valor,
          std::vector<size_t> &posicoes) {
  if (inicio > 0 && Digito(bytes[inicio - 1])) return false;
  posicoes.clear();
  size_t j = inicio;
  for (size_t k = 0; k < valor.size(); ++k) {
    if (k > 0 && j + 1 < bytes.size() && Separa(bytes[j]) && Digito(bytes[j + 1])) ++j;
    if (j >= bytes.size() || bytes[j] != valor[k]) return false;
    posicoes.push_back(j++);
  }
  return j >= bytes.size() || !Digito(bytes[j]);
}

std::string Cru(const Argumento &a) {
  return a.tipo == Argumento::TEXTO ? a.valor : std::string();
}

std::string Escrito(const Argumento &a, bool inteiro) {
  switch (a.tipo) {
    case Argumento::TEXTO:
      return Cita(a.valor, Mascara(a.valor, inteiro));
    case Argumento::NULO:
      return "null";
    case Argumento::BUFFER: {
      std::string t = "[" + std::to_string(a.capacidade) + "]";
      if (a.valor.find_first_not_of(' ') != std::string::npos)
        t += Cita(a.valor, Mascara(a.valor, inteiro));
      return t;
    }
    case Argumento::ENDERECO:
      return "&";
    default:
      return a.valor;
  }
}

bool NomePessoal(const std::string &nome) {
  std::string m;
  for (char c : nome) m += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return m == "CPF" || m == "CNPJ" || m == "IDCONSUMIDOR" || m.find("CPF") != std::string::npos ||
         m.find("CNPJ") != std::string::npos;
}

std::string Numero(double v) {
  if (std::isnan(v)) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    char b[32];
    std::snprintf(b, sizeof b, "nan:%016llx", static_cast<unsigned long long>(bits));
    return b;
  }
  if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
  char b[40];
  std::snprintf(b, sizeof b, "%.17g", v);
  return b;
}

Argumento ArgNumero(const std::string &n) {
  Argumento a;
  a.tipo = Argumento::NUMERO;
  a.valor = n;
  return a;
}

}  // namespace

// ---- Writing ----------------------------------------------------------------------

std::string Cita(const std::string &bytes, const std::vector<bool> &mascara) {
  std::string r = "\"";
  for (size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    char b[8];
    if (i < mascara.size() && mascara[i]) {
      r += '*';
    } else if (c == '"' || c == '\\' || c == '*') {
      r += '\\';
      r += static_cast<char>(c);
    } else if (c == '\n') {
      r += "\\n";
    } else if (c == '\r') {
      r += "\\r";
    } else if (c == '\t') {
      r += "\\t";
    } else if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0 && !CP1252_80_9F[c - 0x80])) {
      std::snprintf(b, sizeof b, "\\x%02X", c);
      r += b;
    } else if (c < 0x80) {
      r += static_cast<char>(c);
    } else {
      const unsigned u = c < 0xA0 ? CP1252_80_9F[c - 0x80] : c;
      if (u < 0x800) {
        r += static_cast<char>(0xC0 | (u >> 6));
      } else {
        r += static_cast<char>(0xE0 | (u >> 12));
        r += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      }
      r += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return r + "\"";
}

std::vector<bool> Mascara(const std::string &bytes, bool inteiro) {
  std::vector<bool> mascara(bytes.size(), false);
  if (inteiro) MascaraInteiro(bytes, mascara);
  std::vector<size_t> posicoes;
  for (const std::string &valor : T().pessoais)
    for (size_t i = 0; i < bytes.size(); ++i)
      if (bytes[i] == valor[0] && Casa(bytes, i, valor, posicoes))
        for (size_t k = 0; k + 2 < posicoes.size(); ++k) mascara[posicoes[k]] = true;
  return mascara;
}

std::string Linha(const Evento &evento) {
  std::string linha;
  for (const std::string &campo : evento.campos) {
    if (!linha.empty()) linha += ' ';
    linha += campo;
  }
  if (!evento.duracao.empty()) linha += " " + evento.duracao;
  return linha;
}

Argumento Arg(const char *texto) {
  Argumento a;
  if (texto) {
    a.tipo = Argumento::TEXTO;
    a.valor = texto;
  }
  return a;
}

Argumento Arg(int32_t numero) {
  return ArgNumero(std::to_string(numero));
}

Argumento Arg(unsigned char flag) {
  return ArgNumero(std::to_string(flag));
}

Argumento Arg(int64_t numero) {
  return ArgNumero(std::to_string(numero));
}

Argumento Arg(double numero) {
  return ArgNumero(Numero(numero));
}

// Money results are whole counts of ten-thousandths.
Argumento Arg(long double numero) {
  if (std::isfinite(numero) && numero == std::floor(numero) && std::fabs(numero) < 9.2e18L)
    return ArgNumero(std::to_string(static_cast<int64_t>(numero)));
  return ArgNumero(Numero(static_cast<double>(numero)));
}

Argumento Arg(ecf_TratadorMensagem tratador) {
  return ArgNumero(tratador ? "fn" : "null");
}

Argumento Arg(Vazio) {
  return ArgNumero("-");
}

// ---- Configuration -------------------------------------------------------------------

bool Ligado() {
  if (estado == A_CONFIGURAR) {
    try {
      Configura();
    } catch (...) {
      Desliga();
    }
  }
  return estado == LIGADO;
}

void Grava(const std::string &arquivo) {
  Desliga();
  Liga(arquivo);
}

void DefineLimite(uint64_t bytes) {
  T().limite = bytes ? bytes : LIMITE_PADRAO;
}

void Reproduz(const Reprodutor *reprodutor) {
  Desliga();
  if (!reprodutor) return;
  T().reprodutor = reprodutor;
  T().pessoais.clear();
  estado = LIGADO;
  plataforma::DefineObservador(&OBSERVADOR);
}

// ---- Events ----------------------------------------------------------------------------

uint64_t EntraExportacao(const char *nome, const std::vector<Argumento> &argumentos) {
  try {
    // The customer's CPF and the shop's CNPJ are masked from here on.
    const bool cpf = std::strcmp(nome, "set_CpfCliente") == 0;
    const bool cnpj = std::strcmp(nome, "set_ieCnpj") == 0;
    const size_t pessoal = cpf ? 0 : cnpj ? 1 : argumentos.size();
    if (pessoal < argumentos.size()) Registra(Digitos(Cru(argumentos[pessoal])));
    Evento e;
    e.tipo = '>';
    e.campos.push_back(nome);
    for (size_t i = 0; i < argumentos.size(); ++i)
      e.campos.push_back(Escrito(argumentos[i], i == pessoal));
    Escreve(e);
  } catch (...) {
  }
  return plataforma::Milissegundos();
}

void SaiExportacao(const char *nome, const Argumento &resultado, uint64_t inicio) {
  try {
    Evento e;
    e.tipo = '<';
    e.campos = {nome, Escrito(resultado, false), "ecf_Retorno=" + std::to_string(ecf_Retorno)};
    e.duracao = std::to_string(static_cast<uint32_t>(plataforma::Milissegundos() - inicio)) + "ms";
    Escreve(e);
  } catch (...) {
  }
}

void Mensagem(const std::string &texto, const std::string &titulo, uint32_t tipo, int botao) {
  try {
    Evento e;
    e.tipo = 'M';
    e.campos = {Cita(texto, Mascara(texto, false)), Cita(titulo, Mascara(titulo, false)),
                std::to_string(tipo), "->", std::to_string(botao)};
    Escreve(e);
  } catch (...) {
  }
}

namespace {

Argumento Antes(const Parametro &p) {
  Argumento a;
  switch (p.tipo) {
    case Parametro::TEXTO:
      return Arg(static_cast<const char *>(p.endereco));
    case Parametro::INTEIRO:
      return Arg(p.inteiro);
    case Parametro::ENDERECO:
      a.tipo = Argumento::ENDERECO;
      return a;
    case Parametro::BUFFER:
      if (!p.endereco) return a;
      a.tipo = Argumento::BUFFER;
      a.capacidade = std::strlen(static_cast<const char *>(p.endereco));
      a.valor.assign(static_cast<const char *>(p.endereco), a.capacidade);
      return a;
  }
  return a;
}

// What the driver left: a buffer without the blanks after its last
// character (they are the buffer's own), an integer.
void Depois(const Parametro &p, const Argumento &antes, std::vector<Argumento> &saidas) {
  if (p.tipo == Parametro::ENDERECO) {
    const int32_t *n = static_cast<const int32_t *>(p.endereco);
    saidas.push_back(n ? Arg(*n) : Arg(static_cast<const char *>(nullptr)));
  } else if (p.tipo == Parametro::BUFFER && antes.tipo == Argumento::BUFFER) {
    Argumento a;
    a.tipo = Argumento::TEXTO;
    a.valor.assign(static_cast<const char *>(p.endereco), antes.capacidade);
    const size_t fim = a.valor.find_last_not_of(' ');
    a.valor.erase(fim == std::string::npos ? 0 : fim + 1);
    saidas.push_back(a);
  }
}

void RegistraDriver(const Driver &driver, const std::vector<Argumento> &argumentos, int32_t codigo,
                    const std::vector<Argumento> &saidas) {
  try {
    const std::vector<std::string> nomes = tarvic::NomesDaLista(driver.parametros);
    std::vector<bool> pessoal(argumentos.size(), false);
    for (size_t i = 0; i < argumentos.size() && i < nomes.size(); ++i)
      pessoal[i] = nomes[i] == "cpf" || nomes[i] == "cnpj";
    // DLLG2 names its parameters: the value of one that carries a CPF or CNPJ.
    for (size_t i = 0; i + 1 < argumentos.size() && i < nomes.size(); ++i)
      if (nomes[i] == "nome" && NomePessoal(Cru(argumentos[i]))) pessoal[i + 1] = true;
    Evento e;
    e.tipo = 'D';
    e.campos = {driver.biblioteca, driver.nome};
    for (size_t i = 0; i < argumentos.size(); ++i)
      e.campos.push_back(Escrito(argumentos[i], pessoal[i]));
    e.campos.push_back("->");
    e.campos.push_back(std::to_string(codigo));
    size_t s = 0;
    for (size_t i = 0; i < argumentos.size() && s < saidas.size(); ++i)
      if (argumentos[i].tipo == Argumento::BUFFER || argumentos[i].tipo == Argumento::ENDERECO)
        e.campos.push_back(Escrito(saidas[s++], pessoal[i]));
    Escreve(e);
  } catch (...) {
  }
}

}  // namespace

int32_t DriverTracado(const Driver &driver, const Parametro *parametros, size_t quantos,
                      int32_t (*chama)(void *), void *contexto) {
  std::vector<Argumento> antes;
  try {
    for (size_t i = 0; i < quantos; ++i) antes.push_back(Antes(parametros[i]));
  } catch (...) {
    return chama(contexto);
  }
  const int32_t codigo = chama(contexto);
  try {
    std::vector<Argumento> saidas;
    for (size_t i = 0; i < quantos; ++i) Depois(parametros[i], antes[i], saidas);
    RegistraDriver(driver, antes, codigo, saidas);
  } catch (...) {
  }
  return codigo;
}

}  // namespace traco
