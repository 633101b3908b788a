// The square stage table, Q rows of W = 1 + n + Q + m + n + m doubles, and the run that
// fills it and turns it into the whole report text: the road a solve took before the
// core kept its table compact. Tests and the fuzz target compare the compact table and
// its lines with it cell for cell and byte for byte; the benchmarks run it as the
// baseline of the same run.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "core/Errores.h"
#include "core/Informe.h"
#include "core/Memoria.h"
#include "core/Problema.h"
#include "core/TextoReal.h"

namespace tavelorin::completa {

struct TablaCompleta {
    int32_t filas = 0;     // Q
    int64_t columnas = 0;  // W
    int32_t nProd = 0;
    int32_t nComp = 0;
    std::unique_ptr<double[], LiberarC> celdas;

    const double* Fila(int32_t fila) const { return celdas.get() + static_cast<int64_t>(fila) * columnas; }
    double* Fila(int32_t fila) { return celdas.get() + static_cast<int64_t>(fila) * columnas; }
    double Celda(int32_t fila, int64_t columna) const { return Fila(fila)[columna]; }
    size_t Cuantas() const { return static_cast<size_t>(filas) * static_cast<size_t>(columnas); }

    int64_t ColDistancia(int32_t p) const { return p; }
    int64_t ColSecuencia(int64_t c) const { return int64_t{nProd} + c; }
    int64_t ColConsumo(int32_t j) const { return int64_t{nProd} + filas + j; }
    int64_t ColUnidades(int32_t p) const { return int64_t{nProd} + filas + nComp + p; }
    int64_t ColIdeal(int32_t j) const { return int64_t{nProd} + filas + nComp + nProd + j; }
};

// Q rows of W columns: column 0 the stage number, the rest 0.
inline TablaCompleta IniciarTablaCompleta(const EstadoSecuenciador& estado) {
    const int64_t n = estado.NProd, m = estado.NComp, q = estado.Q;
    const int64_t w = 1 + n + q + m + n + m;
    if (q < 0 || w < 0) throw ErrorTavelorin(mensajes::kRangoInvalido);
    TablaCompleta t;
    if (q > 0) {
        const uint64_t celdas = static_cast<uint64_t>(q) * static_cast<uint64_t>(w);
        ComprobarMemoria(celdas * sizeof(double));
        auto* datos = static_cast<double*>(std::calloc(celdas, sizeof(double)));
        if (datos == nullptr) throw ErrorTavelorin(mensajes::kSinMemoria);
        t.celdas.reset(datos);
        for (int64_t k = 0; k < q; ++k) datos[k * w] = static_cast<double>(k + 1);
    }
    t.filas = static_cast<int32_t>(q);
    t.columnas = w;
    t.nProd = estado.NProd;
    t.nComp = estado.NComp;
    return t;
}

// Every cell of a compact table, as the square table holds it.
inline TablaCompleta Materializar(const TablaEtapas& compacta) {
    TablaCompleta t;
    t.filas = compacta.filas;
    t.columnas = compacta.columnas;
    t.nProd = compacta.nProd;
    t.nComp = compacta.nComp;
    if (t.filas > 0) {
        t.celdas.reset(static_cast<double*>(std::calloc(t.Cuantas(), sizeof(double))));
        if (!t.celdas) throw std::bad_alloc();
        for (int32_t k = 0; k < t.filas; ++k)
            for (int64_t c = 0; c < t.columnas; ++c) t.Fila(k)[c] = compacta.Celda(k, c);
    }
    return t;
}

// The stage loop over the square table, with the consumption and units kept
// incrementally and each row's sequence copied from the row before.
inline void EjecutarEtapasCompleta(const EstadoSecuenciador& estado, TablaCompleta& t) {
    const int32_t n = t.nProd, m = t.nComp, q = t.filas;
    const int64_t w = t.columnas;
    std::vector<int64_t> consumo(static_cast<size_t>(m), 0);
    std::vector<int64_t> unidades(static_cast<size_t>(n), 0);
    std::vector<double> ideal(static_cast<size_t>(m));
    const long double divisor = q;
    for (int32_t k = 1; k <= q; ++k) {
        double* fila = t.Fila(k - 1);
        for (int32_t j = 0; j < m; ++j) {
            const int32_t kn = static_cast<int32_t>(static_cast<int64_t>(k) * estado.Total(j + 1));
            ideal[static_cast<size_t>(j)] = static_cast<double>(static_cast<long double>(kn) / divisor);
            fila[t.ColIdeal(j + 1)] = ideal[static_cast<size_t>(j)];
        }
        double mejor = 99999999999.0;
        int32_t elegido = 0;
        for (int32_t p = 0; p < n; ++p) {
            const bool agotado = estado.Demanda(p + 1) <= unidades[static_cast<size_t>(p)];
            double d = -1.0;
            if (!agotado) {
                double s = 0.0;
                for (int32_t j = 0; j < m; ++j) {
                    const double e = static_cast<double>(
                        (static_cast<long double>(ideal[static_cast<size_t>(j)]) -
                         static_cast<long double>(consumo[static_cast<size_t>(j)])) -
                        static_cast<long double>(estado.Uso(p + 1, j + 1)));
                    const double ee = static_cast<double>(static_cast<long double>(e) * static_cast<long double>(e));
                    s = static_cast<double>(static_cast<long double>(s) + static_cast<long double>(ee));
                }
                d = static_cast<double>(std::sqrt(static_cast<long double>(s)));
            }
            fila[t.ColDistancia(p + 1)] = d;
            if (!agotado && d < mejor) {
                mejor = d;
                elegido = p + 1;
            }
        }
        if (k > 1) std::memcpy(fila + t.ColSecuencia(1), fila - w + t.ColSecuencia(1), sizeof(double) * (k - 1));
        fila[t.ColSecuencia(k)] = elegido;
        if (elegido != 0) {
            for (int32_t j = 0; j < m; ++j) consumo[static_cast<size_t>(j)] += estado.Uso(elegido, j + 1);
            ++unidades[static_cast<size_t>(elegido - 1)];
        }
        for (int32_t j = 0; j < m; ++j) fila[t.ColConsumo(j + 1)] = static_cast<double>(consumo[static_cast<size_t>(j)]);
        for (int32_t p = 0; p < n; ++p) fila[t.ColUnidades(p + 1)] = static_cast<double>(unidades[static_cast<size_t>(p)]);
    }
}

// The header and the stage lines of the square table, and its sequence lines, built line
// by line: the sequence cells of a row are the row before's plus one.
inline Solucion EscribirInformeCompleto(const TablaCompleta& tabla, std::string_view separador) {
    TablaEtapas cuentas;  // the header reads only the counts
    cuentas.filas = tabla.filas;
    cuentas.nProd = tabla.nProd;
    cuentas.nComp = tabla.nComp;
    const int32_t n = tabla.nProd, q = tabla.filas;
    const FormatoReal formato = FormatoInforme(separador);
    const FormatoReal formatoSecuencia = FormatoSecuencia(separador);
    Solucion solucion;
    std::vector<std::string>& informe = solucion.informe;
    informe.reserve(static_cast<size_t>(q) + 1);
    informe.push_back(CabeceraInforme(cuentas));
    std::vector<std::string> textoProducto(static_cast<size_t>(n) + 1);
    auto celdaProducto = [&](double valor) -> const std::string& {
        if (valor >= 0 && valor <= n && valor == static_cast<int32_t>(valor)) {
            std::string& texto = textoProducto[static_cast<size_t>(valor)];
            if (texto.empty()) AnadirTextoReal(texto, valor, formato);
            return texto;
        }
        static thread_local std::string otro;
        otro.clear();
        AnadirTextoReal(otro, valor, formato);
        return otro;
    };
    std::string ceros;
    ceros.reserve(2 * static_cast<size_t>(q));
    for (int32_t c = 0; c < q; ++c) ceros.append("\t0");
    std::string secuenciaHecha, inicio, fin;
    for (int32_t k = 1; k <= q; ++k) {
        const double* fila = tabla.Fila(k - 1);
        inicio.clear();
        AnadirTextoReal(inicio, fila[0], formato);
        for (int32_t p = 1; p <= n; ++p) {
            inicio.push_back('\t');
            AnadirTextoReal(inicio, fila[tabla.ColDistancia(p)], formato);
        }
        secuenciaHecha.push_back('\t');
        secuenciaHecha.append(celdaProducto(fila[tabla.ColSecuencia(k)]));
        fin.clear();
        for (int64_t c = tabla.ColConsumo(1); c < tabla.columnas; ++c) {
            fin.push_back('\t');
            AnadirTextoReal(fin, fila[c], formato);
        }
        const size_t colasCeros = 2 * static_cast<size_t>(q - k);
        std::string linea;
        linea.reserve(inicio.size() + secuenciaHecha.size() + colasCeros + fin.size());
        linea.append(inicio);
        linea.append(secuenciaHecha);
        linea.append(ceros.data(), colasCeros);
        linea.append(fin);
        informe.push_back(std::move(linea));
    }
    if (q > 0) {
        const double* ultima = tabla.Fila(q - 1);
        solucion.secuencia.reserve(static_cast<size_t>(q));
        for (int32_t c = 1; c <= q; ++c) solucion.secuencia.push_back(TextoReal(ultima[tabla.ColSecuencia(c)], formatoSecuencia));
    }
    return solucion;
}

// The whole road: the problem read, the square table run and its report written.
inline Solucion SecuenciarCompleto(EstadoSecuenciador& estado, const std::vector<std::string>& lineas,
                                   std::string_view separador, TablaCompleta* tabla = nullptr) {
    LeerProblema(estado, lineas);
    TablaCompleta t = IniciarTablaCompleta(estado);
    EjecutarEtapasCompleta(estado, t);
    Solucion s = EscribirInformeCompleto(t, separador);
    if (tabla != nullptr) *tabla = std::move(t);
    return s;
}

}  // namespace tavelorin::completa
