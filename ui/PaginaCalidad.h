// The page "Calidad de la secuencia": how even goal chasing's sequence of the last solve
// is, and a better one beside it.
//
// After each solve: the quality table (J and largest deviations of the components and
// of the products, the largest deviation of each component) and the chart of the
// deviations X(j,k) − k·N(j)/Q of every component over k. "Mejorar secuencia" runs the
// better-sequence search on a worker thread (BusquedaMejora) with a progress bar and
// "Cancelar"; its sequence then shows beside goal chasing's, in the same table and in a
// chart of its own. A sequence can also be read from a file ("Abrir secuencia...", as
// tavelorin-cli --evaluar reads it) to see its quality there. The compared sequence is
// copied ("Copiar secuencia") or written ("Guardar secuencia...") one product a line.
#pragma once

#include <QList>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "core/Calidad.h"
#include "core/Mejora.h"
#include "core/Problema.h"

class QAction;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QSplitter;
class QTableView;

namespace tavelorin {

class BusquedaMejora;
class Dialogos;
class ModeloCalidad;
class PaginaGrafico;

// The deviations X(j,k) − k·N(j)/Q of component j (1..m, the list's index j − 1) at
// k = 1..Q, as points (k, deviation), for a sequence of the problem of estado; each
// value is the exact integer Q·X − k·N over Q, rounded once.
std::vector<QList<QPointF>> DesviacionesPorComponente(const EstadoSecuenciador& estado, const Secuencia& secuencia);

// One product number a line.
std::vector<std::string> LineasDeSecuencia(const Secuencia& secuencia);

class PaginaCalidad : public QWidget {
    Q_OBJECT
public:
    // separador (the window's decimal separator) and ficheroProblema (the problem file's
    // name, for the names the save dialog proposes) are read when needed.
    PaginaCalidad(Dialogos& dialogos, const std::string& separador, std::function<QString()> ficheroProblema,
                  QWidget* padre = nullptr);
    ~PaginaCalidad() override;

    // After a solve: goal chasing's sequence of the problem of estado (its stage table is
    // not kept). A search under way is stopped and delivers nothing; the compared
    // sequence is forgotten. Never throws for a quality it cannot compute (sums beyond
    // 128 bits, memory): the page says so and offers nothing.
    void NuevaSolucion(const EstadoSecuenciador& estado, const Secuencia& persecucion);
    // Nothing to show: another problem, or a solve that failed.
    void Olvidar();

    // --- Commands (the buttons run them under the failure handler) ---
    // Starts the search with the time limit of the "Segundos" box. Throws ErrorTavelorin
    // for a problem the search refuses.
    void Mejorar();
    // The search stops; the best sequence found so far shows.
    void Cancelar();
    void CopiarSecuencia();
    void GuardarSecuencia();
    // Reads a sequence file (one product a line, or a solution file); a sequence that
    // does not fit the problem is refused with what is wrong, as --evaluar says it.
    void AbrirSecuencia();

    // --- State, read-only ---
    bool Resuelto() const { return persecucion_.has_value(); }
    const ModeloCalidad& Modelo() const { return *modelo_; }
    // The sequence shown beside goal chasing's: the improved one or the one read; empty
    // when there is none.
    const Secuencia& SecuenciaComparada() const { return comparada_; }
    // The result of the last search whose sequence shows, if that is what shows.
    const std::optional<Mejora>& UltimaMejora() const { return mejora_; }
    BusquedaMejora& Busqueda() const { return *busqueda_; }
    PaginaGrafico* GraficoPersecucion() const { return graficoPersecucion_; }
    PaginaGrafico* GraficoComparada() const { return graficoComparada_; }
    // The chart the chart commands work on: the one last clicked or given the focus
    // (goal chasing's at first).
    PaginaGrafico* GraficoActivo() const { return activo_; }
    // The items of both charts' context menus (not owned).
    void FijarMenuGraficos(const QList<QAction*>& acciones);
    // The page's controls in the order of the Tab key.
    QList<QWidget*> OrdenTabulacion() const;

signals:
    // The table and the charts show a new compared sequence (improved or read).
    void ComparadaMostrada();

protected:
    void showEvent(QShowEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void Construir();
    void Ejecutar(void (PaginaCalidad::*comando)());
    void MostrarProgreso(const ProgresoMejora& progreso);
    void MostrarMejora(const Mejora& mejora);
    // The compared sequence, its column and its chart.
    // columna heads the table's column, titulo the chart.
    void MostrarComparada(Secuencia secuencia, const QString& columna, const QString& titulo,
                          std::optional<bool> demostrada, const QString& resumen);
    void ActualizarTabla();
    // Rebuilds the charts whose data changed, when the page shows.
    void ActualizarGraficos();
    void ActualizarBotones();
    QString TextoJ(const Racional& j) const;

    Dialogos& dialogos_;
    const std::string& separador_;
    std::function<QString()> ficheroProblema_;

    // The problem of the last solve (without its stage table) and its sequences.
    EstadoSecuenciador problema_;
    std::optional<Secuencia> persecucion_;
    std::optional<Calidad> calidadPersecucion_;
    Secuencia comparada_;
    std::optional<Calidad> calidadComparada_;
    std::optional<bool> demostrada_;
    QString columnaComparada_;
    QString tituloComparada_;
    std::optional<Mejora> mejora_;
    bool graficoPersecucionPendiente_ = false;
    bool graficoComparadaPendiente_ = false;

    BusquedaMejora* busqueda_ = nullptr;
    ModeloCalidad* modelo_ = nullptr;
    PaginaGrafico* graficoPersecucion_ = nullptr;
    PaginaGrafico* graficoComparada_ = nullptr;
    PaginaGrafico* activo_ = nullptr;

    QPushButton* BMejorar = nullptr;
    QPushButton* BCancelar = nullptr;
    QSpinBox* ESegundos = nullptr;
    QProgressBar* PBMejora = nullptr;
    QLabel* LProgreso = nullptr;
    QPushButton* BAbrirSecuencia = nullptr;
    QPushButton* BCopiarSecuencia = nullptr;
    QPushButton* BGuardarSecuencia = nullptr;
    QLabel* LResumen = nullptr;
    QTableView* TablaCalidad = nullptr;
    QSplitter* division_ = nullptr;
    bool dimensionada_ = false;
};

}  // namespace tavelorin
