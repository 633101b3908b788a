#include "ui/DeshacerMatriz.h"

#include <QUndoCommand>
#include <QUndoStack>
#include <algorithm>
#include <memory>

#include "ui/ModeloMatriz.h"

namespace tavelorin {

namespace {

// Steps kept for undoing; the oldest go first. A large paste holds both its blocks.
constexpr int kPasosMaximos = 100;

// A block of cells swapped in: redo and undo are the same swap, so the step holds one
// block, the texts that are not in the grid at the time.
class PasoBloque : public QUndoCommand {
public:
    PasoBloque(EdicionMatriz& edicion, ModeloMatriz& modelo, const RangoCeldas& rango, BloqueTexto bloque,
               const QString& texto, QUndoCommand* padre = nullptr)
        : QUndoCommand(texto, padre), edicion_(edicion), modelo_(modelo), rango_(rango), bloque_(std::move(bloque)) {}

    // The first time the cells are already where the user is working; afterwards the
    // view is sent to them.
    void redo() override {
        modelo_.IntercambiarBloque(rango_.columna, rango_.fila, bloque_);
        if (!primera_) emit edicion_.RangoCambiado(rango_);
        primera_ = false;
    }
    void undo() override {
        modelo_.IntercambiarBloque(rango_.columna, rango_.fila, bloque_);
        emit edicion_.RangoCambiado(rango_);
    }

private:
    EdicionMatriz& edicion_;
    ModeloMatriz& modelo_;
    RangoCeldas rango_;
    BloqueTexto bloque_;
    bool primera_ = true;
};

// The Items resize. Undo puts back the whole grid as it was (the texts the resize
// dropped included); redo resizes again from it.
class PasoDimensiones : public QUndoCommand {
public:
    PasoDimensiones(ModeloMatriz& modelo, int64_t filas, int64_t columnas, const QString& texto,
                    QUndoCommand* padre = nullptr)
        : QUndoCommand(texto, padre), modelo_(modelo), filas_(filas), columnas_(columnas) {}

    void redo() override {
        MatrizProblema nueva = modelo_.Matriz();
        nueva.CambiarDimensiones(filas_, columnas_);
        anterior_ = modelo_.IntercambiarMatriz(std::move(nueva));
    }
    void undo() override {
        modelo_.IntercambiarMatriz(std::move(anterior_));
        anterior_ = MatrizProblema();
    }

private:
    ModeloMatriz& modelo_;
    int64_t filas_, columnas_;
    MatrizProblema anterior_;
};

// The first filas x columnas of a block.
BloqueTexto Recortado(BloqueTexto bloque, int32_t filas, int32_t columnas) {
    if (bloque.filas <= filas && bloque.columnas <= columnas) return bloque;
    BloqueTexto r(std::min(bloque.filas, filas), std::min(bloque.columnas, columnas));
    for (int32_t f = 0; f < r.filas; ++f)
        for (int32_t c = 0; c < r.columnas; ++c) r.Celda(c, f) = std::move(bloque.Celda(c, f));
    return r;
}

QString Contar(int32_t n, const char* singular, const char* plural) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? singular : plural));
}

}  // namespace

EdicionMatriz::EdicionMatriz(ModeloMatriz& modelo, QObject* padre)
    : QObject(padre), modelo_(modelo), pila_(new QUndoStack(this)) {
    pila_->setObjectName(QStringLiteral("PilaMatriz"));
    pila_->setUndoLimit(kPasosMaximos);
    modelo_.FijarEdicion(this);
    const auto avisar = [this] { emit ModificadoCambiado(Modificado()); };
    connect(pila_, &QUndoStack::indexChanged, this, avisar);
    connect(pila_, &QUndoStack::cleanChanged, this, avisar);
}

void EdicionMatriz::Empujar(QUndoCommand* paso) {
    std::unique_ptr<QUndoCommand> dueno(paso);
    pila_->push(paso);  // runs the step; when that fails the stack is as it was
    dueno.release();
}

void EdicionMatriz::Editar(int32_t columna, int32_t fila, const QString& texto) {
    const MatrizProblema& m = modelo_.Matriz();
    if (columna < 1 || fila < 1 || columna >= m.Columnas() || fila >= m.Filas()) return;
    BloqueTexto bloque(1, 1);
    bloque.Celda(0, 0) = texto.toStdString();
    LimpiarTextoCelda(bloque.Celda(0, 0));
    if (bloque.Celda(0, 0) == m.Celda(columna, fila)) return;
    Empujar(new PasoBloque(*this, modelo_, {columna, fila, 1, 1}, std::move(bloque), QStringLiteral("Escribir")));
}

void EdicionMatriz::Borrar(const RangoCeldas& rango) {
    const MatrizProblema& m = modelo_.Matriz();
    const int32_t c0 = std::max(rango.columna, 1), f0 = std::max(rango.fila, 1);
    const int32_t c1 = static_cast<int32_t>(std::min<int64_t>(int64_t{rango.columna} + rango.columnas, m.Columnas()));
    const int32_t f1 = static_cast<int32_t>(std::min<int64_t>(int64_t{rango.fila} + rango.filas, m.Filas()));
    if (c0 >= c1 || f0 >= f1) return;
    BloqueTexto vacio(f1 - f0, c1 - c0);
    if (m.Bloque(c0, f0, c1 - c0, f1 - f0) == vacio) return;
    Empujar(new PasoBloque(*this, modelo_, {c0, f0, c1 - c0, f1 - f0}, std::move(vacio), QStringLiteral("Borrar")));
}

RangoCeldas EdicionMatriz::Pegar(int32_t columna, int32_t fila, BloqueTexto bloque,
                                 const std::function<bool(int32_t, int32_t)>& ampliar) {
    const MatrizProblema& m = modelo_.Matriz();
    if (bloque.Vacio() || columna < 1 || fila < 1 || columna >= m.Columnas() || fila >= m.Filas()) return {};
    const int64_t filas = std::max<int64_t>(m.Filas(), int64_t{fila} + bloque.filas);
    const int64_t columnas = std::max<int64_t>(m.Columnas(), int64_t{columna} + bloque.columnas);
    bool agrandar = false;
    if (filas > m.Filas() || columnas > m.Columnas()) {
        MatrizProblema::ComprobarTamano(filas, columnas);
        agrandar = ampliar(static_cast<int32_t>(filas - 1), static_cast<int32_t>(columnas - 2));
    }
    if (!agrandar) bloque = Recortado(std::move(bloque), m.Filas() - fila, m.Columnas() - columna);
    for (std::string& texto : bloque.celdas) LimpiarTextoCelda(texto);
    const RangoCeldas rango{columna, fila, bloque.columnas, bloque.filas};
    if (!agrandar && m.Bloque(columna, fila, bloque.columnas, bloque.filas) == bloque) return rango;
    auto* paso = new QUndoCommand(QStringLiteral("Pegar"));
    if (agrandar) new PasoDimensiones(modelo_, filas, columnas, QStringLiteral("Ampliar"), paso);
    new PasoBloque(*this, modelo_, rango, std::move(bloque), QStringLiteral("Pegar"), paso);
    Empujar(paso);
    return rango;
}

bool EdicionMatriz::Dimensionar(int64_t filas, int64_t columnas) {
    const MatrizProblema& m = modelo_.Matriz();
    if (std::max<int64_t>(filas, 1) == m.Filas() && std::max<int64_t>(columnas, 1) == m.Columnas()) return false;
    MatrizProblema::ComprobarTamano(filas, columnas);
    Empujar(new PasoDimensiones(modelo_, filas, columnas, QStringLiteral("Items")));
    return true;
}

void EdicionMatriz::Empezar(MatrizProblema problema, bool modificado) {
    modelo_.Reemplazar(std::move(problema));
    pila_->clear();
    if (modificado) pila_->resetClean();
    emit ModificadoCambiado(Modificado());
}

void EdicionMatriz::MarcarGuardado() { pila_->setClean(); }

bool EdicionMatriz::Modificado() const { return !pila_->isClean(); }

QString EdicionMatriz::PreguntaAmpliar(int32_t productos, int32_t componentes) {
    return QStringLiteral("El bloque no cabe en la rejilla. ¿Ampliarla a %1 y %2? Con «No» se pega solo lo que cabe.")
        .arg(Contar(productos, "producto", "productos"), Contar(componentes, "componente", "componentes"));
}

}  // namespace tavelorin
