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
    void operator()(void* p) const { std::free(p); }
};

// Zeroed memory for a table, one block for all its arrays.
class BloqueCeros {
public:
    BloqueCeros() = default;
    // Throws ErrorTavelorin("Out of memory") when the memory cannot be had.
    explicit BloqueCeros(uint64_t bytes);
    ~BloqueCeros();
    BloqueCeros(BloqueCeros&& otro) noexcept;
    BloqueCeros& operator=(BloqueCeros&& otro) noexcept;
    BloqueCeros(const BloqueCeros&) = delete;
    BloqueCeros& operator=(const BloqueCeros&) = delete;
    char* Datos() const { return datos_; }

private:
    char* datos_ = nullptr;
};

// The stage table of a run. Of the Q x W table (W = 1 + n + Q + m + n + m columns, one
// row per stage) it keeps per stage only what cannot be derived: the choice, every
// product's distance and the cumulative consumption of every component. Every other
// cell is produced on demand with the value the run computed: the stage number, the
// sequence so far (the choices of stages 1..k, then 0), the units of each product among
// those choices, and the ideal consumption k·N(j)/Q from the totals the table keeps.
// It keeps the counts it was built with, so readers never index it with counts of a
// later parse. Copies share the stored data, which a run writes once and never again.
struct TablaEtapas {
    int32_t filas = 0;     // Q
    int64_t columnas = 0;  // W
    int32_t nProd = 0;
    int32_t nComp = 0;
    int32_t hechas = 0;    // stages run: the rows after them hold their stage number and 0

    // Stages between two stored counts of units.
    static constexpr int32_t kPasoUnidades = 64;

    // One block of zeros holds the stored values (see BloqueCeros).
    struct Datos {
        BloqueCeros bloque;
        // Q x m: X(j) after stage k, in 32 bits when no consumption can leave them.
        int64_t* consumos = nullptr;
        int32_t* consumos32 = nullptr;
        double* distancias = nullptr;   // Q x n
        int32_t* elecciones = nullptr;  // Q: product chosen at stage k, 0 for none
        int32_t* unidades = nullptr;    // (Q / kPasoUnidades + 1) x n: units after stage b·kPasoUnidades
        std::vector<int32_t> totales;   // N(j)
    };
    std::shared_ptr<Datos> datos;

    bool Vacia() const { return filas == 0 || !datos; }

    // First column of each group (see the report header for their labels).
    int64_t ColDistancia(int32_t p) const { return p; }                                          // Dk p, p = 1..n
    int64_t ColSecuencia(int64_t c) const { return int64_t{nProd} + c; }                         // s c, c = 1..Q
    int64_t ColConsumo(int32_t j) const { return int64_t{nProd} + filas + j; }                   // X j k, j = 1..m
    int64_t ColUnidades(int32_t p) const { return int64_t{nProd} + filas + nComp + p; }          // Ns p
    int64_t ColIdeal(int32_t j) const { return int64_t{nProd} + filas + nComp + nProd + j; }     // KN j /Q

    // Any cell of the square table, as the run left it (fila 0..Q-1 is stage fila+1).
    double Celda(int32_t fila, int64_t columna) const;

    // The stored values of stage k = fila + 1 (after a run of that stage).
    int32_t Eleccion(int32_t fila) const { return datos->elecciones[fila]; }
    const double* Distancias(int32_t fila) const { return datos->distancias + static_cast<int64_t>(fila) * nProd; }
    // X(j) after stage fila + 1, j = 0..m-1.
    int64_t Consumo(int32_t fila, int32_t j) const {
        const int64_t i = static_cast<int64_t>(fila) * nComp + j;
        return datos->consumos32 != nullptr ? datos->consumos32[i] : datos->consumos[i];
    }
    // k·N(j)/Q for component j = 1..m at stage k = fila + 1, as the run computed it.
    double Ideal(int32_t fila, int32_t j) const;
    // Units of every product (n of them) after stage fila + 1.
    void Unidades(int32_t fila, int32_t* unidades) const;
    int32_t UnidadesDe(int32_t fila, int32_t p) const;
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

// What a problem is read for: a run needs its stage table (within the available
// memory); the evaluation of a given sequence needs only the problem and the sequence.
enum class Lectura { ParaSecuenciar, ParaEvaluar };

// Parses problem lines into NProd, NComp, Datos and Q. On failure NProd and NComp keep
// what was read, Datos its new size with the cells converted so far, Q its old value.
void LeerProblema(EstadoSecuenciador& estado, const std::vector<std::string>& lineas,
                  Lectura lectura = Lectura::ParaSecuenciar);

// Bytes a run of this size needs: its stage table and the index its report lines are
// produced from.
uint64_t MemoriaNecesaria(int64_t nProd, int64_t nComp, int64_t q);

// Bytes the whole report text of a run of this size can take, held as lines.
uint64_t MemoriaTextoInforme(int64_t nProd, int64_t nComp, int64_t q);

// Bytes the evaluation of a sequence of this size needs: O(Q + n + m).
uint64_t MemoriaEvaluacion(int64_t nProd, int64_t nComp, int64_t q);

}  // namespace tavelorin
