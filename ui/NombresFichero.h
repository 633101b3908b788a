// Rules about the names of the files the window reads and writes.
#pragma once

#include <QString>

namespace tavelorin {

// True when both names lead to the same file: the same file on disk (links resolved),
// or, for a file not yet created, the same absolute path. False when either is empty.
bool MismoFichero(const QString& a, const QString& b);

// The problem file's name with another ending ("x.brk" -> "x-tasas.png"); empty without one.
QString NombreJuntoAlProblema(const QString& problema, const QString& final);

// The refusal when the solution is to be written over the problem file itself.
QString MensajeSolucionSobreProblema(const QString& ficheroProblema);

}  // namespace tavelorin
