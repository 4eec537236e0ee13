// Support of the stand-in drivers' tests: each test has its own folder for
// the state files (TARVIC_SIM_ESTADO points to it), the process's printers
// are made again over it and the clock stands still at a known instant.
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

// The process's printer for the manufacturer, new, over the test's folder.
inline ImpressoraFiscal& ImpressoraNova(const std::string& pasta, const std::string& fabricante,
                                        const DataHora& agora = DataHora{2024, 3, 15, 10, 0, 0}) {
  setenv("TARVIC_SIM_ESTADO", pasta.c_str(), 1);
  unsetenv("TARVIC_SIM_FALHAS");
  descartaImpressorasDoProcesso();
  testing::internal::CaptureStderr();  // the start-up's warning of a new memory
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

// The text the driver left in a buffer: up to the NUL, without blanks at the ends.
inline std::string Lido(const std::string& buffer) {
  std::string t = buffer.substr(0, buffer.find('\0'));
  const std::size_t inicio = t.find_first_not_of(' ');
  if (inicio == std::string::npos) return "";
  return t.substr(inicio, t.find_last_not_of(' ') - inicio + 1);
}

}  // namespace simulador
}  // namespace tarvic
