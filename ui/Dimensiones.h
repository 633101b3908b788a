// The Items command: asks for the number of products and of components and resizes the
// problem, keeping what still fits.
#pragma once

#include <QString>

#include "core/MatrizProblema.h"

class QWidget;

namespace tavelorin {

class Dialogos;
class EdicionMatriz;

// The question before a resize drops texts ("Se perderán los datos de ... ¿Continuar?");
// empty when nothing would be lost.
QString PreguntaPerdida(const MatrizProblema::Perdida& perdida);

// The two prompts, each proposing the current count; Cancel in either ends the command
// with nothing changed. Both answers are converted (integer rule, counts + 1 and + 2 in
// 32-bit wrapping arithmetic) and the size checked before anything changes; when the
// resize would drop texts the user is asked first. The resize is one undo step. True when
// the grid changed.
bool DimensionarProblema(Dialogos& dialogos, QWidget* padre, EdicionMatriz& edicion);

}  // namespace tavelorin
