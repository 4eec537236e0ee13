#include "despacho.h"

#include <map>
#include <tuple>
#include <type_traits>
#include <utility>

#include "tarvic/nomes_da_lista.h"

namespace monitor {

namespace {

struct Exportacao {
  const char *nome;
  std::vector<std::string> argumentos;
  Preparada (*prepara)(const Exportacao &, const Json &args);
};

template <class F, F f>
struct Entrada;

template <class R, class... A, R(TARVIC_API *f)(A...)>
struct Entrada<R(TARVIC_API *)(A...), f> {
  using Resultado = R;

  template <size_t... I>
  static std::tuple<A...> Converte([[maybe_unused]] const Exportacao &e,
                                   [[maybe_unused]] const Json &args,
                                   [[maybe_unused]] Textos &textos, std::index_sequence<I...>) {
    // Braces convert from left to right: the first wrong argument is the one told.
    return std::tuple<A...>{
        monitor::Converte(args[I], Posicao{e.nome, I, e.argumentos[I]}, Tipo<A>{}, textos)...};
  }

  static Preparada Prepara(const Exportacao &e, const Json &args) {
    if (args.size() != sizeof...(A))
      throw Recusa(std::string(e.nome) + " recebe " + std::to_string(sizeof...(A)) +
                   (sizeof...(A) == 1 ? " argumento" : " argumentos") + ", vieram " +
                   std::to_string(args.size()));
    Preparada p;
    std::tuple<A...> valores = Converte(e, args, *p.textos, std::index_sequence_for<A...>{});
    p.chama = [valores](Json &resposta) {
      if constexpr (std::is_void_v<R>) {
        std::apply(f, valores);
        resposta["resultado"] = nullptr;
      } else {
        PoeResultado(resposta, std::apply(f, valores));
      }
    };
    return p;
  }
};

#define EXPORTACAO(resultado, nome, parametros, argumentos)                                \
  static_assert(std::is_same_v<resultado, Entrada<decltype(&::nome), &::nome>::Resultado>, \
                #nome ": the table and the header disagree on the result");
#include "tarvic/exportacoes.inc"
#undef EXPORTACAO

const std::vector<Exportacao> &Tabela() {
  static const std::vector<Exportacao> tabela = {
#define EXPORTACAO(resultado, nome, parametros, argumentos) \
  {#nome, tarvic::NomesDaLista(#argumentos), &Entrada<decltype(&::nome), &::nome>::Prepara},
#include "tarvic/exportacoes.inc"
#undef EXPORTACAO
  };
  return tabela;
}

const std::map<std::string, const Exportacao *> &PorNome() {
  static const std::map<std::string, const Exportacao *> mapa = [] {
    std::map<std::string, const Exportacao *> m;
    for (const Exportacao &e : Tabela()) m[e.nome] = &e;
    return m;
  }();
  return mapa;
}

}  // namespace

Preparada Prepara(const Requisicao &requisicao) {
  const auto e = PorNome().find(requisicao.funcao);
  if (e == PorNome().end())
    throw Recusa("função desconhecida: \"" + requisicao.funcao +
                 "\" (não é uma exportação da "
                 "biblioteca)");
  return e->second->prepara(*e->second, requisicao.args);
}

std::vector<std::string> Exportacoes() {
  std::vector<std::string> nomes;
  for (const Exportacao &e : Tabela()) nomes.push_back(e.nome);
  return nomes;
}

}  // namespace monitor
