// Apoio dos testes dos drivers substitutos: cada teste tem sua pasta com os
// arquivos de estado (TARVIC_SIM_ESTADO aponta para ela), as impressoras do
// processo são recriadas sobre ela e o relógio fica parado num instante
// conhecido.
#pragma once

#include "impressora_fiscal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tarvic {
namespace simulador {

class PastaDeTeste {
 public:
  PastaDeTeste() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string nome = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : nome)
      if (c == '/') c = '_';
    caminho = (std::filesystem::temp_directory_path() /
               ("tarvic_sub_" + nome + "_" +
                std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
                  .string();
    std::filesystem::create_directories(caminho);
  }
  ~PastaDeTeste() {
    std::error_code ec;
    std::filesystem::remove_all(caminho, ec);
  }
  std::string caminho;
};

// A impressora do processo para o fabricante, nova, sobre a pasta do teste.
inline ImpressoraFiscal& ImpressoraNova(const std::string& pasta, const std::string& fabricante,
                                        const DataHora& agora = DataHora{2024, 3, 15, 10, 0, 0}) {
  setenv("TARVIC_SIM_ESTADO", pasta.c_str(), 1);
  unsetenv("TARVIC_SIM_FALHAS");
  descartaImpressorasDoProcesso();
  testing::internal::CaptureStderr();  // o aviso de memória nova da partida
  ImpressoraFiscal& ecf = impressoraDoProcesso(fabricante);
  testing::internal::GetCapturedStderr();
  ecf.fixaAgora(agora);
  return ecf;
}

inline std::string LeArquivo(const std::string& caminho) {
  std::ifstream f(caminho, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// O texto que o driver deixou num buffer: até o NUL, sem os brancos das pontas.
inline std::string Lido(const std::string& buffer) {
  std::string t = buffer.substr(0, buffer.find('\0'));
  const std::size_t inicio = t.find_first_not_of(' ');
  if (inicio == std::string::npos) return "";
  return t.substr(inicio, t.find_last_not_of(' ') - inicio + 1);
}

}  // namespace simulador
}  // namespace tarvic
