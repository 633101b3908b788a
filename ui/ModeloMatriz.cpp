#include "ModeloMatriz.h"

namespace tavelorin {

ModeloMatriz::ModeloMatriz(QObject* padre) : QAbstractTableModel(padre) {}

void ModeloMatriz::FijarFilas(int64_t filas) {
    const bool fija = matriz_.FilaFija();
    const int64_t antes = matriz_.Filas();
    const int64_t despues = std::max<int64_t>(filas, 1);
    if (despues == antes) return;
    // Validate first, so a refused size leaves the view untouched.
    beginResetModel();
    try {
        matriz_.FijarFilas(filas);
    } catch (...) {
        endResetModel();
        throw;
    }
    endResetModel();
    if (fija != matriz_.FilaFija()) emit CabecerasCambiadas();
}

void ModeloMatriz::FijarColumnas(int64_t columnas) {
    const bool fija = matriz_.ColumnaFija();
    if (std::max<int64_t>(columnas, 1) == matriz_.Columnas()) return;
    beginResetModel();
    try {
        matriz_.FijarColumnas(columnas);
    } catch (...) {
        endResetModel();
        throw;
    }
    endResetModel();
    if (fija != matriz_.ColumnaFija()) emit CabecerasCambiadas();
}

void ModeloMatriz::Rotular() {
    matriz_.Rotular();
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole, Qt::EditRole});
    emit headerDataChanged(Qt::Horizontal, 0, std::max(0, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, 0, std::max(0, rowCount() - 1));
}

void ModeloMatriz::Cargar(const std::vector<std::string>& lineas) {
    const bool filaFija = matriz_.FilaFija();
    const bool columnaFija = matriz_.ColumnaFija();
    beginResetModel();
    try {
        CargarLineas(matriz_, lineas);
    } catch (...) {
        endResetModel();
        if (filaFija != matriz_.FilaFija() || columnaFija != matriz_.ColumnaFija()) emit CabecerasCambiadas();
        throw;
    }
    endResetModel();
    if (filaFija != matriz_.FilaFija() || columnaFija != matriz_.ColumnaFija()) emit CabecerasCambiadas();
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
    PonerCelda(indice.column() + DesplazamientoColumna(), indice.row() + DesplazamientoFila(), valor.toString());
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
