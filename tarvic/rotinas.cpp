// Text, number and date routines shared by every export, and the return file.
#include <cmath>
#include <cstdlib>

#include "calendario.h"
#include "estado.h"
#include "fronteira.h"
#include "plataforma.h"

TEstadoEcf EstadoEcf;

void IniciaExportacao() noexcept {
  EstadoEcf.ContextoMensagem.clear();
}

// ---- Texts ----------------------------------------------------------------

std::string Texto(const char *texto) {
  return texto ? std::string(texto) : std::string();
}

std::string Espacos(int n) {
  return n > 0 ? std::string(static_cast<size_t>(n), ' ') : "";
}

std::string Aparar(const std::string &texto) {
  size_t inicio = 0, fim = texto.size();
  while (inicio < fim && static_cast<unsigned char>(texto[inicio]) <= ' ') ++inicio;
  while (fim > inicio && static_cast<unsigned char>(texto[fim - 1]) <= ' ') --fim;
  return texto.substr(inicio, fim - inicio);
}

std::string Maiusculas(const std::string &texto) {
  std::string r = texto;
  for (char &c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

std::string EntreAspas(const std::string &texto) {
  std::string r = "'";
  for (char c : texto) {
    r += c;
    if (c == '\'') r += '\'';
  }
  return r + "'";
}

std::string LeBuffer(const std::string &buffer) {
  return Aparar(buffer.substr(0, buffer.find('\0')));
}

std::string IncluiSeparador(const std::string &pasta) {
  if (!pasta.empty() && pasta.back() == plataforma::Separador) return pasta;
  return pasta + plataforma::Separador;
}

std::string PastaDoCaminho(const std::string &caminho) {
  const char *separadores = plataforma::Separador == '\\' ? "\\/:" : "/";
  const size_t posicao = caminho.find_last_of(separadores);
  return posicao == std::string::npos ? std::string() : caminho.substr(0, posicao + 1);
}

// ---- Numbers ----------------------------------------------------------------

namespace {

bool Digito(char c) {
  return c >= '0' && c <= '9';
}

// Reads [sign] digits [, digits] into ten-thousandths, rounding further
// decimals half away from zero. False when the text is anything else.
bool LeDecimal(const std::string &texto, Moeda &valor) {
  using U = unsigned long long;
  size_t i = 0;
  bool negativo = false;
  if (i < texto.size() && (texto[i] == '-' || texto[i] == '+')) negativo = texto[i++] == '-';
  U inteiro = 0;
  int digitos = 0;
  for (; i < texto.size() && Digito(texto[i]); ++i, ++digitos) {
    inteiro = inteiro * 10 + static_cast<U>(texto[i] - '0');
    if (inteiro > static_cast<U>(INT64_MAX / UNIDADE_MOEDA)) return false;
  }
  U fracao = 0;
  int casas = 0;
  bool arredonda = false;
  if (i < texto.size() && texto[i] == ',') {
    for (++i; i < texto.size() && Digito(texto[i]); ++i, ++digitos) {
      if (casas < 4) {
        fracao = fracao * 10 + static_cast<U>(texto[i] - '0');
        ++casas;
      } else if (casas == 4) {
        arredonda = texto[i] >= '5';
        ++casas;
      }
    }
  }
  if (digitos == 0 || i != texto.size()) return false;
  for (; casas < 4; ++casas) fracao *= 10;
  const U total = inteiro * UNIDADE_MOEDA + fracao + (arredonda ? 1 : 0);
  if (total > static_cast<U>(INT64_MAX)) return false;
  valor = negativo ? -static_cast<Moeda>(total) : static_cast<Moeda>(total);
  return true;
}

}  // namespace

int32_t TextoParaInteiro(const std::string &texto) {
  const std::string t = Aparar(texto);
  if (t.empty()) return 0;
  size_t i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
  if (i == t.size()) throw ErroConversao("'" + t + "' não é um valor inteiro válido");
  int64_t v = 0;
  for (; i < t.size(); ++i) {
    if (!Digito(t[i]) || v > INT32_MAX + 1LL)
      throw ErroConversao("'" + t + "' não é um valor inteiro válido");
    v = v * 10 + (t[i] - '0');
  }
  if (t[0] == '-') v = -v;
  if (v > INT32_MAX || v < INT32_MIN)
    throw ErroConversao("'" + t + "' não é um valor inteiro válido");
  return static_cast<int32_t>(v);
}

Moeda TextoParaValor(const std::string &texto) {
  const std::string aparado = Aparar(texto);
  if (aparado.empty()) return 0;
  // Only a blank text counts as zero: separators alone (".") are no amount.
  std::string semMilhar;
  for (char c : aparado)
    if (c != '.') semMilhar += c;
  semMilhar = Aparar(semMilhar);
  Moeda valor = 0;
  if (!LeDecimal(semMilhar, valor))
    throw ErroConversao("'" + texto + "' não é um valor monetário válido");
  return valor;
}

Moeda TextoParaMoeda(const std::string &texto) {
  Moeda valor = 0;
  if (!LeDecimal(Aparar(texto), valor))
    throw ErroConversao("'" + texto + "' não é um valor monetário válido");
  return valor;
}

std::string FormataValor(Moeda valor, int casas) {
  using U = unsigned long long;
  if (casas < 0) casas = 0;
  if (casas > 4) casas = 4;
  U passo = 1, divisor = 1;
  for (int i = casas; i < 4; ++i) passo *= 10;
  for (int i = 0; i < casas; ++i) divisor *= 10;
  // Rounds half away from zero to the wanted decimals.
  const bool negativo = valor < 0;
  const U absoluto = negativo ? 0ULL - static_cast<U>(valor) : static_cast<U>(valor);
  U unidades = absoluto / passo;
  if (passo > 1 && (absoluto % passo) * 2 >= passo) ++unidades;
  std::string texto = (negativo && unidades != 0 ? "-" : "") + std::to_string(unidades / divisor);
  if (casas > 0) {
    const std::string fracao = std::to_string(unidades % divisor);
    texto += "," + std::string(casas - fracao.size(), '0') + fracao;
  }
  return texto;
}

std::string FormataInteiro(int64_t valor, int digitos) {
  const bool negativo = valor < 0;
  const unsigned long long absoluto = negativo ? 0ULL - static_cast<unsigned long long>(valor)
                                               : static_cast<unsigned long long>(valor);
  std::string d = std::to_string(absoluto);
  if (static_cast<int>(d.size()) < digitos) d.insert(0, digitos - d.size(), '0');
  return (negativo ? "-" : "") + d;
}

Moeda MultiplicaDivide(Moeda a, Moeda b, Moeda divisor) {
  if (divisor == 0) throw ErroConversao("divisão por zero");
  Moeda produto;
  if (__builtin_mul_overflow(a, b, &produto)) {
    const long double r = static_cast<long double>(a) * b / divisor;
    const long double arredondado = r < 0 ? r - 0.5L : r + 0.5L;
    // Amounts a printer could never hold: refuse rather than wrap around.
    if (!(arredondado > -9223372036854775808.0L && arredondado < 9223372036854775808.0L))
      throw ErroConversao("valor fora do limite");
    return static_cast<Moeda>(arredondado);
  }
  // Worked on magnitudes, so that neither INT64_MIN nor a divisor near the
  // limit overflows while rounding half away from zero.
  using U = unsigned long long;
  const bool negativo = (produto < 0) != (divisor < 0);
  const U p = produto < 0 ? 0ULL - static_cast<U>(produto) : static_cast<U>(produto);
  const U d = divisor < 0 ? 0ULL - static_cast<U>(divisor) : static_cast<U>(divisor);
  U q = p / d;
  const U resto = p % d;
  if (resto >= d - resto) ++q;
  if (negativo) {
    if (q > static_cast<U>(INT64_MAX) + 1ULL) throw ErroConversao("valor fora do limite");
    return static_cast<Moeda>(0ULL - q);
  }
  if (q > static_cast<U>(INT64_MAX)) throw ErroConversao("valor fora do limite");
  return static_cast<Moeda>(q);
}

Moeda CentavosParaMoeda(int64_t centavos) {
  Moeda valor;
  if (__builtin_mul_overflow(centavos, UNIDADE_MOEDA / 100, &valor))
    throw ErroConversao("valor fora do limite");
  return valor;
}

// ---- Dates ------------------------------------------------------------------

namespace {

namespace calendario = tarvic::calendario;

int AnoAtual() {
  int ano, mes, dia;
  DecodificaData(Agora(), ano, mes, dia);
  return ano;
}

// Splits "a<sep>b<sep>c" into up to three runs of digits.
bool PartesNumericas(const std::string &texto, char separador, int partes[3], int larguras[3],
                     int &quantas) {
  quantas = 0;
  size_t i = 0;
  while (i < texto.size()) {
    if (quantas == 3) return false;
    int valor = 0, largura = 0;
    while (i < texto.size() && Digito(texto[i]) && largura < 9) {
      valor = valor * 10 + (texto[i++] - '0');
      ++largura;
    }
    if (largura == 0) return false;
    partes[quantas] = valor;
    larguras[quantas++] = largura;
    if (i < texto.size()) {
      if (texto[i] != separador) return false;
      if (++i == texto.size()) return false;
    }
  }
  return true;
}

}  // namespace

DataHora CodificaData(int ano, int mes, int dia) {
  return static_cast<DataHora>(calendario::DiasDe(ano, mes, dia) - calendario::DIA_ZERO);
}

DataHora CodificaHora(int hora, int minuto, int segundo, int milissegundo) {
  return (((hora * 60.0 + minuto) * 60.0 + segundo) * 1000.0 + milissegundo) / 86400000.0;
}

bool DecodificaData(DataHora data, int &ano, int &mes, int &dia) {
  if (!std::isfinite(data) || std::fabs(data) > 3e6) {
    ano = mes = dia = 0;
    return false;
  }
  // The whole part is the day and the fraction, taken without its sign, the
  // time: -1.25 is 29/12/1899 06:00, as DecodificaHora reads it.
  const calendario::Data d =
      calendario::DataDe(static_cast<int64_t>(std::trunc(data)) + calendario::DIA_ZERO);
  ano = static_cast<int>(d.ano);
  mes = static_cast<int>(d.mes);
  dia = static_cast<int>(d.dia);
  return true;
}

void DecodificaHora(DataHora data, int &hora, int &minuto, int &segundo) {
  double fracao = std::isfinite(data) ? std::fabs(data - std::trunc(data)) : 0.0;
  int64_t ms = std::llround(fracao * 86400000.0);
  if (ms >= 86400000) ms = 86399999;
  int64_t s = ms / 1000;
  hora = static_cast<int>(s / 3600);
  minuto = static_cast<int>(s / 60 % 60);
  segundo = static_cast<int>(s % 60);
}

DataHora Agora() {
  const plataforma::HoraSistema h = plataforma::HoraLocal();
  return CodificaData(h.ano, h.mes, h.dia) + CodificaHora(h.hora, h.minuto, h.segundo);
}

DataHora TextoParaData(const std::string &texto) {
  const std::string t = Aparar(texto);
  int partes[3], larguras[3], quantas = 0;
  if (!PartesNumericas(t, '/', partes, larguras, quantas) || quantas != 3)
    throw ErroConversao("'" + t + "' não é uma data válida");
  int dia = partes[0], mes = partes[1], ano = partes[2];
  if (larguras[2] <= 2) {
    // Two-digit years fall in the hundred years that begin fifty years ago.
    const int inicio = AnoAtual() - 50;
    ano += inicio / 100 * 100;
    if (ano < inicio) ano += 100;
  }
  if (larguras[2] > 4 || ano < 1 || mes < 1 || mes > 12 || dia < 1 ||
      dia > calendario::DiasNoMes(ano, mes))
    throw ErroConversao("'" + t + "' não é uma data válida");
  return CodificaData(ano, mes, dia);
}

DataHora TextoParaHora(const std::string &texto) {
  const std::string t = Aparar(texto);
  int partes[3] = {0, 0, 0}, larguras[3], quantas = 0;
  if (!PartesNumericas(t, ':', partes, larguras, quantas) || quantas < 2 || partes[0] > 23 ||
      partes[1] > 59 || partes[2] > 59)
    throw ErroConversao("'" + t + "' não é um horário válido");
  return CodificaHora(partes[0], partes[1], partes[2]);
}

std::string FormataDataHora(const std::string &padrao, DataHora data) {
  int ano, mes, dia, hora, minuto, segundo;
  DecodificaData(data, ano, mes, dia);
  DecodificaHora(data, hora, minuto, segundo);
  std::string r;
  for (size_t i = 0; i < padrao.size();) {
    const char c = static_cast<char>(padrao[i] | 0x20);
    size_t n = 1;
    while (i + n < padrao.size() && static_cast<char>(padrao[i + n] | 0x20) == c) ++n;
    switch (c) {
      case 'd':
        r += FormataInteiro(dia, n >= 2 ? 2 : 1);
        break;
      case 'm':
        r += FormataInteiro(mes, n >= 2 ? 2 : 1);
        break;
      case 'y':
        r += n >= 3 ? FormataInteiro(ano, 4) : FormataInteiro(ano % 100, 2);
        break;
      case 'h':
        r += FormataInteiro(hora, n >= 2 ? 2 : 1);
        break;
      case 'n':
        r += FormataInteiro(minuto, n >= 2 ? 2 : 1);
        break;
      case 's':
        r += FormataInteiro(segundo, n >= 2 ? 2 : 1);
        break;
      default:
        r.append(padrao, i, n);
        break;
    }
    i += n;
  }
  return r;
}

// ---- Files ----------------------------------------------------------------------

bool ApagaArquivo(const std::string &caminho) {
  // A file can outlive one deletion while another process still holds it.
  for (int tentativa = 0; tentativa < 5 && plataforma::ArquivoExiste(caminho); ++tentativa)
    if (!plataforma::ApagaArquivo(caminho)) break;
  return !plataforma::ArquivoExiste(caminho);
}

// ---- Return file ---------------------------------------------------------------

bool GravaRetorno(const std::string &chave, const std::string &valor) {
  if (!Aparar(valor).empty())
    AcessaIni(EstadoEcf.ArquivoRetorno, "ECF", Maiusculas(Aparar(chave)), valor);
  return true;
}

void AcessaIni(const std::string &arquivo, const std::string &secao, const std::string &chave,
               const std::string &valor) {
  if (valor.empty()) return;
  if (!plataforma::EscreveIni(arquivo, secao, chave, valor))
    Mensagem("Falha ao acessar \"" + arquivo + "\" em dll de ecf.");
}

extern "C" {
int32_t ecf_Retorno = 0;
}
