// Every field of every saved structure, changed alone, survives the snapshot,
// a record of the log of changes (through the memory that spares rewriting
// an unchanged section) and the fiscal memory's line. The cases come from the
// descriptions of campos_gravados.h: a field added there is tried here.
#include "campos_gravados.h"
#include "estado_gravado.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

namespace tarvic {
namespace simulador {
namespace {

using campos::Tipo;

const DataHora Um{2025, 3, 15, 10, 20, 30};
const DataHora Outra{2025, 3, 16, 11, 21, 31};

// Whether T is a list of described structures.
template <class T>
struct ListaDeDescritos : std::false_type {};
template <class T>
struct ListaDeDescritos<std::vector<T>> : campos::Descrito<T> {};

// Another value of the type, one that a file may hold.
template <class T>
T Outro(const T& v) {
  if constexpr (std::is_same_v<T, bool>)
    return !v;
  else if constexpr (std::is_integral_v<T>)
    return v + 1;
  else if constexpr (std::is_same_v<T, TipoTributo>)
    return v == TipoTributo::Icms ? TipoTributo::Iss : TipoTributo::Icms;
  else if constexpr (std::is_enum_v<T>)
    return static_cast<T>(static_cast<int>(v) == 0 ? 1 : 0);
  else if constexpr (std::is_same_v<T, std::string>)
    return v + "\xE9";  // a Windows-1252 letter, which the files keep as UTF-8
  else if constexpr (std::is_same_v<T, DataHora>)
    return v == Um ? Outra : Um;
  else
    return T{{"Bematech_FI_VendeItem", {-6}}};  // the injected codes
}

// One field changed: made ready in both states (a list given its one
// element), changed in the second, and compared where it lies.
template <class R>
struct Caso {
  std::string nome;
  std::function<void(R&)> prepara;
  std::function<void(R&)> muda;
  std::function<bool(R&, R&)> igual;
};

template <class R, class S>
struct Gerador {
  std::string prefixo;
  std::function<S&(R&)> acesso;
  std::function<void(R&)> prepara;
  std::vector<Caso<R>>& casos;

  template <class T>
  void exigido(const char* nome, T S::*membro) {
    if constexpr (std::is_same_v<S, ItemCupom> && std::is_same_v<T, int>)
      if (membro == &ItemCupom::numero) return;  // its section's key: the count covers it
    auto ao = [a = acesso, membro](R& r) -> T& { return a(r).*membro; };
    const std::string n = prefixo + nome;
    if constexpr (ListaDeDescritos<T>::value) {
      using E = typename T::value_type;
      Elementos<E>(n, ao, [](T& v) { v.assign(1, E{}); });
    } else if constexpr (campos::Descrito<T>::value) {
      Gerador<R, T>{n + ".", ao, prepara, casos}.descreve();
    } else {
      casos.push_back({n, prepara, [ao](R& r) { ao(r) = Outro(ao(r)); },
                       [ao](R& a, R& b) { return ao(a) == ao(b); }});
    }
  }
  template <class T, class... Padrao>
  void opcional(const char* nome, T S::*membro, const Padrao&...) {
    exigido(nome, membro);
  }
  void contagem(const char* nome, std::vector<ItemCupom> S::*membro) {
    auto ao = [a = acesso, membro](R& r) -> std::vector<ItemCupom>& { return a(r).*membro; };
    const std::string n = prefixo + nome;
    auto umItem = [](std::vector<ItemCupom>& v) {
      v.assign(1, ItemCupom());
      v[0].numero = 1;
    };
    casos.push_back({n, prepara, [ao, umItem](R& r) { umItem(ao(r)); },
                     [ao](R& a, R& b) { return ao(a).size() == ao(b).size(); }});
    Elementos<ItemCupom>(n, ao, umItem);
  }
  template <class T>
  void soLeitura(const char*, T S::*) {}

  template <class T>
  void secao(const char* nome, T EstadoGravado::*membro) {
    exigido(nome, membro);
  }
  template <class Vista>
  void vista(const char* nome, Tipo<Vista> t) {
    Gerador<R, S> g{prefixo + nome + ".", acesso, prepara, casos};
    campos::Descreve(g, t);
  }
  void cupom(const char* nome, Cupom EstadoGravado::*membro) { exigido(nome, membro); }

  void descreve() {
    if constexpr (std::is_same_v<S, EstadoGravado> && std::is_same_v<R, EstadoGravado>)
      campos::DescreveSecoes(*this);
    else
      campos::Descreve(*this, Tipo<S>());
  }

  // The fields of a list's element, in a list of one.
  template <class E, class Ao, class Um>
  void Elementos(const std::string& n, Ao ao, Um um) {
    auto anterior = prepara;
    auto prepara1 = [anterior, ao, um](R& r) {
      anterior(r);
      um(ao(r));
    };
    auto elemento = [ao](R& r) -> E& { return ao(r)[0]; };
    Gerador<R, E>{n + "[0].", elemento, prepara1, casos}.descreve();
  }
};

template <class R>
std::vector<Caso<R>> Casos() {
  std::vector<Caso<R>> casos;
  Gerador<R, R>{"", [](R& r) -> R& { return r; }, [](R&) {}, casos}.descreve();
  return casos;
}

// The printer's state before the change; a day may open on its movement date.
EstadoGravado Base() {
  EstadoGravado e;
  e.dataMovimento = Um;
  return e;
}

TEST(CamposGravados, CadaCampoDoEstadoVoltaDoInstantaneoEDeUmRegistro) {
  const auto casos = Casos<EstadoGravado>();
  ASSERT_FALSE(casos.empty());
  for (const Caso<EstadoGravado>& caso : casos) {
    EstadoGravado antes = Base();
    caso.prepara(antes);
    EstadoGravado depois = antes;
    caso.muda(depois);
    ASSERT_FALSE(caso.igual(antes, depois)) << caso.nome;

    EstadoLido instantaneo = LeEstadoDoSimulador(TextoDoEstado(depois, 3), "");
    EXPECT_TRUE(caso.igual(instantaneo.estado, depois)) << caso.nome << ", in the snapshot";

    MemoriaDeSecoes memoria;
    std::vector<Secao> gravadas, novas;
    EscreveSecoes(antes, gravadas, &memoria);
    EscreveSecoes(depois, novas, &memoria);
    const std::string registro =
        CabecalhoDoRegistro(3) + RegistroDeMudancas(1, SecoesMudadas(gravadas, novas), {});
    EstadoLido lido = LeEstadoDoSimulador(TextoDoEstado(antes, 3), registro);
    EXPECT_EQ(lido.registros, 1) << caso.nome;
    EXPECT_TRUE(caso.igual(lido.estado, depois)) << caso.nome << ", in the log of changes";
    EXPECT_EQ(TextoDoEstado(lido.estado, 3), TextoDoEstado(depois, 3)) << caso.nome;
  }
}

TEST(CamposGravados, CadaCampoDaReducaoVoltaDaMemoriaFiscal) {
  const auto casos = Casos<DadosReducao>();
  ASSERT_FALSE(casos.empty());
  for (const Caso<DadosReducao>& caso : casos) {
    DadosReducao antes;
    antes.dataMovimento = Um;
    caso.prepara(antes);
    DadosReducao depois = antes;
    caso.muda(depois);
    ASSERT_FALSE(caso.igual(antes, depois)) << caso.nome;
    std::vector<DadosReducao> lidas = LeMemoriaFiscal(LinhaDeReducao(depois));
    ASSERT_EQ(lidas.size(), 1u) << caso.nome;
    EXPECT_TRUE(caso.igual(lidas[0], depois)) << caso.nome;
  }
}

}  // namespace
}  // namespace simulador
}  // namespace tarvic
