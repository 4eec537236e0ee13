// INI files as the Windows profile API writes them, and file masks.
#include "comum.h"
#include "plataforma.h"
#include "plataforma_ini.h"

using plataforma::IniComChave;
using plataforma::ValorIni;

TEST(Ini, ComoAApiDoWindows) {
  std::string ini = IniComChave("", "ECF", "A", "1");
  EXPECT_EQ(ini, "[ECF]\r\nA=1\r\n");
  ini = IniComChave(ini, "X", "C", "3");     // a new section goes to the end
  ini = IniComChave(ini, "ecf", "b", " 2");  // a new key after the last of its section
  ini = IniComChave(ini, "ECF", "a", "9");   // replaced in place, keeping its name
  EXPECT_EQ(ini, "[ECF]\r\nA=9\r\nb= 2\r\n[X]\r\nC=3\r\n");
  EXPECT_EQ(ValorIni(ini, "ecf", "B", "?"), "2");
  EXPECT_EQ(ValorIni(ini, "ECF", "Z", "?"), "?");
  EXPECT_EQ(ValorIni(ini, "Y", "A", "?"), "?");
}

TEST(Ini, LinhasEmBrancoEFinsDeLinhaDeOutrosProgramas) {
  const std::string escrito = "[Sistema]\nPath=x\n\n[MFD]\nImpressora=0\n";
  EXPECT_EQ(IniComChave(escrito, "Sistema", "CrLfVinculado", "1"),
            "[Sistema]\r\nPath=x\r\nCrLfVinculado=1\r\n\r\n[MFD]\r\nImpressora=0\r\n");
}

class Arquivos : public TesteEcf {};

TEST_F(Arquivos, EscreveELeIniNoDisco) {
  const std::string arquivo = Pasta() + "BEMAFI32.INI";
  ASSERT_TRUE(plataforma::EscreveIni(arquivo, "Sistema", "Path", "C:\\PDV\\"));
  EXPECT_EQ(plataforma::LeIni(arquivo, "Sistema", "Path", ""), "C:\\PDV\\");
  EXPECT_FALSE(plataforma::EscreveIni(Pasta() + "falta/x.ini", "S", "K", "V"));
}

TEST_F(Arquivos, PastasEMascaras) {
  EXPECT_TRUE(plataforma::CriaPasta(Pasta() + "retornoEcf"));
  EXPECT_TRUE(plataforma::CriaPasta(Pasta() + "retornoEcf"));  // already there
  EXPECT_FALSE(plataforma::CriaPasta(Pasta() + "a/b"));        // one level only
  plataforma::EscreveIni(Pasta() + "retornoEcf/X.TXT", "S", "K", "V");
  EXPECT_EQ(plataforma::ListaPasta(Pasta() + "retornoEcf", "*.txt", false),
            std::vector<std::string>{"X.TXT"});
  EXPECT_TRUE(plataforma::CasaMascara("semponto", "*.*"));
  EXPECT_FALSE(plataforma::CasaMascara("a.ini", "*.txt"));
  EXPECT_TRUE(plataforma::MoveArquivo(Pasta() + "retornoEcf/X.TXT", Pasta() + "Y.TXT"));
  EXPECT_FALSE(plataforma::ArquivoExiste(Pasta() + "retornoEcf/X.TXT"));
  EXPECT_TRUE(plataforma::ApagaArquivo(Pasta() + "Y.TXT"));
  EXPECT_FALSE(plataforma::ApagaArquivo(Pasta() + "Y.TXT"));
}

TEST_F(Arquivos, AcrescentaBytesComoDados) {
  const std::string arquivo = Pasta() + "leitura.txt";
  EXPECT_TRUE(plataforma::AcrescentaArquivo(arquivo, ""));  // an empty piece still creates it
  EXPECT_TRUE(plataforma::ArquivoExiste(arquivo));
  EXPECT_TRUE(plataforma::AcrescentaArquivo(arquivo, std::string("A\r\n\0B", 5)));
  EXPECT_TRUE(plataforma::AcrescentaArquivo(arquivo, "\n\xE7"));
  EXPECT_EQ(LeArquivo(arquivo), std::string("A\r\n\0B\n\xE7", 7));
  EXPECT_FALSE(plataforma::AcrescentaArquivo(Pasta() + "falta/x.txt", "x"));
  EXPECT_FALSE(plataforma::AcrescentaArquivo(Pasta(), "x"));  // a folder
}
