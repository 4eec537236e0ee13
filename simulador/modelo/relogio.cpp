#include "relogio.h"

#include "texto.h"

#include <ctime>

namespace tarvic {
namespace simulador {

namespace {

// Days since 01/01/1970 in the Gregorian calendar (H. Hinnant's algorithm).
int64_t diasDesdeEpoca(int64_t a, int64_t m, int64_t d) {
  a -= m <= 2;
  const int64_t era = (a >= 0 ? a : a - 399) / 400;
  const int64_t anoDaEra = a - era * 400;
  const int64_t diaDoAno = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t diaDaEra = anoDaEra * 365 + anoDaEra / 4 - anoDaEra / 100 + diaDoAno;
  return era * 146097 + diaDaEra - 719468;
}

void civilDeDias(int64_t z, int& ano, int& mes, int& dia) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t diaDaEra = z - era * 146097;
  const int64_t anoDaEra =
      (diaDaEra - diaDaEra / 1460 + diaDaEra / 36524 - diaDaEra / 146096) / 365;
  const int64_t diaDoAno = diaDaEra - (365 * anoDaEra + anoDaEra / 4 - anoDaEra / 100);
  const int64_t mp = (5 * diaDoAno + 2) / 153;
  dia = static_cast<int>(diaDoAno - (153 * mp + 2) / 5 + 1);
  mes = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  ano = static_cast<int>(anoDaEra + era * 400 + (mes <= 2));
}

int diasNoMes(int ano, int mes) {
  static const int dias[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (mes == 2 && ((ano % 4 == 0 && ano % 100 != 0) || ano % 400 == 0)) return 29;
  return dias[mes - 1];
}

}  // namespace

bool DataHora::valida() const {
  return ano >= 1970 && ano <= 9999 && mes >= 1 && mes <= 12 && dia >= 1 &&
         dia <= diasNoMes(ano, mes) && hora >= 0 && hora <= 23 && minuto >= 0 && minuto <= 59 &&
         segundo >= 0 && segundo <= 59;
}

int64_t DataHora::diaCivil() const {
  return diasDesdeEpoca(ano, mes, dia);
}

int64_t DataHora::segundos() const {
  return diaCivil() * 86400 + hora * 3600 + minuto * 60 + segundo;
}

DataHora DataHora::deSegundos(int64_t s) {
  int64_t dias = s >= 0 ? s / 86400 : (s - 86399) / 86400;
  int64_t resto = s - dias * 86400;
  DataHora d;
  civilDeDias(dias, d.ano, d.mes, d.dia);
  d.hora = static_cast<int>(resto / 3600);
  d.minuto = static_cast<int>(resto % 3600 / 60);
  d.segundo = static_cast<int>(resto % 60);
  return d;
}

std::string DataHora::textoData() const {
  return zeros(dia, 2) + "/" + zeros(mes, 2) + "/" + zeros(ano, 4);
}

std::string DataHora::texto() const {
  return textoData() + " " + zeros(hora, 2) + ":" + zeros(minuto, 2) + ":" + zeros(segundo, 2);
}

void Relogio::fixa(const DataHora& instante) {
  instanteFixo_ = instante;
  fixo_ = true;
}

DataHora Relogio::agora() const {
  DataHora base;
  if (fixo_) {
    base = instanteFixo_;
  } else {
    std::time_t t = std::time(nullptr);
    const std::tm* local = std::localtime(&t);
    if (local) {
      base.ano = local->tm_year + 1900;
      base.mes = local->tm_mon + 1;
      base.dia = local->tm_mday;
      base.hora = local->tm_hour;
      base.minuto = local->tm_min;
      base.segundo = local->tm_sec > 59 ? 59 : local->tm_sec;
    } else {
      base = DataHora::deSegundos(static_cast<int64_t>(t));
    }
  }
  return DataHora::deSegundos(base.segundos() + deslocamento_);
}

}  // namespace simulador
}  // namespace tarvic
