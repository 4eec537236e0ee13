// The fiscal coupon: opening, item sale, cancellation, totalling, payment and
// closing.
#include "Dataregis/dllg2.h"
#include "drivers/drivers.h"
#include "estado.h"
#include "fronteira.h"
#include "interno.h"

namespace {

const char *const AVISO_POUCO_PAPEL =
    "ECF com pouco papel.\nVerifique a disponibilidade da bobina.";

// A paper-low status seen since the last warning is told once, then forgotten.
void AvisaPoucoPapel() {
  if (!EstadoEcf.PoucoPapel) return;
  EstadoEcf.PoucoPapel = false;
  Mensagem(AVISO_POUCO_PAPEL);  // releases blocked input first
}

bool DllG2() {
  return EstadoEcf.Fabricante == DATAREGIS || EstadoEcf.Fabricante == URANO;
}

void AdicionaParam(int32_t canal, const char *nome, const std::string &valor, int32_t tipo) {
  DLLG2_AdicionaParam(canal, nome, valor.c_str(), tipo);
}

// Divides ten-thousandths, rounding half away from zero.
Moeda DivideArredondando(Moeda valor, Moeda divisor) {
  return MultiplicaDivide(valor, 1, divisor);
}

// An amount times 100 as a whole number of `digitos` digits ("0000",
// "000000"): 10,5 gives 1050, 12,34 gives 001234.
std::string VezesCem(Moeda valor, int digitos) {
  return FormataInteiro(DivideArredondando(valor, UNIDADE_MOEDA / 100), digitos);
}

// Pattern "00.00": at least two integer digits, sign in front (-05,00).
std::string FormataDoisInteiros(Moeda valor) {
  std::string texto = FormataValor(valor, 2);
  const bool negativo = !texto.empty() && texto[0] == '-';
  if (negativo) texto.erase(0, 1);
  if (texto.find(',') == 1) texto.insert(0, "0");
  return (negativo ? "-" : "") + texto;
}

// Rounds to two decimals the way the printer will see it: written with
// "0.00" and read back.
Moeda DuasCasas(Moeda valor) {
  return TextoParaMoeda(FormataValor(valor, 2));
}

// Numbers of the item sale. An empty or blank text is zero; anything that is
// not a number raises ErroConversao, which the sale turns into a parameter
// error before the printer is touched.
Moeda LeNumero(const std::string &texto) {
  return TextoParaValor(texto);
}
// Decimal comma only, no thousands separators.
Moeda LeNumeroEstrito(const std::string &texto) {
  return Aparar(texto).empty() ? 0 : TextoParaMoeda(texto);
}

// ---- Item sale ----------------------------------------------------------------

struct Item {
  std::string codigo;
  std::string descricaoInteira;  // trimmed
  std::string descricao;         // first 29 characters
  std::string unidade;           // first two characters
  std::string aliquota;
  std::string quantidade;
  std::string valorUnitario;
  std::string tipoAcrescimo;
  std::string valorAcrescimo;
  bool servico;
  int32_t numeroItem;
};

constexpr size_t DESCRICAO_MAXIMA = 29;

Item Normaliza(const char *codigo, const char *descricao, const char *unidade, const char *aliquota,
               const char *quantidade, const char *valorUnitario, const char *tipoAcrescimo,
               const char *valorAcrescimo, bool servico, int32_t numeroItem) {
  Item item;
  item.codigo = Texto(codigo);
  item.descricaoInteira = Aparar(Texto(descricao));
  item.descricao = item.descricaoInteira.substr(0, DESCRICAO_MAXIMA);
  const std::string u = Texto(unidade);
  item.unidade = (Aparar(u).empty() ? std::string("UN") : u).substr(0, 2);
  item.aliquota = Texto(aliquota);
  item.quantidade = Texto(quantidade);
  item.valorUnitario = Texto(valorUnitario);
  item.tipoAcrescimo = Texto(tipoAcrescimo);
  if (Aparar(item.tipoAcrescimo).empty()) item.tipoAcrescimo = "$";
  item.valorAcrescimo = Texto(valorAcrescimo);
  item.servico = servico;
  item.numeroItem = numeroItem;
  if (!servico) {
    if (item.aliquota == "I")
      item.aliquota = "II";
    else if (item.aliquota == "F")
      item.aliquota = "FF";
    else if (item.aliquota == "N")
      item.aliquota = "NN";
  }
  return item;
}

// Services are sold only where the printer has its own ISS codes.
void AliquotaServico(Item &item) {
  const char *i = nullptr, *f = nullptr, *n = nullptr;
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      i = "SI", f = "SF", n = "SN";
      break;
    case DARUMA:
      i = "ISS", f = "FS", n = "NS";
      break;
    default:
      MensagemErro("Serviço não configurado na ECF.");
  }
  if (item.aliquota == "I")
    item.aliquota = i;
  else if (item.aliquota == "F")
    item.aliquota = f;
  else if (item.aliquota == "N")
    item.aliquota = n;
}

// BEMATECH: what the sale will send, worked out before any call.
struct VendaBematech {
  bool departamento = false;
  std::string acrescimo;  // plain sale
  std::string preco, quantidade, acrescimoDepto, descontoDepto;
};

VendaBematech PreparaBematech(const Item &item) {
  VendaBematech v;
  const Moeda acrescimo = LeNumero(item.valorAcrescimo);
  v.departamento = item.codigo.size() > 13 || acrescimo > 0;
  const bool percentual = Aparar(item.tipoAcrescimo) == "%";
  if (!v.departamento) {
    v.acrescimo =
        percentual ? VezesCem(LeNumeroEstrito(item.valorAcrescimo), 4) : item.valorAcrescimo;
    return v;
  }
  const Moeda preco = LeNumeroEstrito(item.valorUnitario);
  const Moeda quantidade = LeNumeroEstrito(item.quantidade);
  v.preco = FormataValor(preco, 3);
  v.quantidade = FormataValor(quantidade, 3);
  Moeda valor;
  if (percentual) {
    // The total is kept to four decimals; the percentage of it is rounded
    // once, straight to cents, as "0.00" writes it (no stop at four decimals
    // on the way, which could carry 0,004995 up to 0,01).
    const Moeda total = MultiplicaDivide(preco, quantidade, UNIDADE_MOEDA);
    valor = MultiplicaDivide(total, acrescimo, 100 * UNIDADE_MOEDA * 100) * (UNIDADE_MOEDA / 100);
  } else {
    valor = DuasCasas(acrescimo);
  }
  v.acrescimoDepto = FormataValor(valor > 0 ? valor : 0, 2);
  v.descontoDepto = FormataValor(valor > 0 ? 0 : -valor, 2);
  return v;
}

void VendeBematech(const Item &item) {
  const VendaBematech v = PreparaBematech(item);
  if (EstadoEcf.TipoMfd)
    GuardaRetorno(Bematech_FI_UsaUnidadeMedida(item.unidade.c_str()));
  else
    ecf_Retorno = 1;
  if (ecf_Retorno != 1) return;
  if (v.departamento) {
    // The long description is not extended on the department sale.
    GuardaRetorno(Bematech_FI_VendeItemDepartamento(
        item.codigo.c_str(), item.descricao.c_str(), item.aliquota.c_str(), v.preco.c_str(),
        v.quantidade.c_str(), v.acrescimoDepto.c_str(), v.descontoDepto.c_str(), "01",
        item.unidade.c_str()));
    return;
  }
  if (item.descricaoInteira.size() > DESCRICAO_MAXIMA)
    GuardaRetorno(Bematech_FI_AumentaDescricaoItem(item.descricaoInteira.c_str()));
  GuardaRetorno(Bematech_FI_VendeItem(item.codigo.c_str(), item.descricao.c_str(),
                                      item.aliquota.c_str(), "F", item.quantidade.c_str(), 2,
                                      item.valorUnitario.c_str(), item.tipoAcrescimo.c_str(),
                                      v.acrescimo.c_str()));
}

// SWEDA sells the item bare and applies the adjustment to it afterwards.
void VendeSweda(const Item &item) {
  const Moeda lido = LeNumeroEstrito(item.valorAcrescimo);
  const bool acrescimo = lido > 0;
  const Moeda valor = acrescimo ? lido : -lido;
  const std::string ajuste = VezesCem(valor, item.tipoAcrescimo == "%" ? 4 : 6);
  GuardaRetorno(ECF_UsaUnidadeMedida(item.unidade.c_str()));
  if (ecf_Retorno != 1) {
    Mensagem("Falha ao aplicar a Unidade de Medida do Item.");
    return;
  }
  GuardaRetorno(ECF_VendeItem(item.codigo.c_str(), item.descricao.c_str(), item.aliquota.c_str(),
                              "F", item.quantidade.c_str(), 2, item.valorUnitario.c_str(),
                              item.tipoAcrescimo.c_str(), "0000"));
  if (valor != 0 && ecf_Retorno == 1)
    GuardaRetorno(ECF_AcrescimoDescontoItemMFD(FormataInteiro(item.numeroItem, 3).c_str(),
                                               acrescimo ? "A" : "D", item.tipoAcrescimo.c_str(),
                                               ajuste.c_str()));
}

// DARUMA takes the adjustment with the opposite sign: a discount positive.
void VendeDaruma(const Item &item) {
  const Moeda valor = LeNumero(item.valorAcrescimo);
  const std::string acrescimo = valor != 0 ? FormataDoisInteiros(-valor) : item.valorAcrescimo;
  if (!item.servico && GuardaRetorno(Daruma_FI_UsaUnidadeMedida(item.unidade.c_str())) != 1) return;
  GuardaRetorno(Daruma_FI_VendeItem(item.codigo.c_str(), item.descricao.c_str(),
                                    item.aliquota.c_str(), "F", item.quantidade.c_str(), 2,
                                    item.valorUnitario.c_str(), item.tipoAcrescimo.c_str(),
                                    acrescimo.c_str()));
}

void VendeElgin(const Item &item) {
  LeNumero(item.valorAcrescimo);  // only checked: the driver takes the text as given
  GuardaRetorno(Elgin_VendeItem(item.codigo.c_str(), item.descricao.c_str(), item.aliquota.c_str(),
                                "F", item.quantidade.c_str(), 2, item.valorUnitario.c_str(),
                                item.tipoAcrescimo.c_str(), item.valorAcrescimo.c_str()));
}

void VendeDllG2(const Item &item) {
  const Moeda valor = LeNumero(item.valorAcrescimo);
  const int32_t canal = CanalComandoDllG2();
  std::string codigo;
  if (item.aliquota == "FF")
    codigo = "-2";
  else if (item.aliquota == "II")
    codigo = "-3";
  else if (item.aliquota == "NN")
    codigo = "-4";
  DLLG2_LimpaParams(canal);
  if (!codigo.empty()) {
    AdicionaParam(canal, "CodAliquota", codigo, DLLG2_INTEIRO);
  } else if (!item.aliquota.empty()) {
    AdicionaParam(canal, "AliquotaICMS", "t", DLLG2_INDICADOR);
    AdicionaParam(canal, "PercentualAliquota", item.aliquota, DLLG2_DECIMAL);
  }
  AdicionaParam(canal, "CodProduto", item.codigo, DLLG2_TEXTO);
  AdicionaParam(canal, "NomeProduto", item.descricao, DLLG2_TEXTO);
  AdicionaParam(canal, "PrecoUnitario", item.valorUnitario, DLLG2_DECIMAL);
  AdicionaParam(canal, "Quantidade", item.quantidade, DLLG2_DECIMAL);
  AdicionaParam(canal, "Unidade", item.unidade, DLLG2_TEXTO);
  RetornoDllG2 = DLLG2_ExecutaComando(canal, "VendeItem");
  if (valor == 0 || !VerificaRetorno(true)) return;
  DLLG2_LimpaParams(canal);
  AdicionaParam(canal, "Cancelar", "f", DLLG2_INDICADOR);
  AdicionaParam(canal, item.tipoAcrescimo == "%" ? "ValorPercentual" : "ValorAcrescimo",
                FormataValor(valor, 2), DLLG2_DECIMAL);
  RetornoDllG2 = DLLG2_ExecutaComando(canal, "AcresceItemFiscal");
}

// ---- Closing text ---------------------------------------------------------------

std::string DataCompleta() {
  return FormataDataHora("ddmmyyyy", Agora());
}

std::string DigitosSubtotal() {
  return tarvic::ApenasDigitos(FormataValor(tarvic::ecf_SubtotalCupom(), 2));
}

// The SMS code of the RJ programme: IE, date, coupon and cash register.
std::string CodigoSms() {
  std::string ie = tarvic::ApenasDigitos(EstadoEcf.Ie);
  if (ie.size() < 8) ie.insert(0, 8 - ie.size(), '0');
  int ano, mes, dia;
  DecodificaData(Agora(), ano, mes, dia);
  return ie + FormataInteiro(dia, 2) + FormataInteiro(mes, 2) + FormataInteiro(ano - 2000, 2) +
         FormataInteiro(tarvic::ecf_NumeroCupom(), 6) +
         FormataInteiro(EstadoEcf.NumeroCaixaCupom, 3);
}

std::string BlocoEstado() {
  const std::string uf = Aparar(EstadoEcf.UF);
  if (uf == "RJ") {
    if (DllG2()) return "";
    return "CUPOM MANIA, CONCORRA A PRÊMIOS\nENVIE SMS P/ 6789: " + CodigoSms() +
           "\nPROCON: R da Ajuda 5 RJ (21) 151\nALERJ: R 1º de Março s/n (21) 25881418";
  }
  if (uf == "MG")
    return "MINAS LEGAL: " + tarvic::ApenasDigitos(EstadoEcf.Cnpj) + " " + DataCompleta() + " " +
           DigitosSubtotal();
  if (uf == "PB") {
    const std::string cpf =
        EstadoEcf.CpfCliente == "00000000000" ? "" : tarvic::ApenasDigitos(EstadoEcf.CpfCliente);
    return "PARAÍBA LEGAL - RECEITA CIDADÃ\nTORPEDO PREMIADO: " +
           tarvic::ApenasDigitos(EstadoEcf.Cnpj) + " " + DataCompleta() + " " + DigitosSubtotal() +
           " " + cpf;
  }
  if (uf == "DF") {
    // SWEDA prints "NOTA LEGAL: " highlighted between DLE B and DLE N.
    const bool sweda = EstadoEcf.Fabricante == SWEDA;
    std::string bloco;
    if (EstadoEcf.ConcessaoDF)
      bloco = "ESTABELECIMENTO INCLUÍDO NO PROGRAMA DE\nCONCESSÃO DE CRÉDITOS - LEI nº 4.159/08.\n";
    return bloco + " " + (sweda ? "\x10\x42" : "") + "NOTA LEGAL: " + (sweda ? "\x10\x4E" : "") +
           " ICMS = " + FormataValor(EstadoEcf.vIcmCupom, 2) +
           " ISS = " + FormataValor(EstadoEcf.vIssCupom, 2);
  }
  return "";
}

std::string TextoFechamento(const std::string &mensagemCupom) {
  std::string texto;
  if (!Aparar(EstadoEcf.PafMd5).empty()) texto = "MD-5: " + EstadoEcf.PafMd5;
  if (!Aparar(mensagemCupom).empty()) texto += "\n" + Aparar(mensagemCupom);
  return texto + "\n" + BlocoEstado();
}

// "TextoPromocional" holds at most 240 characters.
constexpr size_t TEXTO_PROMOCIONAL_MAXIMO = 240;

}  // namespace

namespace tarvic {

std::string ApenasDigitos(const std::string &texto) {
  std::string digitos;
  for (char c : Aparar(texto))
    if (c >= '0' && c <= '9') digitos += c;
  return digitos;
}

bool ecf_AbreCupom() {
  EstadoEcf.vIcmCupom = 0;
  EstadoEcf.vIssCupom = 0;
  AvisaPoucoPapel();
  ecf_DestravaImpressora();
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      GuardaRetorno(Bematech_FI_AbreCupom(nullptr));
      break;
    case SWEDA:
      GuardaRetorno(ECF_AbreCupom(""));
      break;
    case DARUMA:
      GuardaRetorno(Daruma_FI_AbreCupom(nullptr));
      break;
    case ELGIN:
      GuardaRetorno(Elgin_AbreCupom(nullptr));
      break;
    case DATAREGIS:
    case URANO: {
      // The consumer is never identified on these printers: always empty.
      const int32_t canal = CanalComandoDllG2();
      DLLG2_LimpaParams(canal);
      DLLG2_AdicionaParam(canal, "EnderecoConsumidor", "", DLLG2_TEXTO);
      DLLG2_AdicionaParam(canal, "IdConsumidor", "", DLLG2_TEXTO);
      DLLG2_AdicionaParam(canal, "NomeConsumidor", "", DLLG2_TEXTO);
      RetornoDllG2 = DLLG2_ExecutaComando(canal, "AbreCupomFiscal");
      break;
    }
    default:
      break;
  }
  return VerificaRetorno(true);
}

bool ecf_VendeItem(const char *codigo, const char *descricao, const char *unidade,
                   const char *aliquota, const char *quantidade, const char *valorUnitario,
                   const char *tipoAcrescimo, const char *valorAcrescimo, bool servico,
                   int32_t numeroItem) {
  Item item = Normaliza(codigo, descricao, unidade, aliquota, quantidade, valorUnitario,
                        tipoAcrescimo, valorAcrescimo, servico, numeroItem);
  const int32_t fabricante = EstadoEcf.Fabricante;
  if (fabricante < BEMATECH || fabricante > URANO) return VerificaRetorno(true);
  if (item.servico) AliquotaServico(item);
  try {
    switch (fabricante) {
      case BEMATECH:
        VendeBematech(item);
        break;
      case SWEDA:
        VendeSweda(item);
        break;
      case DARUMA:
        VendeDaruma(item);
        break;
      case ELGIN:
        VendeElgin(item);
        break;
      default:
        VendeDllG2(item);
        break;
    }
  } catch (const ErroConversao &) {
    // Every number is read before the first driver call, so nothing was sent.
    GuardaRetorno(-2);
    Mensagem("Parâmetro inválido na função.");
    return false;
  }
  return VerificaRetorno(true);
}

bool ecf_CancelaItemGenerico(const std::string &numeroItem) {
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      GuardaRetorno(Bematech_FI_CancelaItemGenerico(numeroItem.c_str()));
      break;
    case SWEDA:
      GuardaRetorno(ECF_CancelaItemGenerico(numeroItem.c_str()));
      break;
    case DARUMA:
      GuardaRetorno(Daruma_FI_CancelaItemGenerico(numeroItem.c_str()));
      break;
    case ELGIN:
      GuardaRetorno(Elgin_CancelaItemGenerico(numeroItem.c_str()));
      break;
    case DATAREGIS:
    case URANO: {
      const int32_t canal = CanalComandoDllG2();
      DLLG2_LimpaParams(canal);
      AdicionaParam(canal, "NumItem", numeroItem, DLLG2_INTEIRO);
      RetornoDllG2 = DLLG2_ExecutaComando(canal, "CancelaItemFiscal");
      break;
    }
    default:
      break;
  }
  return VerificaRetorno(true);
}

bool ecf_CancelaCupom() {
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      GuardaRetorno(Bematech_FI_CancelaCupom());
      break;
    case SWEDA:
      GuardaRetorno(ECF_CancelaCupom());
      break;
    case DARUMA:
      GuardaRetorno(Daruma_FI_CancelaCupom());
      break;
    case ELGIN:
      GuardaRetorno(Elgin_CancelaCupom());
      break;
    case DATAREGIS:
    case URANO: {
      // URANO cancels its coupon on channel 0.
      const int32_t canal = CanalComandoDllG2();
      DLLG2_LimpaParams(canal);
      RetornoDllG2 = DLLG2_ExecutaComando(canal, "CancelaCupom");
      break;
    }
    default:
      break;
  }
  return VerificaRetorno(true);
}

bool ecf_IniciaFechamentoCupom(const std::string &acrescimoDesconto, const std::string &valor) {
  Moeda quantia = TextoParaValor(valor);
  const char *ad = acrescimoDesconto.c_str();
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      GuardaRetorno(Bematech_FI_IniciaFechamentoCupom(ad, "$", valor.c_str()));
      break;
    case SWEDA:
      GuardaRetorno(ECF_IniciaFechamentoCupom(ad, "$", valor.c_str()));
      break;
    case DARUMA:
      GuardaRetorno(Daruma_FI_IniciaFechamentoCupom(ad, "$", valor.c_str()));
      break;
    case ELGIN:
      GuardaRetorno(Elgin_IniciaFechamentoCupom(ad, "$", valor.c_str()));
      break;
    case DATAREGIS:
    case URANO: {
      if (quantia == 0) break;
      // A discount always goes negative, a surcharge positive.
      if (acrescimoDesconto == "D" ? quantia > 0 : quantia < 0) quantia = -quantia;
      const int32_t canal = CanalComandoDllG2();
      DLLG2_LimpaParams(canal);
      AdicionaParam(canal, "Cancelar", "f", DLLG2_INDICADOR);
      AdicionaParam(canal, "ValorAcrescimo", FormataValor(quantia, 2), DLLG2_DECIMAL);
      RetornoDllG2 = DLLG2_ExecutaComando(canal, "AcresceSubtotal");
      break;
    }
    default:
      break;
  }
  return VerificaRetorno(true);
}

bool ecf_EfetuaFormaPagto(const std::string &formaPagamento, Moeda valor) {
  const std::string forma = Aparar(formaPagamento);
  const std::string quantia = FormataValor(valor, 2);
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      GuardaRetorno(Bematech_FI_EfetuaFormaPagamento(forma.c_str(), quantia.c_str()));
      break;
    case SWEDA:
      GuardaRetorno(ECF_EfetuaFormaPagamento(forma.c_str(), quantia.c_str()));
      break;
    case DARUMA:
      GuardaRetorno(Daruma_FI_EfetuaFormaPagamento(forma.c_str(), quantia.c_str()));
      break;
    case ELGIN:
      GuardaRetorno(Elgin_EfetuaFormaPagamento(forma.c_str(), quantia.c_str()));
      break;
    case DATAREGIS:
    case URANO: {
      const int32_t canal = CanalComandoDllG2();
      DLLG2_LimpaParams(canal);
      AdicionaParam(canal, "NomeMeioPagamento", forma, DLLG2_TEXTO);
      AdicionaParam(canal, "Valor", quantia, DLLG2_DECIMAL);
      RetornoDllG2 = DLLG2_ExecutaComando(canal, "PagaCupom");
      break;
    }
    default:
      break;
  }
  return VerificaRetorno(true);
}

bool ecf_TerminaFechamentoCupom(const std::string &mensagemCupom) {
  const std::string texto = TextoFechamento(mensagemCupom);
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      GuardaRetorno(Bematech_FI_TerminaFechamentoCupom(texto.c_str()));
      break;
    case SWEDA:
      GuardaRetorno(ECF_TerminaFechamentoCupom(texto.c_str()));
      break;
    case DARUMA:
      GuardaRetorno(Daruma_FI_TerminaFechamentoCupom(texto.c_str()));
      break;
    case ELGIN:
      GuardaRetorno(Elgin_TerminaFechamentoCupom(texto.c_str()));
      break;
    case DATAREGIS:
    case URANO: {
      const std::string promocional = Aparar(Aparar(texto).substr(0, TEXTO_PROMOCIONAL_MAXIMO));
      const int32_t canal = CanalComandoDllG2();
      DLLG2_LimpaParams(canal);
      AdicionaParam(canal, "TextoPromocional", promocional, DLLG2_TEXTO);
      RetornoDllG2 = DLLG2_ExecutaComando(canal, "EncerraDocumento");
      break;
    }
    default:
      break;
  }
  const bool veredito = VerificaRetorno(true);
  // Told whether or not the coupon closed.
  AvisaPoucoPapel();
  return veredito;
}

Moeda ecf_SubtotalCupom() {
  try {
    if (DllG2()) return dllG2_leMoeda("TotalDocLiquido");
    // The drivers answer the subtotal in cents, as digits.
    std::string buffer = Espacos(14);
    switch (EstadoEcf.Fabricante) {
      case BEMATECH:
        GuardaRetorno(Bematech_FI_SubTotal(buffer.data()));
        break;
      case SWEDA:
        GuardaRetorno(ECF_SubTotal(buffer.data()));
        break;
      case DARUMA:
        GuardaRetorno(Daruma_FI_SubTotal(buffer.data()));
        break;
      case ELGIN:
        GuardaRetorno(Elgin_SubTotal(buffer.data()));
        break;
      default:
        break;  // no driver: judged on the code already there, the buffer stays blank
    }
    if (!VerificaRetorno(true)) return 0;
    return DivideArredondando(TextoParaValor(LeBuffer(buffer)), 100);
  } catch (...) {
    return 0;
  }
}

}  // namespace tarvic

extern "C" {

tarvic_Flag TARVIC_API ecf_AbreCupom(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false, [] { return tarvic::ecf_AbreCupom(); });
}

void TARVIC_API set_CpfCliente(const char *cpf) {
  ExportaSemResultado(Exportacao(__func__, cpf),
                      [&] { EstadoEcf.CpfCliente = tarvic::ApenasDigitos(Texto(cpf)); });
}

void TARVIC_API set_ieCnpj(const char *ie, const char *cnpj) {
  ExportaSemResultado(Exportacao(__func__, ie, cnpj), [&] {
    EstadoEcf.Ie = tarvic::ApenasDigitos(Texto(ie));
    EstadoEcf.Cnpj = tarvic::ApenasDigitos(Texto(cnpj));
  });
}

void TARVIC_API set_ConcessaoDF(tarvic_Flag concessao) {
  ExportaSemResultado(Exportacao(__func__, concessao),
                      [&] { EstadoEcf.ConcessaoDF = Flag(concessao); });
}

void TARVIC_API set_vIcmCupom(tarvic_Moeda valor) {
  ExportaSemResultado(Exportacao(__func__, valor), [&] { EstadoEcf.vIcmCupom = valor; });
}

tarvic_Flag TARVIC_API ecf_VendeItem(const char *codigo, const char *descricao, const char *unidade,
                                     int32_t ignorado4, const char *aliquota, int32_t ignorado6,
                                     const char *quantidade, const char *valorUnitario,
                                     const char *tipoAcrescimo, const char *valorAcrescimo,
                                     int32_t ignorado11, tarvic_Flag servico, int32_t numeroItem) {
  return Exporta<tarvic_Flag>(
      Exportacao(__func__, codigo, descricao, unidade, ignorado4, aliquota, ignorado6, quantidade,
                 valorUnitario, tipoAcrescimo, valorAcrescimo, ignorado11, servico, numeroItem),
      false, [&] {
        return tarvic::ecf_VendeItem(codigo, descricao, unidade, aliquota, quantidade,
                                     valorUnitario, tipoAcrescimo, valorAcrescimo, Flag(servico),
                                     numeroItem);
      });
}

tarvic_Flag TARVIC_API ecf_CancelaItemGenerico(const char *numeroItem) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, numeroItem), false,
                              [&] { return tarvic::ecf_CancelaItemGenerico(Texto(numeroItem)); });
}

tarvic_Flag TARVIC_API ecf_CancelaCupom(void) {
  return Exporta<tarvic_Flag>(Exportacao(__func__), false,
                              [] { return tarvic::ecf_CancelaCupom(); });
}

tarvic_Flag TARVIC_API ecf_IniciaFechamentoCupom(const char *acrescimoDesconto, const char *valor) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, acrescimoDesconto, valor), false, [&] {
    return tarvic::ecf_IniciaFechamentoCupom(Texto(acrescimoDesconto), Texto(valor));
  });
}

tarvic_Flag TARVIC_API ecf_EfetuaFormaPagto(const char *formaPagamento, tarvic_Moeda valor) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, formaPagamento, valor), false, [&] {
    return tarvic::ecf_EfetuaFormaPagto(Texto(formaPagamento), valor);
  });
}

tarvic_Flag TARVIC_API ecf_TerminaFechamentoCupom(const char *mensagemCupom) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, mensagemCupom), false, [&] {
    return tarvic::ecf_TerminaFechamentoCupom(Texto(mensagemCupom));
  });
}

tarvic_MoedaResultado TARVIC_API ecf_SubtotalCupom(void) {
  return Exporta<tarvic_MoedaResultado>(Exportacao(__func__), 0, [&] {
    return static_cast<tarvic_MoedaResultado>(tarvic::ecf_SubtotalCupom());
  });
}

}  // extern "C"
