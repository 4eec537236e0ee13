// The simulator's files on a machine shared with other users: the user's
// own folder by default, links that others plant are never written through,
// and a fault file that is not the user's injects nothing.
#include "apoio.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

namespace fs = std::filesystem;

namespace tarvic {
namespace simulador {
namespace {

const char* const Variaveis[] = {"XDG_RUNTIME_DIR", "XDG_CACHE_HOME", "HOME", "TMPDIR",
                                 "TARVIC_SIM_ESTADO"};

class ArquivosSeguros : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* v : Variaveis) {
      const char* valor = std::getenv(v);
      guardadas[v] = valor ? std::optional<std::string>(valor) : std::nullopt;
      unsetenv(v);
    }
    pasta = (fs::temp_directory_path() /
             ("tarvic_seguros_" +
              std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
                .string();
    fs::create_directories(pasta);
    vitima = pasta + "/vitima";
    std::ofstream(vitima) << "dados do usuario";
  }
  void TearDown() override {
    for (const auto& v : guardadas)
      v.second ? setenv(v.first.c_str(), v.second->c_str(), 1) : unsetenv(v.first.c_str());
    std::error_code ec;
    fs::remove_all(pasta, ec);
  }
  std::string Pasta(const std::string& nome) {
    fs::create_directories(pasta + "/" + nome);
    return pasta + "/" + nome;
  }
  void Planta(const std::string& caminho) { fs::create_symlink(vitima, caminho); }
  bool VitimaIntacta() const {
    std::ifstream f(vitima);
    std::string t;
    std::getline(f, t);
    return t == "dados do usuario";
  }
  static void Vende(ImpressoraFiscal& e) {
    e.fixaAgora(DataHora{2024, 3, 15, 10, 0, 0});
    ImpressoraFiscal::Item i;
    i.descricao = "PRODUTO";
    i.aliquota = "T1800";
    i.precoUnitarioMilesimos = 1000;
    ASSERT_EQ(e.abreCupom(), Resultado::Ok);
    ASSERT_EQ(e.vendeItem(i), Resultado::Ok);
    ASSERT_EQ(e.iniciaFechamento(), Resultado::Ok);
    ASSERT_EQ(e.efetuaPagamento("Dinheiro", 100), Resultado::Ok);
    ASSERT_EQ(e.encerraCupom(), Resultado::Ok);
  }
  static int Modo(const std::string& p) {
    struct stat s;
    return ::lstat(p.c_str(), &s) == 0 ? static_cast<int>(s.st_mode & 0777) : -1;
  }

  std::map<std::string, std::optional<std::string>> guardadas;
  std::string pasta, vitima;
};

TEST_F(ArquivosSeguros, PastaPadraoEDoUsuario) {
  setenv("XDG_RUNTIME_DIR", Pasta("run").c_str(), 1);
  EXPECT_EQ(arquivo::PastaDoUsuario(), pasta + "/run/tarvic");
  EXPECT_EQ(Modo(pasta + "/run/tarvic"), 0700);
  unsetenv("XDG_RUNTIME_DIR");
  setenv("HOME", Pasta("casa").c_str(), 1);
  EXPECT_EQ(arquivo::PastaDoUsuario(), pasta + "/casa/.cache/tarvic");
  unsetenv("HOME");

  // No such folders: one of the user's own in the temporary folder, and a
  // new one when the usual name is taken by a link or by another user.
  setenv("TMPDIR", Pasta("tmp").c_str(), 1);
  const std::string propria = pasta + "/tmp/tarvic-" + std::to_string(geteuid());
  EXPECT_EQ(arquivo::PastaDoUsuario(), propria);
  EXPECT_EQ(Modo(propria), 0700);
  fs::remove(propria);
  fs::create_symlink(Pasta("alheia"), propria);
  std::string outra = arquivo::PastaDoUsuario();
  EXPECT_EQ(outra.rfind(propria + "-", 0), 0u) << outra;
  EXPECT_EQ(Modo(outra), 0700);
  EXPECT_TRUE(fs::is_empty(pasta + "/alheia"));
  if (geteuid() != 0) return;  // making a folder another user's takes root
  fs::remove(propria);
  fs::create_directory(propria);
  ASSERT_EQ(chown(propria.c_str(), 65534, 65534), 0);
  outra = arquivo::PastaDoUsuario();
  EXPECT_NE(outra, propria);
  EXPECT_EQ(outra.rfind(propria + "-", 0), 0u) << outra;
}

TEST_F(ArquivosSeguros, LinksPlantadosNaoSaoSeguidos) {
  // Links planted at the names the simulator used in the shared temporary
  // folder: its files are in the user's folder now, and those stay untouched.
  const std::string tmp = Pasta("tmp");
  setenv("TMPDIR", tmp.c_str(), 1);
  setenv("XDG_RUNTIME_DIR", Pasta("run").c_str(), 1);
  for (const char* nome : {"tarvic_sim_BEMATECH.json", "tarvic_sim_BEMATECH.json.tmp",
                           "tarvic_sim_BEMATECH.bobina.txt", "tarvic_sim_BEMATECH.falhas"})
    Planta(tmp + "/" + nome);
  testing::internal::CaptureStderr();
  {
    ImpressoraFiscal e("BEMATECH");
    EXPECT_EQ(e.caminhoEstado(), pasta + "/run/tarvic/tarvic_sim_BEMATECH.json");
    Vende(e);
  }
  EXPECT_TRUE(VitimaIntacta());
  EXPECT_TRUE(fs::is_symlink(tmp + "/tarvic_sim_BEMATECH.json.tmp"));

  // Named explicitly, a link in place of a file the printer writes is
  // replaced (the state file) or refused (the files it appends to).
  const std::string compartilhada = Pasta("compartilhada");
  for (const char* nome : {"ecf.json", "ecf.bobina.txt", "ecf.jornal"})
    Planta(compartilhada + "/" + nome);
  {
    ImpressoraFiscal e("SWEDA", compartilhada + "/ecf.json", false);
    Vende(e);
  }
  ImpressoraFiscal reaberta("SWEDA", compartilhada + "/ecf.json", false);
  EXPECT_EQ(reaberta.contadores().ccf, 1);
  const std::string avisos = testing::internal::GetCapturedStderr();
  EXPECT_NE(avisos.find("ecf.bobina.txt' nao pode ser aberto"), std::string::npos) << avisos;
  EXPECT_TRUE(VitimaIntacta());
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(compartilhada + "/ecf.json")));
  EXPECT_TRUE(fs::is_symlink(compartilhada + "/ecf.bobina.txt"));
  if (geteuid() != 0) return;  // making a file another user's takes root
  const std::string alheio = compartilhada + "/alheio.jornal";
  std::ofstream(alheio) << "de outro usuario";
  ASSERT_EQ(chown(alheio.c_str(), 65534, 65534), 0);
  arquivo::Anexo anexo;
  EXPECT_FALSE(anexo.abre(alheio));
}

TEST_F(ArquivosSeguros, ArquivoDeFalhasQueNaoEDoUsuarioNaoInjetaNada) {
  testing::internal::CaptureStderr();
  ImpressoraFiscal e("BEMATECH", pasta + "/ecf.json", false);
  e.fixaAgora(DataHora{2024, 3, 15, 10, 0, 0});
  const std::string controle = e.caminhoControle();
  ASSERT_EQ(mkfifo(controle.c_str(), 0600), 0);  // not a regular file: never blocks
  EXPECT_EQ(e.abreCupom(), Resultado::Ok);
  EXPECT_EQ(e.cancelaCupom(), Resultado::Ok);
  fs::remove(controle);
  Planta(controle);
  EXPECT_TRUE(e.ligada());
  fs::remove(controle);
  if (geteuid() == 0) {  // making a file another user's takes root
    std::ofstream(controle) << "desligada\nBematech_FI_AbreCupom=-5\n";
    ASSERT_EQ(chown(controle.c_str(), 65534, 65534), 0);
    EXPECT_EQ(e.abreCupom(), Resultado::Ok);
    EXPECT_FALSE(e.retiraCodigoInjetado("Bematech_FI_AbreCupom").has_value());
    EXPECT_TRUE(fs::exists(controle));
    ASSERT_EQ(chown(controle.c_str(), geteuid(), getegid()), 0);
    EXPECT_EQ(e.cancelaCupom(), Resultado::Desligada);  // the user's own file is honoured
    EXPECT_FALSE(fs::exists(controle));
  }
  const std::string avisos = testing::internal::GetCapturedStderr();
  EXPECT_NE(avisos.find("ignorado"), std::string::npos) << avisos;
}

}  // namespace
}  // namespace simulador
}  // namespace tarvic
