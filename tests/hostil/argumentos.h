// Hostile host arguments for every kind of export parameter: null and empty
// texts, 64 KiB texts, separators only, malformed and extreme numbers and
// dates, money at the 64-bit limits, NaN and infinite dates, flags other than
// 0 and 1, extreme integers. Paths stay inside the sweep's own folder.
#pragma once

#include <deque>
#include <string>

#include "respostas.h"
#include "tarvic.h"

namespace hostil {

class Argumentos {
 public:
  Argumentos(Gerador &g, const std::string &pasta, ecf_TratadorMensagem tratador)
      : g_(g), pasta_(pasta), tratador_(tratador) {}

  // The manufacturer that ecf_Inicializa names most of the time.
  std::string fabricante;
  // The export whose arguments are being made.
  std::string exportacao;

  // Texts made for the current call; they live until the next Esquece.
  void Esquece() { textos_.clear(); }

  const char *Texto(const std::string &parametro);
  tarvic_Flag Flag() const;
  int32_t Inteiro() const;
  tarvic_Moeda Moeda() const;
  tarvic_DataHora Data() const;
  ecf_TratadorMensagem Tratador() const { return tratador_; }

 private:
  std::string TextoHostil();
  std::string Caminho();
  const char *Guarda(std::string texto);

  Gerador &g_;
  std::string pasta_;
  ecf_TratadorMensagem tratador_;
  std::deque<std::string> textos_;
};

// A text as the call journal shows it: quoted, control and high bytes
// escaped, long ones cut.
std::string Descreve(const char *texto);
std::string Descreve(tarvic_Flag flag);
std::string Descreve(int32_t valor);
std::string Descreve(tarvic_Moeda valor);
std::string Descreve(tarvic_DataHora valor);
std::string Descreve(ecf_TratadorMensagem tratador);

}  // namespace hostil
