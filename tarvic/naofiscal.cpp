// Non-fiscal documents: receipts under non-fiscal totalisers, cash supply and
// withdrawal, credit/debit receipts linked to a coupon.
#include "Dataregis/dllg2.h"
#include "drivers/drivers.h"
#include "estado.h"
#include "fronteira.h"
#include "interno.h"

namespace {

// Names are compared the way the printers store them: only a to z folded.
bool MesmoNome(const std::string &a, const std::string &b) {
  return Maiusculas(a) == Maiusculas(b);
}

// What a driver left in a buffer of blanks, up to its NUL, not trimmed: the
// positions of the entries in the totaliser lists count from the first byte.
std::string Lista(const std::string &buffer) {
  return buffer.substr(0, buffer.find('\0'));
}

// Drops the first entry of a ","-separated list. The last entry has no ","
// after it and stays where it is.
void ProximaEntrada(std::string &lista) {
  const size_t virgula = lista.find(',');
  if (virgula != std::string::npos) lista.erase(0, virgula + 1);
}

// The totaliser lists of BEMATECH and ELGIN hold 50 entries of which the name
// is the 19 characters from the 25th on. The number of the first entry found
// ("00".."49" or "01".."50"), or the name itself when none matches: the driver
// then decides.
std::string IndiceNaLista(std::string lista, const std::string &totalizador, int primeiro) {
  for (int i = primeiro; i < primeiro + 50; ++i) {
    const std::string nome = lista.size() > 24 ? Aparar(lista.substr(24, 19)) : "";
    if (MesmoNome(nome, totalizador)) return FormataInteiro(i, 2);
    ProximaEntrada(lista);
  }
  return totalizador;
}

void RecebimentoBematech(const std::string &totalizador, const std::string &valor,
                         const std::string &forma) {
  std::string buffer = Espacos(2200);
  GuardaRetorno(Bematech_FI_VerificaRecebimentoNaoFiscal(buffer.data()));
  const std::string t = IndiceNaLista(Lista(buffer), totalizador, 1);
  GuardaRetorno(Bematech_FI_RecebimentoNaoFiscal(t.c_str(), valor.c_str(), forma.c_str()));
}

void RecebimentoElgin(const std::string &totalizador, const std::string &valor,
                      const std::string &forma) {
  std::string buffer = Espacos(2200);
  GuardaRetorno(Elgin_VerificaRecebimentoNaoFiscal(buffer.data()));
  const std::string t = IndiceNaLista(Lista(buffer), totalizador, 0);
  GuardaRetorno(Elgin_RecebimentoNaoFiscal(t.c_str(), valor.c_str(), forma.c_str()));
}

// SWEDA takes the totaliser by its index, which the driver gives for the name
// as the printer writes it.
void RecebimentoSweda(const std::string &totalizador, const std::string &valor,
                      const std::string &forma) {
  std::string buffer = Espacos(599);
  GuardaRetorno(ECF_VerificaTotalizadoresNaoFiscaisMFD(buffer.data()));
  std::string lista = Lista(buffer);
  std::string t = totalizador;
  const std::string procurado = Aparar(totalizador);
  for (int i = 0; i < 50; ++i) {
    const std::string nome = Aparar(lista.substr(0, 19));
    if (MesmoNome(nome, procurado)) {
      t = nome;
      break;
    }
    ProximaEntrada(lista);
  }
  // Left blank when the driver knows no such totaliser.
  std::string indice = Espacos(2);
  ECF_RetornaIndiceComprovanteNaoFiscal(t.c_str(), indice.data());
  GuardaRetorno(ECF_RecebimentoNaoFiscal(indice.c_str(), valor.c_str(), forma.c_str()));
}

void AdicionaParam(int32_t canal, const char *nome, const std::string &valor, int32_t tipo) {
  DLLG2_AdicionaParam(canal, nome, valor.c_str(), tipo);
}

// A reply value of the last DLLG2 command, read into `tamanho` blanks.
std::string LeResposta(int32_t canal, const char *nome, int tamanho) {
  std::string buffer = Espacos(tamanho);
  RetornoDllG2 = DLLG2_Retorno(canal, 0, nome, 0, buffer.data(), tamanho);
  return LeBuffer(buffer);
}

struct NaoFiscalDllG2 {
  std::string nome;  // as the printer writes it when found
  std::string tipo;
  std::string ultimoLido;
};

// Codes 0 to 14 are the only ones looked at.
NaoFiscalDllG2 ProcuraNaoFiscal(int32_t canal, const std::string &procurado) {
  NaoFiscalDllG2 r{procurado, "", ""};
  for (int codigo = 0; codigo <= 14; ++codigo) {
    r.ultimoLido.clear();
    DLLG2_LimpaParams(canal);
    AdicionaParam(canal, "CodNaoFiscal", std::to_string(codigo), DLLG2_INTEIRO);
    RetornoDllG2 = DLLG2_ExecutaComando(canal, "LeNaoFiscal");
    if (RetornoDllG2 <= 0) continue;
    r.ultimoLido = LeResposta(canal, "NomeNaoFiscal", 30);
    if (MesmoNome(r.ultimoLido, procurado)) {
      r.nome = r.ultimoLido;
      r.tipo = LeResposta(canal, "TipoNaoFiscal", 5);
      break;
    }
  }
  return r;
}

// The payment method as the printer writes it, or the name asked for when
// none of the codes 0 to 14 holds it (`ultimoLido` then tells them apart).
std::string ProcuraMeioPagamento(int32_t canal, const std::string &procurado,
                                 std::string &ultimoLido) {
  for (int codigo = 0; codigo <= 14; ++codigo) {
    ultimoLido.clear();
    DLLG2_LimpaParams(canal);
    AdicionaParam(canal, "CodMeioPagamentoProgram", std::to_string(codigo), DLLG2_INTEIRO);
    RetornoDllG2 = DLLG2_ExecutaComando(canal, "LeMeioPagamento");
    if (RetornoDllG2 <= 0) continue;
    ultimoLido = LeResposta(canal, "NomeMeioPagamento", 16);
    if (MesmoNome(ultimoLido, procurado)) return ultimoLido;
  }
  return procurado;
}

// One whole non-fiscal document. Nothing is printed unless both names are
// programmed; a failure half-way leaves the document as far as it got, for
// the final verdict to report.
void RecebimentoDllG2(const std::string &totalizador, const std::string &valor,
                      const std::string &forma) {
  const int32_t canal = CanalComandoDllG2();
  const NaoFiscalDllG2 nf = ProcuraNaoFiscal(canal, Aparar(totalizador));
  if (!MesmoNome(nf.nome, nf.ultimoLido))
    MensagemErro("Totalizador Não Fiscal não configurado no ECF: " + EntreAspas(nf.nome));
  std::string ultimoMeio;
  const std::string meio = ProcuraMeioPagamento(canal, Aparar(forma), ultimoMeio);
  if (!MesmoNome(meio, ultimoMeio))
    MensagemErro("Meio de Pagamento não configurado no ECF: " + EntreAspas(meio));

  DLLG2_LimpaParams(canal);
  RetornoDllG2 = DLLG2_ExecutaComando(canal, "AbreCupomNaoFiscal");
  if (!VerificaRetorno(true)) return;
  DLLG2_LimpaParams(canal);
  AdicionaParam(canal, "NomeNaoFiscal", nf.nome, DLLG2_TEXTO);
  AdicionaParam(canal, "Valor", valor, DLLG2_DECIMAL);
  RetornoDllG2 = DLLG2_ExecutaComando(canal, "EmiteItemNaoFiscal");
  if (!VerificaRetorno(true)) return;
  // A totaliser of type "N" takes no payment.
  if (nf.tipo != "N") {
    DLLG2_LimpaParams(canal);
    AdicionaParam(canal, "NomeMeioPagamento", meio, DLLG2_TEXTO);
    AdicionaParam(canal, "Valor", valor, DLLG2_DECIMAL);
    RetornoDllG2 = DLLG2_ExecutaComando(canal, "PagaCupom");
  }
  if (!VerificaRetorno(true)) return;
  DLLG2_LimpaParams(canal);
  RetornoDllG2 = DLLG2_ExecutaComando(canal, "EncerraDocumento");
}

}  // namespace

namespace tarvic {

bool ecf_RecebimentoNaoFiscal(const std::string &totalizador, Moeda valor,
                              const std::string &formaPagamento) {
  const std::string v = FormataValor(valor, 2);
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      RecebimentoBematech(totalizador, v, formaPagamento);
      break;
    case SWEDA:
      RecebimentoSweda(totalizador, v, formaPagamento);
      break;
    case DARUMA:
      GuardaRetorno(
          Daruma_FI_RecebimentoNaoFiscal(totalizador.c_str(), v.c_str(), formaPagamento.c_str()));
      break;
    case ELGIN:
      RecebimentoElgin(totalizador, v, formaPagamento);
      break;
    case DATAREGIS:
    case URANO:
      RecebimentoDllG2(totalizador, v, formaPagamento);
      break;
    default:
      GuardaRetorno(0);
      break;
  }
  return VerificaRetorno(true);
}

// With no manufacturer recognised nothing reaches a printer, and each export
// says so with code 0 rather than judging whatever code an earlier export
// left behind (which could pass a supply or a withdrawal that never happened).

bool ecf_Suprimento(Moeda valor) {
  const std::string v = FormataValor(valor, 2);
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      GuardaRetorno(Bematech_FI_Suprimento(v.c_str(), nullptr));
      break;
    case SWEDA:
      GuardaRetorno(ECF_Suprimento(v.c_str(), ""));
      break;
    case DARUMA:
      GuardaRetorno(Daruma_FI_Suprimento(v.c_str(), nullptr));
      break;
    case ELGIN:
      GuardaRetorno(Elgin_Suprimento(v.c_str(), nullptr));
      break;
    case DATAREGIS:
    case URANO:
      ecf_RecebimentoNaoFiscal("SUPRIMENTO", valor, "Dinheiro");
      break;
    default:
      GuardaRetorno(0);
      break;
  }
  return VerificaRetorno(true);
}

bool ecf_Sangria(Moeda valor) {
  const std::string v = FormataValor(valor, 2);
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      GuardaRetorno(Bematech_FI_Sangria(v.c_str()));
      break;
    case SWEDA:
      GuardaRetorno(ECF_Sangria(v.c_str()));
      break;
    case DARUMA:
      GuardaRetorno(Daruma_FI_Sangria(v.c_str()));
      break;
    case ELGIN:
      GuardaRetorno(Elgin_Sangria(v.c_str()));
      break;
    case DATAREGIS:
    case URANO:
      ecf_RecebimentoNaoFiscal("SANGRIA", valor, "Dinheiro");
      break;
    default:
      GuardaRetorno(0);
      break;
  }
  return VerificaRetorno(true);
}

bool ecf_AbreComprovanteNaoFiscalVinculado(const std::string &formaPagamento, Moeda valor,
                                           int32_t coo) {
  // No amount and no coupon number go as empty texts.
  const std::string v = valor == 0 ? "" : FormataValor(valor, 2);
  const std::string n = coo == 0 ? "" : std::to_string(coo);
  const char *forma = formaPagamento.c_str();
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      GuardaRetorno(Bematech_FI_AbreComprovanteNaoFiscalVinculado(forma, v.c_str(), n.c_str()));
      break;
    case SWEDA:
      GuardaRetorno(ECF_AbreComprovanteNaoFiscalVinculado(forma, v.c_str(), n.c_str()));
      break;
    case DARUMA:
      GuardaRetorno(Daruma_FI_AbreComprovanteNaoFiscalVinculado(forma, v.c_str(), n.c_str()));
      break;
    case ELGIN:
      GuardaRetorno(Elgin_AbreComprovanteNaoFiscalVinculado(forma, v.c_str(), n.c_str()));
      break;
    case DATAREGIS:
    case URANO: {
      const int32_t canal = CanalComandoDllG2();
      DLLG2_LimpaParams(canal);
      AdicionaParam(canal, "COO", n, DLLG2_COO);
      AdicionaParam(canal, "NomeMeioPagamento", formaPagamento, DLLG2_TEXTO);
      AdicionaParam(canal, "Valor", v, DLLG2_DECIMAL);
      RetornoDllG2 = DLLG2_ExecutaComando(canal, "AbreCreditoDebito");
      break;
    }
    default:
      GuardaRetorno(0);
      break;
  }
  return VerificaRetorno(true);
}

bool ecf_UsaComprovanteNaoFiscalVinculado(const std::string &texto) {
  // An empty line goes as one blank.
  const std::string t = texto.empty() ? " " : texto;
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      GuardaRetorno(Bematech_FI_UsaComprovanteNaoFiscalVinculado(t.c_str()));
      break;
    case SWEDA:
      GuardaRetorno(ECF_UsaComprovanteNaoFiscalVinculado(t.c_str()));
      break;
    case DARUMA:
      GuardaRetorno(Daruma_FI_UsaComprovanteNaoFiscalVinculado(t.c_str()));
      break;
    case ELGIN:
      GuardaRetorno(Elgin_UsaComprovanteNaoFiscalVinculado(t.c_str()));
      break;
    case DATAREGIS:
    case URANO: {
      const int32_t canal = CanalComandoDllG2();
      DLLG2_LimpaParams(canal);
      AdicionaParam(canal, "TextoLivre", t, DLLG2_TEXTO);
      RetornoDllG2 = DLLG2_ExecutaComando(canal, "ImprimeTexto");
      break;
    }
    default:
      GuardaRetorno(0);
      break;
  }
  return VerificaRetorno(true);
}

bool ecf_FechaComprovanteNaoFiscalVinculado() {
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      GuardaRetorno(Bematech_FI_FechaComprovanteNaoFiscalVinculado());
      break;
    // SWEDA and DARUMA refuse to close what is not open; nothing open to
    // close counts as closed.
    case SWEDA:
      if (ecf_StatusComprovanteNaoFiscalVinculado())
        GuardaRetorno(ECF_FechaComprovanteNaoFiscalVinculado());
      else
        GuardaRetorno(1);
      break;
    case DARUMA:
      if (ecf_StatusComprovanteNaoFiscalVinculado())
        GuardaRetorno(Daruma_FI_FechaComprovanteNaoFiscalVinculado());
      else
        GuardaRetorno(1);
      break;
    case ELGIN:
      GuardaRetorno(Elgin_FechaComprovanteNaoFiscalVinculado());
      break;
    case DATAREGIS:
    case URANO: {
      const int32_t canal = CanalComandoDllG2();
      DLLG2_LimpaParams(canal);
      RetornoDllG2 = DLLG2_ExecutaComando(canal, "EncerraDocumento");
      break;
    }
    default:
      GuardaRetorno(0);
      break;
  }
  return VerificaRetorno(true);
}

}  // namespace tarvic

extern "C" {

tarvic_Flag TARVIC_API ecf_RecebimentoNaoFiscal(const char *totalizador, tarvic_Moeda valor,
                                                const char *formaPagamento) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, totalizador, valor, formaPagamento), false, [&] {
    return tarvic::ecf_RecebimentoNaoFiscal(Texto(totalizador), valor, Texto(formaPagamento));
  });
}

tarvic_Flag TARVIC_API ecf_Suprimento(tarvic_Moeda valor) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, valor), false,
                              [&] { return tarvic::ecf_Suprimento(valor); });
}

tarvic_Flag TARVIC_API ecf_Sangria(tarvic_Moeda valor) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, valor), false,
                              [&] { return tarvic::ecf_Sangria(valor); });
}

tarvic_Flag TARVIC_API ecf_AbreComprovanteNaoFiscalVinculado(const char *formaPagamento,
                                                             tarvic_Moeda valor, int32_t coo) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, formaPagamento, valor, coo), false, [&] {
    return tarvic::ecf_AbreComprovanteNaoFiscalVinculado(Texto(formaPagamento), valor, coo);
  });
}

tarvic_Flag TARVIC_API ecf_UsaComprovanteNaoFiscalVinculado(const char *texto) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, texto), false, [&] {
    return tarvic::ecf_UsaComprovanteNaoFiscalVinculado(Texto(texto));
  });
}

tarvic_Flag TARVIC_API ecf_FechaComprovanteNaoFiscalVinculado(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false,
                              [] { return tarvic::ecf_FechaComprovanteNaoFiscalVinculado(); });
}

}  // extern "C"
