// Blocks of grid texts on the clipboard: what the grid copies (tab-separated lines with
// CR LF, CSV, and a format of its own that pastes back exactly) and what it can paste.
#pragma once

#include <QString>

#include "core/BloqueTexto.h"

class QMimeData;

namespace tavelorin {

// The program's own format: tab-separated lines, no quoting (cells hold no tabs or line
// breaks), so that a copied block pastes back cell for cell.
inline const QString kTipoCeldas = QStringLiteral("application/x-tavelorin-celdas");

// A new mime data with the block as text/plain (tab-separated, CR LF), text/csv and the
// program's own format; the caller takes it.
QMimeData* DatosDeBloque(const BloqueTexto& bloque);

// The block a clipboard holds: the program's own format first, then text/csv, then plain
// text (tabs, or semicolons when there are none). Empty when there is nothing to paste.
BloqueTexto BloqueDeDatos(const QMimeData& datos);

// Whether BloqueDeDatos finds anything to read.
bool HayBloque(const QMimeData* datos);

}  // namespace tavelorin
