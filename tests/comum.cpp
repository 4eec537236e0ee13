#include "comum.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "estado_novo.h"
#include "plataforma.h"

std::vector<MensagemVista> TesteEcf::mensagens;
std::vector<int> TesteEcf::respostas;
std::vector<uint32_t> TesteEcf::pausas;

namespace {

int TARVIC_API Tratador(const char *texto, const char *titulo, uint32_t tipo) {
  TesteEcf::mensagens.push_back({texto ? texto : "", titulo ? titulo : "", tipo});
  if (tipo != plataforma::MB_PERGUNTA) return plataforma::ID_OK;
  if (TesteEcf::respostas.empty()) return plataforma::ID_NAO;
  const int r = TesteEcf::respostas.front();
  TesteEcf::respostas.erase(TesteEcf::respostas.begin());
  return r;
}

void PausaRegistrada(uint32_t ms) {
  TesteEcf::pausas.push_back(ms);
}

}  // namespace

const char *NomeDe(int32_t fabricante) {
  static const char *nomes[] = {"", "BEMATECH", "SWEDA", "DARUMA", "ELGIN", "DATAREGIS", "URANO"};
  return fabricante >= 0 && fabricante <= 6 ? nomes[fabricante] : "";
}

void TesteEcf::SetUp() {
  duble::Reinicia();
  ZeraEstadoDaBiblioteca();
  mensagens.clear();
  respostas.clear();
  pausas.clear();
  ecf_SetTratadorMensagem(Tratador);
  plataforma::DefinePausa(PausaRegistrada);
  const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::filesystem::path p = std::filesystem::temp_directory_path() / "tarvic-testes" /
                                  (std::string(info->test_suite_name()) + "." + info->name());
  std::filesystem::remove_all(p);
  std::filesystem::create_directories(p);
  pasta_ = p.string() + "/";
  EstadoEcf.ArquivoRetorno = pasta_ + "meuRetorno.ini";
}

void TesteEcf::TearDown() {
  ecf_SetTratadorMensagem(nullptr);
  plataforma::DefinePausa(nullptr);
}

void TesteEcf::Fabricante(int32_t fabricante) {
  EstadoEcf.Fabricante = fabricante;
  EstadoEcf.NomeFabricante = NomeDe(fabricante);
}

std::string TesteEcf::LeArquivo(const std::string &caminho) const {
  std::ifstream entrada(caminho, std::ios::binary);
  std::ostringstream texto;
  texto << entrada.rdbuf();
  return texto.str();
}

std::vector<std::string> TesteEcf::Textos() const {
  std::vector<std::string> r;
  for (const MensagemVista &m : mensagens) r.push_back(m.texto);
  return r;
}
