// The report memo's painting: its geometry (rows, scroll bars, positions in pixels),
// the rows on screen, and the caret. Editing is in MemoInforme.cpp.
#include <QApplication>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTimerEvent>
#include <algorithm>
#include <cmath>

#include "ui/MemoInforme.h"

namespace tavelorin {

// --- Positions in pixels ---

double MemoInforme::Unidades(Posicion p) const { return lineas_.Hasta(p.linea, p.columna, *medidor_); }

QPointF MemoInforme::PuntoDe(Posicion p) const {
    return {margen_ + Unidades(p) * medidor_->Escala() - Desplazamiento(),
            static_cast<qreal>(margen_ + (p.linea - PrimeraFila()) * alto_)};
}

Posicion MemoInforme::PosicionEn(QPoint punto) const {
    const int fila = static_cast<int>(std::floor(static_cast<double>(punto.y() - margen_) / alto_));
    const int linea = std::clamp(PrimeraFila() + fila, 0, lineas_.Cantidad() - 1);
    const double u = (punto.x() + Desplazamiento() - margen_) / medidor_->Escala();
    return {linea, lineas_.MasCercano(linea, u, *medidor_)};
}

// The horizontal scroll bar counts pixels, or several pixels a step when the widest
// line is wider than the bar's range.
double MemoInforme::Desplazamiento() const { return static_cast<double>(horizontalScrollBar()->value()) * pasoHorizontal_; }

void MemoInforme::Desplazar(double pixeles) {
    horizontalScrollBar()->setValue(static_cast<int>(std::floor(pixeles / pasoHorizontal_)));
}

// --- Geometry and scrolling ---

void MemoInforme::Medir() {
    fuentePintura_ = font();
    // Text drawn as runs must advance as its characters measure one by one.
    fuentePintura_.setKerning(false);
    fuentePintura_.setStyleStrategy(QFont::StyleStrategy(fuentePintura_.styleStrategy() | QFont::PreferNoShaping));
    medidor_ = std::make_unique<Medidor>(fuentePintura_);
    const QFontMetricsF fm(fuentePintura_);
    alto_ = std::max(1, static_cast<int>(std::ceil(fm.height())));
    ascenso_ = fm.ascent();
    lineas_.OlvidarMedidas();
    if (!lineas_.MedidasCompletas()) medicion_.start(0, this);
    ActualizarBarras();
    viewport()->update();
}

int MemoInforme::PrimeraFila() const { return verticalScrollBar()->value(); }

int MemoInforme::FilasVisibles() const { return std::max(1, (viewport()->height() - margen_) / alto_); }

void MemoInforme::ActualizarBarras() {
    if (!medidor_) return;
    const int filas = FilasVisibles();
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, lineas_.Cantidad() - filas));
    v->setPageStep(filas);
    v->setSingleStep(1);
    const double ancho = lineas_.AnchoMaximo(*medidor_) * medidor_->Escala();
    const double contenido = std::ceil(ancho) + 2 * margen_ + kCursorAncho;
    // Beyond a billion pixels a step of the bar is several of them.
    constexpr double kRango = 1 << 30;
    const double desplazamiento = Desplazamiento();
    const int pasoAnterior = pasoHorizontal_;
    pasoHorizontal_ = contenido > kRango ? static_cast<int>(std::ceil(contenido / kRango)) : 1;
    QScrollBar* h = horizontalScrollBar();
    const int vista = viewport()->width();
    h->setRange(0, static_cast<int>(std::max(0.0, std::ceil((contenido - vista) / pasoHorizontal_))));
    h->setPageStep(std::max(1, vista / pasoHorizontal_));
    h->setSingleStep(std::max(1, static_cast<int>(std::lround(medidor_->Avance(u'0') * medidor_->Escala())) / pasoHorizontal_));
    if (pasoHorizontal_ != pasoAnterior) Desplazar(desplazamiento);
}

void MemoInforme::AsegurarVisible() {
    const int filas = FilasVisibles();
    const int primera = PrimeraFila();
    if (cursor_.linea < primera)
        verticalScrollBar()->setValue(cursor_.linea);
    else if (cursor_.linea >= primera + filas)
        verticalScrollBar()->setValue(cursor_.linea - filas + 1);
    const double x = margen_ + Unidades(cursor_) * medidor_->Escala();
    const double desde = Desplazamiento();
    const int vista = viewport()->width();
    if (x < desde + margen_)
        Desplazar(std::floor(x) - margen_);
    else if (x + kCursorAncho > desde + vista - margen_)
        Desplazar(std::ceil(x) + kCursorAncho + margen_ - vista + pasoHorizontal_ - 1);
}

void MemoInforme::scrollContentsBy(int, int) { viewport()->update(); }

void MemoInforme::resizeEvent(QResizeEvent* evento) {
    QAbstractScrollArea::resizeEvent(evento);
    ActualizarBarras();
}

// --- Painting ---

void MemoInforme::paintEvent(QPaintEvent* evento) {
    QPainter p(viewport());
    const QPalette& paleta = palette();
    p.fillRect(evento->rect(), paleta.brush(QPalette::Base));
    p.setFont(fuentePintura_);
    const int primera = PrimeraFila();
    const int vista = viewport()->width();
    const int n = lineas_.Cantidad();
    const int desdeFila = std::max(0, (evento->rect().top() - margen_) / alto_);
    const int hastaFila = std::max(0, (evento->rect().bottom() - margen_) / alto_);
    const Posicion selA = SeleccionDesde();
    const Posicion selB = SeleccionHasta();
    const double escala = medidor_->Escala();
    const double origen = margen_ - Desplazamiento();
    for (int f = desdeFila; f <= hastaFila && primera + f < n; ++f) {
        const int i = primera + f;
        const int y = margen_ + f * alto_;
        QRectF seleccion;
        if (selA != selB && i >= selA.linea && i <= selB.linea) {
            const double ua = lineas_.Hasta(i, i == selA.linea ? selA.columna : 0, *medidor_);
            double ub = lineas_.Hasta(i, i == selB.linea ? selB.columna : lineas_.Longitud(i), *medidor_);
            if (i < selB.linea) ub += medidor_->Avance(u' ');  // the line break
            seleccion = QRectF(origen + ua * escala, y, (ub - ua) * escala, alto_).intersected(QRectF(0, y, vista, alto_));
            p.fillRect(seleccion, paleta.brush(QPalette::Highlight));
        }
        p.setPen(paleta.color(QPalette::Text));
        DibujarFila(p, i, y + ascenso_, vista);
        if (!seleccion.isEmpty()) {
            p.save();
            p.setClipRect(seleccion);
            p.setPen(paleta.color(QPalette::HighlightedText));
            DibujarFila(p, i, y + ascenso_, vista);
            p.restore();
        }
    }
    if (cursorVisible_ && hasFocus()) {
        const QPointF c = PuntoDe(cursor_);
        p.fillRect(QRectF(std::round(c.x()), c.y(), kCursorAncho, alto_), paleta.color(QPalette::Text));
    }
}

void MemoInforme::DibujarFila(QPainter& pintor, int linea, qreal base, int anchoVista) {
    const Medidor& m = *medidor_;
    const double escala = m.Escala();
    const double desplazamiento = Desplazamiento();
    const double izquierda = (desplazamiento - margen_) / escala;
    const double derecha = (desplazamiento - margen_ + anchoVista) / escala;
    double u = 0;
    int k = lineas_.En(linea, std::max(0.0, izquierda), m, &u);
    const int n = lineas_.Longitud(linea);
    // The characters are read a run at a time: a generated line is produced only there.
    QString leidos;
    int leidosDesde = k;
    const auto caracter = [&](int j) {
        if (j >= leidosDesde + leidos.size() || j < leidosDesde) {
            leidosDesde = j;
            leidos = lineas_.Tramo(linea, j, std::min(n, j + 256));
        }
        return leidos[j - leidosDesde].unicode();
    };
    // With fixed pitch a Latin-1 line is one run, its tabs turned into spaces.
    const bool unir = m.Fijo() && !lineas_.EsAncha(linea);
    double inicio = u;
    fila_.clear();
    const auto soltar = [&] {
        if (fila_.isEmpty()) return;
        pintor.drawText(QPointF(margen_ + inicio * escala - desplazamiento, base), fila_);
        fila_.clear();
    };
    while (k < n && u < derecha) {
        const char16_t c = caracter(k);
        if (c == u'\t') {
            const double t = m.Tabular(u);
            if (unir) {
                if (fila_.isEmpty()) inicio = u;
                fila_.resize(fila_.size() + static_cast<qsizetype>(t - u), u' ');
            } else {
                soltar();
            }
            u = t;
            ++k;
            continue;
        }
        if (fila_.isEmpty()) inicio = u;
        if (QChar::isHighSurrogate(c) && k + 1 < n && QChar::isLowSurrogate(caracter(k + 1))) {
            const char16_t bajo = caracter(k + 1);
            fila_.append(QChar(c));
            fila_.append(QChar(bajo));
            u += m.AvancePar(c, bajo);
            k += 2;
            continue;
        }
        fila_.append(QChar::isSurrogate(c) ? QChar(QChar::ReplacementCharacter) : QChar(Medidor::Visible(c)));
        u += m.Avance(c);
        ++k;
    }
    soltar();
}

// --- Caret blinking ---

void MemoInforme::ReiniciarParpadeo() {
    cursorVisible_ = true;
    const int periodo = QApplication::cursorFlashTime();
    if (hasFocus() && periodo > 0)
        parpadeo_.start(periodo / 2, this);
    else
        parpadeo_.stop();
}

void MemoInforme::timerEvent(QTimerEvent* evento) {
    if (evento->timerId() == parpadeo_.timerId()) {
        cursorVisible_ = !cursorVisible_;
        const QPointF c = PuntoDe(cursor_);
        viewport()->update(QRect(static_cast<int>(std::round(c.x())) - 1, static_cast<int>(c.y()), kCursorAncho + 2, alto_));
    } else if (evento->timerId() == autodesplazamiento_.timerId()) {
        SeguirRaton(ultimoRaton_);
    } else if (evento->timerId() == medicion_.timerId()) {
        // A slice of the generated lines' widths; the bars take the exact widest at the end.
        if (lineas_.MedirPendientes(*medidor_, 8)) {
            medicion_.stop();
            ActualizarBarras();
        }
    } else {
        QAbstractScrollArea::timerEvent(evento);
    }
}

void MemoInforme::focusInEvent(QFocusEvent* evento) {
    QAbstractScrollArea::focusInEvent(evento);
    ReiniciarParpadeo();
    viewport()->update();
}

void MemoInforme::focusOutEvent(QFocusEvent* evento) {
    QAbstractScrollArea::focusOutEvent(evento);
    parpadeo_.stop();
    cursorVisible_ = false;
    arrastrando_ = false;
    autodesplazamiento_.stop();
    viewport()->update();
}

// --- Font and palette ---

void MemoInforme::changeEvent(QEvent* evento) {
    QAbstractScrollArea::changeEvent(evento);
    if (evento->type() == QEvent::FontChange && medidor_) Medir();
    if (evento->type() == QEvent::PaletteChange) viewport()->update();
}

}  // namespace tavelorin
