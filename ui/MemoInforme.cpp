// The report memo's text and editing: readers and writers, edits and undo, keys, mouse
// and the context menu. Its painting is in MemoPintura.cpp.
#include "ui/MemoInforme.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "ui/AccesibleMemo.h"

namespace tavelorin {

namespace {

// Plain text only: nothing else goes on the clipboard.
void AlPortapapeles(const QString& texto) {
    auto* datos = new QMimeData;
    datos->setText(texto);
    QGuiApplication::clipboard()->setMimeData(datos);
}

// Line breaks of any platform become '\n'.
QString Normalizar(QString texto) {
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    texto.replace(u'\r', u'\n');
    texto.replace(QChar::ParagraphSeparator, u'\n');
    texto.replace(QChar::LineSeparator, u'\n');
    return texto;
}

// Text a key may type: no control characters.
bool EsImprimible(const QString& texto) {
    if (texto.isEmpty()) return false;
    return std::all_of(texto.begin(), texto.end(), [](QChar c) { return c.unicode() >= 0x20 && c.unicode() != 0x7F; });
}

// Blanks, word characters (a report cell such as 0,559 or 1E-0005 is one word), and the rest.
int ClaseDe(char16_t c) {
    const QChar q(c);
    if (q.isSpace()) return 0;
    if (q.isLetterOrNumber() || c == u'_' || c == u'.' || c == u',' || c == u'-' || c == u'+') return 1;
    return 2;
}

}  // namespace

MemoInforme::MemoInforme(QWidget* padre) : QAbstractScrollArea(padre) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);  // the paint fills every pixel
    QFont fuente(QStringLiteral("Courier New"));
    fuente.setStyleHint(QFont::Monospace);
    fuente.setPixelSize(11);
    setFont(fuente);
    Medir();
    InstalarAccesibilidadMemo();
}

MemoInforme::~MemoInforme() = default;

// --- Readers and writers ---

int MemoInforme::NumeroLineas() const {
    const int n = lineas_.Cantidad();
    return lineas_.Longitud(n - 1) == 0 ? n - 1 : n;
}

QString MemoInforme::Linea(int indice) const {
    if (indice < 0 || indice >= NumeroLineas()) return {};
    return lineas_.Texto(indice);
}

std::vector<std::string> MemoInforme::Lineas() const {
    std::vector<std::string> r;
    const int n = NumeroLineas();
    r.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) r.push_back(lineas_.Utf8(i));
    return r;
}

QString MemoInforme::Texto() const {
    const int n = NumeroLineas();
    if (n == 0) return {};
    if (n < lineas_.Cantidad()) return lineas_.Extraer(Inicio(), {n, 0}, u"\r\n");
    return lineas_.Extraer(Inicio(), Final(), u"\r\n") + QStringLiteral("\r\n");
}

void MemoInforme::Vaciar() {
    lineas_.Vaciar();
    TextoNuevo();
}

// A new text starts with no history, the caret at its start and the view at its top left.
void MemoInforme::TextoNuevo() {
    OlvidarCambios();
    cursor_ = ancla_ = {};
    xDeseada_ = -1;
    ActualizarBarras();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    AvisarTextoNuevo(*this);
}

void MemoInforme::ReemplazarLineas(const std::vector<std::string>& lineas) {
    ReemplazarLineas(std::vector<std::string>(lineas));
}

void MemoInforme::ReemplazarLineas(std::vector<std::string>&& lineas) {
    lineas_.Reemplazar(std::move(lineas), true, *medidor_);
    TextoNuevo();
}

int MemoInforme::LongitudLinea(int indice) const {
    if (indice < 0 || indice >= NumeroLineas()) return 0;
    return lineas_.Longitud(indice);
}

std::string MemoInforme::LineaUtf8(int indice) const {
    if (indice < 0 || indice >= NumeroLineas()) return {};
    return lineas_.Utf8(indice);
}

uint64_t MemoInforme::BytesLineaUtf8(int indice) const {
    if (indice < 0 || indice >= NumeroLineas()) return 0;
    return lineas_.BytesUtf8(indice);
}

uint64_t MemoInforme::BytesTextoUtf8() const {
    uint64_t total = 2 * static_cast<uint64_t>(lineas_.Cantidad() - 1);
    for (int i = 0; i < lineas_.Cantidad(); ++i) total += lineas_.BytesUtf8(i);
    return total;
}

QByteArray MemoInforme::TextoUtf8() const {
    QByteArray texto;
    texto.reserve(static_cast<qsizetype>(BytesTextoUtf8()));
    for (int i = 0; i < lineas_.Cantidad(); ++i) {
        if (i > 0) texto += "\r\n";
        lineas_.AnadirUtf8(i, texto);
    }
    return texto;
}

void MemoInforme::CopiarTodo() {
    // Plain text only, as bytes: the clipboard hands them out without a converted copy.
    auto* datos = new QMimeData;
    datos->setData(QStringLiteral("text/plain"), TextoUtf8());
    QGuiApplication::clipboard()->setMimeData(datos);
}

// --- Editing commands ---

void MemoInforme::selectAll() { Colocar(Final(), Inicio(), false); }

QString MemoInforme::TextoSeleccionado() const { return lineas_.Extraer(SeleccionDesde(), SeleccionHasta(), u"\r\n"); }

void MemoInforme::Copiar() {
    if (TieneSeleccion()) AlPortapapeles(TextoSeleccionado());
}

void MemoInforme::Cortar() {
    if (!TieneSeleccion()) return;
    Copiar();
    Reemplazar(SeleccionDesde(), SeleccionHasta(), {}, Clase::Otra);
}

void MemoInforme::Pegar() {
    const QString texto = Normalizar(QGuiApplication::clipboard()->text());
    if (texto.isEmpty()) return;
    Reemplazar(SeleccionDesde(), SeleccionHasta(), texto, Clase::Otra);
}

void MemoInforme::Eliminar() {
    if (TieneSeleccion()) Reemplazar(SeleccionDesde(), SeleccionHasta(), {}, Clase::Otra);
}

void MemoInforme::Escribir(const QString& texto) {
    const QString t = Normalizar(texto);
    Reemplazar(SeleccionDesde(), SeleccionHasta(), t, t.contains(u'\n') ? Clase::Otra : Clase::Escritura);
}

void MemoInforme::Deshacer() {
    if (hecho_ == 0) return;
    const Cambio& c = cambios_[static_cast<size_t>(--hecho_)];
    Aplicar(c.inicio, c.puesto, c.quitado);
    agrupar_ = false;
    TrasCambiar();
    Colocar(c.cursorAntes, c.anclaAntes);
    emit TextoEditado();
}

void MemoInforme::Rehacer() {
    if (!PuedeRehacer()) return;
    const Cambio& c = cambios_[static_cast<size_t>(hecho_++)];
    Aplicar(c.inicio, c.quitado, c.puesto);
    agrupar_ = false;
    TrasCambiar();
    Colocar(c.cursorDespues, c.cursorDespues);
    emit TextoEditado();
}

void MemoInforme::FijarCursor(Posicion p, bool extender) {
    p = Limitar(p);
    agrupar_ = false;
    Colocar(p, extender ? ancla_ : p);
}

qreal MemoInforme::DistanciaTabulador() const { return medidor_->DistanciaTabulador(); }

// --- The edit underneath all others, and undo ---

void MemoInforme::Reemplazar(Posicion desde, Posicion hasta, const QString& texto, Clase clase) {
    desde = Limitar(desde);
    hasta = Limitar(hasta);
    if (hasta < desde) std::swap(desde, hasta);
    if (desde == hasta && texto.isEmpty()) return;
    Cambio c;
    c.inicio = desde;
    c.quitado = lineas_.Extraer(desde, hasta);
    c.puesto = texto;
    c.cursorAntes = cursor_;
    c.anclaAntes = ancla_;
    c.clase = clase;
    lineas_.Eliminar(desde, hasta);
    const Posicion fin = lineas_.Insertar(desde, texto);
    AvisarEdicion(*this, desde, c.quitado, texto);
    c.cursorDespues = fin;
    cambios_.erase(cambios_.begin() + hecho_, cambios_.end());
    bool unido = false;
    if (agrupar_ && !cambios_.empty() && cambios_.back().clase == clase) {
        Cambio& u = cambios_.back();
        if (clase == Clase::Escritura && c.quitado.isEmpty() && FinDeTexto(u.inicio, u.puesto) == desde) {
            u.puesto += texto;
            unido = true;
        } else if (clase == Clase::BorradoAtras && u.puesto.isEmpty() && hasta == u.inicio) {
            u.inicio = desde;
            u.quitado.prepend(c.quitado);
            unido = true;
        } else if (clase == Clase::BorradoAdelante && u.puesto.isEmpty() && desde == u.inicio) {
            u.quitado += c.quitado;
            unido = true;
        }
        if (unido) u.cursorDespues = fin;
    }
    if (!unido) {
        cambios_.push_back(std::move(c));
        ++hecho_;
    }
    agrupar_ = clase != Clase::Otra;
    TrasCambiar();
    Colocar(fin, fin);
    emit TextoEditado();
}

void MemoInforme::Aplicar(Posicion desde, const QString& quitado, const QString& puesto) {
    lineas_.Eliminar(desde, FinDeTexto(desde, quitado));
    lineas_.Insertar(desde, puesto);
    AvisarEdicion(*this, desde, quitado, puesto);
}

void MemoInforme::Borrar(Orden orden) {
    if (TieneSeleccion()) {
        Reemplazar(SeleccionDesde(), SeleccionHasta(), {}, Clase::Otra);
        return;
    }
    switch (orden) {
        case Orden::BorrarAtras: Reemplazar(AnteriorCaracter(cursor_), cursor_, {}, Clase::BorradoAtras); break;
        case Orden::BorrarAdelante: Reemplazar(cursor_, SiguienteCaracter(cursor_), {}, Clase::BorradoAdelante); break;
        case Orden::BorrarPalabraAtras: Reemplazar(PalabraAnterior(cursor_), cursor_, {}, Clase::Otra); break;
        case Orden::BorrarPalabraAdelante: Reemplazar(cursor_, PalabraSiguiente(cursor_), {}, Clase::Otra); break;
        default: break;
    }
}

void MemoInforme::TrasCambiar() {
    ActualizarBarras();
    viewport()->update();
}

void MemoInforme::OlvidarCambios() {
    cambios_.clear();
    hecho_ = 0;
    agrupar_ = false;
}

void MemoInforme::Colocar(Posicion cursor, Posicion ancla, bool asegurar) {
    cursor_ = Limitar(cursor);
    ancla_ = Limitar(ancla);
    xDeseada_ = -1;
    if (asegurar) AsegurarVisible();
    ReiniciarParpadeo();
    viewport()->update();
    AvisarCursor(*this);
}

// --- Positions ---

Posicion MemoInforme::Final() const {
    const int n = lineas_.Cantidad() - 1;
    return {n, lineas_.Longitud(n)};
}

Posicion MemoInforme::Limitar(Posicion p) const {
    p.linea = std::clamp(p.linea, 0, lineas_.Cantidad() - 1);
    const int n = lineas_.Longitud(p.linea);
    p.columna = std::clamp(p.columna, 0, n);
    if (p.columna > 0 && p.columna < n && QChar::isLowSurrogate(lineas_.Caracter(p.linea, p.columna)) &&
        QChar::isHighSurrogate(lineas_.Caracter(p.linea, p.columna - 1)))
        --p.columna;
    return p;
}

Posicion MemoInforme::AnteriorCaracter(Posicion p) const {
    if (p.columna > 0) return Limitar({p.linea, p.columna - 1});
    if (p.linea > 0) return {p.linea - 1, lineas_.Longitud(p.linea - 1)};
    return p;
}

Posicion MemoInforme::SiguienteCaracter(Posicion p) const {
    const int n = lineas_.Longitud(p.linea);
    if (p.columna < n) {
        int c = p.columna + 1;
        if (c < n && QChar::isHighSurrogate(lineas_.Caracter(p.linea, p.columna)) &&
            QChar::isLowSurrogate(lineas_.Caracter(p.linea, c)))
            ++c;
        return {p.linea, c};
    }
    if (p.linea + 1 < lineas_.Cantidad()) return {p.linea + 1, 0};
    return p;
}

bool MemoInforme::EsDePalabra(int linea, int columna) const { return ClaseDe(lineas_.Caracter(linea, columna)) != 0; }

Posicion MemoInforme::PalabraSiguiente(Posicion p) const {
    const int n = lineas_.Longitud(p.linea);
    if (p.columna >= n) return SiguienteCaracter(p);
    int c = p.columna;
    const int clase = ClaseDe(lineas_.Caracter(p.linea, c));
    if (clase != 0)
        while (c < n && ClaseDe(lineas_.Caracter(p.linea, c)) == clase) ++c;
    while (c < n && !EsDePalabra(p.linea, c)) ++c;
    return {p.linea, c};
}

Posicion MemoInforme::PalabraAnterior(Posicion p) const {
    if (p.columna == 0) return AnteriorCaracter(p);
    int c = p.columna;
    while (c > 0 && !EsDePalabra(p.linea, c - 1)) --c;
    if (c > 0) {
        const int clase = ClaseDe(lineas_.Caracter(p.linea, c - 1));
        while (c > 0 && ClaseDe(lineas_.Caracter(p.linea, c - 1)) == clase) --c;
    }
    return {p.linea, c};
}

// --- Keys ---

MemoInforme::Tecla MemoInforme::TeclaDe(const QKeyEvent* evento) {
    const Qt::KeyboardModifiers mods = evento->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    const bool shift = mods & Qt::ShiftModifier;
    if (mods & (Qt::AltModifier | Qt::MetaModifier)) return {};
    const auto mover = [shift](Movimiento m) { return Tecla{Orden::Mover, m, shift}; };
    const auto orden = [](Orden o) { return Tecla{o}; };
    switch (evento->key()) {
        case Qt::Key_Left: return mover(ctrl ? Movimiento::PalabraIzquierda : Movimiento::CaracterIzquierda);
        case Qt::Key_Right: return mover(ctrl ? Movimiento::PalabraDerecha : Movimiento::CaracterDerecha);
        case Qt::Key_Up:
            if (ctrl) return shift ? Tecla{} : orden(Orden::DesplazarArriba);
            return mover(Movimiento::LineaArriba);
        case Qt::Key_Down:
            if (ctrl) return shift ? Tecla{} : orden(Orden::DesplazarAbajo);
            return mover(Movimiento::LineaAbajo);
        case Qt::Key_PageUp: return ctrl ? Tecla{} : mover(Movimiento::PaginaArriba);
        case Qt::Key_PageDown: return ctrl ? Tecla{} : mover(Movimiento::PaginaAbajo);
        case Qt::Key_Home: return mover(ctrl ? Movimiento::InicioTexto : Movimiento::InicioLinea);
        case Qt::Key_End: return mover(ctrl ? Movimiento::FinTexto : Movimiento::FinLinea);
        case Qt::Key_Backspace: return orden(ctrl ? Orden::BorrarPalabraAtras : Orden::BorrarAtras);
        case Qt::Key_Delete:
            if (shift && !ctrl) return orden(Orden::Cortar);
            return orden(ctrl ? Orden::BorrarPalabraAdelante : Orden::BorrarAdelante);
        case Qt::Key_Insert:
            if (ctrl && !shift) return orden(Orden::Copiar);
            if (shift && !ctrl) return orden(Orden::Pegar);
            return {};
        case Qt::Key_Return:
        case Qt::Key_Enter: return ctrl ? Tecla{} : orden(Orden::NuevaLinea);
        case Qt::Key_Tab: return ctrl || shift ? Tecla{} : orden(Orden::Tabulador);
        default: break;
    }
    if (ctrl) {
        switch (evento->key()) {
            case Qt::Key_A: return shift ? Tecla{} : orden(Orden::SeleccionarTodo);
            case Qt::Key_C: return shift ? Tecla{} : orden(Orden::Copiar);
            case Qt::Key_X: return shift ? Tecla{} : orden(Orden::Cortar);
            case Qt::Key_V: return shift ? Tecla{} : orden(Orden::Pegar);
            case Qt::Key_Z: return orden(shift ? Orden::Rehacer : Orden::Deshacer);
            case Qt::Key_Y: return shift ? Tecla{} : orden(Orden::Rehacer);
            default: break;
        }
    }
    return {};
}

bool MemoInforme::Ejecutar(const Tecla& tecla) {
    switch (tecla.orden) {
        case Orden::Ninguna: return false;
        case Orden::Mover: Mover(tecla.movimiento, tecla.extender); break;
        case Orden::SeleccionarTodo: selectAll(); break;
        case Orden::Copiar: Copiar(); break;
        case Orden::Cortar: Cortar(); break;
        case Orden::Pegar: Pegar(); break;
        case Orden::Deshacer: Deshacer(); break;
        case Orden::Rehacer: Rehacer(); break;
        case Orden::BorrarAtras:
        case Orden::BorrarAdelante:
        case Orden::BorrarPalabraAtras:
        case Orden::BorrarPalabraAdelante: Borrar(tecla.orden); break;
        case Orden::NuevaLinea: Reemplazar(SeleccionDesde(), SeleccionHasta(), QStringLiteral("\n"), Clase::Otra); break;
        case Orden::Tabulador: Reemplazar(SeleccionDesde(), SeleccionHasta(), QStringLiteral("\t"), Clase::Escritura); break;
        case Orden::DesplazarArriba: verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case Orden::DesplazarAbajo: verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    }
    return true;
}

Posicion MemoInforme::Destino(Movimiento m, double x) const {
    const int filas = FilasVisibles();
    const int ultima = lineas_.Cantidad() - 1;
    const auto enLinea = [&](int linea) { return Posicion{linea, lineas_.MasCercano(linea, x, *medidor_)}; };
    switch (m) {
        case Movimiento::CaracterIzquierda: return AnteriorCaracter(cursor_);
        case Movimiento::CaracterDerecha: return SiguienteCaracter(cursor_);
        case Movimiento::PalabraIzquierda: return PalabraAnterior(cursor_);
        case Movimiento::PalabraDerecha: return PalabraSiguiente(cursor_);
        case Movimiento::LineaArriba: return cursor_.linea == 0 ? Inicio() : enLinea(cursor_.linea - 1);
        case Movimiento::LineaAbajo: return cursor_.linea == ultima ? Final() : enLinea(cursor_.linea + 1);
        case Movimiento::PaginaArriba: return cursor_.linea == 0 ? Inicio() : enLinea(std::max(0, cursor_.linea - filas));
        case Movimiento::PaginaAbajo: return cursor_.linea == ultima ? Final() : enLinea(std::min(ultima, cursor_.linea + filas));
        case Movimiento::InicioLinea: return {cursor_.linea, 0};
        case Movimiento::FinLinea: return {cursor_.linea, lineas_.Longitud(cursor_.linea)};
        case Movimiento::InicioTexto: return Inicio();
        case Movimiento::FinTexto: return Final();
    }
    return cursor_;
}

void MemoInforme::Mover(Movimiento m, bool extender) {
    agrupar_ = false;
    if (!extender && TieneSeleccion() && (m == Movimiento::CaracterIzquierda || m == Movimiento::CaracterDerecha)) {
        const Posicion p = m == Movimiento::CaracterIzquierda ? SeleccionDesde() : SeleccionHasta();
        Colocar(p, p);
        return;
    }
    const bool vertical = m == Movimiento::LineaArriba || m == Movimiento::LineaAbajo || m == Movimiento::PaginaArriba ||
                          m == Movimiento::PaginaAbajo;
    const double x = vertical && xDeseada_ >= 0 ? xDeseada_ : Unidades(cursor_);
    const Posicion p = Destino(m, x);
    // A page key moves the view by a page as well as the caret.
    if (m == Movimiento::PaginaArriba) verticalScrollBar()->setValue(PrimeraFila() - FilasVisibles());
    if (m == Movimiento::PaginaAbajo) verticalScrollBar()->setValue(PrimeraFila() + FilasVisibles());
    Colocar(p, extender ? ancla_ : p);
    if (vertical) xDeseada_ = x;
}

// --- Events ---

bool MemoInforme::event(QEvent* evento) {
    if (evento->type() == QEvent::ShortcutOverride) {
        // Editing keys belong to the editor, not to the window's shortcuts.
        auto* tecla = static_cast<QKeyEvent*>(evento);
        const bool texto = EsImprimible(tecla->text()) && !(tecla->modifiers() & Qt::ControlModifier);
        if (TeclaDe(tecla).orden != Orden::Ninguna || texto) {
            evento->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(evento);
}

bool MemoInforme::focusNextPrevChild(bool siguiente) {
    // Tab types a tab; Shift+Tab still leaves.
    if (siguiente) return false;
    return QAbstractScrollArea::focusNextPrevChild(siguiente);
}

void MemoInforme::keyPressEvent(QKeyEvent* evento) {
    if (Ejecutar(TeclaDe(evento))) {
        evento->accept();
        return;
    }
    const Qt::KeyboardModifiers mods = evento->modifiers();
    const bool soloControl = (mods & Qt::ControlModifier) && !(mods & Qt::AltModifier);
    if (!soloControl && EsImprimible(evento->text())) {
        Reemplazar(SeleccionDesde(), SeleccionHasta(), evento->text(), Clase::Escritura);
        evento->accept();
        return;
    }
    evento->ignore();
}

void MemoInforme::inputMethodEvent(QInputMethodEvent* evento) {
    const QString texto = Normalizar(evento->commitString());
    if (!texto.isEmpty() || evento->replacementLength() > 0) {
        Posicion desde = SeleccionDesde();
        Posicion hasta = SeleccionHasta();
        if (!TieneSeleccion() && (evento->replacementStart() != 0 || evento->replacementLength() > 0)) {
            const int n = lineas_.Longitud(cursor_.linea);
            desde.columna = std::clamp(cursor_.columna + evento->replacementStart(), 0, n);
            hasta = {cursor_.linea, std::clamp(desde.columna + evento->replacementLength(), desde.columna, n)};
        }
        Reemplazar(desde, hasta, texto, texto.contains(u'\n') ? Clase::Otra : Clase::Escritura);
    }
    evento->accept();
}

QVariant MemoInforme::inputMethodQuery(Qt::InputMethodQuery consulta) const {
    switch (consulta) {
        case Qt::ImEnabled: return true;
        case Qt::ImCursorRectangle: {
            const QPointF c = PuntoDe(cursor_) + viewport()->pos();
            return QRect(static_cast<int>(std::round(c.x())), static_cast<int>(c.y()), kCursorAncho, alto_);
        }
        case Qt::ImFont: return font();
        case Qt::ImCursorPosition: return cursor_.columna;
        case Qt::ImAnchorPosition: return ancla_.linea == cursor_.linea ? ancla_.columna : cursor_.columna;
        case Qt::ImSurroundingText: return lineas_.Texto(cursor_.linea);
        case Qt::ImCurrentSelection: return TextoSeleccionado();
        case Qt::ImHints: return static_cast<int>(Qt::ImhMultiLine);
        default: return QAbstractScrollArea::inputMethodQuery(consulta);
    }
}

void MemoInforme::mousePressEvent(QMouseEvent* evento) {
    if (evento->button() != Qt::LeftButton) {
        evento->ignore();
        return;
    }
    const Posicion p = PosicionEn(evento->position().toPoint());
    agrupar_ = false;
    Colocar(p, evento->modifiers() & Qt::ShiftModifier ? ancla_ : p);
    arrastrando_ = true;
    ultimoRaton_ = evento->position().toPoint();
    evento->accept();
}

void MemoInforme::mouseMoveEvent(QMouseEvent* evento) {
    if (!arrastrando_ || !(evento->buttons() & Qt::LeftButton)) {
        evento->ignore();
        return;
    }
    ultimoRaton_ = evento->position().toPoint();
    SeguirRaton(ultimoRaton_);
    if (viewport()->rect().contains(ultimoRaton_))
        autodesplazamiento_.stop();
    else if (!autodesplazamiento_.isActive())
        autodesplazamiento_.start(50, this);
    evento->accept();
}

void MemoInforme::SeguirRaton(QPoint punto) { Colocar(PosicionEn(punto), ancla_); }

void MemoInforme::mouseReleaseEvent(QMouseEvent* evento) {
    if (evento->button() == Qt::LeftButton) {
        arrastrando_ = false;
        autodesplazamiento_.stop();
    }
    evento->accept();
}

void MemoInforme::mouseDoubleClickEvent(QMouseEvent* evento) {
    if (evento->button() != Qt::LeftButton) {
        evento->ignore();
        return;
    }
    // The word under the pointer (or the run of blanks, or of other characters).
    const Posicion p = PosicionEn(evento->position().toPoint());
    const int n = lineas_.Longitud(p.linea);
    int desde = p.columna;
    int hasta = p.columna;
    if (n > 0) {
        const int k = std::min(p.columna, n - 1);
        const int clase = ClaseDe(lineas_.Caracter(p.linea, k));
        desde = k;
        hasta = k + 1;
        while (desde > 0 && ClaseDe(lineas_.Caracter(p.linea, desde - 1)) == clase) --desde;
        while (hasta < n && ClaseDe(lineas_.Caracter(p.linea, hasta)) == clase) ++hasta;
    }
    agrupar_ = false;
    Colocar({p.linea, hasta}, {p.linea, desde});
    arrastrando_ = false;
    evento->accept();
}

QMenu* MemoInforme::CrearMenuContextual(QWidget* padre) {
    auto* menu = new QMenu(padre);
    const bool seleccion = TieneSeleccion();
    const auto anadir = [&](const QString& texto, const QKeySequence& atajo, bool activa, void (MemoInforme::*accion)()) {
        QAction* a = menu->addAction(texto, this, accion);
        a->setShortcut(atajo);
        a->setShortcutContext(Qt::WidgetShortcut);
        a->setEnabled(activa);
    };
    anadir(QStringLiteral("&Deshacer"), QKeySequence(Qt::CTRL | Qt::Key_Z), PuedeDeshacer(), &MemoInforme::Deshacer);
    anadir(QStringLiteral("&Rehacer"), QKeySequence(Qt::CTRL | Qt::Key_Y), PuedeRehacer(), &MemoInforme::Rehacer);
    menu->addSeparator();
    anadir(QStringLiteral("Cor&tar"), QKeySequence(Qt::CTRL | Qt::Key_X), seleccion, &MemoInforme::Cortar);
    anadir(QStringLiteral("&Copiar"), QKeySequence(Qt::CTRL | Qt::Key_C), seleccion, &MemoInforme::Copiar);
    anadir(QStringLiteral("&Pegar"), QKeySequence(Qt::CTRL | Qt::Key_V),
           !QGuiApplication::clipboard()->text().isEmpty(), &MemoInforme::Pegar);
    anadir(QStringLiteral("&Eliminar"), QKeySequence(Qt::Key_Delete), seleccion, &MemoInforme::Eliminar);
    menu->addSeparator();
    anadir(QStringLiteral("&Seleccionar todo"), QKeySequence(Qt::CTRL | Qt::Key_A), Final() != Inicio(), &MemoInforme::selectAll);
    return menu;
}

void MemoInforme::contextMenuEvent(QContextMenuEvent* evento) {
    QMenu* menu = CrearMenuContextual(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(evento->globalPos());
    evento->accept();
}

}  // namespace tavelorin
