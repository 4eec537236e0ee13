#include "relogio.h"

#include "texto.h"
#include "tarvic/calendario.h"

#include <ctime>

namespace tarvic {
namespace simulador {

bool DataHora::valida() const {
  return ano >= 1970 && ano <= 9999 && mes >= 1 && mes <= 12 && dia >= 1 &&
         dia <= calendario::DiasNoMes(ano, mes) && hora >= 0 && hora <= 23 && minuto >= 0 &&
         minuto <= 59 && segundo >= 0 && segundo <= 59;
}

int64_t DataHora::diaCivil() const {
  return calendario::DiasDe(ano, mes, dia);
}

int64_t DataHora::segundos() const {
  return diaCivil() * 86400 + hora * 3600 + minuto * 60 + segundo;
}

DataHora DataHora::deSegundos(int64_t s) {
  int64_t dias = s >= 0 ? s / 86400 : (s - 86399) / 86400;
  int64_t resto = s - dias * 86400;
  DataHora d;
  const calendario::Data civil = calendario::DataDe(dias);
  d.ano = static_cast<int>(civil.ano);
  d.mes = static_cast<int>(civil.mes);
  d.dia = static_cast<int>(civil.dia);
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
    // The reentrant form: another thread may read the clock too (the
    // monitor's panel).
    std::tm local{};
#if defined(_WIN32)
    const bool lido = localtime_s(&local, &t) == 0;
#else
    const bool lido = localtime_r(&t, &local) != nullptr;
#endif
    if (lido) {
      base.ano = local.tm_year + 1900;
      base.mes = local.tm_mon + 1;
      base.dia = local.tm_mday;
      base.hora = local.tm_hour;
      base.minuto = local.tm_min;
      base.segundo = local.tm_sec > 59 ? 59 : local.tm_sec;
    } else {
      base = DataHora::deSegundos(static_cast<int64_t>(t));
    }
  }
  return DataHora::deSegundos(base.segundos() + deslocamento_);
}

}  // namespace simulador
}  // namespace tarvic
