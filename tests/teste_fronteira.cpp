// What the host sees at the boundary: constants, flags, the floating-point
// control words, and no exception ever escaping.
#include "comum.h"

class Fronteira : public TesteEcf {};

TEST_F(Fronteira, ConstantesAntesDeQualquerInicializacao) {
  EXPECT_EQ(ecf_DllVersao(), 1020);
  EXPECT_EQ(ecf_IdFabricante(), 0);
}

TEST_F(Fronteira, FlagsComQualquerByteNaoNulo) {
  EXPECT_EQ(ecf_SetHorarioVerao(0xFF), 1);
  EXPECT_TRUE(EstadoEcf.HorarioVerao);
  EXPECT_EQ(ecf_SetHorarioVerao(0), 0);
  EXPECT_EQ(ecf_SetUF(nullptr), 1);
  EXPECT_EQ(EstadoEcf.UF, "");
  EXPECT_EQ(ecf_SetTratadorMensagem(nullptr), 1);
}

#if defined(__i386__) || defined(__x86_64__)
TEST_F(Fronteira, ControleDePontoFlutuanteDoHospedeiroVoltaIntacto) {
  uint16_t original, hospedeiro = 0x1372, depois;  // zero divide and invalid unmasked
  uint32_t sseOriginal, sseDepois, sseHospedeiro;
  __asm__ volatile("fnstcw %0" : "=m"(original));
  __asm__ volatile("stmxcsr %0" : "=m"(sseOriginal));
  sseHospedeiro = sseOriginal & ~0x0280u;  // unmask invalid and zero divide
  __asm__ volatile("fldcw %0" : : "m"(hospedeiro));
  __asm__ volatile("ldmxcsr %0" : : "m"(sseHospedeiro));

  Fabricante(DATAREGIS);
  duble::Responde("DLLG2_Retorno", {1, {"nao e numero"}, {}});
  const int32_t lido = ::dllG2_leInteiro("COO");  // raises inside, caught at the boundary

  __asm__ volatile("fnstcw %0" : "=m"(depois));
  __asm__ volatile("stmxcsr %0" : "=m"(sseDepois));
  __asm__ volatile("fldcw %0" : : "m"(original));
  __asm__ volatile("ldmxcsr %0" : : "m"(sseOriginal));
  EXPECT_EQ(lido, 0);
  EXPECT_EQ(depois, hospedeiro);
  EXPECT_EQ(sseDepois, sseHospedeiro);
}
#endif

TEST_F(Fronteira, ResultadoMonetarioEmDecimosDeMilesimo) {
  // A money result is the count of ten-thousandths itself.
  EXPECT_EQ(ecf_SubtotalCupom(), 0.0L);
}

TEST_F(Fronteira, CadaChamadaDoHospedeiroComecaSemLinhaDeContexto) {
  // A context line left by an export that ended before its verdict must not
  // reach the message of a later, unrelated export.
  Fabricante(BEMATECH);
  EstadoEcf.ContextoMensagem = "Situação em NomeiaRelatorioGerencial.";
  duble::Responde("Bematech_FI_CancelaCupom", {-6, {}, {}});
  EXPECT_EQ(ecf_CancelaCupom(), 0);
  ASSERT_EQ(Textos().size(), 1u);
  EXPECT_EQ(Textos()[0], "Impressora desligada ou cabo de comunicação desconectado.\n");
}

// The list of exports used by the tools agrees with the header, line by line.
#define EXPORTACAO(resultado, nome, parametros, argumentos) \
  static_assert(std::is_same_v<decltype(&::nome), resultado(TARVIC_API *) parametros>, #nome);
#include "exportacoes.inc"
#undef EXPORTACAO
// Each export is listed once: a name listed twice is a repeated enumerator.
#define EXPORTACAO(resultado, nome, parametros, argumentos) nome,
enum class UmaLinhaPorExportacao {
#include "exportacoes.inc"
};
#undef EXPORTACAO
