#include "ui/ModeloMatriz.h"

#include <algorithm>

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

bool ModeloMatriz::CambiarDimensiones(int64_t filas, int64_t columnas) {
    if (std::max<int64_t>(filas, 1) == matriz_.Filas() && std::max<int64_t>(columnas, 1) == matriz_.Columnas()) return false;
    MatrizProblema::ComprobarTamano(filas, columnas);  // refused before the view is told anything
    CambiarTodo([&] { matriz_.CambiarDimensiones(filas, columnas); });
    return true;
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

int ModeloMatriz::rowCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : matriz_.Filas() - DesplazamientoFila();
}

int ModeloMatriz::columnCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : matriz_.Columnas() - DesplazamientoColumna();
}

QVariant ModeloMatriz::data(const QModelIndex& indice, int rol) const {
    if (!indice.isValid() || (rol != Qt::DisplayRole && rol != Qt::EditRole)) return {};
    return Celda(indice.column() + DesplazamientoColumna(), indice.row() + DesplazamientoFila());
}

bool ModeloMatriz::setData(const QModelIndex& indice, const QVariant& valor, int rol) {
    if (!indice.isValid() || rol != Qt::EditRole) return false;
    const int32_t columna = indice.column() + DesplazamientoColumna();
    const int32_t fila = indice.row() + DesplazamientoFila();
    const QString texto = valor.toString();
    if (texto == Celda(columna, fila)) return true;
    PonerCelda(columna, fila, texto);
    emit CeldaEditada();
    return true;
}

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
    if (!indice.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

}  // namespace tavelorin
