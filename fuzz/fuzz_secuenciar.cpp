// Secuenciar on arbitrary problem lines (the input split as a file is: CR, LF or CR LF).
// The available memory is limited to 512 KiB, so the run's own memory check refuses
// every problem whose table and whole report text would not fit: that caps Q (about 500)
// and the table size, and keeps each run fast.
//
// Checks on success: the report is the header and Q lines of W cells, the sequence Q
// lines; each stage picks the unexhausted product nearest the ideal (ties to the lowest
// number), none when every distance reaches 99999999999; every product appears at most
// d(p) times (exactly d(p) when no demand is negative and every stage picks one), a
// distance shows -1 exactly when its product is exhausted, and the last row holds the
// totals; the "," report is the "." report with the separator swapped; on small
// problems the compact table equals the plain stage loop's square table bit for bit and
// its report the square table's report byte for byte, and pieces of lines produced alone
// are the pieces of the whole lines. On failure: an ErrorTavelorin with a message.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Comprobar.h"
#include "core/LineasInforme.h"
#include "soporte/EtapasLiteral.h"
#include "soporte/TablaCompleta.h"
#include "soporte/TramosInforme.h"
#include "core/Errores.h"
#include "files/FicheroTexto.h"
#include "core/Memoria.h"
#include "core/Secuenciador.h"
#include "core/TextoEntero.h"
#include "core/TextoReal.h"

using namespace tavelorin;
using tavelorin::fuzz::Visible;

namespace {

constexpr uint64_t kMemoria = uint64_t{512} << 10;
// The largest Q the memory limit lets through (the report text is over 2 Q^2 bytes).
constexpr int64_t kQMaxima = 512;
// The plain loop costs about Q^2 (n + m): run it only below this.
constexpr int64_t kCosteLiteral = 2000000;


std::vector<std::string_view> Celdas(std::string_view linea) {
    std::vector<std::string_view> r;
    size_t inicio = 0;
    for (size_t i = 0; i <= linea.size(); ++i)
        if (i == linea.size() || linea[i] == '\t') {
            r.push_back(linea.substr(inicio, i - inicio));
            inicio = i + 1;
        }
    return r;
}

// The problem as the lines state it, read field by field with the integer rule.
struct Problema {
    int64_t n = 0, m = 0, q = 0;
    std::vector<std::vector<int64_t>> b;  // b[p][j]
    std::vector<int64_t> d, total;
};

Problema Leer(const std::vector<std::string>& lineas) {
    auto entero = [](std::string_view t) {
        const std::optional<int32_t> v = IntentarTextoAEntero(t);
        COMPROBAR(v, "Secuenciar acepto el campo [" + Visible(t) + "]");
        return static_cast<int64_t>(*v);
    };
    Problema p;
    p.n = entero(lineas.at(0));
    p.m = entero(lineas.at(1));
    p.total.assign(static_cast<size_t>(p.m), 0);
    for (int64_t i = 0; i < p.n; ++i) {
        const std::vector<std::string_view> campos = Celdas(lineas.at(static_cast<size_t>(i) + 2));
        auto campo = [&campos](int64_t c) { return c < static_cast<int64_t>(campos.size()) ? campos[static_cast<size_t>(c)] : std::string_view(); };
        std::vector<int64_t> fila;
        for (int64_t j = 0; j < p.m; ++j) fila.push_back(entero(campo(j)));
        p.d.push_back(entero(campo(p.m)));
        for (int64_t j = 0; j < p.m; ++j) p.total[static_cast<size_t>(j)] += fila[static_cast<size_t>(j)] * p.d.back();
        p.q += p.d.back();
        p.b.push_back(std::move(fila));
    }
    return p;
}

std::string Cabecera(const Problema& p) {
    std::string h = "K";
    auto grupo = [&](const std::string& a, int64_t cuenta, const std::string& z) {
        for (int64_t i = 1; i <= cuenta; ++i) h += "\t" + a + std::to_string(i) + z;
    };
    grupo("Dk", p.n, "");
    grupo("s", p.q, "");
    grupo("X", p.m, "k");
    grupo("Ns", p.n, "");
    grupo("KN", p.m, "/Q");
    return h;
}

// The stage choices stored in the table, against the rule on its own distances.
void ComprobarElecciones(const TablaEtapas& t, const Problema& p, const std::vector<int64_t>& secuencia) {
    std::vector<int64_t> unidades(static_cast<size_t>(p.n), 0);
    for (int32_t k = 1; k <= t.filas; ++k) {
        double mejor = 99999999999.0;
        int64_t elegido = 0;
        for (int32_t i = 1; i <= p.n; ++i) {
            const double dist = t.Celda(k - 1, t.ColDistancia(i));
            const bool agotado = unidades[static_cast<size_t>(i - 1)] >= p.d[static_cast<size_t>(i - 1)];
            COMPROBAR(agotado == (dist == -1), "etapa " + std::to_string(k) + ", producto " + std::to_string(i) +
                                                   ": distancia " + std::to_string(dist));
            COMPROBAR(agotado || (dist >= 0 && !std::isnan(dist)), "distancia negativa");
            if (!agotado && dist < mejor) {
                mejor = dist;
                elegido = i;
            }
        }
        COMPROBAR(secuencia[static_cast<size_t>(k - 1)] == elegido,
                  "etapa " + std::to_string(k) + ": eligio " + std::to_string(secuencia[static_cast<size_t>(k - 1)]) +
                      " en vez de " + std::to_string(elegido));
        if (elegido != 0) ++unidades[static_cast<size_t>(elegido - 1)];
    }
}

// Lines and pieces of lines produced alone against the whole lines: lengths, heads and
// tails, windows around the part boundaries, and every line written out in turn.
void ComprobarTramos(const EstadoSecuenciador& estado, const std::vector<std::string>& informe,
                     const std::vector<std::string>& secuencia, const std::string& sep) {
    const LineasInforme l(estado.TablaSolucion, sep);
    std::vector<std::string> todas = informe;
    todas.push_back("Solucion:");
    todas.insert(todas.end(), secuencia.begin(), secuencia.end());
    COMPROBAR(l.Cantidad() == static_cast<int64_t>(todas.size()), "cantidad de lineas");
    std::string escrito, esperado;
    l.EscribirLineas(0, l.Cantidad(), "\n", [&escrito](const char* d, size_t n) { escrito.append(d, n); });
    for (const std::string& t : todas) esperado += t + "\n";
    COMPROBAR(escrito == esperado, "las lineas escritas una tras otra difieren");
    uint64_t giro = 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(todas.size());
    for (int64_t i = 0; i < l.Cantidad(); ++i) {
        const std::string& linea = todas[static_cast<size_t>(i)];
        const int64_t largo = static_cast<int64_t>(linea.size());
        COMPROBAR(l.Longitud(i) == largo, "longitud de la linea " + std::to_string(i));
        std::string cabeza, cola;
        l.AnadirCabeza(i, cabeza);
        l.AnadirCola(i, cola);
        const int64_t h = static_cast<int64_t>(cabeza.size()), t = static_cast<int64_t>(cola.size());
        COMPROBAR(h + l.LargoMedio(i) + t == largo && linea.compare(0, cabeza.size(), cabeza) == 0 &&
                      linea.compare(linea.size() - cola.size(), cola.size(), cola) == 0,
                  "partes de la linea " + std::to_string(i));
        const int64_t puntos[] = {0, h - 1, h, h + 1, largo - t - 1, largo - t, largo, static_cast<int64_t>(giro % (largo + 1))};
        const std::optional<TramoDistinto> distinto = PrimerTramoDistinto(l, i, linea, puntos);
        COMPROBAR(!distinto, "tramo " + std::to_string(distinto->a) + ".." + std::to_string(distinto->b) +
                                 " de la linea " + std::to_string(i));
        const int64_t medio = l.LargoMedio(i);
        if (medio > 0) {
            const int64_t d = static_cast<int64_t>(giro % static_cast<uint64_t>(medio));
            const int64_t c = l.CeldaEn(i, d);
            COMPROBAR(l.InicioCelda(i, c) <= d && d < l.InicioCelda(i, c + 1), "celda del byte " + std::to_string(d));
        }
        giro = giro * 6364136223846793005ull + 1442695040888963407ull;
    }
}

void ComprobarExito(const std::vector<std::string>& lineas, const EstadoSecuenciador& estado,
                    const std::vector<std::string>& informe, const std::vector<std::string>& secuencia,
                    const std::string& sep) {
    const Problema p = Leer(lineas);
    COMPROBAR(p.q >= 1 && p.q <= kQMaxima, "Q = " + std::to_string(p.q) + " paso el limite de memoria");
    COMPROBAR(MemoriaNecesaria(p.n, p.m, p.q) + MemoriaTextoInforme(p.n, p.m, p.q) <= kMemoria,
              "el problema no cabia en la memoria");
    const int64_t w = 1 + p.n + p.q + p.m + p.n + p.m;
    COMPROBAR(informe.size() == static_cast<size_t>(p.q) + 1,
              "informe de " + std::to_string(informe.size()) + " lineas con Q = " + std::to_string(p.q));
    COMPROBAR(secuencia.size() == static_cast<size_t>(p.q),
              "secuencia de " + std::to_string(secuencia.size()) + " lineas con Q = " + std::to_string(p.q));
    COMPROBAR(informe[0] == Cabecera(p), "cabecera [" + Visible(informe[0].substr(0, 200)) + "]");

    // The sequence: products 1..n, or 0 for a stage that picked none.
    std::vector<int64_t> s;
    std::vector<int64_t> veces(static_cast<size_t>(p.n) + 1, 0);
    bool algunCero = false;
    for (size_t c = 0; c < secuencia.size(); ++c) {
        const std::optional<int32_t> v = IntentarTextoAEntero(secuencia[c]);
        COMPROBAR(v && *v >= 0 && *v <= p.n, "linea de secuencia [" + Visible(secuencia[c]) + "]");
        COMPROBAR(secuencia[c] == std::to_string(*v), "linea de secuencia [" + Visible(secuencia[c]) + "]");
        s.push_back(*v);
        ++veces[static_cast<size_t>(*v)];
        algunCero |= *v == 0;
    }
    bool sinNegativas = true;
    for (int64_t i = 1; i <= p.n; ++i) {
        const int64_t d = p.d[static_cast<size_t>(i - 1)];
        sinNegativas &= d >= 0;
        COMPROBAR(veces[static_cast<size_t>(i)] <= std::max<int64_t>(d, 0),
                  "el producto " + std::to_string(i) + " sale " + std::to_string(veces[static_cast<size_t>(i)]) +
                      " veces con demanda " + std::to_string(d));
    }
    const bool completa = sinNegativas && !algunCero;
    if (completa)
        for (int64_t i = 1; i <= p.n; ++i)
            COMPROBAR(veces[static_cast<size_t>(i)] == p.d[static_cast<size_t>(i - 1)], "demanda no cubierta");

    const FormatoReal formato = FormatoInforme(sep);
    std::vector<int64_t> unidades(static_cast<size_t>(p.n), 0);
    for (int64_t k = 1; k <= p.q; ++k) {
        const std::vector<std::string_view> celdas = Celdas(informe[static_cast<size_t>(k)]);
        COMPROBAR(static_cast<int64_t>(celdas.size()) == w,
                  "etapa " + std::to_string(k) + ": " + std::to_string(celdas.size()) + " celdas, W = " + std::to_string(w));
        COMPROBAR(celdas[0] == TextoReal(static_cast<double>(k), formato), "numero de etapa");
        for (int64_t i = 1; i <= p.n; ++i) {
            const bool agotado = unidades[static_cast<size_t>(i - 1)] >= p.d[static_cast<size_t>(i - 1)];
            COMPROBAR((celdas[static_cast<size_t>(i)] == "-1") == agotado,
                      "etapa " + std::to_string(k) + ", distancia del producto " + std::to_string(i) + ": " +
                          std::string(celdas[static_cast<size_t>(i)]));
        }
        for (int64_t c = 1; c <= p.q; ++c) {
            const std::string esperada = c <= k ? TextoReal(static_cast<double>(s[static_cast<size_t>(c - 1)]), formato) : "0";
            COMPROBAR(celdas[static_cast<size_t>(p.n + c)] == esperada,
                      "etapa " + std::to_string(k) + ", s" + std::to_string(c));
        }
        if (s[static_cast<size_t>(k - 1)] != 0) ++unidades[static_cast<size_t>(s[static_cast<size_t>(k - 1)] - 1)];
    }
    if (completa) {
        // After the last stage every product is made d(p) times: consumption and ideal are N(j).
        const std::vector<std::string_view> ultima = Celdas(informe.back());
        const size_t x = static_cast<size_t>(1 + p.n + p.q);
        for (int64_t j = 0; j < p.m; ++j) {
            const std::string total = TextoReal(static_cast<double>(p.total[static_cast<size_t>(j)]), formato);
            COMPROBAR(ultima[x + static_cast<size_t>(j)] == total, "consumo final del componente " + std::to_string(j + 1));
            COMPROBAR(ultima[x + static_cast<size_t>(p.m + p.n + j)] == total, "ideal final del componente " + std::to_string(j + 1));
        }
        for (int64_t i = 0; i < p.n; ++i)
            COMPROBAR(ultima[x + static_cast<size_t>(p.m + i)] == TextoReal(static_cast<double>(p.d[static_cast<size_t>(i)]), formato),
                      "unidades finales del producto " + std::to_string(i + 1));
    }

    ComprobarElecciones(estado.TablaSolucion, p, s);

    if (p.q * p.q * (p.n + p.m + 1) <= kCosteLiteral) {
        // The square table is the reference, not the run: it may take more than the limit.
        EstablecerFuenteMemoria({});
        struct Restaurar {
            ~Restaurar() { EstablecerFuenteMemoria([] { return kMemoria; }); }
        } restaurar;
        EstadoSecuenciador leido;
        const completa::TablaCompleta literal = literal::TablaLiteral(lineas, &leido);
        const completa::TablaCompleta compacta = completa::Materializar(estado.TablaSolucion);
        COMPROBAR(compacta.filas == literal.filas && compacta.columnas == literal.columnas,
                  "tabla del bucle literal de otro tamano");
        COMPROBAR(std::memcmp(compacta.Fila(0), literal.Fila(0), compacta.Cuantas() * sizeof(double)) == 0,
                  "la tabla difiere de la del bucle literal");
        const Solucion antes = completa::EscribirInformeCompleto(literal, sep);
        COMPROBAR(antes.informe == informe, "el informe difiere del de la tabla completa");
        COMPROBAR(antes.secuencia == secuencia, "la secuencia difiere de la de la tabla completa");
    }
    ComprobarTramos(estado, informe, secuencia, sep);
}

struct Resultado {
    bool exito = false;
    std::string mensaje;
    Solucion solucion;
};

Resultado Ejecutar(const std::vector<std::string>& lineas, const std::string& sep, EstadoSecuenciador& estado) {
    Resultado r;
    try {
        r.solucion = Secuenciar(estado, lineas, sep);
        r.exito = true;
    } catch (const ErrorTavelorin& e) {
        r.mensaje = e.what();
        COMPROBAR(!r.mensaje.empty(), "mensaje vacio");
    }
    return r;
}

std::string CambiarSeparador(std::string linea) {
    for (char& c : linea)
        if (c == '.') c = ',';
    return linea;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    EstablecerFuenteMemoria([] { return kMemoria; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    const std::vector<std::string> lineas = DividirLineas(std::string_view(reinterpret_cast<const char*>(datos), tamano));

    EstadoSecuenciador punto, coma;
    const Resultado conPunto = Ejecutar(lineas, ".", punto);
    const Resultado conComa = Ejecutar(lineas, ",", coma);
    COMPROBAR(conPunto.exito == conComa.exito && conPunto.mensaje == conComa.mensaje,
              "el separador cambio el resultado: [" + conPunto.mensaje + "] / [" + conComa.mensaje + "]");
    if (!conPunto.exito) return 0;

    const Solucion& a = conPunto.solucion;
    const Solucion& b = conComa.solucion;
    ComprobarExito(lineas, punto, a.informe, a.secuencia, ".");
    for (size_t i = 0; i < a.informe.size(); ++i)
        COMPROBAR(CambiarSeparador(a.informe[i]) == b.informe[i],
                  "linea " + std::to_string(i) + " del informe con \",\": [" + Visible(b.informe[i].substr(0, 200)) + "]");
    COMPROBAR(a.secuencia == b.secuencia, "la secuencia depende del separador");
    return 0;
}
