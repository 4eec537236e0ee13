#include "argumentos.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace hostil {

namespace {

template <class T, size_t N>
T Um(Gerador &g, const T (&opcoes)[N]) {
  return opcoes[g() % N];
}

const char *const NUMEROS[] = {"-",
                               "+",
                               ",",
                               "1,2,3",
                               "99999999999999999999",
                               "-0",
                               "0,00005",
                               "1e10",
                               "0x10",
                               " 12,50 ",
                               "1.234.567,89",
                               "922337203685477,5807",
                               "-922337203685477,5808",
                               "9223372036854775807",
                               "-2147483648",
                               "2147483648",
                               "12,345678901234567890",
                               "1..2",
                               ",5",
                               "5,",
                               "--1",
                               "+-1",
                               "1 2",
                               "\t7\t",
                               "00000000000000000000000001",
                               "0,,0"};

const char *const DATAS[] = {
    "31/02/2015",        "00/00/0000",     "1/1/1",      "29/02/2100", "29/02/2000",  "99/99/99",
    "1/3/2015",          "01032015",       "32032015",   "2015-03-01", "01/01/10000", "-1/-1/-1",
    "1/3/2015 25:61:61", "1/3/2015 23:59", "31/12/9999", "//",         "1//2015",     "1/3/",
    "999999999/1/1",     "1/3/2015 ",      "24:00:00",   "23:59:59",   "12:",         "::"};

const char *const PALAVRAS[] = {"BEMATECH",
                                "SWEDA",
                                "DARUMA",
                                "ELGIN",
                                "DATAREGIS",
                                "URANO",
                                "C",
                                "S",
                                "D",
                                "A",
                                "$",
                                "%",
                                "I",
                                "F",
                                "N",
                                "FF",
                                "II",
                                "NN",
                                "RJ",
                                "MG",
                                "PB",
                                "DF",
                                "Dinheiro",
                                "Cartao",
                                "ABERTURA",
                                "Ticket;Credito;Cheque;Cartao;Carteira;",
                                ";;;",
                                "COO",
                                "EstadoFiscal",
                                "Indicadores",
                                "RELATORIO GERENCIAL",
                                "T",
                                "00000000000",
                                "0",
                                "1",
                                "-1",
                                "01"};

std::string Separadores(Gerador &g, size_t n) {
  static const char s[] = ",./:|; ";
  std::string t(n, ' ');
  for (char &c : t) c = s[g() % (sizeof s - 1)];
  return t;
}

std::string Aleatorio(Gerador &g, size_t n) {
  std::string t(n, ' ');
  for (char &c : t) c = CaractereHostil(g);
  return t;
}

}  // namespace

const char *Argumentos::Guarda(std::string texto) {
  textos_.push_back(std::move(texto));
  return textos_.back().c_str();
}

std::string Argumentos::TextoHostil() {
  switch (g_() % 10) {
    case 0:
      return "";
    case 1:
      return std::string(65536, "9,. A\xE7"[g_() % 6]);
    case 2:
      return Separadores(g_, 1 + g_() % 20);
    case 3:
      return Um(g_, NUMEROS);
    case 4:
      return Um(g_, DATAS);
    case 5:
    case 6:
      return Um(g_, PALAVRAS);
    default:
      return Aleatorio(g_, g_() % 300);
  }
}

// Names inside the sweep's folder, of a file or of a folder that is not
// there; never "." or "..", so that nothing is made or deleted outside it.
std::string Argumentos::Caminho() {
  std::string nome = "f";
  for (size_t n = g_() % 24; n > 0; --n) {
    const char c = CaractereHostil(g_);
    if (c != '/') nome += c;
  }
  switch (g_() % 6) {
    case 0:
      return pasta_ + "nao/existe/" + nome;
    case 1:
      return pasta_;
    case 2:
      return std::string(65536, 'a');
    case 3:
      return "";
    default:
      return pasta_ + nome;
  }
}

const char *Argumentos::Texto(const std::string &parametro) {
  if (g_() % 10 == 0) return nullptr;
  if (parametro == "arquivo" || parametro == "pastaBase") return Guarda(Caminho());
  if (exportacao == "ecf_Inicializa" && parametro == "nome" && g_() % 4 != 0) {
    // ecf_Inicializa mostly names the manufacturer of the round, in any case
    // and with blanks around it; other exports take a "nome" as any text.
    std::string nome = fabricante;
    if (g_() % 2)
      for (char &c : nome) c = static_cast<char>(c | 0x20);
    return Guarda(g_() % 2 ? " " + nome + " " : nome);
  }
  return Guarda(TextoHostil());
}

tarvic_Flag Argumentos::Flag() const {
  static const tarvic_Flag flags[] = {0, 1, 2, 255, 0x80};
  return g_() % 3 == 0 ? static_cast<tarvic_Flag>(g_()) : Um(g_, flags);
}

int32_t Argumentos::Inteiro() const {
  return InteiroHostil(g_);
}

tarvic_Moeda Argumentos::Moeda() const {
  static const tarvic_Moeda valores[] = {0,
                                         1,
                                         -1,
                                         10000,
                                         -10000,
                                         125000,
                                         std::numeric_limits<tarvic_Moeda>::min(),
                                         std::numeric_limits<tarvic_Moeda>::min() + 1,
                                         std::numeric_limits<tarvic_Moeda>::max(),
                                         std::numeric_limits<tarvic_Moeda>::max() - 1};
  return g_() % 3 == 0 ? static_cast<tarvic_Moeda>(g_()) : Um(g_, valores);
}

tarvic_DataHora Argumentos::Data() const {
  static const double valores[] = {std::numeric_limits<double>::quiet_NaN(),
                                   std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity(),
                                   0,
                                   -1.25,
                                   42064.5,
                                   1e300,
                                   -1e300,
                                   std::numeric_limits<double>::denorm_min(),
                                   std::numeric_limits<double>::max(),
                                   2958465.99999,
                                   -693593,
                                   3e6,
                                   -3e6};
  if (g_() % 3) return Um(g_, valores);
  return std::uniform_real_distribution<double>(-1e6, 1e6)(g_);
}

std::string Descreve(const char *texto) {
  if (!texto) return "NULL";
  const std::string t(texto);
  std::string r = "\"";
  for (size_t i = 0; i < t.size() && i < 80; ++i) {
    const unsigned char c = static_cast<unsigned char>(t[i]);
    if (c == '"' || c == '\\') {
      r += '\\';
      r += static_cast<char>(c);
    } else if (c < ' ' || c >= 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      r += hex;
    } else {
      r += static_cast<char>(c);
    }
  }
  r += '"';
  if (t.size() > 80) r += "...(" + std::to_string(t.size()) + " bytes)";
  return r;
}

std::string Descreve(tarvic_Flag flag) {
  return "flag " + std::to_string(flag);
}

std::string Descreve(int32_t valor) {
  return std::to_string(valor);
}

std::string Descreve(tarvic_Moeda valor) {
  return std::to_string(valor) + "LL";
}

std::string Descreve(tarvic_DataHora valor) {
  char texto[40];
  std::snprintf(texto, sizeof texto, "%.17g", valor);
  return texto;
}

std::string Descreve(ecf_TratadorMensagem tratador) {
  return tratador ? "tratador" : "NULL";
}

}  // namespace hostil
