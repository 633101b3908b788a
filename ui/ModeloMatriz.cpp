#include "ui/ModeloMatriz.h"

#include <QBrush>
#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>

#include "core/TextoEntero.h"
#include "ui/DeshacerMatriz.h"

namespace tavelorin {

ModeloMatriz::ModeloMatriz(QObject* padre) : QAbstractTableModel(padre) {}

template <class Cambio>
void ModeloMatriz::CambiarTodo(Cambio&& cambio) {
    const bool filaFija = matriz_.FilaFija();
    const bool columnaFija = matriz_.ColumnaFija();
    struct Aviso {
        ModeloMatriz* modelo;
        bool filaFija, columnaFija;
        ~Aviso() {
            modelo->endResetModel();
            if (filaFija != modelo->matriz_.FilaFija() || columnaFija != modelo->matriz_.ColumnaFija())
                emit modelo->CabecerasCambiadas();
        }
    };
    beginResetModel();
    Aviso aviso{this, filaFija, columnaFija};
    cambio();
}

void ModeloMatriz::FijarFilas(int64_t filas) {
    if (std::max<int64_t>(filas, 1) == matriz_.Filas()) return;
    CambiarTodo([&] { matriz_.FijarFilas(filas); });
}

void ModeloMatriz::FijarColumnas(int64_t columnas) {
    if (std::max<int64_t>(columnas, 1) == matriz_.Columnas()) return;
    CambiarTodo([&] { matriz_.FijarColumnas(columnas); });
}

void ModeloMatriz::Rotular() {
    matriz_.Rotular();
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole, Qt::EditRole});
    emit headerDataChanged(Qt::Horizontal, 0, std::max(0, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, 0, std::max(0, rowCount() - 1));
}

void ModeloMatriz::Cargar(const std::vector<std::string>& lineas) {
    CambiarTodo([&] { CargarLineas(matriz_, lineas); });
}

void ModeloMatriz::Reemplazar(MatrizProblema nueva) {
    CambiarTodo([&] { matriz_ = std::move(nueva); });
}

void ModeloMatriz::PonerCelda(int32_t columna, int32_t fila, const QString& texto) {
    matriz_.PonerCelda(columna, fila, texto.toStdString());
    const int r = fila - DesplazamientoFila();
    const int c = columna - DesplazamientoColumna();
    if (r >= 0 && c >= 0) {
        emit dataChanged(index(r, c), index(r, c), {Qt::DisplayRole, Qt::EditRole});
    } else if (r < 0 && c >= 0) {
        emit headerDataChanged(Qt::Horizontal, c, c);
    } else if (c < 0 && r >= 0) {
        emit headerDataChanged(Qt::Vertical, r, r);
    }
}

QString ModeloMatriz::Celda(int32_t columna, int32_t fila) const {
    return QString::fromStdString(matriz_.Celda(columna, fila));
}

void ModeloMatriz::IntercambiarBloque(int32_t columna, int32_t fila, BloqueTexto& bloque) {
    matriz_.IntercambiarBloque(columna, fila, bloque);
    // The part the view shows as cells; header cells are never part of a block.
    const int r0 = std::max(fila - DesplazamientoFila(), 0);
    const int c0 = std::max(columna - DesplazamientoColumna(), 0);
    const int r1 = std::min(fila + bloque.filas - DesplazamientoFila(), rowCount()) - 1;
    const int c1 = std::min(columna + bloque.columnas - DesplazamientoColumna(), columnCount()) - 1;
    if (r0 <= r1 && c0 <= c1) emit dataChanged(index(r0, c0), index(r1, c1), {Qt::DisplayRole, Qt::EditRole});
}

MatrizProblema ModeloMatriz::IntercambiarMatriz(MatrizProblema nueva) {
    CambiarTodo([&] { std::swap(matriz_, nueva); });
    return nueva;
}

QModelIndex ModeloMatriz::IndiceDeCelda(int32_t columna, int32_t fila) const {
    return index(fila - DesplazamientoFila(), columna - DesplazamientoColumna());
}

int ModeloMatriz::rowCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : matriz_.Filas() - DesplazamientoFila();
}

int ModeloMatriz::columnCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : matriz_.Columnas() - DesplazamientoColumna();
}

QVariant ModeloMatriz::data(const QModelIndex& indice, int rol) const {
    if (!indice.isValid()) return {};
    const int32_t columna = ColumnaDe(indice);
    const int32_t fila = FilaDe(indice);
    switch (rol) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return Celda(columna, fila);
        case Qt::BackgroundRole:
            if (EsCabecera(columna, fila)) return QGuiApplication::palette().button();
            if (!EsEnteroOVacio(matriz_.Celda(columna, fila))) return QBrush(ColorNoEntero());
            return {};
        case Qt::ForegroundRole:
            // Header cells cannot be selected; they keep the text colour all the same.
            if (EsCabecera(columna, fila)) return QGuiApplication::palette().buttonText();
            return {};
        case Qt::ToolTipRole:
            if (!EsCabecera(columna, fila) && !EsEnteroOVacio(matriz_.Celda(columna, fila)))
                return MensajeNoEntero();
            return {};
        default:
            return {};
    }
}

bool ModeloMatriz::setData(const QModelIndex& indice, const QVariant& valor, int rol) {
    if (!indice.isValid() || rol != Qt::EditRole || !(flags(indice) & Qt::ItemIsEditable)) return false;
    const int32_t columna = ColumnaDe(indice);
    const int32_t fila = FilaDe(indice);
    const QString texto = valor.toString();
    if (edicion_ != nullptr)
        edicion_->Editar(columna, fila, texto);
    else
        PonerCelda(columna, fila, texto);
    return true;
}

bool ModeloMatriz::EsEnteroOVacio(const std::string& texto) {
    return texto.empty() || IntentarTextoAEntero(texto).has_value();
}

QString ModeloMatriz::MensajeNoEntero() { return QStringLiteral("No es un número entero"); }

QColor ModeloMatriz::ColorNoEntero() { return QColor(255, 205, 205); }

QVariant ModeloMatriz::headerData(int seccion, Qt::Orientation orientacion, int rol) const {
    if (rol != Qt::DisplayRole) return {};
    if (orientacion == Qt::Horizontal) {
        if (!matriz_.FilaFija()) return {};
        return Celda(seccion + DesplazamientoColumna(), 0);
    }
    if (!matriz_.ColumnaFija()) return {};
    return Celda(0, seccion + DesplazamientoFila());
}

Qt::ItemFlags ModeloMatriz::flags(const QModelIndex& indice) const {
    if (!indice.isValid() || EsCabecera(ColumnaDe(indice), FilaDe(indice))) return Qt::ItemNeverHasChildren;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
}

}  // namespace tavelorin
