// The report memo as an editor: keys, mouse, clipboard, undo, what its readers see after
// an edit, how it counts lines, and what it paints after scrolling.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <random>

#include "ui/LineasMemo.h"
#include "ui/MemoInforme.h"

using namespace tavelorin;

Q_DECLARE_METATYPE(tavelorin::Posicion)

namespace tavelorin {
char* toString(const Posicion& p) { return QTest::toString(QString("(%1, %2)").arg(p.linea).arg(p.columna)); }
}  // namespace tavelorin

namespace {

QString Portapapeles() { return QGuiApplication::clipboard()->text(); }

// A text for the memo as typing it puts it there (it may end without a line break),
// with the caret back at the start.
void Poner(MemoInforme& m, const QString& texto) {
    m.Vaciar();
    m.Escribir(texto);
    m.FijarCursor({0, 0});
}

// The whole text, every line break included (as '\n'): what CopiarTodo hands over.
QString TodoElTexto(MemoInforme& m) {
    m.CopiarTodo();
    return Portapapeles().replace("\r\n", "\n");
}

// A shown memo of a fixed size, so rows, pages and scrolling are those of the screen.
struct Memo {
    MemoInforme memo;
    explicit Memo(const QString& texto = {}) {
        memo.resize(420, 220);
        memo.show();
        if (!QTest::qWaitForWindowExposed(&memo)) qFatal("the memo did not show");
        Poner(memo, texto);
    }
};

// Keys as a user presses them: characters type themselves; {Nombre} is a key, with
// optional Shift+ and Ctrl+ in front; {IM:texto} is an input method's commit.
void Pulsar(MemoInforme& m, const QString& teclas) {
    static const QMap<QString, Qt::Key> nombres = {
        {"Left", Qt::Key_Left},     {"Right", Qt::Key_Right},         {"Up", Qt::Key_Up},
        {"Down", Qt::Key_Down},     {"Home", Qt::Key_Home},           {"End", Qt::Key_End},
        {"PgUp", Qt::Key_PageUp},   {"PgDn", Qt::Key_PageDown},       {"Backspace", Qt::Key_Backspace},
        {"Delete", Qt::Key_Delete}, {"Enter", Qt::Key_Return},        {"Tab", Qt::Key_Tab},
        {"Insert", Qt::Key_Insert},
    };
    for (qsizetype i = 0; i < teclas.size(); ++i) {
        if (teclas[i] != u'{') {
            const QChar c = teclas[i];
            if (c.unicode() < 0x80) {
                QTest::keyClick(&m, static_cast<char>(c.unicode()));
            } else {
                QKeyEvent pulsada(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QKeyEvent soltada(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(&m, &pulsada);
                QApplication::sendEvent(&m, &soltada);
            }
            continue;
        }
        const qsizetype fin = teclas.indexOf(u'}', i);
        QString nombre = teclas.mid(i + 1, fin - i - 1);
        i = fin;
        if (nombre.startsWith("IM:")) {
            QInputMethodEvent e;
            e.setCommitString(nombre.mid(3));
            QApplication::sendEvent(&m, &e);
            continue;
        }
        Qt::KeyboardModifiers mods;
        for (bool mas = true; mas;) {
            mas = false;
            if (nombre.startsWith("Shift+")) mods |= Qt::ShiftModifier, nombre.remove(0, 6), mas = true;
            if (nombre.startsWith("Ctrl+")) mods |= Qt::ControlModifier, nombre.remove(0, 5), mas = true;
        }
        Qt::Key tecla = nombres.value(nombre, Qt::Key_unknown);
        if (nombre.size() == 1) tecla = static_cast<Qt::Key>(nombre[0].toUpper().unicode());
        if (tecla == Qt::Key_unknown) qFatal("unknown key %s", qPrintable(nombre));
        QTest::keyClick(&m, tecla, mods);
    }
}

// The caret and anchor as one selection.
struct Seleccion {
    Posicion ancla, cursor;
};

QImage Imagen(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

// Pixels that differ inside the band of rows [y0, y1).
int Diferencias(const QImage& a, const QImage& b, int y0, int y1) {
    int n = 0;
    for (int y = std::max(0, y0); y < std::min({y1, a.height(), b.height()}); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// Cells a line takes with tab stops every 8, one character at a time.
int64_t CeldasIngenuas(const std::string& s) {
    int64_t c = 0;
    for (char ch : s) c = ch == '\t' ? (c / 8 + 1) * 8 : c + 1;
    return c;
}

}  // namespace

class PruebaMemo : public QObject {
    Q_OBJECT

private slots:
    void init() { QGuiApplication::clipboard()->clear(); }

    void Edicion_data();
    void Edicion();
    void CuentaDeLineas_data();
    void CuentaDeLineas();
    void TomaDeLineas_data();
    void TomaDeLineas();
    void LectoresTrasEditar_data();
    void LectoresTrasEditar();
    void CopiarYCortar();
    void MenuContextual();
    void Raton();
    void PaginasYDesplazamiento();
    void AnchoDeLineas();
    void GeometriaDeLineasLargas();
    void Pintura_data();
    void Pintura();
    void PinturaDeSeleccionYCursor();
};

// --- Editing ---

void PruebaMemo::Edicion_data() {
    QTest::addColumn<QString>("inicio");
    QTest::addColumn<Posicion>("ancla");
    QTest::addColumn<Posicion>("cursor");
    QTest::addColumn<QString>("portapapeles");
    QTest::addColumn<QString>("teclas");
    QTest::addColumn<QString>("esperado");
    QTest::addColumn<Posicion>("cursorFinal");
    QTest::addColumn<Posicion>("anclaFinal");

    struct Caso {
        const char* nombre;
        QString inicio;
        Seleccion sel;
        QString portapapeles;
        QString teclas;
        QString esperado;
        Seleccion final;
    };
    const Caso casos[] = {
        {"escribir en medio", "abc", {{0, 1}, {0, 1}}, "", "xy", "axybc", {{0, 3}, {0, 3}}},
        {"Enter parte la línea", "abcd", {{0, 2}, {0, 2}}, "", "{Enter}", "ab\ncd", {{1, 0}, {1, 0}}},
        {"retroceso une líneas", "ab\ncd", {{1, 0}, {1, 0}}, "", "{Backspace}", "abcd", {{0, 2}, {0, 2}}},
        {"suprimir une líneas", "ab\ncd", {{0, 2}, {0, 2}}, "", "{Delete}", "abcd", {{0, 2}, {0, 2}}},
        {"retroceso al principio no hace nada", "ab", {{0, 0}, {0, 0}}, "", "{Backspace}", "ab", {{0, 0}, {0, 0}}},
        {"selección de varias líneas reemplazada", "uno\ndos\ntres", {{0, 1}, {0, 1}}, "",
         "{Shift+Down}{Shift+Down}X", "uXres", {{0, 2}, {0, 2}}},
        {"selección hacia atrás de varias líneas", "uno\ndos\ntres", {{2, 2}, {2, 2}}, "", "{Shift+Up}{Shift+Up}",
         "uno\ndos\ntres", {{2, 2}, {0, 2}}},
        {"borrar a través de líneas", "ab\ncd\nef", {{0, 1}, {0, 1}}, "", "{Shift+End}{Shift+Right}{Shift+Right}{Delete}",
         "ad\nef", {{0, 1}, {0, 1}}},
        {"retroceso borra la selección dada", "hola\nmundo", {{0, 2}, {1, 3}}, "", "{Backspace}", "hodo", {{0, 2}, {0, 2}}},
        {"selección hasta el final y retroceso", "a\nb\nc", {{0, 1}, {0, 1}}, "", "{Ctrl+Shift+End}{Backspace}", "a",
         {{0, 1}, {0, 1}}},
        {"pegar varias líneas", "ab", {{0, 1}, {0, 1}}, "1\r\n2\r\n3", "{Ctrl+V}", "a1\n2\n3b", {{2, 1}, {2, 1}}},
        {"pegar sobre una selección", "abcd", {{0, 1}, {0, 3}}, "X\nY", "{Ctrl+V}", "aX\nYd", {{1, 1}, {1, 1}}},
        {"deshacer tras pegar", "ab", {{0, 1}, {0, 1}}, "1\r\n2\r\n3", "{Ctrl+V}{Ctrl+Z}", "ab", {{0, 1}, {0, 1}}},
        {"deshacer un pegado sobre una selección", "abcd", {{0, 1}, {0, 3}}, "X\nY", "{Ctrl+V}{Ctrl+Z}", "abcd",
         {{0, 1}, {0, 3}}},
        {"rehacer con Ctrl+Y", "ab", {{0, 1}, {0, 1}}, "1\r\n2", "{Ctrl+V}{Ctrl+Z}{Ctrl+Y}", "a1\n2b", {{1, 1}, {1, 1}}},
        {"rehacer con Ctrl+Shift+Z", "ab", {{0, 1}, {0, 1}}, "1\r\n2", "{Ctrl+V}{Ctrl+Z}{Ctrl+Shift+Z}", "a1\n2b",
         {{1, 1}, {1, 1}}},
        {"pegar con Mayús+Insert", "ab", {{0, 2}, {0, 2}}, "\t1", "{Shift+Insert}", "ab\t1", {{0, 4}, {0, 4}}},
        {"una racha de escritura se deshace entera", "", {{0, 0}, {0, 0}}, "", "hola{Ctrl+Z}", "", {{0, 0}, {0, 0}}},
        {"mover el cursor corta la racha", "ab", {{0, 0}, {0, 0}}, "", "x{End}y{Ctrl+Z}", "xab", {{0, 3}, {0, 3}}},
        {"una racha de retrocesos se deshace entera", "abcd", {{0, 4}, {0, 4}}, "", "{Backspace}{Backspace}{Ctrl+Z}",
         "abcd", {{0, 4}, {0, 4}}},
        {"deshacer dos veces y rehacer una", "a", {{0, 1}, {0, 1}}, "", "b{Enter}c{Ctrl+Z}{Ctrl+Z}{Ctrl+Y}", "ab\n",
         {{1, 0}, {1, 0}}},
        {"escribir tras deshacer descarta lo rehacible", "a", {{0, 1}, {0, 1}}, "", "b{Ctrl+Z}c{Ctrl+Y}", "ac",
         {{0, 2}, {0, 2}}},
        {"el tabulador se escribe", "ab", {{0, 1}, {0, 1}}, "", "{Tab}", "a\tb", {{0, 2}, {0, 2}}},
        {"bajar tras un tabulador conserva la columna", "a\tb\n12345678x", {{0, 2}, {0, 2}}, "", "{Down}",
         "a\tb\n12345678x", {{1, 8}, {1, 8}}},
        {"bajar hasta un tabulador", "12345678x\na\tb", {{0, 8}, {0, 8}}, "", "{Down}", "12345678x\na\tb",
         {{1, 2}, {1, 2}}},
        {"bajar dentro de un tabulador va al borde más cercano", "12345\na\tb\n123", {{0, 5}, {0, 5}}, "",
         "{Down}", "12345\na\tb\n123", {{1, 2}, {1, 2}}},
        {"la columna deseada sobrevive a una línea corta", "12345678x\na\n12345678x", {{0, 8}, {0, 8}}, "",
         "{Down}{Down}", "12345678x\na\n12345678x", {{2, 8}, {2, 8}}},
        {"subir en la primera línea va al principio", "abc", {{0, 2}, {0, 2}}, "", "{Up}", "abc", {{0, 0}, {0, 0}}},
        {"bajar en la última línea va al final", "abc", {{0, 1}, {0, 1}}, "", "{Down}", "abc", {{0, 3}, {0, 3}}},
        {"Inicio y Fin", "ab\ncd", {{1, 1}, {1, 1}}, "", "{Home}x{End}y", "ab\nxcdy", {{1, 4}, {1, 4}}},
        {"Ctrl+Inicio y Ctrl+Fin", "ab\ncd", {{1, 1}, {1, 1}}, "", "{Ctrl+Home}x{Ctrl+End}y", "xab\ncdy",
         {{1, 3}, {1, 3}}},
        {"palabras hacia la derecha", "0.559\t1.118 abc", {{0, 0}, {0, 0}}, "", "{Ctrl+Right}{Ctrl+Right}|",
         "0.559\t1.118 |abc", {{0, 13}, {0, 13}}},
        {"palabras hacia la izquierda", "KN1/Q -1E-0005", {{0, 14}, {0, 14}}, "", "{Ctrl+Left}|{Ctrl+Left}{Ctrl+Left}{Ctrl+Left}|",
         "KN1|/Q |-1E-0005", {{0, 4}, {0, 4}}},
        {"Ctrl+Retroceso borra una palabra", "uno dos", {{0, 7}, {0, 7}}, "", "{Ctrl+Backspace}", "uno ", {{0, 4}, {0, 4}}},
        {"Ctrl+Supr borra hasta la palabra siguiente", "uno dos", {{0, 0}, {0, 0}}, "", "{Ctrl+Delete}", "dos",
         {{0, 0}, {0, 0}}},
        {"izquierda con selección va a su principio", "abcd", {{0, 1}, {0, 3}}, "", "{Left}x", "axbcd", {{0, 2}, {0, 2}}},
        {"derecha con selección va a su final", "abcd", {{0, 3}, {0, 1}}, "", "{Right}x", "abcxd", {{0, 4}, {0, 4}}},
        {"seleccionar todo y escribir", "a\nb", {{0, 0}, {0, 0}}, "", "{Ctrl+A}z", "z", {{0, 1}, {0, 1}}},
        {"cortar y pegar", "abc", {{0, 0}, {0, 2}}, "", "{Ctrl+X}{End}{Ctrl+V}", "cab", {{0, 3}, {0, 3}}},
        {"un carácter fuera de Latin-1", "ab", {{0, 1}, {0, 1}}, "", "€ñ", "a€ñb", {{0, 3}, {0, 3}}},
        {"borrar un carácter ancho", "a€b", {{0, 2}, {0, 2}}, "", "{Backspace}{Right}{Backspace}", "a", {{0, 1}, {0, 1}}},
        {"un par sustituto es un carácter", QString("a") + QChar(0xD83D) + QChar(0xDE00) + "b", {{0, 1}, {0, 1}}, "",
         "{Right}|{Left}{Left}{Delete}", "a|b", {{0, 1}, {0, 1}}},
        {"método de entrada", "ab", {{0, 1}, {0, 1}}, "", "{IM:ñú}", "añúb", {{0, 3}, {0, 3}}},
        {"método de entrada con saltos", "ab", {{0, 1}, {0, 1}}, "", "{IM:x\r\ny}", "ax\nyb", {{1, 1}, {1, 1}}},
    };
    for (const Caso& c : casos)
        QTest::newRow(c.nombre) << c.inicio << c.sel.ancla << c.sel.cursor << c.portapapeles << c.teclas << c.esperado
                                << c.final.cursor << c.final.ancla;
}

void PruebaMemo::Edicion() {
    QFETCH(QString, inicio);
    QFETCH(Posicion, ancla);
    QFETCH(Posicion, cursor);
    QFETCH(QString, portapapeles);
    QFETCH(QString, teclas);
    QFETCH(QString, esperado);
    QFETCH(Posicion, cursorFinal);
    QFETCH(Posicion, anclaFinal);
    Memo m(inicio);
    m.memo.FijarCursor(ancla);
    m.memo.FijarCursor(cursor, true);
    if (!portapapeles.isEmpty()) QGuiApplication::clipboard()->setText(portapapeles);
    Pulsar(m.memo, teclas);
    QCOMPARE(TodoElTexto(m.memo), esperado);
    QCOMPARE(m.memo.Cursor(), cursorFinal);
    QCOMPARE(m.memo.Ancla(), anclaFinal);
}

// --- Readers ---

void PruebaMemo::CuentaDeLineas_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QStringList>("lineas");
    QTest::newRow("vacío") << "" << QStringList{};
    QTest::newRow("una línea") << "a" << QStringList{"a"};
    QTest::newRow("salto final") << "a\n" << QStringList{"a"};
    QTest::newRow("línea vacía y salto final") << "a\n\n" << QStringList{"a", ""};
    QTest::newRow("solo un salto") << "\n" << QStringList{""};
    QTest::newRow("línea vacía en medio") << "a\n\nb" << QStringList{"a", "", "b"};
    QTest::newRow("CR LF y CR") << "a\r\nb\rc" << QStringList{"a", "b", "c"};
}

void PruebaMemo::CuentaDeLineas() {
    QFETCH(QString, texto);
    QFETCH(QStringList, lineas);
    MemoInforme memo;
    memo.Escribir(texto);
    QCOMPARE(memo.NumeroLineas(), lineas.size());
    QStringList leidas;
    for (int i = 0; i < memo.NumeroLineas(); ++i) leidas << memo.Linea(i);
    QCOMPARE(leidas, lineas);
    QCOMPARE(memo.Linea(static_cast<int>(lineas.size())), QString());  // beyond the end: empty
    QCOMPARE(memo.Linea(-1), QString());
    QString conSaltos;
    for (const QString& l : lineas) conSaltos += l + "\r\n";
    QCOMPARE(memo.Texto(), conSaltos);
}

void PruebaMemo::TomaDeLineas_data() {
    QTest::addColumn<std::vector<std::string>>("entrada");
    QTest::addColumn<QStringList>("lineas");
    QTest::newRow("nada") << std::vector<std::string>{} << QStringList{};
    QTest::newRow("una línea vacía") << std::vector<std::string>{""} << QStringList{""};
    QTest::newRow("informe") << std::vector<std::string>{"K\tDk1", "1\t0.559", "Solucion:", "1"}
                             << QStringList{"K\tDk1", "1\t0.559", "Solucion:", "1"};
    QTest::newRow("UTF-8 de Latin-1 y de más allá") << std::vector<std::string>{"año\t1,5", "€ 3", "ü"}
                                                    << QStringList{"año\t1,5", "€ 3", "ü"};
    QTest::newRow("saltos dentro de una línea") << std::vector<std::string>{"a\nb", "c\r\nd\re"}
                                                << QStringList{"a", "b", "c", "d", "e"};
    QTest::newRow("línea vacía al final") << std::vector<std::string>{"a", ""} << QStringList{"a", ""};
}

void PruebaMemo::TomaDeLineas() {
    QFETCH(std::vector<std::string>, entrada);
    QFETCH(QStringList, lineas);
    // Both forms: a copy, and taking the strings.
    for (bool mover : {false, true}) {
        MemoInforme memo;
        Poner(memo, "anterior\ntexto");
        memo.FijarCursor({1, 2});
        std::vector<std::string> copia = entrada;
        if (mover)
            memo.ReemplazarLineas(std::move(copia));
        else
            memo.ReemplazarLineas(copia);
        QCOMPARE(memo.NumeroLineas(), lineas.size());
        std::vector<std::string> utf8;
        QString texto;
        for (int i = 0; i < lineas.size(); ++i) {
            QCOMPARE(memo.Linea(i), lineas[i]);
            utf8.push_back(lineas[i].toStdString());
            texto += lineas[i] + "\r\n";
        }
        QCOMPARE(memo.Lineas(), utf8);
        QCOMPARE(memo.Texto(), texto);
        QCOMPARE(memo.Cursor(), (Posicion{0, 0}));
        QVERIFY(!memo.PuedeDeshacer());
    }
}

void PruebaMemo::LectoresTrasEditar_data() {
    QTest::addColumn<QString>("teclas");
    QTest::addColumn<QStringList>("lineas");
    QTest::addColumn<QString>("copia");  // what CopiarTodo puts on the clipboard

    // The memo starts with a report: each line followed by a line break.
    QTest::newRow("sin editar") << "" << QStringList{"K\tDk1", "1\t0.559", "Solucion:"}
                                << "K\tDk1\r\n1\t0.559\r\nSolucion:\r\n";
    QTest::newRow("texto tras el último salto") << "{Ctrl+End}x" << QStringList{"K\tDk1", "1\t0.559", "Solucion:", "x"}
                                                << "K\tDk1\r\n1\t0.559\r\nSolucion:\r\nx";
    QTest::newRow("quitar el último salto") << "{Ctrl+End}{Backspace}" << QStringList{"K\tDk1", "1\t0.559", "Solucion:"}
                                            << "K\tDk1\r\n1\t0.559\r\nSolucion:";
    QTest::newRow("una línea vacía más") << "{Ctrl+End}{Enter}" << QStringList{"K\tDk1", "1\t0.559", "Solucion:", ""}
                                         << "K\tDk1\r\n1\t0.559\r\nSolucion:\r\n\r\n";
    QTest::newRow("unir dos líneas") << "{Down}{Backspace}" << QStringList{"K\tDk11\t0.559", "Solucion:"}
                                     << "K\tDk11\t0.559\r\nSolucion:\r\n";
    QTest::newRow("caracteres fuera de ASCII") << "{Down}{End}ñ€" << QStringList{"K\tDk1", "1\t0.559ñ€", "Solucion:"}
                                               << "K\tDk1\r\n1\t0.559ñ€\r\nSolucion:\r\n";
    QTest::newRow("borrarlo todo") << "{Ctrl+A}{Delete}" << QStringList{} << "";
}

void PruebaMemo::LectoresTrasEditar() {
    QFETCH(QString, teclas);
    QFETCH(QStringList, lineas);
    QFETCH(QString, copia);
    Memo m;
    m.memo.ReemplazarLineas(std::vector<std::string>{"K\tDk1", "1\t0.559", "Solucion:"});
    Pulsar(m.memo, teclas);
    QCOMPARE(m.memo.NumeroLineas(), lineas.size());
    std::vector<std::string> utf8;
    QString texto;
    for (int i = 0; i < lineas.size(); ++i) {
        QCOMPARE(m.memo.Linea(i), lineas[i]);
        utf8.push_back(lineas[i].toStdString());
        texto += lineas[i] + "\r\n";
    }
    QCOMPARE(m.memo.Lineas(), utf8);
    QCOMPARE(m.memo.Texto(), texto);
    m.memo.CopiarTodo();
    const QMimeData* datos = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(datos->formats(), QStringList{"text/plain"});
    QCOMPARE(datos->text(), copia);
}

void PruebaMemo::CopiarYCortar() {
    Memo m("uno\ndos\ntres");
    // Nothing selected: Ctrl+C leaves the clipboard alone.
    QGuiApplication::clipboard()->setText("antes");
    Pulsar(m.memo, "{Ctrl+C}");
    QCOMPARE(Portapapeles(), QString("antes"));

    struct Caso {
        const char* teclas;
        const char* copiado;
        const char* queda;
    };
    const Caso casos[] = {
        {"{Ctrl+Home}{Right}{Shift+Down}{Shift+Down}{Ctrl+C}", "no\r\ndos\r\nt", "uno\ndos\ntres"},
        {"{Ctrl+Home}{Shift+End}{Shift+Right}{Ctrl+Insert}", "uno\r\n", "uno\ndos\ntres"},
        {"{Ctrl+A}{Ctrl+C}", "uno\r\ndos\r\ntres", "uno\ndos\ntres"},
        {"{Ctrl+Home}{Down}{Shift+Down}{Ctrl+X}", "dos\r\n", "uno\ntres"},
        {"{Ctrl+End}{Shift+Home}{Shift+Delete}", "tres", "uno\ndos\n"},
    };
    for (const Caso& c : casos) {
        Poner(m.memo, "uno\ndos\ntres");
        Pulsar(m.memo, c.teclas);
        const QMimeData* datos = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(datos->formats(), QStringList{"text/plain"});
        QCOMPARE(datos->text(), QString(c.copiado));
        QCOMPARE(TodoElTexto(m.memo), QString(c.queda));
    }
}

void PruebaMemo::MenuContextual() {
    Memo m;
    m.memo.ReemplazarLineas(std::vector<std::string>{"uno dos"});
    const auto textos = [](QMenu* menu) {
        QStringList t;
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) t << a->text().remove('&') + (a->isEnabled() ? "" : " -");
        return t;
    };
    std::unique_ptr<QMenu> menu(m.memo.CrearMenuContextual());
    QCOMPARE(textos(menu.get()), (QStringList{"Deshacer -", "Rehacer -", "Cortar -", "Copiar -", "Pegar -", "Eliminar -",
                                              "Seleccionar todo"}));
    QGuiApplication::clipboard()->setText("x");
    m.memo.FijarCursor({0, 0});
    m.memo.FijarCursor({0, 4}, true);
    menu.reset(m.memo.CrearMenuContextual());
    QCOMPARE(textos(menu.get()), (QStringList{"Deshacer -", "Rehacer -", "Cortar", "Copiar", "Pegar", "Eliminar",
                                              "Seleccionar todo"}));
    // Eliminar removes the selection without touching the clipboard; then it can be undone.
    menu->actions()[6]->trigger();
    QCOMPARE(m.memo.Lineas(), std::vector<std::string>{"dos"});
    QCOMPARE(Portapapeles(), QString("x"));
    menu.reset(m.memo.CrearMenuContextual());
    QCOMPARE(textos(menu.get()).first(), QString("Deshacer"));
    menu->actions()[0]->trigger();
    QCOMPARE(m.memo.Lineas(), std::vector<std::string>{"uno dos"});
    menu.reset(m.memo.CrearMenuContextual());
    QCOMPARE(textos(menu.get())[1], QString("Rehacer"));
    // Seleccionar todo.
    menu->actions().last()->trigger();
    QCOMPARE(m.memo.TextoSeleccionado(), QString("uno dos\r\n"));
}

void PruebaMemo::Raton() {
    struct Caso {
        const char* nombre;
        std::function<void(MemoInforme&)> hacer;
        Seleccion esperada;
    };
    const auto punto = [](MemoInforme& m, Posicion p, double dx = 1) {
        const QPointF c = m.PuntoDe(p);
        return QPoint(static_cast<int>(c.x() + dx), static_cast<int>(c.y()) + m.AltoFila() / 2);
    };
    const Caso casos[] = {
        {"clic", [&](MemoInforme& m) { QTest::mouseClick(m.viewport(), Qt::LeftButton, {}, punto(m, {1, 2})); },
         {{1, 2}, {1, 2}}},
        {"clic pasado el final de la línea",
         [&](MemoInforme& m) { QTest::mouseClick(m.viewport(), Qt::LeftButton, {}, punto(m, {0, 3}, 200)); },
         {{0, 3}, {0, 3}}},
        {"clic bajo la última línea", [&](MemoInforme& m) { QTest::mouseClick(m.viewport(), Qt::LeftButton, {}, QPoint(2, 150)); },
         {{3, 0}, {3, 0}}},
        {"clic y Mayús+clic",
         [&](MemoInforme& m) {
             QTest::mouseClick(m.viewport(), Qt::LeftButton, {}, punto(m, {0, 1}));
             QTest::mouseClick(m.viewport(), Qt::LeftButton, Qt::ShiftModifier, punto(m, {2, 3}));
         },
         {{0, 1}, {2, 3}}},
        {"arrastrar",
         [&](MemoInforme& m) {
             QTest::mousePress(m.viewport(), Qt::LeftButton, {}, punto(m, {2, 4}));
             QMouseEvent mover(QEvent::MouseMove, punto(m, {1, 1}), m.viewport()->mapToGlobal(punto(m, {1, 1})),
                               Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(m.viewport(), &mover);
             QTest::mouseRelease(m.viewport(), Qt::LeftButton, {}, punto(m, {1, 1}));
         },
         {{2, 4}, {1, 1}}},
        {"doble clic en una celda", [&](MemoInforme& m) { QTest::mouseDClick(m.viewport(), Qt::LeftButton, {}, punto(m, {1, 7})); },
         {{1, 6}, {1, 11}}},
        {"clic tras un tabulador", [&](MemoInforme& m) { QTest::mouseClick(m.viewport(), Qt::LeftButton, {}, punto(m, {1, 6}, -2)); },
         {{1, 6}, {1, 6}}},
    };
    for (const Caso& c : casos) {
        Memo m("uno\n1.118\t0.559\ntres\n");
        c.hacer(m.memo);
        QVERIFY2(m.memo.Ancla() == c.esperada.ancla, c.nombre);
        QVERIFY2(m.memo.Cursor() == c.esperada.cursor, c.nombre);
    }
}

void PruebaMemo::PaginasYDesplazamiento() {
    QString texto;
    for (int i = 0; i < 100; ++i) texto += QString::number(i) + "\n";
    texto += QString(2000, 'x');
    Memo m(texto);
    QScrollBar* v = m.memo.verticalScrollBar();
    QScrollBar* h = m.memo.horizontalScrollBar();
    QVERIFY(v->isVisible() && h->isVisible());
    const int filas = v->pageStep();
    QVERIFY(filas > 3);
    Pulsar(m.memo, "{PgDn}");
    QCOMPARE(m.memo.Cursor(), (Posicion{filas, 0}));
    QCOMPARE(v->value(), filas);
    Pulsar(m.memo, "{PgUp}");
    QCOMPARE(m.memo.Cursor(), (Posicion{0, 0}));
    QCOMPARE(v->value(), 0);
    // The caret stays on screen: at the end of the long last line both bars follow it.
    Pulsar(m.memo, "{Ctrl+End}");
    QCOMPARE(m.memo.Cursor(), (Posicion{100, 2000}));
    QCOMPARE(v->value(), v->maximum());
    QVERIFY(h->value() > 0);
    const QPointF c = m.memo.PuntoDe(m.memo.Cursor());
    QVERIFY(m.memo.viewport()->rect().contains(c.toPoint()));
    // The horizontal range reaches the end of the longest line.
    const double ancho = 2000 * QFontMetricsF(m.memo.font()).horizontalAdvance('x');
    QVERIFY(h->maximum() + m.memo.viewport()->width() >= ancho);
    Pulsar(m.memo, "{Home}");
    QCOMPARE(h->value(), 0);
    // Ctrl+Down scrolls without moving the caret.
    Pulsar(m.memo, "{Ctrl+Home}{Ctrl+Down}{Ctrl+Down}");
    QCOMPARE(v->value(), 2);
    QCOMPARE(m.memo.Cursor(), (Posicion{0, 0}));
}

// --- The line store ---

void PruebaMemo::AnchoDeLineas() {
    // Lines of every shape around the 64-byte blocks the width is counted in: runs of
    // 0 to 20 characters between tabs, lines up to 300 bytes, runs of 8 across a block edge.
    std::vector<std::string> lineas = {"", "\t", "a\tb", "abcdefg\tx", "abcdefgh\tx", "\t\t\t", "Solucion:",
                                       std::string(60, 'a') + "\t" + std::string(7, 'b') + "\t",
                                       std::string(60, 'a') + "\t" + std::string(3, 'b') + std::string(5, 'c') + "\tz",
                                       std::string(63, '\t') + std::string(9, 'x') + "\t",
                                       std::string(64, 'x') + "\t" + std::string(64, 'y') + "\t"};
    // A run of r characters, ended by a tab, starting d bytes before a block edge (64 or 128).
    for (size_t borde : {64, 128})
        for (size_t r = 5; r <= 17; ++r)
            for (size_t d = 0; d <= r; ++d) {
                std::string l(borde - d, '\t');
                l.append(r, 'x');
                l.push_back('\t');
                while (l.size() < borde + 80) l += "1\t";
                lineas.push_back(l);
            }
    std::mt19937 azar(12345);
    for (int i = 0; i < 400; ++i) {
        std::string l;
        const size_t largo = azar() % 300;
        while (l.size() < largo) {
            l.append(azar() % 21, static_cast<char>('0' + azar() % 10));
            l.push_back('\t');
        }
        l.resize(largo);
        lineas.push_back(l);
    }
    const std::vector<std::string> copia = lineas;
    QFont fuente(QStringLiteral("Courier New"));
    fuente.setPixelSize(11);
    const Medidor m(fuente);
    QVERIFY(m.Fijo());
    LineasMemo store;
    store.Reemplazar(std::move(lineas), false, m);
    QCOMPARE(store.Cantidad(), static_cast<int>(copia.size()));
    int64_t maximo = 0;
    for (size_t i = 0; i < copia.size(); ++i) {
        QVERIFY2(store.Ancho(static_cast<int>(i), m) == static_cast<double>(CeldasIngenuas(copia[i])),
                 qPrintable(QString("line %1: %2").arg(i).arg(QString::fromStdString(copia[i]))));
        maximo = std::max(maximo, CeldasIngenuas(copia[i]));
    }
    QCOMPARE(store.AnchoMaximo(m), static_cast<double>(maximo));
    // An edit changes the width and the widest line.
    store.Insertar({0, 0}, QString(static_cast<qsizetype>(maximo + 3), QChar(u'x')));
    QCOMPARE(store.AnchoMaximo(m), static_cast<double>(maximo + 3));
    store.Eliminar({0, 0}, {0, static_cast<int>(maximo) + 3});
    QCOMPARE(store.AnchoMaximo(m), static_cast<double>(maximo));
}

void PruebaMemo::GeometriaDeLineasLargas() {
    // Positions on lines far longer than the cached step, for a fixed-pitch and a
    // proportional font: where each character starts, which character a point falls in.
    std::string larga;
    std::mt19937 azar(7);
    while (larga.size() < 3000) {
        larga.append(1 + azar() % 6, static_cast<char>('0' + azar() % 10));
        larga.push_back(azar() % 3 ? '\t' : '.');
    }
    for (const char* familia : {"Courier New", "Liberation Serif"}) {
        QFont fuente{QString(familia)};
        fuente.setPixelSize(familia[0] == 'C' ? 11 : 20);
        fuente.setKerning(false);
        const Medidor m(fuente);
        QCOMPARE(m.Fijo(), familia[0] == 'C');
        const QFontMetricsF fm(fuente);
        const double tab = 8 * fm.horizontalAdvance(' ') / m.Escala();
        std::vector<double> inicios;  // naive starts, in the store's units
        double u = 0;
        for (char c : larga) {
            inicios.push_back(u);
            u = c == '\t' ? (std::floor(u / tab) + 1) * tab : u + fm.horizontalAdvance(QChar(c)) / m.Escala();
        }
        inicios.push_back(u);
        LineasMemo store;
        store.Reemplazar({larga}, false, m);
        for (int k = 0; k <= static_cast<int>(larga.size()); k += 37) {
            QVERIFY(std::abs(store.Hasta(0, k, m) - inicios[static_cast<size_t>(k)]) < 1e-6);
            if (k == static_cast<int>(larga.size())) break;
            const double medio = (inicios[static_cast<size_t>(k)] + inicios[static_cast<size_t>(k) + 1]) / 2;
            double inicio = -1;
            QCOMPARE(store.En(0, medio, m, &inicio), k);
            QVERIFY(std::abs(inicio - inicios[static_cast<size_t>(k)]) < 1e-6);
            const double cuarto = inicios[static_cast<size_t>(k)] + (inicios[static_cast<size_t>(k) + 1] - inicios[static_cast<size_t>(k)]) / 4;
            QCOMPARE(store.MasCercano(0, cuarto, m), k);
            QCOMPARE(store.MasCercano(0, medio + (medio - cuarto), m), k + 1);
        }
        double fin = -1;
        QCOMPARE(store.En(0, u + 100, m, &fin), static_cast<int>(larga.size()));
        QCOMPARE(fin, store.Ancho(0, m));
    }
}

// --- Painting ---

void PruebaMemo::Pintura_data() {
    QTest::addColumn<QString>("familia");
    QTest::addColumn<int>("pixeles");
    QTest::addColumn<QStringList>("lineas");
    QTest::addColumn<int>("fila");     // first line shown
    QTest::addColumn<int>("columnas");  // horizontal scroll, in character cells

    const QString informe = "K\tDk1\tDk2\ts1\ts2\tX1k\tNs1\tKN1/Q\t0.559\t1.118\t-1\t1E0004\tfin";
    QStringList muchas;
    for (int i = 0; i < 60; ++i) muchas << QString::number(i) + "\t" + QString(i + 40, 'a') + "\tz";
    QTest::newRow("sin desplazar") << "Courier New" << 11 << QStringList{informe, "1\t0.75\t0.5"} << 0 << 0;
    QTest::newRow("desplazado a la derecha") << "Courier New" << 11 << QStringList{informe, "1\t0.75\t0.5"} << 0 << 37;
    QTest::newRow("desplazado dentro de un tabulador") << "Courier New" << 11 << QStringList{informe} << 0 << 3;
    QTest::newRow("desplazado hacia abajo y a la derecha") << "Courier New" << 11 << muchas << 40 << 30;
    QTest::newRow("letra proporcional desplazada") << "Liberation Serif" << 20 << QStringList{informe, "1\t0.75\t0.5"}
                                                   << 0 << 23;
}

void PruebaMemo::Pintura() {
    QFETCH(QString, familia);
    QFETCH(int, pixeles);
    QFETCH(QStringList, lineas);
    QFETCH(int, fila);
    QFETCH(int, columnas);
    Memo m(lineas.join('\n'));
    QFont fuente(familia);
    fuente.setPixelSize(pixeles);
    m.memo.setFont(fuente);
    m.memo.clearFocus();  // no caret
    const QPointF origen = m.memo.PuntoDe({0, 0});  // the text's top left before scrolling
    m.memo.verticalScrollBar()->setValue(fila);
    QFont dibujo = fuente;  // characters advance by their own widths, unkerned
    dibujo.setKerning(false);
    const QFontMetricsF fm(dibujo);
    const int desplazamiento = static_cast<int>(columnas * fm.horizontalAdvance('0'));
    m.memo.horizontalScrollBar()->setValue(desplazamiento);
    QCOMPARE(m.memo.horizontalScrollBar()->value(), desplazamiento);
    const QImage vista = Imagen(m.memo.viewport());

    // What the rows should show: each run between tabs drawn at its tab stop, shifted by the scroll.
    QImage referencia(vista.size(), QImage::Format_RGB32);
    referencia.fill(m.memo.palette().color(QPalette::Base));
    QPainter p(&referencia);
    p.setFont(dibujo);
    p.setPen(m.memo.palette().color(QPalette::Text));
    const double tab = 8 * fm.horizontalAdvance(' ');
    const int filas = std::min<int>(lineas.size() - fila, (vista.height() - static_cast<int>(origen.y())) / m.memo.AltoFila() + 1);
    for (int f = 0; f < filas; ++f) {
        double x = 0;
        const qreal y = origen.y() + f * m.memo.AltoFila() + fm.ascent();
        for (const QString& tramo : lineas[fila + f].split('\t')) {
            p.drawText(QPointF(origen.x() + x - desplazamiento, y), tramo);
            x = (std::floor((x + fm.horizontalAdvance(tramo)) / tab) + 1) * tab;
        }
    }
    p.end();
    const int alto = filas * m.memo.AltoFila() + static_cast<int>(origen.y());
    const int distintos = Diferencias(vista, referencia, 0, alto);
    if (distintos != 0) {
        vista.save(QDir::temp().filePath("memo_vista.png"));
        referencia.save(QDir::temp().filePath("memo_referencia.png"));
    }
    QCOMPARE(distintos, 0);
    // And the text is really there: some ink in the first row.
    QVERIFY(Diferencias(vista, [&] {
                QImage vacia(vista.size(), QImage::Format_RGB32);
                vacia.fill(m.memo.palette().color(QPalette::Base));
                return vacia;
            }(), 0, alto) > 20);
}

void PruebaMemo::PinturaDeSeleccionYCursor() {
    Memo m("abcdefghij\nklmnopqrst");
    m.memo.activateWindow();
    m.memo.setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&m.memo));
    const QPalette paleta = m.memo.palette();
    const double w = QFontMetricsF(m.memo.font()).horizontalAdvance('a');
    const QPointF origen = m.memo.PuntoDe({0, 0});
    const int alto = m.memo.AltoFila();

    // A selection from column 2 to 5 of the first line: highlighted there, nowhere else.
    m.memo.FijarCursor({0, 2});
    m.memo.FijarCursor({0, 5}, true);
    QImage img = Imagen(m.memo.viewport());
    const auto resaltados = [&](const QImage& i, double x0, double x1, int fila) {
        int n = 0;
        for (int y = static_cast<int>(origen.y()) + fila * alto; y < static_cast<int>(origen.y()) + (fila + 1) * alto; ++y)
            for (int x = static_cast<int>(std::ceil(x0)); x < static_cast<int>(x1); ++x)
                n += QColor(i.pixel(x, y)) == paleta.color(QPalette::Highlight);
        return n;
    };
    const double x2 = origen.x() + 2 * w, x5 = origen.x() + 5 * w;
    QVERIFY(resaltados(img, x2 + 1, x5 - 1, 0) > (x5 - x2 - 2) * alto / 2);
    QCOMPARE(resaltados(img, origen.x(), x2 - 1, 0), 0);
    QCOMPARE(resaltados(img, x5 + 1, origen.x() + 10 * w, 0), 0);
    QCOMPARE(resaltados(img, origen.x(), origen.x() + 10 * w, 1), 0);

    // Without a selection, the caret: a column of text colour at its place, and not elsewhere.
    m.memo.FijarCursor({1, 4});
    img = Imagen(m.memo.viewport());
    const int xc = static_cast<int>(std::round(origen.x() + 4 * w));
    const auto tinta = [&](int x) {
        int n = 0;
        for (int y = static_cast<int>(origen.y()) + alto; y < static_cast<int>(origen.y()) + 2 * alto; ++y)
            n += QColor(img.pixel(x, y)) == paleta.color(QPalette::Text);
        return n;
    };
    QCOMPARE(tinta(xc), alto);
    QCOMPARE(resaltados(img, origen.x(), origen.x() + 10 * w, 0), 0);
}

QTEST_MAIN(PruebaMemo)
#include "test_memo.moc"
