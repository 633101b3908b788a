// The problem state: counts, the usage/demand/totals matrix and the stage table.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace tavelorin {

// Datos: (n+1) x (m+1) 32-bit integers. Rows 0..n-1 hold the usages b(i,j) and, in
// column m, the demand d(i); row n holds the totals N(j) and, in column m, Q.
struct MatrizDatos {
    int64_t filas = 0;
    int64_t columnas = 0;
    std::vector<int32_t> celdas;

    int32_t& operator()(int64_t fila, int64_t columna) { return celdas[fila * columnas + columna]; }
    int32_t operator()(int64_t fila, int64_t columna) const { return celdas[fila * columnas + columna]; }
};

struct LiberarC {
    void operator()(double* p) const { std::free(p); }
};

// The stage table: one row per stage, W = 1 + n + Q + m + n + m columns. It keeps the
// counts it was built with, so readers never index it with counts of a later parse.
struct TablaEtapas {
    int32_t filas = 0;     // Q
    int32_t columnas = 0;  // W
    int32_t nProd = 0;
    int32_t nComp = 0;
    std::unique_ptr<double[], LiberarC> celdas;

    bool Vacia() const { return filas == 0; }
    const double* Fila(int32_t fila) const { return celdas.get() + static_cast<int64_t>(fila) * columnas; }
    double* Fila(int32_t fila) { return celdas.get() + static_cast<int64_t>(fila) * columnas; }
    double Celda(int32_t fila, int32_t columna) const { return Fila(fila)[columna]; }

    // First column of each group (see the report header for their labels).
    int32_t ColDistancia(int32_t p) const { return p; }                              // Dk p, p = 1..n
    int32_t ColSecuencia(int32_t c) const { return nProd + c; }                      // s c, c = 1..Q
    int32_t ColConsumo(int32_t j) const { return nProd + filas + j; }                // X j k, j = 1..m
    int32_t ColUnidades(int32_t p) const { return nProd + filas + nComp + p; }       // Ns p
    int32_t ColIdeal(int32_t j) const { return nProd + filas + nComp + nProd + j; }  // KN j /Q
};

struct EstadoSecuenciador {
    int32_t NProd = 0;
    int32_t NComp = 0;
    int32_t Q = 0;
    MatrizDatos Datos;
    TablaEtapas TablaSolucion;

    int32_t Uso(int32_t producto, int32_t componente) const { return Datos(producto - 1, componente - 1); }
    int32_t Demanda(int32_t producto) const { return Datos(producto - 1, NComp); }
    int32_t Total(int32_t componente) const { return Datos(NProd, componente - 1); }
};

// The widest stage table the program builds.
inline constexpr int64_t kColumnasMaximas = 65535;

// What a problem is read for: a run needs its stage table (at most kColumnasMaximas
// wide, within the available memory); the evaluation of a given sequence needs only
// the problem and the sequence.
enum class Lectura { ParaSecuenciar, ParaEvaluar };

// Parses problem lines into NProd, NComp, Datos and Q. On failure NProd and NComp keep
// what was read, Datos its new size with the cells converted so far, Q its old value.
void LeerProblema(EstadoSecuenciador& estado, const std::vector<std::string>& lineas,
                  Lectura lectura = Lectura::ParaSecuenciar);

// Bytes a run of this size needs for its table and its report text.
uint64_t MemoriaNecesaria(int64_t nProd, int64_t nComp, int64_t q);

// Bytes the evaluation of a sequence of this size needs: O(Q + n + m).
uint64_t MemoriaEvaluacion(int64_t nProd, int64_t nComp, int64_t q);

}  // namespace tavelorin
