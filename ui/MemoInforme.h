// The report memo: an editable plain-text view with no wrapping, both scroll bars and
// tab stops every 8 characters. The rest of the program reads and writes it only
// through lines. It paints only the rows and columns on screen, so a report of
// thousands of lines each thousands of characters long scrolls as fast as a short one.
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QFont>
#include <memory>
#include <string>
#include <vector>

#include "ui/LineasMemo.h"

class QMenu;

namespace tavelorin {

class MemoInforme : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit MemoInforme(QWidget* padre = nullptr);
    ~MemoInforme() override;

    // An empty memo has no line; when the text ends with a line break, the empty line
    // after it is not counted either.
    int NumeroLineas() const;
    // Line i; an empty text beyond the last line.
    QString Linea(int indice) const;
    std::vector<std::string> Lineas() const;  // UTF-8
    // The length of line i in UTF-16 units; 0 beyond the last line.
    int LongitudLinea(int indice) const;
    // Line i in UTF-8 (an empty text beyond the last line), and its length there.
    std::string LineaUtf8(int indice) const;
    uint64_t BytesLineaUtf8(int indice) const;
    // The whole text in UTF-8, every line break as CR LF: what CopiarTodo copies, and
    // its length, known without building it.
    QByteArray TextoUtf8() const;
    uint64_t BytesTextoUtf8() const;
    // The whole text: every line followed by CR LF.
    QString Texto() const;

    void Vaciar();
    // The memo then holds every line followed by a line break. The rvalue form takes
    // the strings' storage.
    void ReemplazarLineas(const std::vector<std::string>& lineas);
    void ReemplazarLineas(std::vector<std::string>&& lineas);

    // Copies the whole text to the clipboard, as plain text only (UTF-8, built once
    // without a UTF-16 copy), lines separated by CR LF.
    void CopiarTodo();

    // --- The editor ---
    void selectAll();
    void Copiar();   // the selection, as plain text with CR LF
    void Cortar();
    void Pegar();
    void Eliminar();  // the selection
    void Deshacer();
    void Rehacer();
    bool PuedeDeshacer() const { return hecho_ > 0; }
    bool PuedeRehacer() const { return hecho_ < static_cast<int>(cambios_.size()); }

    // The text as lines, read-only (for the accessible interface).
    const LineasMemo& Filas() const { return lineas_; }

    Posicion Cursor() const { return cursor_; }
    Posicion Ancla() const { return ancla_; }
    bool TieneSeleccion() const { return cursor_ != ancla_; }
    QString TextoSeleccionado() const;  // lines separated by CR LF
    // Moves the caret to p (clamped to the text); with extender the anchor stays.
    void FijarCursor(Posicion p, bool extender = false);
    // Replaces the selection by texto, as typing or pasting would (undoable).
    void Escribir(const QString& texto);

    // The tab stop distance of the font, in pixels: 8 spaces.
    qreal DistanciaTabulador() const;
    // Row height in pixels, and where a text position lies in viewport pixels.
    int AltoFila() const { return alto_; }
    QPointF PuntoDe(Posicion p) const;
    Posicion PosicionEn(QPoint puntoVista) const;

    // The editor's context menu; the caller owns it.
    QMenu* CrearMenuContextual(QWidget* padre = nullptr);

signals:
    // The user changed the text: typing, deleting, cutting, pasting, undo or redo. The
    // program's own Vaciar and ReemplazarLineas do not count.
    void TextoEditado();

protected:
    bool event(QEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void inputMethodEvent(QInputMethodEvent* evento) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery consulta) const override;
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseMoveEvent(QMouseEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;
    void mouseDoubleClickEvent(QMouseEvent* evento) override;
    void contextMenuEvent(QContextMenuEvent* evento) override;
    void focusInEvent(QFocusEvent* evento) override;
    void focusOutEvent(QFocusEvent* evento) override;
    void changeEvent(QEvent* evento) override;
    void timerEvent(QTimerEvent* evento) override;
    bool focusNextPrevChild(bool siguiente) override;

private:
    enum class Movimiento {
        CaracterIzquierda,
        CaracterDerecha,
        PalabraIzquierda,
        PalabraDerecha,
        LineaArriba,
        LineaAbajo,
        PaginaArriba,
        PaginaAbajo,
        InicioLinea,
        FinLinea,
        InicioTexto,
        FinTexto,
    };
    enum class Orden {
        Ninguna,
        Mover,
        SeleccionarTodo,
        Copiar,
        Cortar,
        Pegar,
        Deshacer,
        Rehacer,
        BorrarAtras,
        BorrarAdelante,
        BorrarPalabraAtras,
        BorrarPalabraAdelante,
        NuevaLinea,
        Tabulador,
        DesplazarArriba,
        DesplazarAbajo,
    };
    struct Tecla {
        Orden orden = Orden::Ninguna;
        Movimiento movimiento = Movimiento::CaracterDerecha;
        bool extender = false;
    };
    // Grouping of edits for undo: typing runs and runs of deletions merge.
    enum class Clase { Otra, Escritura, BorradoAtras, BorradoAdelante };
    struct Cambio {
        Posicion inicio;
        QString quitado;
        QString puesto;
        Posicion cursorAntes, anclaAntes;
        Posicion cursorDespues;
        Clase clase = Clase::Otra;
    };

    static Tecla TeclaDe(const QKeyEvent* evento);
    bool Ejecutar(const Tecla& tecla);
    void Mover(Movimiento m, bool extender);
    Posicion Destino(Movimiento m, double x) const;
    Posicion Limitar(Posicion p) const;
    Posicion Inicio() const { return {0, 0}; }
    Posicion Final() const;
    Posicion SeleccionDesde() const { return std::min(cursor_, ancla_); }
    Posicion SeleccionHasta() const { return std::max(cursor_, ancla_); }
    Posicion AnteriorCaracter(Posicion p) const;
    Posicion SiguienteCaracter(Posicion p) const;
    Posicion PalabraAnterior(Posicion p) const;
    Posicion PalabraSiguiente(Posicion p) const;
    bool EsDePalabra(int linea, int columna) const;

    void Reemplazar(Posicion desde, Posicion hasta, const QString& texto, Clase clase);
    void Aplicar(Posicion desde, const QString& quitado, const QString& puesto);
    void Borrar(Orden orden);
    void TrasCambiar();
    void OlvidarCambios();
    void TextoNuevo();
    void Colocar(Posicion cursor, Posicion ancla, bool asegurar = true);

    void Medir();
    void ActualizarBarras();
    void AsegurarVisible();
    int FilasVisibles() const;
    int PrimeraFila() const;
    double Unidades(Posicion p) const;
    void DibujarFila(QPainter& pintor, int linea, qreal base, int anchoVista);
    void ReiniciarParpadeo();
    void SeguirRaton(QPoint punto);

    static constexpr int kCursorAncho = 1;  // pixels

    LineasMemo lineas_;
    std::unique_ptr<Medidor> medidor_;
    QFont fuentePintura_;
    int alto_ = 13;
    qreal ascenso_ = 10;
    int margen_ = 4;

    Posicion cursor_;
    Posicion ancla_;
    double xDeseada_ = -1;  // units kept by vertical moves; -1: the caret's own

    std::vector<Cambio> cambios_;
    int hecho_ = 0;  // cambios_[0, hecho_) are applied
    bool agrupar_ = false;

    QBasicTimer parpadeo_;
    bool cursorVisible_ = false;
    QBasicTimer autodesplazamiento_;
    bool arrastrando_ = false;
    QPoint ultimoRaton_;
    QString fila_;  // scratch for painting
};

}  // namespace tavelorin
