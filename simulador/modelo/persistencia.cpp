// Arquivo de estado (JSON), arquivo de controle de falhas e partida da impressora.
#include "impressora_fiscal.h"

#include "texto.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace fs = std::filesystem;
using nlohmann::json;

namespace tarvic {
namespace simulador {

const char* const VariavelEstado = "TARVIC_SIM_ESTADO";
const char* const VariavelFalhas = "TARVIC_SIM_FALHAS";

namespace {

const int VersaoEstado = 1;

// Os textos do simulador são Windows-1252; o JSON guarda UTF-8.
std::string u8(const std::string& s) {
  return cp1252ParaUtf8(s);
}

std::string lerTexto(const json& j, const char* chave, const std::string& padrao = std::string()) {
  auto it = j.find(chave);
  if (it == j.end()) return padrao;
  return utf8ParaCp1252(it->get<std::string>());
}

template <typename T>
T ler(const json& j, const char* chave, T padrao) {
  auto it = j.find(chave);
  if (it == j.end()) return padrao;
  return it->get<T>();
}

std::string pastaTemporaria() {
  for (const char* nome : {"TEMP", "TMP", "TMPDIR"}) {
    const char* v = std::getenv(nome);
    if (v && *v) return v;
  }
  return "/tmp";
}

std::string nomeDeArquivo(const std::string& fabricante) {
  std::string r;
  for (char c : maiusculas(apara(fabricante))) {
    bool valido = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    r += valido ? c : '_';
  }
  return "tarvic_sim_" + (r.empty() ? std::string("ECF") : r) + ".json";
}

// The state keeps whole numbers only. A real number in it (an integer too
// large for any integer type is parsed as one) would be converted beyond the
// range of its field; the file is refused instead. Walked without recursion:
// the nesting of a damaged file has no limit.
bool temNumeroReal(const json& raiz) {
  std::vector<const json*> pendentes{&raiz};
  while (!pendentes.empty()) {
    const json* j = pendentes.back();
    pendentes.pop_back();
    if (j->is_number_float()) return true;
    if (j->is_structured())
      for (const json& filho : *j) pendentes.push_back(&filho);
  }
  return false;
}

void aviso(const std::string& linha) {
  std::cerr << "tarvic simulador: " << linha << std::endl;
}

}  // namespace

// ---------------------------------------------------------------- JSON dos tipos

void to_json(json& j, const DataHora& d) {
  j = d.ano == 0 ? std::string() : d.texto();
}

void from_json(const json& j, DataHora& d) {
  d = DataHora();
  std::string s = j.get<std::string>();
  if (s.empty()) return;
  // "dd/mm/aaaa hh:mm:ss"
  if (s.size() != 19) throw std::runtime_error("data mal formada: " + s);
  d.dia = std::stoi(s.substr(0, 2));
  d.mes = std::stoi(s.substr(3, 2));
  d.ano = std::stoi(s.substr(6, 4));
  d.hora = std::stoi(s.substr(11, 2));
  d.minuto = std::stoi(s.substr(14, 2));
  d.segundo = std::stoi(s.substr(17, 2));
  if (!d.valida()) throw std::runtime_error("data invalida: " + s);
}

void to_json(json& j, const TotalParcial& t) {
  j = json{{"codigo", u8(t.codigo)}, {"total", t.total}};
}

void from_json(const json& j, TotalParcial& t) {
  t.codigo = lerTexto(j, "codigo");
  t.total = ler<int64_t>(j, "total", 0);
}

void to_json(json& j, const Identificacao& i) {
  j = json{{"fabricante", u8(i.fabricante)},
           {"marca", u8(i.marca)},
           {"modelo", u8(i.modelo)},
           {"tipo", u8(i.tipo)},
           {"mfd", i.mfd},
           {"numeroSerie", u8(i.numeroSerie)},
           {"numeroUsuario", i.numeroUsuario},
           {"numeroCaixa", i.numeroCaixa},
           {"numeroLoja", i.numeroLoja},
           {"versaoFirmware", u8(i.versaoFirmware)},
           {"razaoSocial", u8(i.razaoSocial)},
           {"endereco", u8(i.endereco)},
           {"cidade", u8(i.cidade)},
           {"cnpj", u8(i.cnpj)},
           {"ie", u8(i.ie)},
           {"im", u8(i.im)}};
}

void from_json(const json& j, Identificacao& i) {
  Identificacao p;
  i.fabricante = lerTexto(j, "fabricante", p.fabricante);
  i.marca = lerTexto(j, "marca", p.marca);
  i.modelo = lerTexto(j, "modelo", p.modelo);
  i.tipo = lerTexto(j, "tipo", p.tipo);
  i.mfd = ler<bool>(j, "mfd", p.mfd);
  i.numeroSerie = lerTexto(j, "numeroSerie", p.numeroSerie);
  i.numeroUsuario = ler<int>(j, "numeroUsuario", p.numeroUsuario);
  i.numeroCaixa = ler<int>(j, "numeroCaixa", p.numeroCaixa);
  i.numeroLoja = ler<int>(j, "numeroLoja", p.numeroLoja);
  i.versaoFirmware = lerTexto(j, "versaoFirmware", p.versaoFirmware);
  i.razaoSocial = lerTexto(j, "razaoSocial", p.razaoSocial);
  i.endereco = lerTexto(j, "endereco", p.endereco);
  i.cidade = lerTexto(j, "cidade", p.cidade);
  i.cnpj = lerTexto(j, "cnpj", p.cnpj);
  i.ie = lerTexto(j, "ie", p.ie);
  i.im = lerTexto(j, "im", p.im);
}

void to_json(json& j, const Aliquota& a) {
  j = json{{"indice", a.indice},
           {"tipo", a.tipo == TipoTributo::Icms ? "ICMS" : "ISS"},
           {"percentual", a.percentual},
           {"totalDia", a.totalDia}};
}

void from_json(const json& j, Aliquota& a) {
  a.indice = j.at("indice").get<int>();
  a.tipo = j.at("tipo").get<std::string>() == "ISS" ? TipoTributo::Iss : TipoTributo::Icms;
  a.percentual = j.at("percentual").get<int64_t>();
  a.totalDia = ler<int64_t>(j, "totalDia", 0);
}

void to_json(json& j, const FormaPagamento& f) {
  j = json{{"indice", f.indice},
           {"nome", u8(f.nome)},
           {"permiteVinculado", f.permiteVinculado},
           {"totalDia", f.totalDia}};
}

void from_json(const json& j, FormaPagamento& f) {
  f.indice = j.at("indice").get<int>();
  f.nome = lerTexto(j, "nome");
  f.permiteVinculado = ler<bool>(j, "permiteVinculado", false);
  f.totalDia = ler<int64_t>(j, "totalDia", 0);
}

void to_json(json& j, const TotalizadorNaoFiscal& t) {
  j = json{{"indice", t.indice},
           {"nome", u8(t.nome)},
           {"saida", t.saida},
           {"totalDia", t.totalDia},
           {"contadorDia", t.contadorDia}};
}

void from_json(const json& j, TotalizadorNaoFiscal& t) {
  t.indice = j.at("indice").get<int>();
  t.nome = lerTexto(j, "nome");
  t.saida = ler<bool>(j, "saida", false);
  t.totalDia = ler<int64_t>(j, "totalDia", 0);
  t.contadorDia = ler<int>(j, "contadorDia", 0);
}

void to_json(json& j, const RelatorioGerencial& r) {
  j = json{{"indice", r.indice}, {"nome", u8(r.nome)}, {"contadorDia", r.contadorDia}};
}

void from_json(const json& j, RelatorioGerencial& r) {
  r.indice = j.at("indice").get<int>();
  r.nome = lerTexto(j, "nome");
  r.contadorDia = ler<int>(j, "contadorDia", 0);
}

void to_json(json& j, const Contadores& c) {
  j = json{{"coo", c.coo}, {"ccf", c.ccf}, {"gnf", c.gnf}, {"grg", c.grg}, {"cdc", c.cdc},
           {"crz", c.crz}, {"cro", c.cro}, {"cfc", c.cfc}, {"cnf", c.cnf}};
}

void from_json(const json& j, Contadores& c) {
  c.coo = j.at("coo").get<int>();
  c.ccf = j.at("ccf").get<int>();
  c.gnf = j.at("gnf").get<int>();
  c.grg = j.at("grg").get<int>();
  c.cdc = j.at("cdc").get<int>();
  c.crz = j.at("crz").get<int>();
  c.cro = j.at("cro").get<int>();
  c.cfc = ler<int>(j, "cfc", 0);
  c.cnf = ler<int>(j, "cnf", 0);
}

void to_json(json& j, const ItemCupom& i) {
  j = json{{"numero", i.numero},
           {"codigo", u8(i.codigo)},
           {"descricao", u8(i.descricao)},
           {"unidade", u8(i.unidade)},
           {"aliquota", u8(i.aliquota)},
           {"iss", i.iss},
           {"quantidadeMilesimos", i.quantidadeMilesimos},
           {"precoUnitarioMilesimos", i.precoUnitarioMilesimos},
           {"bruto", i.bruto},
           {"acrescimo", i.acrescimo},
           {"desconto", i.desconto},
           {"rateioSubtotal", i.rateioSubtotal},
           {"cancelado", i.cancelado}};
}

void from_json(const json& j, ItemCupom& i) {
  i.numero = j.at("numero").get<int>();
  i.codigo = lerTexto(j, "codigo");
  i.descricao = lerTexto(j, "descricao");
  i.unidade = lerTexto(j, "unidade");
  i.aliquota = lerTexto(j, "aliquota");
  i.iss = ler<bool>(j, "iss", false);
  i.quantidadeMilesimos = j.at("quantidadeMilesimos").get<int64_t>();
  i.precoUnitarioMilesimos = j.at("precoUnitarioMilesimos").get<int64_t>();
  i.bruto = j.at("bruto").get<int64_t>();
  i.acrescimo = ler<int64_t>(j, "acrescimo", 0);
  i.desconto = ler<int64_t>(j, "desconto", 0);
  i.rateioSubtotal = ler<int64_t>(j, "rateioSubtotal", 0);
  i.cancelado = ler<bool>(j, "cancelado", false);
}

void to_json(json& j, const PagamentoCupom& p) {
  j = json{{"forma", u8(p.forma)},
           {"valor", p.valor},
           {"observacao", u8(p.observacao)},
           {"vinculadoUsado", p.vinculadoUsado}};
}

void from_json(const json& j, PagamentoCupom& p) {
  p.forma = lerTexto(j, "forma");
  p.valor = j.at("valor").get<int64_t>();
  p.observacao = lerTexto(j, "observacao");
  p.vinculadoUsado = ler<int64_t>(j, "vinculadoUsado", 0);
}

void to_json(json& j, const Cupom& c) {
  j = json{{"coo", c.coo},
           {"ccf", c.ccf},
           {"abertura", c.abertura},
           {"consumidorDocumento", u8(c.consumidorDocumento)},
           {"consumidorNome", u8(c.consumidorNome)},
           {"consumidorEndereco", u8(c.consumidorEndereco)},
           {"itens", c.itens},
           {"acrescimoSubtotal", c.acrescimoSubtotal},
           {"descontoSubtotal", c.descontoSubtotal},
           {"pagamentos", c.pagamentos},
           {"fase", static_cast<int>(c.fase)},
           {"cancelado", c.cancelado}};
}

void from_json(const json& j, Cupom& c) {
  c.coo = ler<int>(j, "coo", 0);
  c.ccf = ler<int>(j, "ccf", 0);
  c.abertura = ler<DataHora>(j, "abertura", DataHora());
  c.consumidorDocumento = lerTexto(j, "consumidorDocumento");
  c.consumidorNome = lerTexto(j, "consumidorNome");
  c.consumidorEndereco = lerTexto(j, "consumidorEndereco");
  c.itens = ler<std::vector<ItemCupom>>(j, "itens", {});
  c.acrescimoSubtotal = ler<int64_t>(j, "acrescimoSubtotal", 0);
  c.descontoSubtotal = ler<int64_t>(j, "descontoSubtotal", 0);
  c.pagamentos = ler<std::vector<PagamentoCupom>>(j, "pagamentos", {});
  int fase = ler<int>(j, "fase", 0);
  if (fase < 0 || fase > static_cast<int>(FaseCupom::Pago))
    throw std::runtime_error("fase de cupom invalida");
  c.fase = static_cast<FaseCupom>(fase);
  c.cancelado = ler<bool>(j, "cancelado", false);
}

void to_json(json& j, const ItemNaoFiscal& i) {
  j = json{{"indiceTotalizador", i.indiceTotalizador},
           {"totalizador", u8(i.totalizador)},
           {"valor", i.valor},
           {"saida", i.saida}};
}

void from_json(const json& j, ItemNaoFiscal& i) {
  i.indiceTotalizador = j.at("indiceTotalizador").get<int>();
  i.totalizador = lerTexto(j, "totalizador");
  i.valor = j.at("valor").get<int64_t>();
  i.saida = ler<bool>(j, "saida", false);
}

void to_json(json& j, const ComprovanteNaoFiscal& c) {
  j = json{{"coo", c.coo},
           {"itens", c.itens},
           {"pagamentos", c.pagamentos},
           {"fase", static_cast<int>(c.fase)}};
}

void from_json(const json& j, ComprovanteNaoFiscal& c) {
  c.coo = ler<int>(j, "coo", 0);
  c.itens = ler<std::vector<ItemNaoFiscal>>(j, "itens", {});
  c.pagamentos = ler<std::vector<PagamentoCupom>>(j, "pagamentos", {});
  int fase = ler<int>(j, "fase", 0);
  if (fase < 0 || fase > static_cast<int>(FaseCupom::Pago))
    throw std::runtime_error("fase de comprovante invalida");
  c.fase = static_cast<FaseCupom>(fase);
}

void to_json(json& j, const ComprovanteVinculado& c) {
  j = json{{"coo", c.coo}, {"cooCupom", c.cooCupom}, {"forma", u8(c.forma)}, {"valor", c.valor}};
}

void from_json(const json& j, ComprovanteVinculado& c) {
  c.coo = ler<int>(j, "coo", 0);
  c.cooCupom = ler<int>(j, "cooCupom", 0);
  c.forma = lerTexto(j, "forma");
  c.valor = ler<int64_t>(j, "valor", 0);
}

void to_json(json& j, const TotaisDia& t) {
  j = json{{"grandeTotalInicial", t.grandeTotalInicial},
           {"cancelamentosIcms", t.cancelamentosIcms},
           {"cancelamentosIss", t.cancelamentosIss},
           {"descontosIcms", t.descontosIcms},
           {"descontosIss", t.descontosIss},
           {"acrescimosIcms", t.acrescimosIcms},
           {"acrescimosIss", t.acrescimosIss},
           {"troco", t.troco},
           {"sangrias", t.sangrias},
           {"suprimentos", t.suprimentos},
           {"fixos", t.fixos}};
}

void from_json(const json& j, TotaisDia& t) {
  t.grandeTotalInicial = j.at("grandeTotalInicial").get<int64_t>();
  t.cancelamentosIcms = ler<int64_t>(j, "cancelamentosIcms", 0);
  t.cancelamentosIss = ler<int64_t>(j, "cancelamentosIss", 0);
  t.descontosIcms = ler<int64_t>(j, "descontosIcms", 0);
  t.descontosIss = ler<int64_t>(j, "descontosIss", 0);
  t.acrescimosIcms = ler<int64_t>(j, "acrescimosIcms", 0);
  t.acrescimosIss = ler<int64_t>(j, "acrescimosIss", 0);
  t.troco = ler<int64_t>(j, "troco", 0);
  t.sangrias = ler<int64_t>(j, "sangrias", 0);
  t.suprimentos = ler<int64_t>(j, "suprimentos", 0);
  t.fixos = ler<std::vector<TotalParcial>>(j, "fixos", {});
}

void to_json(json& j, const DadosReducao& z) {
  j = json{{"crz", z.crz},
           {"coo", z.coo},
           {"cro", z.cro},
           {"dataMovimento", z.dataMovimento},
           {"dataHoraEmissao", z.dataHoraEmissao},
           {"grandeTotal", z.grandeTotal},
           {"vendaBruta", z.vendaBruta},
           {"vendaLiquida", z.vendaLiquida},
           {"cancelamentosIcms", z.cancelamentosIcms},
           {"cancelamentosIss", z.cancelamentosIss},
           {"descontosIcms", z.descontosIcms},
           {"descontosIss", z.descontosIss},
           {"acrescimosIcms", z.acrescimosIcms},
           {"acrescimosIss", z.acrescimosIss},
           {"totaisParciais", z.totaisParciais},
           {"formasPagamento", z.formasPagamento},
           {"naoFiscais", z.naoFiscais},
           {"ccf", z.ccf},
           {"gnf", z.gnf},
           {"grg", z.grg},
           {"cdc", z.cdc},
           {"cfc", z.cfc},
           {"cnf", z.cnf}};
}

void from_json(const json& j, DadosReducao& z) {
  z.crz = j.at("crz").get<int>();
  z.coo = j.at("coo").get<int>();
  z.cro = ler<int>(j, "cro", 1);
  z.dataMovimento = j.at("dataMovimento").get<DataHora>();
  z.dataHoraEmissao = ler<DataHora>(j, "dataHoraEmissao", DataHora());
  z.grandeTotal = j.at("grandeTotal").get<int64_t>();
  z.vendaBruta = ler<int64_t>(j, "vendaBruta", 0);
  z.vendaLiquida = ler<int64_t>(j, "vendaLiquida", 0);
  z.cancelamentosIcms = ler<int64_t>(j, "cancelamentosIcms", 0);
  z.cancelamentosIss = ler<int64_t>(j, "cancelamentosIss", 0);
  z.descontosIcms = ler<int64_t>(j, "descontosIcms", 0);
  z.descontosIss = ler<int64_t>(j, "descontosIss", 0);
  z.acrescimosIcms = ler<int64_t>(j, "acrescimosIcms", 0);
  z.acrescimosIss = ler<int64_t>(j, "acrescimosIss", 0);
  z.totaisParciais = ler<std::vector<TotalParcial>>(j, "totaisParciais", {});
  z.formasPagamento = ler<std::vector<TotalParcial>>(j, "formasPagamento", {});
  z.naoFiscais = ler<std::vector<TotalParcial>>(j, "naoFiscais", {});
  z.ccf = ler<int>(j, "ccf", 0);
  z.gnf = ler<int>(j, "gnf", 0);
  z.grg = ler<int>(j, "grg", 0);
  z.cdc = ler<int>(j, "cdc", 0);
  z.cfc = ler<int>(j, "cfc", 0);
  z.cnf = ler<int>(j, "cnf", 0);
}

void to_json(json& j, const DocumentoImpresso& d) {
  json linhas = json::array();
  for (const std::string& l : d.linhas) linhas.push_back(u8(l));
  j = json{{"coo", d.coo}, {"tipo", d.tipo}, {"dataHora", d.dataHora}, {"linhas", linhas}};
}

void from_json(const json& j, DocumentoImpresso& d) {
  d.coo = j.at("coo").get<int>();
  d.tipo = lerTexto(j, "tipo");
  d.dataHora = ler<DataHora>(j, "dataHora", DataHora());
  d.linhas.clear();
  for (const json& l : j.at("linhas")) d.linhas.push_back(utf8ParaCp1252(l.get<std::string>()));
}

// ---------------------------------------------------------------- estado inteiro

std::string ImpressoraFiscal::serializa() const {
  json injetados = json::object();
  for (const auto& par : codigosInjetados_) injetados[u8(par.first)] = par.second;
  json j;
  j["versao"] = VersaoEstado;
  j["identificacao"] = identificacao_;
  j["contadores"] = contadores_;
  j["grandeTotal"] = grandeTotal_;
  j["arredonda"] = arredonda_;
  j["horarioVerao"] = horarioVerao_;
  j["deslocamentoRelogio"] = relogio_.deslocamento();
  j["aliquotas"] = aliquotas_;
  j["formasPagamento"] = formas_;
  j["totalizadoresNaoFiscais"] = totalizadores_;
  j["relatoriosGerenciais"] = relatorios_;
  j["diaAberto"] = diaAberto_;
  j["dataMovimento"] = dataMovimento_;
  j["totaisDia"] = totais_;
  j["documentoAberto"] = static_cast<int>(documento_);
  j["cupom"] = cupom_;
  j["ultimoCupom"] = ultimoCupom_;
  j["ultimoCupomCancelavel"] = ultimoCupomCancelavel_;
  j["naoFiscal"] = naoFiscal_;
  j["vinculado"] = vinculado_;
  j["relatorioAberto"] = relatorioAberto_;
  j["ultimoDocumento"] = ultimoDocumento_;
  j["gavetaAberta"] = gavetaAberta_;
  j["aberturasGaveta"] = aberturasGaveta_;
  j["codigosInjetados"] = injetados;
  j["memoriaFiscal"] = memoriaFiscal_;
  j["jornal"] = jornal_;
  return j.dump(1);
}

bool ImpressoraFiscal::desserializa(const std::string& texto, std::string& erro) {
  try {
    json j = json::parse(texto);
    if (!j.is_object()) throw std::runtime_error("o conteudo nao e um objeto JSON");
    if (temNumeroReal(j)) throw std::runtime_error("numero nao inteiro");
    int versao = j.at("versao").get<int>();
    if (versao != VersaoEstado)
      throw std::runtime_error("versao " + std::to_string(versao) + " desconhecida");
    // Lê tudo em variáveis locais primeiro: um arquivo estragado no meio não
    // pode deixar a impressora meio carregada.
    Identificacao identificacao = j.at("identificacao").get<Identificacao>();
    Contadores contadores = j.at("contadores").get<Contadores>();
    int64_t grandeTotal = j.at("grandeTotal").get<int64_t>();
    std::vector<Aliquota> aliquotas = j.at("aliquotas").get<std::vector<Aliquota>>();
    std::vector<FormaPagamento> formas = j.at("formasPagamento").get<std::vector<FormaPagamento>>();
    std::vector<TotalizadorNaoFiscal> totalizadores =
        j.at("totalizadoresNaoFiscais").get<std::vector<TotalizadorNaoFiscal>>();
    std::vector<RelatorioGerencial> relatorios =
        j.at("relatoriosGerenciais").get<std::vector<RelatorioGerencial>>();
    TotaisDia totais = j.at("totaisDia").get<TotaisDia>();
    int documento = ler<int>(j, "documentoAberto", 0);
    if (documento < 0 || documento > static_cast<int>(TipoDocumento::ComprovanteVinculado))
      throw std::runtime_error("documento aberto invalido");
    Cupom cupom = ler<Cupom>(j, "cupom", Cupom());
    Cupom ultimo = ler<Cupom>(j, "ultimoCupom", Cupom());
    ComprovanteNaoFiscal naoFiscal =
        ler<ComprovanteNaoFiscal>(j, "naoFiscal", ComprovanteNaoFiscal());
    ComprovanteVinculado vinculado =
        ler<ComprovanteVinculado>(j, "vinculado", ComprovanteVinculado());
    std::map<std::string, std::vector<int>> injetados;
    const json codigos = ler<json>(j, "codigosInjetados", json::object());
    for (const auto& par : codigos.items())
      injetados[utf8ParaCp1252(par.key())] = par.value().get<std::vector<int>>();
    std::vector<DadosReducao> memoria = ler<std::vector<DadosReducao>>(j, "memoriaFiscal", {});
    std::vector<DocumentoImpresso> jornal = ler<std::vector<DocumentoImpresso>>(j, "jornal", {});
    DataHora dataMovimento = ler<DataHora>(j, "dataMovimento", DataHora());
    bool diaAberto = ler<bool>(j, "diaAberto", false);
    if (diaAberto && !dataMovimento.valida())
      throw std::runtime_error("dia aberto sem data de movimento");
    if (grandeTotal < 0) throw std::runtime_error("grande total negativo");

    identificacao_ = identificacao;
    contadores_ = contadores;
    grandeTotal_ = grandeTotal;
    arredonda_ = ler<bool>(j, "arredonda", false);
    horarioVerao_ = ler<bool>(j, "horarioVerao", false);
    relogio_.defineDeslocamento(ler<int64_t>(j, "deslocamentoRelogio", 0));
    aliquotas_ = aliquotas;
    formas_ = formas;
    totalizadores_ = totalizadores;
    relatorios_ = relatorios;
    diaAberto_ = diaAberto;
    dataMovimento_ = dataMovimento;
    totais_ = totais;
    documento_ = static_cast<TipoDocumento>(documento);
    cupom_ = cupom;
    ultimoCupom_ = ultimo;
    ultimoCupomCancelavel_ = ler<bool>(j, "ultimoCupomCancelavel", false);
    naoFiscal_ = naoFiscal;
    vinculado_ = vinculado;
    relatorioAberto_ = ler<int>(j, "relatorioAberto", 0);
    ultimoDocumento_ = ler<DataHora>(j, "ultimoDocumento", DataHora());
    gavetaAberta_ = ler<bool>(j, "gavetaAberta", false);
    aberturasGaveta_ = ler<int>(j, "aberturasGaveta", 0);
    codigosInjetados_ = injetados;
    memoriaFiscal_ = memoria;
    jornal_ = jornal;
    return true;
  } catch (const std::exception& e) {
    erro = e.what();
    return false;
  }
}

bool ImpressoraFiscal::grava() {
  try {
    std::string texto = serializa();
    fs::path destino(caminhoEstado_);
    if (destino.has_parent_path()) {
      std::error_code ec;
      fs::create_directories(destino.parent_path(), ec);
    }
    // Grava ao lado e troca, para que uma queda no meio não deixe um
    // arquivo pela metade no lugar do estado.
    fs::path temporario(caminhoEstado_ + ".tmp");
    {
      std::ofstream saida(temporario, std::ios::binary | std::ios::trunc);
      saida << texto;
      saida.close();
      if (!saida) throw std::runtime_error("nao foi possivel escrever " + temporario.string());
    }
    std::error_code ec;
    fs::rename(temporario, destino, ec);
    if (ec) {
      fs::remove(destino, ec);
      fs::rename(temporario, destino, ec);
      if (ec)
        throw std::runtime_error("nao foi possivel substituir " + caminhoEstado_ + ": " +
                                 ec.message());
    }
    return true;
  } catch (const std::exception& e) {
    if (!avisouGravacao_) aviso(std::string("falha ao gravar o estado: ") + e.what());
    avisouGravacao_ = true;
    return false;
  } catch (...) {
    return false;
  }
}

void ImpressoraFiscal::carrega() {
  std::ifstream entrada(caminhoEstado_, std::ios::binary);
  if (!entrada) {
    aviso("arquivo de estado '" + caminhoEstado_ + "' nao encontrado; nova impressora iniciada");
    grava();
    return;
  }
  std::stringstream conteudo;
  conteudo << entrada.rdbuf();
  entrada.close();
  std::string erro;
  if (desserializa(conteudo.str(), erro)) return;
  // O arquivo estragado fica guardado ao lado, para quem quiser examiná-lo.
  std::string guardado = caminhoEstado_ + ".corrompido";
  std::error_code ec;
  fs::remove(guardado, ec);
  fs::rename(caminhoEstado_, guardado, ec);
  aviso("arquivo de estado '" + caminhoEstado_ + "' ilegivel (" + erro + "); guardado como '" +
        guardado + "', nova impressora iniciada");
  estadoDeFabrica();
  grava();
}

ImpressoraFiscal::ImpressoraFiscal(const std::string& fabricante, const std::string& caminhoEstado,
                                   bool aplicarFalhasDoAmbiente) {
  try {
    identificacao_.fabricante = maiusculas(apara(fabricante));
    caminhoEstado_ = caminhoEstado;
    if (caminhoEstado_.empty()) {
      const char* variavel = std::getenv(VariavelEstado);
      std::string v = variavel ? apara(variavel) : std::string();
      std::error_code ec;
      if (v.empty())
        caminhoEstado_ = (fs::path(pastaTemporaria()) / nomeDeArquivo(fabricante)).string();
      else if (fs::is_directory(v, ec))
        caminhoEstado_ = (fs::path(v) / nomeDeArquivo(fabricante)).string();
      else
        caminhoEstado_ = v;
    }
    estadoDeFabrica();
    carrega();
    if (aplicarFalhasDoAmbiente) {
      const char* falhas = std::getenv(VariavelFalhas);
      if (falhas && *falhas && !aplicaFalhas(falhas))
        aviso(std::string("item nao entendido em ") + VariavelFalhas + ": '" + falhas + "'");
    }
    aplicaArquivoControle();
  } catch (const std::exception& e) {
    aviso(std::string("falha na partida: ") + e.what());
  } catch (...) {
  }
}

// ---------------------------------------------------------------- falhas

bool ImpressoraFiscal::aplicaFalhas(const std::string& texto) {
  bool tudoEntendido = true;
  bool mudouMemoria = false;
  std::string item;
  std::vector<std::string> itens;
  for (char c : texto) {
    if (c == ';' || c == '\n' || c == '\r') {
      itens.push_back(item);
      item.clear();
    } else {
      item += c;
    }
  }
  itens.push_back(item);
  for (const std::string& bruto : itens) {
    std::string i = apara(bruto);
    if (i.empty() || i[0] == '#') continue;
    std::string chave = maiusculas(i);
    for (char& c : chave)
      if (c == ' ') c = '_';
    if (chave == "DESLIGADA") {
      ligada_ = false;
    } else if (chave == "LIGADA") {
      ligada_ = true;
    } else if (chave == "POUCO_PAPEL") {
      papel_ = SensorPapel::Pouco;
    } else if (chave == "SEM_PAPEL") {
      papel_ = SensorPapel::Sem;
    } else if (chave == "PAPEL" || chave == "COM_PAPEL") {
      papel_ = SensorPapel::Presente;
    } else {
      std::size_t igual = i.find('=');
      int64_t valor = 0;
      if (igual == std::string::npos || !lerDecimal(i.substr(igual + 1), 0, valor) ||
          apara(i.substr(0, igual)).empty()) {
        tudoEntendido = false;
        continue;
      }
      std::string nome = apara(i.substr(0, igual));
      if (maiusculas(nome) == "DESLOCAMENTO") {
        relogio_.defineDeslocamento(valor);
      } else {
        if (valor < INT32_MIN || valor > INT32_MAX) {
          tudoEntendido = false;
          continue;
        }
        codigosInjetados_[maiusculas(nome)].push_back(static_cast<int>(valor));
      }
      mudouMemoria = true;
    }
  }
  if (mudouMemoria) grava();
  return tudoEntendido;
}

void ImpressoraFiscal::aplicaArquivoControle() {
  std::string caminho = caminhoControle();
  std::error_code ec;
  if (!fs::exists(caminho, ec)) return;
  std::ifstream entrada(caminho, std::ios::binary);
  std::stringstream conteudo;
  conteudo << entrada.rdbuf();
  entrada.close();
  // Consumido: "a próxima chamada devolve X" vale uma vez só.
  fs::remove(caminho, ec);
  if (!aplicaFalhas(conteudo.str()))
    aviso("item nao entendido no arquivo de controle '" + caminho + "'");
}

}  // namespace simulador
}  // namespace tarvic
