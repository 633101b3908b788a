// The report's ways out of the memo (the clipboard, a solution file, the printer), each
// checked against the memory available before it starts: a report too large for what is
// left is refused with "Out of memory" and nothing changes. The text is never copied
// whole beyond what each way needs.
#pragma once

#include <QString>
#include <cstdint>

namespace tavelorin {

class MemoInforme;

// Bytes each way needs for the memo's current text.
uint64_t MemoriaParaCopiar(const MemoInforme& memo);
uint64_t MemoriaParaEscribir(const MemoInforme& memo);
uint64_t MemoriaParaImprimir(const MemoInforme& memo);

// The whole text on the clipboard (see MemoInforme::CopiarTodo), the memo focused with
// its text selected.
void CopiarInforme(MemoInforme& memo);

// The memo's lines written to a solution file one at a time (see EscribirLineasFichero).
void EscribirInforme(const QString& nombre, const MemoInforme& memo);

// "Out of memory" when writing or printing the memo would not fit; the commands check
// before they show their dialogs.
void ComprobarMemoriaEscritura(const MemoInforme& memo);
void ComprobarMemoriaImpresion(const MemoInforme& memo);

}  // namespace tavelorin
