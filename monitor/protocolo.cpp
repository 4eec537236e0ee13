#include "protocolo.h"

#include <cmath>
#include <cstdio>

#include "conversao.h"

namespace monitor {

namespace {

std::string Onde(const Posicao &p) {
  return "argumento " + std::to_string(p.indice + 1) + " (" + p.nome + ") de " + p.funcao;
}

[[noreturn]] void RecusaArgumento(const Posicao &p, const std::string &oQue) {
  throw Recusa(Onde(p) + ": " + oQue);
}

Json LeId(const Json &pedido) {
  const auto id = pedido.find("id");
  if (id == pedido.end()) return nullptr;
  if (!id->is_number() && !id->is_string() && !id->is_null())
    throw Recusa("\"id\" deve ser um número, um texto ou null");
  return *id;
}

std::vector<bool> LeRespostas(const Json &lista) {
  if (!lista.is_array()) throw Recusa("\"respostas\" deve ser uma lista de \"sim\" e \"nao\"");
  std::vector<bool> respostas;
  for (const Json &r : lista) {
    const std::string t = r.is_string() ? r.get<std::string>() : std::string();
    if (t != "sim" && t != "nao" && t != "não")
      throw Recusa("\"respostas\" deve ser uma lista de \"sim\" e \"nao\"");
    respostas.push_back(t == "sim");
  }
  return respostas;
}

std::string CodigoU(uint32_t c) {
  char b[16];
  std::snprintf(b, sizeof b, "U+%04X", static_cast<unsigned>(c));
  return b;
}

}  // namespace

Requisicao LeRequisicao(const std::string &linha, Json &id) {
  id = nullptr;
  Json pedido = Json::parse(linha, nullptr, false);
  if (pedido.is_discarded()) throw Recusa("a linha não é JSON válido (em UTF-8)");
  if (!pedido.is_object()) throw Recusa("a requisição deve ser um objeto JSON");
  Requisicao r;
  id = LeId(pedido);
  r.id = id;
  for (auto &[chave, valor] : pedido.items()) {
    if (chave == "id") continue;
    if (chave == "funcao") {
      if (!valor.is_string()) throw Recusa("\"funcao\" deve ser o nome de uma função, em texto");
      r.funcao = valor.get<std::string>();
    } else if (chave == "args") {
      if (!valor.is_array()) throw Recusa("\"args\" deve ser uma lista");
      r.args = std::move(valor);
    } else if (chave == "respostas") {
      r.respostas = LeRespostas(valor);
    } else {
      throw Recusa("campo desconhecido: \"" + chave + "\"");
    }
  }
  if (r.funcao.empty()) throw Recusa("falta \"funcao\", o nome da função a chamar");
  return r;
}

std::string Linha(const Json &valor) {
  return valor.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string RespostaDeErro(const Json &id, const std::string &erro) {
  Json r;
  r["id"] = id;
  r["erro"] = erro;
  return Linha(r);
}

// ---- Arguments -----------------------------------------------------------------

const char *Converte(const Json &valor, const Posicao &p, Tipo<const char *>, Textos &textos) {
  if (valor.is_null()) return nullptr;
  if (!valor.is_string()) RecusaArgumento(p, "esperado um texto (ou null)");
  const std::string &utf8 = valor.get_ref<const std::string &>();
  if (utf8.find('\0') != std::string::npos)
    RecusaArgumento(p, "o texto tem um caractere nulo (U+0000), que a biblioteca não recebe");
  std::string cp1252;
  uint32_t semForma = 0;
  if (!ParaCp1252(utf8, cp1252, semForma))
    RecusaArgumento(p, "o caractere " + CodigoU(semForma) + " não existe em Windows-1252");
  textos.push_back(std::move(cp1252));
  return textos.back().c_str();
}

int32_t Converte(const Json &valor, const Posicao &p, Tipo<int32_t>, Textos &) {
  if (!valor.is_number_integer()) RecusaArgumento(p, "esperado um número inteiro");
  const bool cabe = valor.is_number_unsigned()
                        ? valor.get<uint64_t>() <= static_cast<uint64_t>(INT32_MAX)
                        : valor.get<int64_t>() >= INT32_MIN && valor.get<int64_t>() <= INT32_MAX;
  if (!cabe) RecusaArgumento(p, "o inteiro passa de 32 bits");
  return static_cast<int32_t>(valor.get<int64_t>());
}

tarvic_Flag Converte(const Json &valor, const Posicao &p, Tipo<tarvic_Flag>, Textos &) {
  if (!valor.is_boolean()) RecusaArgumento(p, "esperado true ou false");
  return valor.get<bool>() ? 1 : 0;
}

tarvic_Moeda Converte(const Json &valor, const Posicao &p, Tipo<tarvic_Moeda>, Textos &) {
  const char *como = "valor em dinheiro: um inteiro de décimos de milésimo (21,90 é 219000)";
  if (valor.is_number_unsigned()) {
    if (valor.get<uint64_t>() > static_cast<uint64_t>(INT64_MAX)) RecusaArgumento(p, como);
    return static_cast<tarvic_Moeda>(valor.get<uint64_t>());
  }
  if (!valor.is_number_integer()) RecusaArgumento(p, como);
  return valor.get<int64_t>();
}

tarvic_DataHora Converte(const Json &valor, const Posicao &p, Tipo<tarvic_DataHora>, Textos &) {
  if (valor.is_number()) return valor.get<double>();
  if (valor.is_string())
    if (const std::optional<double> dia = DiaDeIso(valor.get<std::string>())) return *dia;
  RecusaArgumento(p,
                  "esperada uma data: o número do dia (desde 30/12/1899) ou \"AAAA-MM-DD\" ou "
                  "\"AAAA-MM-DDTHH:MM:SS\"");
}

ecf_TratadorMensagem Converte(const Json &, const Posicao &p, Tipo<ecf_TratadorMensagem>,
                              Textos &) {
  throw Recusa(std::string(p.funcao) +
               " não é atendida pelo monitor: uma função não viaja em JSON; as perguntas ao "
               "operador são respondidas pela política do monitor (--resposta) ou pela lista "
               "\"respostas\" da requisição, e as mensagens vêm em \"mensagens\" na resposta");
}

// ---- Results ---------------------------------------------------------------------

void PoeResultado(Json &resposta, tarvic_Flag resultado) {
  resposta["resultado"] = resultado != 0;
}

void PoeResultado(Json &resposta, int32_t resultado) {
  resposta["resultado"] = resultado;
}

void PoeResultado(Json &resposta, tarvic_MoedaResultado resultado) {
  // The library hands a whole count on the x87 stack; anything else is not money.
  if (std::isfinite(resultado) && std::fabs(resultado) < 9.2e18L)
    resposta["resultado"] = static_cast<int64_t>(std::llround(resultado));
  else
    resposta["resultado"] = nullptr;
}

void PoeResultado(Json &resposta, tarvic_DataHora resultado) {
  if (std::isfinite(resultado))
    resposta["resultado"] = resultado;
  else
    resposta["resultado"] = nullptr;
  const std::string iso = IsoDeDia(resultado);
  if (iso.empty())
    resposta["resultado_iso"] = nullptr;
  else
    resposta["resultado_iso"] = iso;
}

}  // namespace monitor
