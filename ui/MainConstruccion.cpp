// Building the main window: its actions, menus, tool bar and pages. Every control gets
// the name the window description gives it as its objectName.
//
// A new capability with state of its own is a class of its own in ui/; the window
// creates it here and connects it to its actions and pages.
#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <initializer_list>

#include "core/Errores.h"
#include "ui/AboutU.h"
#include "ui/CambiosPendientes.h"
#include "ui/DeshacerMatriz.h"
#include "ui/Dialogos.h"
#include "ui/Fuentes.h"
#include "ui/GraficosConsumo.h"
#include "ui/GuardiaCambios.h"
#include "ui/Main.h"
#include "ui/ManejoErrores.h"
#include "ui/MemoInforme.h"
#include "ui/ModeloMatriz.h"
#include "ui/PaginaCalidad.h"
#include "ui/SalidaInforme.h"
#include "ui/VistaMatriz.h"

namespace tavelorin {

namespace {

QFont FuenteVentana() { return FuenteSansSerif(11); }

template <class Control>
Control* Nombrado(Control* control, const char* nombre) {
    control->setObjectName(QLatin1String(nombre));
    return control;
}

QFrame* PanelHundido(QWidget* padre, const char* nombre) {
    auto* panel = Nombrado(new QFrame(padre), nombre);
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* disposicion = new QVBoxLayout(panel);
    disposicion->setContentsMargins(1, 1, 1, 1);
    return panel;
}

// The layout of a new page for the tab control, its contents edge to edge.
QVBoxLayout* Pagina(const char* nombre) {
    auto* disposicion = new QVBoxLayout(Nombrado(new QWidget, nombre));
    disposicion->setContentsMargins(0, 0, 0, 0);
    return disposicion;
}

}  // namespace

TMainForm::TMainForm(Dialogos& dialogos, const QStringList& argumentos, QWidget* padre)
    : QMainWindow(padre), dialogos_(dialogos) {
    setWindowTitle(TituloVentana(QString()));
    setFont(FuenteVentana());
    modelo_ = new ModeloMatriz(this);
    edicion_ = new EdicionMatriz(*modelo_, this);
    edicion_->setObjectName(QStringLiteral("EdicionMatriz"));
    CrearAcciones();
    CrearMenus();
    CrearBarra();
    CrearPaginas();
    CrearGuardia();
    AsignarAtajos();
    OrdenarTabulacion();
    NombrarParaAccesibilidad();
    resize(1083, 778 + menuBar()->sizeHint().height());
    generador_.SembrarAleatorio();
    LeerSeparadorDecimal();
    FormCreate(argumentos);
    // Created once, hidden until the about command shows it.
    AboutBox = new TAboutBox(this);
}

TMainForm::~TMainForm() = default;

void TMainForm::CrearAcciones() {
    const auto accion = [this](const char* nombre, const QString& texto, Comando comando) {
        auto* a = Nombrado(new QAction(texto, this), nombre);
        Conectar(a, comando);
        return a;
    };
    // Tool bar: a picture and a tool tip.
    const auto boton = [&](const char* nombre, const QString& texto, const char* icono, const QString& consejo,
                           Comando comando) {
        QAction* a = accion(nombre, texto, comando);
        a->setIcon(QIcon(QStringLiteral(":/iconos/") + QLatin1String(icono)));
        a->setToolTip(consejo);
        return a;
    };
    // Menu items; the hint goes where a status line would show it.
    const auto item = [&](const char* nombre, const QString& texto, Comando comando, const QString& pista = {}) {
        QAction* a = accion(nombre, texto, comando);
        if (!pista.isEmpty()) a->setStatusTip(pista);
        return a;
    };

    TBNuevo = boton("TBNuevo", QStringLiteral("Nuevo"), "05-nuevo.svg", QStringLiteral("Nuevo problema"),
                    &TMainForm::NuevoProblema);
    ToolButton3 = boton("ToolButton3", QStringLiteral("Abrir"), "01-abrir.svg",
                        QStringLiteral("Abrir un problema de carga"), &TMainForm::AbrirProblema);
    TBGuardar = boton("TBGuardar", QStringLiteral("Guardar"), "04-guardar.svg",
                      QStringLiteral("Guardar el problema actual"), &TMainForm::GuardarProblema);
    TBImprimir = boton("TBImprimir", QStringLiteral("Imprimir"), "07-imprimir.svg",
                       QStringLiteral("Imprimir la solución"), &TMainForm::ImprimirSolucion);
    TBItems = boton("TBItems", QStringLiteral("Items"), "09-items.svg",
                    QStringLiteral("Especificar número de productos y componentes"), &TMainForm::DimensionarProblema);
    TBResolver = boton("TBResolver", QStringLiteral("Resolver"), "02-resolver.svg", QStringLiteral("Resolver problema"),
                       &TMainForm::EjecutarResolucion);
    TBCopiar = boton("TBCopiar", QStringLiteral("Copiar"), "08-copiar.svg", QStringLiteral("Copiar la solución"),
                     &TMainForm::CopiarSolucion);
    TBSalir = boton("TBSalir", QStringLiteral("Salir"), "00-salir.svg", QStringLiteral("Salir del programa"),
                    &TMainForm::Salir);

    ArchivoNuevo = item("ArchivoNuevo", QStringLiteral("&Nuevo"), &TMainForm::NuevoProblema,
                        QStringLiteral("Create a new file"));
    Items1 = item("Items1", QStringLiteral("Items..."), &TMainForm::DimensionarProblema);
    ArchivoAbrir = item("ArchivoAbrir", QStringLiteral("&Abrir..."), &TMainForm::AbrirProblema,
                        QStringLiteral("Open an existing file"));
    Crearproblemaaleatorio1 =
        item("Crearproblemaaleatorio1", QStringLiteral("Crear problema aleatorio..."), &TMainForm::CrearProblemaAleatorio);
    ArchivoGrabarProblema = item("ArchivoGrabarProblema", QStringLiteral("&Guardar problema"),
                                 &TMainForm::ArchivoGrabarProblemaClick, QStringLiteral("Save current file"));
    ArchivoGrabarProblemaComo =
        item("ArchivoGrabarProblemaComo", QStringLiteral("Guardar problema &como..."),
             &TMainForm::ArchivoGrabarProblemaComoClick, QStringLiteral("Save current file under a new name"));
    ArchivoGrabarSolucion = item("ArchivoGrabarSolucion", QStringLiteral("Guardar &solucion"), &TMainForm::GuardarSolucion);
    ArchivoGrabarSolucionComo =
        item("ArchivoGrabarSolucionComo", QStringLiteral("Guardar solucion c&omo..."), &TMainForm::GuardarSolucionComo);
    ArchivoImprimir = item("ArchivoImprimir", QStringLiteral("&Imprimir"), &TMainForm::ImprimirSolucion,
                           QStringLiteral("Print current file"));
    ArchivoConfigurarImpresora = item("ArchivoConfigurarImpresora", QStringLiteral("Con&figurar impresora.."),
                                      &TMainForm::ConfigurarImpresora, QStringLiteral("Change printer setup"));
    ArchivoSalir = item("ArchivoSalir", QStringLiteral("Sali&r"), &TMainForm::Salir, QStringLiteral("Exit this application"));
    Copiar1 = item("Copiar1", QStringLiteral("Copiar"), &TMainForm::CopiarSolucion);
    Fuente1 = item("Fuente1", QStringLiteral("Fuente"), &TMainForm::ElegirFuente);
    ResolverProblema = item("ResolverProblema", QStringLiteral("Resolver problema"), &TMainForm::EjecutarResolucion);
    ResolverProblema->setEnabled(false);
    AyudaAcerdaDe = item("AyudaAcerdaDe", QStringLiteral("&Acerca de..."), &TMainForm::MostrarAcercaDe,
                         QStringLiteral("Show program information"));
    CrearAccionesEscritorio();
}

void TMainForm::CrearMenus() {
    QMenuBar* barra = menuBar();
    // A null entry is a separator.
    const auto menu = [barra](const char* nombre, const QString& titulo, std::initializer_list<QAction*> entradas) {
        QMenu* m = Nombrado(barra->addMenu(titulo), nombre);
        for (QAction* a : entradas) {
            if (a != nullptr)
                m->addAction(a);
            else
                m->addSeparator();
        }
        return m;
    };
    QMenu* ArchivoMenu = menu("ArchivoMenu", QStringLiteral("&Archivo"),
                              {ArchivoNuevo, Items1, nullptr, ArchivoAbrir, Crearproblemaaleatorio1, nullptr,
                               ArchivoGrabarProblema, ArchivoGrabarProblemaComo, ArchivoGrabarSolucion,
                               ArchivoGrabarSolucionComo, nullptr, ArchivoImprimir, ArchivoVistaPreliminar,
                               ArchivoExportarPdf, ArchivoExportarGrafico, ArchivoConfigurarImpresora, nullptr,
                               ArchivoSalir});
    connect(ArchivoMenu, &QMenu::aboutToShow, this, [this] { Ejecutar(&TMainForm::ArchivoMenuClick); });
    menu("Edicin1", QStringLiteral("Edición"),
         {Copiar1, EdicionCopiarGrafico, nullptr, Fuente1, nullptr, EdicionVistaCompleta});
    menu("ResolverResolverProblema", QStringLiteral("&Resolver"), {ResolverProblema});
    menu("AyudaMenu", QStringLiteral("&Ayuda"), {AyudaAcerdaDe});
}

void TMainForm::CrearBarra() {
    auto* ToolBar1 = Nombrado(new QToolBar(QStringLiteral("ToolBar1"), this), "ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setFixedHeight(40);
    ToolBar1->setStyleSheet(QStringLiteral("QToolBar { border: 1px solid palette(mid); spacing: 0px; padding: 1px; }"));
    addToolBar(Qt::TopToolBarArea, ToolBar1);
    // A null entry is a gap.
    const std::initializer_list<QAction*> botones = {TBNuevo,    ToolButton3, TBGuardar, TBImprimir, nullptr,
                                                     TBItems,    nullptr,     TBResolver, nullptr,   TBCopiar,
                                                     nullptr,    TBSalir,     nullptr};
    for (QAction* a : botones) {
        if (a == nullptr) {
            auto* hueco = new QWidget(ToolBar1);
            hueco->setFixedSize(8, 36);
            ToolBar1->addWidget(hueco);
            continue;
        }
        ToolBar1->addAction(a);
        if (QWidget* w = ToolBar1->widgetForAction(a)) {
            w->setFixedSize(49, 36);
            w->setFont(FuenteVentana());
        }
    }
}

void TMainForm::CrearPaginas() {
    PageControl1 = Nombrado(new QTabWidget(this), "PageControl1");
    setCentralWidget(PageControl1);

    // Data and solution: the grid on the left, the memo filling the rest.
    auto* TSResolucion = Nombrado(new QWidget, "TSResolucion");
    auto* disposicion = new QHBoxLayout(TSResolucion);
    disposicion->setContentsMargins(0, 0, 0, 0);
    Splitter1 = Nombrado(new QSplitter(Qt::Horizontal, TSResolucion), "Splitter1");
    Splitter1->setChildrenCollapsible(false);
    disposicion->addWidget(Splitter1);
    Panel1 = PanelHundido(Splitter1, "Panel1");
    Matriz = Nombrado(new VistaMatriz(modelo_, Panel1), "Matriz");
    Matriz->FijarEdicion(edicion_, &dialogos_);
    Panel1->layout()->addWidget(Matriz);
    QFrame* Panel3 = PanelHundido(Splitter1, "Panel3");
    Memo1 = Nombrado(new MemoInforme(Panel3), "Memo1");
    // A selection too large for the clipboard is refused with a message.
    Memo1->FijarAvisoCopiaExcesiva([this](int64_t) {
        MostrarErrorDe(dialogos_, this, std::make_exception_ptr(ErrorTavelorin(MensajeCopiaExcesiva().toStdString())));
    });
    Panel3->layout()->addWidget(Memo1);
    Splitter1->addWidget(Panel1);
    Splitter1->addWidget(Panel3);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({254, 1083 - 254});
    // Resolver and Guardar follow the grid on every paint, and also when it changes or a
    // cell is being typed into while it is not painted (another page shows).
    connect(Matriz, &VistaMatriz::CeldasDibujadas, this, [this] { MatrizDrawCell(); });
    connect(Matriz, &VistaMatriz::EdicionCambiada, this, [this] { MatrizDrawCell(); });
    connect(modelo_, &QAbstractItemModel::dataChanged, this, [this] { MatrizDrawCell(); });
    connect(modelo_, &QAbstractItemModel::modelReset, this, [this] { MatrizDrawCell(); });
    PageControl1->addTab(TSResolucion, QStringLiteral("Datos y solución"));

    // Consumption rate chart's selector strip; the charts come from GraficosConsumo.
    auto* Panel2 = Nombrado(new QFrame, "Panel2");
    Panel2->setFixedHeight(36);
    auto* Label1 = Nombrado(new QLabel(QStringLiteral("Componente:"), Panel2), "Label1");
    Label1->move(20, 10);
    EComp = Nombrado(new QLineEdit(QStringLiteral("1"), Panel2), "EComp");
    EComp->setGeometry(90, 7, 41, 21);
    QFont negrita = FuenteVentana();
    negrita.setBold(true);
    negrita.setPixelSize(13);
    auto* Button1 = Nombrado(new QPushButton(QStringLiteral("+"), Panel2), "Button1");
    Button1->setGeometry(135, 0, 16, 16);
    auto* Button2 = Nombrado(new QPushButton(QStringLiteral("-"), Panel2), "Button2");
    Button2->setGeometry(135, 18, 16, 16);
    for (QPushButton* b : {Button1, Button2}) {
        b->setFont(negrita);
        b->setFocusPolicy(Qt::TabFocus);
        b->setStyleSheet(QStringLiteral("QPushButton { padding: 0px; }"));
    }
    Graficos = Nombrado(new GraficosConsumo(estado_, generador_, EComp, this), "Graficos");
    connect(Button1, &QPushButton::clicked, this, [this] { EjecutarComando(dialogos_, this, [this] { Graficos->Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { EjecutarComando(dialogos_, this, [this] { Graficos->Button2Click(); }); });

    // The chart pages, ChartVelCon and ChartTasCon, are named by GraficosConsumo.
    QVBoxLayout* vel = Pagina("TBGrafVel");
    vel->addWidget(Graficos->ChartVelCon());
    PageControl1->addTab(vel->parentWidget(), QStringLiteral("Gráfico de velocidades de consumo"));

    QVBoxLayout* tasa = Pagina("TSGrafTasa");
    tasa->setSpacing(0);
    tasa->addWidget(Panel2);
    tasa->addWidget(Graficos->ChartTasCon(), 1);
    PageControl1->addTab(tasa->parentWidget(), QStringLiteral("Gráfico de tasas de consumo"));

    // The sequence's quality and a better sequence, a page of its own.
    Calidad = Nombrado(new PaginaCalidad(dialogos_, separador_, [this] { return ficheroProblema_; }), "TSCalidad");
    PageControl1->addTab(Calidad, QStringLiteral("Calidad de la secuencia"));
    PageControl1->setCurrentIndex(0);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { ActualizarAccionesGrafico(); });
    ActualizarAccionesGrafico();
}

// The unsaved-changes flags follow the grid's and the memo's edits and show in the title;
// the guard asks before they would be lost.
void TMainForm::CrearGuardia() {
    cambios_ = new CambiosPendientes(this);
    cambios_->setObjectName(QStringLiteral("Cambios"));
    // The problem's flag is the grid's undo stack away from its saved state.
    connect(edicion_, &EdicionMatriz::ModificadoCambiado, cambios_, &CambiosPendientes::FijarProblema);
    connect(Memo1, &MemoInforme::TextoEditado, cambios_, [this] { cambios_->FijarInforme(true); });
    connect(cambios_, &CambiosPendientes::AlgunoCambiado, this, &QWidget::setWindowModified);
    guardia_ = new GuardiaCambios(*cambios_, dialogos_, this, [this] { return ficheroProblema_; },
                                  {[this] { return GuardarProblemaSegunBoton(); },
                                   [this] { return GuardarSolucionSegunMenu(); }});
    guardia_->setObjectName(QStringLiteral("GuardiaCambios"));
    guardia_->AntesDePreguntar([this] { Matriz->ConfirmarEdicion(); });
}

void TMainForm::Conectar(QAction* accion, Comando comando) {
    connect(accion, &QAction::triggered, this, [this, comando] { Ejecutar(comando); });
}

void TMainForm::Ejecutar(Comando comando) {
    EjecutarComando(dialogos_, this, [this, comando] {
        Matriz->ConfirmarEdicion();
        (this->*comando)();
    });
}

}  // namespace tavelorin
