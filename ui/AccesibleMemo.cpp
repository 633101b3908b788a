#include "ui/AccesibleMemo.h"

#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <algorithm>

#include "ui/MemoInforme.h"

namespace tavelorin {

// --- Offsets ---

int DesplazamientoDe(const LineasMemo& lineas, Posicion p) {
    int64_t d = 0;
    const int ultima = std::clamp(p.linea, 0, lineas.Cantidad() - 1);
    for (int i = 0; i < ultima; ++i) d += lineas.Longitud(i) + 1;
    d += std::clamp(p.columna, 0, lineas.Longitud(ultima));
    return static_cast<int>(std::min<int64_t>(d, INT32_MAX));
}

Posicion PosicionDe(const LineasMemo& lineas, int desplazamiento) {
    int resto = std::max(0, desplazamiento);
    const int n = lineas.Cantidad();
    for (int i = 0; i < n; ++i) {
        const int largo = lineas.Longitud(i);
        if (resto <= largo) return {i, resto};
        resto -= largo + 1;
    }
    return {n - 1, lineas.Longitud(n - 1)};
}

int CaracteresDe(const LineasMemo& lineas) {
    const int n = lineas.Cantidad();
    return DesplazamientoDe(lineas, {n - 1, lineas.Longitud(n - 1)});
}

// --- The interface ---

AccesibleMemo::AccesibleMemo(MemoInforme* memo) : QAccessibleWidget(memo, QAccessible::EditableText) {}

MemoInforme* AccesibleMemo::Memo() const { return static_cast<MemoInforme*>(widget()); }

void* AccesibleMemo::interface_cast(QAccessible::InterfaceType tipo) {
    if (tipo == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(tipo);
}

QAccessible::State AccesibleMemo::state() const {
    QAccessible::State estado = QAccessibleWidget::state();
    estado.editable = true;
    estado.multiLine = true;
    estado.selectableText = true;
    return estado;
}

QString AccesibleMemo::text(QAccessible::Text tipo) const {
    if (tipo == QAccessible::Value) return text(0, characterCount());
    return QAccessibleWidget::text(tipo);
}

void AccesibleMemo::selection(int indice, int* inicio, int* fin) const {
    *inicio = *fin = 0;
    const MemoInforme* m = Memo();
    if (indice != 0 || !m->TieneSeleccion()) return;
    *inicio = DesplazamientoDe(m->Filas(), std::min(m->Cursor(), m->Ancla()));
    *fin = DesplazamientoDe(m->Filas(), std::max(m->Cursor(), m->Ancla()));
}

int AccesibleMemo::selectionCount() const { return Memo()->TieneSeleccion() ? 1 : 0; }

void AccesibleMemo::addSelection(int inicio, int fin) { setSelection(0, inicio, fin); }

void AccesibleMemo::removeSelection(int indice) {
    if (indice == 0) Memo()->FijarCursor(Memo()->Cursor());
}

void AccesibleMemo::setSelection(int indice, int inicio, int fin) {
    if (indice != 0) return;
    MemoInforme* m = Memo();
    m->FijarCursor(PosicionDe(m->Filas(), inicio));
    m->FijarCursor(PosicionDe(m->Filas(), fin), true);
}

int AccesibleMemo::cursorPosition() const { return DesplazamientoDe(Memo()->Filas(), Memo()->Cursor()); }

void AccesibleMemo::setCursorPosition(int posicion) { Memo()->FijarCursor(PosicionDe(Memo()->Filas(), posicion)); }

QString AccesibleMemo::text(int inicio, int fin) const {
    const LineasMemo& l = Memo()->Filas();
    if (fin < 0 || fin > CaracteresDe(l)) fin = CaracteresDe(l);
    if (inicio < 0 || inicio >= fin) return {};
    return l.Extraer(PosicionDe(l, inicio), PosicionDe(l, fin));
}

int AccesibleMemo::characterCount() const { return CaracteresDe(Memo()->Filas()); }

QString AccesibleMemo::Pieza(int desplazamiento, QAccessible::TextBoundaryType limite, int* inicio, int* fin) const {
    const LineasMemo& l = Memo()->Filas();
    const int total = CaracteresDe(l);
    const int d = std::clamp(desplazamiento, 0, total);
    const Posicion p = PosicionDe(l, d);
    const int largo = l.Longitud(p.linea);
    const int inicioLinea = d - p.columna;
    const bool conSalto = p.linea + 1 < l.Cantidad();
    switch (limite) {
        case QAccessible::CharBoundary: {
            int n = d < total ? 1 : 0;
            if (p.columna + 1 < largo && QChar::isHighSurrogate(l.Caracter(p.linea, p.columna))) n = 2;
            *inicio = d;
            *fin = d + n;
            break;
        }
        case QAccessible::WordBoundary: {
            if (p.columna >= largo) {  // the line break, or nothing at the end
                *inicio = d;
                *fin = d + (conSalto ? 1 : 0);
                break;
            }
            const QString linea = l.Texto(p.linea);
            QTextBoundaryFinder palabras(QTextBoundaryFinder::Word, linea);
            palabras.setPosition(p.columna);
            const int desde = palabras.isAtBoundary() ? p.columna : static_cast<int>(palabras.toPreviousBoundary());
            palabras.setPosition(p.columna);
            const int hasta = static_cast<int>(palabras.toNextBoundary());
            *inicio = inicioLinea + std::max(desde, 0);
            *fin = inicioLinea + (hasta < 0 ? largo : hasta);
            break;
        }
        case QAccessible::NoBoundary:
            *inicio = 0;
            *fin = total;
            break;
        default:  // a line (with its line break) for lines, sentences and paragraphs
            *inicio = inicioLinea;
            *fin = inicioLinea + largo + (conSalto ? 1 : 0);
            break;
    }
    return text(*inicio, *fin);
}

QString AccesibleMemo::textAtOffset(int desplazamiento, QAccessible::TextBoundaryType limite, int* inicio,
                                    int* fin) const {
    return Pieza(desplazamiento, limite, inicio, fin);
}

QString AccesibleMemo::textBeforeOffset(int desplazamiento, QAccessible::TextBoundaryType limite, int* inicio,
                                        int* fin) const {
    int desde = 0, hasta = 0;
    Pieza(desplazamiento, limite, &desde, &hasta);
    if (desde <= 0 || limite == QAccessible::NoBoundary) {
        *inicio = *fin = -1;
        return {};
    }
    return Pieza(desde - 1, limite, inicio, fin);
}

QString AccesibleMemo::textAfterOffset(int desplazamiento, QAccessible::TextBoundaryType limite, int* inicio,
                                       int* fin) const {
    int desde = 0, hasta = 0;
    Pieza(desplazamiento, limite, &desde, &hasta);
    if (hasta >= characterCount() || hasta <= desde || limite == QAccessible::NoBoundary) {
        *inicio = *fin = -1;
        return {};
    }
    return Pieza(hasta, limite, inicio, fin);
}

QRect AccesibleMemo::characterRect(int desplazamiento) const {
    const MemoInforme* m = Memo();
    const Posicion p = PosicionDe(m->Filas(), desplazamiento);
    const QPointF a = m->PuntoDe(p);
    const bool hayCaracter = p.columna < m->Filas().Longitud(p.linea);
    const double ancho =
        hayCaracter ? m->PuntoDe({p.linea, p.columna + 1}).x() - a.x() : m->fontMetrics().horizontalAdvance(u' ');
    const QPoint esquina = m->viewport()->mapToGlobal(a.toPoint());
    return QRect(esquina, QSize(std::max(1, static_cast<int>(ancho)), m->AltoFila()));
}

int AccesibleMemo::offsetAtPoint(const QPoint& punto) const {
    const MemoInforme* m = Memo();
    const QPoint enVista = m->viewport()->mapFromGlobal(punto);
    if (!m->viewport()->rect().contains(enVista)) return -1;
    return DesplazamientoDe(m->Filas(), m->PosicionEn(enVista));
}

void AccesibleMemo::scrollToSubstring(int inicio, int /*fin*/) {
    MemoInforme* m = Memo();
    const Posicion p = PosicionDe(m->Filas(), inicio);
    QScrollBar* v = m->verticalScrollBar();
    if (p.linea < v->value() || p.linea >= v->value() + v->pageStep()) v->setValue(p.linea);
    const QPointF punto = m->PuntoDe(p);
    QScrollBar* h = m->horizontalScrollBar();
    if (punto.x() < 0 || punto.x() >= m->viewport()->width()) h->setValue(h->value() + static_cast<int>(punto.x()));
}

QString AccesibleMemo::attributes(int /*desplazamiento*/, int* inicio, int* fin) const {
    // One font and colour throughout: no attributes, over the whole text.
    *inicio = 0;
    *fin = characterCount();
    return {};
}

// --- Installation and events ---

namespace {

QAccessibleInterface* Fabrica(const QString& clase, QObject* objeto) {
    if (clase == QLatin1String(MemoInforme::staticMetaObject.className()) && objeto != nullptr &&
        objeto->isWidgetType())
        return new AccesibleMemo(static_cast<MemoInforme*>(objeto));
    return nullptr;
}

}  // namespace

void InstalarAccesibilidadMemo() {
    static const bool instalada = [] {
        QAccessible::installFactory(&Fabrica);
        return true;
    }();
    (void)instalada;
}

void AvisarCursor(MemoInforme& memo) {
    if (!QAccessible::isActive()) return;
    const LineasMemo& l = memo.Filas();
    const int cursor = DesplazamientoDe(l, memo.Cursor());
    QAccessibleTextSelectionEvent seleccion(&memo, DesplazamientoDe(l, std::min(memo.Cursor(), memo.Ancla())),
                                            DesplazamientoDe(l, std::max(memo.Cursor(), memo.Ancla())));
    seleccion.setCursorPosition(cursor);
    QAccessible::updateAccessibility(&seleccion);
    QAccessibleTextCursorEvent evento(&memo, cursor);
    QAccessible::updateAccessibility(&evento);
}

void AvisarEdicion(MemoInforme& memo, Posicion desde, const QString& quitado, const QString& puesto) {
    if (!QAccessible::isActive()) return;
    QAccessibleTextUpdateEvent evento(&memo, DesplazamientoDe(memo.Filas(), desde), quitado, puesto);
    QAccessible::updateAccessibility(&evento);
}

// The old text is gone: the caret, back at the start, makes the tools read the new one.
void AvisarTextoNuevo(MemoInforme& memo) { AvisarCursor(memo); }

}  // namespace tavelorin
