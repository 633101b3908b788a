#include "core/Calidad.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/Errores.h"
#include "core/Informe.h"
#include "core/TextoEntero.h"
#include "core/TextoReal.h"

namespace tavelorin {

namespace {

int Bits(Natural128 v) {
    const uint64_t alto = static_cast<uint64_t>(v >> 64);
    if (alto != 0) return 128 - __builtin_clzll(alto);
    const uint64_t bajo = static_cast<uint64_t>(v);
    return bajo == 0 ? 0 : 64 - __builtin_clzll(bajo);
}

Natural128 Absoluto(Entero128 v) { return v < 0 ? Natural128(0) - static_cast<Natural128>(v) : static_cast<Natural128>(v); }

void Sumar(Natural128& suma, Natural128 termino) {
    if (__builtin_add_overflow(suma, termino, &suma))
        throw ErrorTavelorin("Los consumos son demasiado grandes: la variación se sale de los enteros de 128 bits");
}

std::string Veces(int64_t n) { return std::to_string(n) + (n == 1 ? " vez" : " veces"); }
std::string Unidades(int64_t n) { return std::to_string(n) + (n == 1 ? " unidad" : " unidades"); }

}  // namespace

double Racional::Real() const {
    if (numerador == 0) return 0.0;
    if (denominador == 0) return std::numeric_limits<double>::infinity();
    // 55 significant bits of the quotient and a sticky bit, then round to 53, ties to even.
    Natural128 q = numerador / denominador;
    Natural128 r = numerador % denominador;
    int exponente = 0;  // value = (q + r / denominador) * 2^exponente
    bool pegajoso = false;
    if (const int bits = Bits(q); bits > 55) {
        const int sobra = bits - 55;
        pegajoso = r != 0 || (q & ((Natural128(1) << sobra) - 1)) != 0;
        q >>= sobra;
        exponente = sobra;
    } else {
        while (Bits(q) < 55) {
            q <<= 1;
            --exponente;
            // 2r >= denominador, written so that 2r is never formed.
            if (r >= denominador - r) {
                r -= denominador - r;
                q |= 1;
            } else {
                r <<= 1;
            }
        }
        pegajoso = r != 0;
    }
    uint64_t mantisa = static_cast<uint64_t>(q >> 2);
    const unsigned resto = static_cast<unsigned>(q & 3);
    if (resto > 2 || (resto == 2 && (pegajoso || (mantisa & 1)))) ++mantisa;
    return std::ldexp(static_cast<double>(mantisa), exponente + 2);
}

std::string TextoNatural(Natural128 v) {
    std::string cifras;
    do {
        cifras.insert(cifras.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
        v /= 10;
    } while (v != 0);
    return cifras;
}

Calidad CalcularCalidad(const EstadoSecuenciador& estado, const Secuencia& secuencia) {
    const int32_t n = estado.NProd;
    const int32_t m = estado.NComp;
    const int64_t q = estado.Q;
    if (q <= 0 || static_cast<int64_t>(secuencia.size()) != q)
        throw ErrorTavelorin("La secuencia tiene " + std::to_string(secuencia.size()) + " etapas y el problema " +
                             std::to_string(q));
    for (const int32_t p : secuencia)
        if (p < 0 || p > n) throw ErrorTavelorin("La secuencia nombra el producto " + std::to_string(p) +
                                                 " y el problema tiene " + std::to_string(n));

    // Q·v − k·t for every rate, kept per stage in 128 bits: |v| stays below n·2^31 and
    // Q below 2^31, so the differences are far inside the range; only the sums of their
    // squares can leave it.
    struct Familia {
        std::vector<Entero128> acumulado;  // v(r, k)
        std::vector<int64_t> objetivo;     // t(r)
        std::vector<Natural128> maximo;    // max over k of |Q·v − k·t|
        Natural128 suma = 0;               // Σ (Q·v − k·t)²
    };
    auto nueva = [](int32_t cuantos) {
        Familia f;
        f.acumulado.assign(static_cast<size_t>(cuantos), 0);
        f.objetivo.assign(static_cast<size_t>(cuantos), 0);
        f.maximo.assign(static_cast<size_t>(cuantos), 0);
        return f;
    };
    Familia comp = nueva(m);
    Familia prod = nueva(n);
    for (int32_t j = 0; j < m; ++j) comp.objetivo[static_cast<size_t>(j)] = estado.Total(j + 1);
    for (int32_t p = 0; p < n; ++p) prod.objetivo[static_cast<size_t>(p)] = estado.Demanda(p + 1);

    auto etapa = [q](Familia& f, int64_t k) {
        for (size_t r = 0; r < f.acumulado.size(); ++r) {
            const Entero128 e = static_cast<Entero128>(q) * f.acumulado[r] - static_cast<Entero128>(k) * f.objetivo[r];
            const Natural128 a = Absoluto(e);
            if (a > f.maximo[r]) f.maximo[r] = a;
            Sumar(f.suma, a * a);
        }
    };
    for (int64_t k = 1; k <= q; ++k) {
        const int32_t p = secuencia[static_cast<size_t>(k - 1)];
        if (p != 0) {
            for (int32_t j = 0; j < m; ++j) comp.acumulado[static_cast<size_t>(j)] += estado.Uso(p, j + 1);
            ++prod.acumulado[static_cast<size_t>(p - 1)];
        }
        etapa(comp, k);
        etapa(prod, k);
    }

    const Natural128 q1 = static_cast<Natural128>(q);
    auto ritmos = [q1](const Familia& f) {
        Ritmos r;
        r.variacion = {f.suma, q1 * q1};
        r.desviacionMaxima = {0, q1};
        for (const Natural128 a : f.maximo) {
            r.desviaciones.push_back({a, q1});
            if (a > r.desviacionMaxima.numerador) r.desviacionMaxima.numerador = a;
        }
        return r;
    };
    return {ritmos(comp), ritmos(prod)};
}

std::vector<std::string> LineasCalidad(const Calidad& calidad, std::string_view separador) {
    const FormatoReal formato = FormatoSecuencia(separador);
    auto linea = [&formato](const char* etiqueta, const Racional& valor) {
        std::string s = etiqueta;
        s.push_back('\t');
        AnadirTextoReal(s, valor.Real(), formato);
        return s;
    };
    auto lista = [&formato](const char* etiqueta, const std::vector<Racional>& valores) {
        std::string s = etiqueta;
        for (const Racional& v : valores) {
            s.push_back('\t');
            AnadirTextoReal(s, v.Real(), formato);
        }
        return s;
    };
    return {
        kLineaCalidad,
        linea("J componentes", calidad.componentes.variacion),
        linea("Desviación máxima componentes", calidad.componentes.desviacionMaxima),
        lista("Desviación máxima por componente", calidad.componentes.desviaciones),
        linea("J productos", calidad.productos.variacion),
        linea("Desviación máxima productos", calidad.productos.desviacionMaxima),
        lista("Desviación máxima por producto", calidad.productos.desviaciones),
    };
}

Secuencia SecuenciaDeTabla(const TablaEtapas& tabla) {
    Secuencia s;
    if (tabla.Vacia()) return s;
    s.reserve(static_cast<size_t>(tabla.filas));
    const double* ultima = tabla.Fila(tabla.filas - 1);
    for (int32_t c = 1; c <= tabla.filas; ++c) s.push_back(static_cast<int32_t>(ultima[tabla.ColSecuencia(c)]));
    return s;
}

SecuenciaLeida LeerSecuencia(const EstadoSecuenciador& estado, FuenteLineas& lineas) {
    const int32_t n = estado.NProd;
    // One pass: every line counts until the first "Solucion:"; that line starts the count
    // again, and the next block title after it ends the reading.
    SecuenciaLeida r;
    std::vector<int64_t> cuentas(static_cast<size_t>(n), 0);
    int64_t unidades = 0;  // products read; only the first Q are kept
    size_t erroresLinea = 0;
    std::vector<std::string> erroresDeLinea;
    // The text of a line's fault is made only for the faults that are listed.
    auto errorLinea = [&](size_t i, const auto& texto) {
        if (++erroresLinea <= kErroresListados) erroresDeLinea.push_back("línea " + std::to_string(i + 1) + ": " + texto());
    };
    bool enSolucion = false;
    std::string linea;
    for (size_t i = 0; lineas.Siguiente(linea); ++i) {
        if (enSolucion) {
            if (!linea.empty() && linea.back() == ':') break;
        } else if (linea == kLineaSolucion) {
            enSolucion = true;
            std::fill(cuentas.begin(), cuentas.end(), 0);
            unidades = 0;
            erroresLinea = 0;
            erroresDeLinea.clear();
            r.secuencia.clear();
            continue;
        }
        const std::optional<int32_t> p = IntentarTextoAEntero(linea);
        if (!p) {
            errorLinea(i, [&] { return "\"" + TextoCitado(linea) + "\" no es un número de producto"; });
        } else if (*p < 1 || *p > n) {
            errorLinea(i, [&] {
                return "no hay producto " + std::to_string(*p) + " (los productos van de 1 a " + std::to_string(n) + ")";
            });
        } else {
            ++cuentas[static_cast<size_t>(*p - 1)];
            if (unidades < estado.Q) r.secuencia.push_back(*p);
            ++unidades;
        }
    }
    r.errores = std::move(erroresDeLinea);
    if (erroresLinea > kErroresListados)
        r.errores.push_back("... y " + std::to_string(erroresLinea - kErroresListados) + " líneas más con errores");

    size_t erroresProducto = 0;
    for (int32_t p = 1; p <= n; ++p) {
        const int64_t d = estado.Demanda(p);
        const int64_t c = cuentas[static_cast<size_t>(p - 1)];
        if (c == d) continue;
        if (++erroresProducto > kErroresListados) continue;
        if (d < 0)
            r.errores.push_back("el producto " + std::to_string(p) + " tiene demanda negativa (" + std::to_string(d) +
                                "): ninguna secuencia la cumple");
        else
            r.errores.push_back("el producto " + std::to_string(p) + " aparece " + Veces(c) + " y su demanda es " +
                                std::to_string(d));
    }
    if (erroresProducto > kErroresListados)
        r.errores.push_back("... y " + std::to_string(erroresProducto - kErroresListados) +
                            " productos más con otra cuenta");
    if (!r.errores.empty() && erroresLinea == 0 && unidades != estado.Q)
        r.errores.push_back("la secuencia tiene " + Unidades(unidades) + " y la demanda total es " +
                            std::to_string(estado.Q));
    return r;
}

SecuenciaLeida LeerSecuencia(const EstadoSecuenciador& estado, const std::vector<std::string>& lineas) {
    LineasDeLista fuente(lineas);
    return LeerSecuencia(estado, fuente);
}

}  // namespace tavelorin
