// The problem grid with large blocks, on the main window shown offscreen: a 1000 x 100
// block pasted from the clipboard into the empty 3 x 4 problem (the grid enlarged, as the
// user confirms), its undo and redo, its copy, and Items to 100000 x 20 with its undo.
// Each figure runs up to the grid repainted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QUndoStack>
#include <string>

#include "bench/PrincipalQt.h"
#include "soporte/Controles.h"
#include "soporte/DialogosPrueba.h"
#include "ui/Main.h"
#include "ui/VistaMatriz.h"

using namespace tavelorin;

namespace {

struct Ventana {
    DialogosPrueba dialogos;
    TMainForm ventana{dialogos, {}};
    VistaMatriz* rejilla = Control<VistaMatriz>(ventana, QStringLiteral("Matriz"));
    QUndoStack* pila = Control<QUndoStack>(ventana, QStringLiteral("PilaMatriz"));

    Ventana() {
        ventana.resize(1083, 800);
        ventana.show();
        QApplication::processEvents();
    }
    // What the user waits for: the events handled and the grid painted again.
    void Pintar() {
        QApplication::processEvents();
        rejilla->viewport()->repaint();
    }
};

// A spreadsheet's copy of filas x columnas numbers: tabs, CR LF.
QString Tabulado(int filas, int columnas) {
    std::string texto;
    for (int f = 0; f < filas; ++f) {
        for (int c = 0; c < columnas; ++c) {
            if (c > 0) texto.push_back('\t');
            texto += std::to_string((f * 7 + c * 3) % 100);
        }
        texto += "\r\n";
    }
    return QString::fromStdString(texto);
}

void PonerTexto(const QString& texto) {
    auto* datos = new QMimeData;
    datos->setText(texto);
    QApplication::clipboard()->setMimeData(datos);
}

void Pegar(benchmark::State& estado) {
    Ventana v;
    PonerTexto(Tabulado(static_cast<int>(estado.range(0)), static_cast<int>(estado.range(1))));
    for (auto _ : estado) {
        v.dialogos.confirmaciones = {true};  // enlarge the grid
        v.rejilla->setCurrentIndex(v.rejilla->model()->index(0, 0));
        v.rejilla->Pegar();
        v.Pintar();
        estado.PauseTiming();
        v.pila->undo();
        v.Pintar();
        estado.ResumeTiming();
    }
    v.dialogos.confirmaciones = {true};
    v.rejilla->Pegar();
    if (!v.dialogos.errores.empty() || Rejilla(v.ventana).Matriz().Filas() != estado.range(0) + 1 ||
        Rejilla(v.ventana).Matriz().Columnas() != estado.range(1) + 1)
        estado.SkipWithError("el pegado falló");
}

void DeshacerPegado(benchmark::State& estado) {
    Ventana v;
    PonerTexto(Tabulado(static_cast<int>(estado.range(0)), static_cast<int>(estado.range(1))));
    for (auto _ : estado) {
        estado.PauseTiming();
        v.dialogos.confirmaciones = {true};
        v.rejilla->setCurrentIndex(v.rejilla->model()->index(0, 0));
        v.rejilla->Pegar();
        v.Pintar();
        estado.ResumeTiming();
        v.pila->undo();
        v.Pintar();
    }
    if (!v.dialogos.errores.empty()) estado.SkipWithError("el pegado falló");
}

void RehacerPegado(benchmark::State& estado) {
    Ventana v;
    PonerTexto(Tabulado(static_cast<int>(estado.range(0)), static_cast<int>(estado.range(1))));
    v.dialogos.confirmaciones = {true};
    v.rejilla->setCurrentIndex(v.rejilla->model()->index(0, 0));
    v.rejilla->Pegar();
    for (auto _ : estado) {
        estado.PauseTiming();
        v.pila->undo();
        v.Pintar();
        estado.ResumeTiming();
        v.pila->redo();
        v.Pintar();
    }
    if (Rejilla(v.ventana).Matriz().Filas() != estado.range(0) + 1) estado.SkipWithError("rehacer falló");
}

// The whole grid selected and copied: tab-separated text, CSV and the program's own format.
void Copiar(benchmark::State& estado) {
    Ventana v;
    PonerTexto(Tabulado(static_cast<int>(estado.range(0)), static_cast<int>(estado.range(1))));
    v.dialogos.confirmaciones = {true};
    v.rejilla->setCurrentIndex(v.rejilla->model()->index(0, 0));
    v.rejilla->Pegar();
    v.Pintar();
    for (auto _ : estado) v.rejilla->Copiar();
}

void Items(benchmark::State& estado) {
    const QString productos = QString::number(estado.range(0));
    const QString componentes = QString::number(estado.range(1));
    Ventana v;
    for (auto _ : estado) {
        v.dialogos.respuestas = {productos, componentes};
        v.ventana.DimensionarProblema();
        v.Pintar();
        estado.PauseTiming();
        if (Rejilla(v.ventana).Matriz().Filas() != estado.range(0) + 1) estado.SkipWithError("Items falló");
        v.pila->undo();
        v.Pintar();
        estado.ResumeTiming();
    }
    if (!v.dialogos.errores.empty()) estado.SkipWithError("Items falló");
}

void DeshacerItems(benchmark::State& estado) {
    const QString productos = QString::number(estado.range(0));
    const QString componentes = QString::number(estado.range(1));
    Ventana v;
    for (auto _ : estado) {
        estado.PauseTiming();
        v.dialogos.respuestas = {productos, componentes};
        v.ventana.DimensionarProblema();
        v.Pintar();
        estado.ResumeTiming();
        v.pila->undo();
        v.Pintar();
    }
    if (!v.dialogos.errores.empty()) estado.SkipWithError("Items falló");
}

}  // namespace

BENCHMARK(Pegar)->Args({1000, 100})->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(DeshacerPegado)->Args({1000, 100})->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(RehacerPegado)->Args({1000, 100})->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Copiar)->Args({1000, 100})->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Items)->Args({100000, 20})->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(DeshacerItems)->Args({100000, 20})->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) { return tavelorin::bench::EjecutarConQt(argc, argv); }
