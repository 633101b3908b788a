#include "ui/Main.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/AboutU.h"
#include "ui/AleatorioU.h"
#include "ui/Dialogos.h"
#include "ui/Fuentes.h"
#include "files/FicheroTexto.h"
#include "ui/GraficosConsumo.h"
#include "ui/Impresion.h"
#include "core/Informe.h"
#include "ui/ManejoErrores.h"
#include "ui/MemoInforme.h"
#include "ui/ModeloMatriz.h"
#include "ui/RutasFichero.h"
#include "core/Secuenciador.h"
#include "core/TextoEntero.h"
#include "ui/VistaMatriz.h"


namespace tavelorin {

namespace {

QFont FuenteVentana() { return FuenteSansSerif(11); }

QFrame* PanelHundido(QWidget* padre) {
    auto* panel = new QFrame(padre);
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* disposicion = new QVBoxLayout(panel);
    disposicion->setContentsMargins(1, 1, 1, 1);
    return panel;
}

}  // namespace

TMainForm::TMainForm(Dialogos& dialogos, const QStringList& argumentos, QWidget* padre)
    : QMainWindow(padre), dialogos_(dialogos) {
    setWindowTitle(kTituloAplicacion);
    setFont(FuenteVentana());
    modelo_ = new ModeloMatriz(this);
    CrearAcciones();
    CrearMenus();
    CrearBarra();
    CrearPaginas();
    resize(1083, 778 + menuBar()->sizeHint().height());
    Generador.SembrarAleatorio();
    LeerSeparadorDecimal();
    FormCreate(argumentos);
    // Created once, hidden until the about command shows it.
    AboutBox = new TAboutBox(this);
}

TMainForm::~TMainForm() = default;

void TMainForm::CrearAcciones() {
    auto accion = [this](const QString& texto, const QString& icono = QString()) {
        auto* a = new QAction(texto, this);
        if (!icono.isEmpty()) a->setIcon(QIcon(QStringLiteral(":/iconos/") + icono));
        return a;
    };
    // Tool bar.
    TBNuevo = accion(QStringLiteral("Nuevo"), QStringLiteral("05-nuevo.svg"));
    TBNuevo->setToolTip(QStringLiteral("Nuevo problema"));
    ToolButton3 = accion(QStringLiteral("Abrir"), QStringLiteral("01-abrir.svg"));
    ToolButton3->setToolTip(QStringLiteral("Abrir un problema de carga"));
    TBGuardar = accion(QStringLiteral("Guardar"), QStringLiteral("04-guardar.svg"));
    TBGuardar->setToolTip(QStringLiteral("Guardar el problema actual"));
    TBImprimir = accion(QStringLiteral("Imprimir"), QStringLiteral("07-imprimir.svg"));
    TBImprimir->setToolTip(QStringLiteral("Imprimir la solución"));
    TBItems = accion(QStringLiteral("Items"), QStringLiteral("09-items.svg"));
    TBItems->setToolTip(QStringLiteral("Especificar número de productos y componentes"));
    TBResolver = accion(QStringLiteral("Resolver"), QStringLiteral("02-resolver.svg"));
    TBResolver->setToolTip(QStringLiteral("Resolver problema"));
    TBCopiar = accion(QStringLiteral("Copiar"), QStringLiteral("08-copiar.svg"));
    TBCopiar->setToolTip(QStringLiteral("Copiar la solución"));
    TBSalir = accion(QStringLiteral("Salir"), QStringLiteral("00-salir.svg"));
    TBSalir->setToolTip(QStringLiteral("Salir del programa"));

    // Menu items; the hint goes where a status line would show it.
    auto item = [&](const QString& texto, const QString& pista = QString()) {
        QAction* a = accion(texto);
        if (!pista.isEmpty()) a->setStatusTip(pista);
        return a;
    };
    ArchivoNuevo = item(QStringLiteral("&Nuevo"), QStringLiteral("Create a new file"));
    Items1 = item(QStringLiteral("Items..."));
    ArchivoAbrir = item(QStringLiteral("&Abrir..."), QStringLiteral("Open an existing file"));
    Crearproblemaaleatorio1 = item(QStringLiteral("Crear problema aleatorio..."));
    ArchivoGrabarProblema = item(QStringLiteral("&Guardar problema"), QStringLiteral("Save current file"));
    ArchivoGrabarProblemaComo =
        item(QStringLiteral("Guardar problema &como..."), QStringLiteral("Save current file under a new name"));
    ArchivoGrabarSolucion = item(QStringLiteral("Guardar &solucion"));
    ArchivoGrabarSolucionComo = item(QStringLiteral("Guardar solucion c&omo..."));
    ArchivoImprimir = item(QStringLiteral("&Imprimir"), QStringLiteral("Print current file"));
    ArchivoConfigurarImpresora = item(QStringLiteral("Con&figurar impresora.."), QStringLiteral("Change printer setup"));
    ArchivoSalir = item(QStringLiteral("Sali&r"), QStringLiteral("Exit this application"));
    Copiar1 = item(QStringLiteral("Copiar"));
    Fuente1 = item(QStringLiteral("Fuente"));
    ResolverProblema = item(QStringLiteral("Resolver problema"));
    ResolverProblema->setEnabled(false);
    AyudaAcerdaDe = item(QStringLiteral("&Acerca de..."), QStringLiteral("Show program information"));

    Conectar(TBNuevo, &TMainForm::NuevoProblema);
    Conectar(ArchivoNuevo, &TMainForm::NuevoProblema);
    Conectar(TBItems, &TMainForm::DimensionarProblema);
    Conectar(Items1, &TMainForm::DimensionarProblema);
    Conectar(TBResolver, &TMainForm::EjecutarResolucion);
    Conectar(ResolverProblema, &TMainForm::EjecutarResolucion);
    Conectar(TBCopiar, &TMainForm::CopiarSolucion);
    Conectar(Copiar1, &TMainForm::CopiarSolucion);
    Conectar(Fuente1, &TMainForm::ElegirFuente);
    Conectar(ArchivoConfigurarImpresora, &TMainForm::ConfigurarImpresora);
    Conectar(ToolButton3, &TMainForm::AbrirProblema);
    Conectar(ArchivoAbrir, &TMainForm::AbrirProblema);
    Conectar(TBGuardar, &TMainForm::GuardarProblema);
    Conectar(ArchivoGrabarProblema, &TMainForm::ArchivoGrabarProblemaClick);
    Conectar(ArchivoGrabarProblemaComo, &TMainForm::ArchivoGrabarProblemaComoClick);
    Conectar(ArchivoGrabarSolucion, &TMainForm::GuardarSolucion);
    Conectar(ArchivoGrabarSolucionComo, &TMainForm::GuardarSolucionComo);
    Conectar(Crearproblemaaleatorio1, &TMainForm::CrearProblemaAleatorio);
    Conectar(TBImprimir, &TMainForm::ImprimirSolucion);
    Conectar(ArchivoImprimir, &TMainForm::ImprimirSolucion);
    Conectar(AyudaAcerdaDe, &TMainForm::MostrarAcercaDe);
    Conectar(TBSalir, &TMainForm::Salir);
    Conectar(ArchivoSalir, &TMainForm::Salir);
}

void TMainForm::CrearMenus() {
    QMenuBar* barra = menuBar();
    ArchivoMenu = barra->addMenu(QStringLiteral("&Archivo"));
    ArchivoMenu->addAction(ArchivoNuevo);
    ArchivoMenu->addAction(Items1);
    ArchivoMenu->addSeparator();
    ArchivoMenu->addAction(ArchivoAbrir);
    ArchivoMenu->addAction(Crearproblemaaleatorio1);
    ArchivoMenu->addSeparator();
    ArchivoMenu->addAction(ArchivoGrabarProblema);
    ArchivoMenu->addAction(ArchivoGrabarProblemaComo);
    ArchivoMenu->addAction(ArchivoGrabarSolucion);
    ArchivoMenu->addAction(ArchivoGrabarSolucionComo);
    ArchivoMenu->addSeparator();
    ArchivoMenu->addAction(ArchivoImprimir);
    ArchivoMenu->addAction(ArchivoConfigurarImpresora);
    ArchivoMenu->addSeparator();
    ArchivoMenu->addAction(ArchivoSalir);
    connect(ArchivoMenu, &QMenu::aboutToShow, this, [this] { Ejecutar(&TMainForm::ArchivoMenuClick); });

    Edicin1 = barra->addMenu(QStringLiteral("Edición"));
    Edicin1->addAction(Copiar1);
    Edicin1->addSeparator();
    Edicin1->addAction(Fuente1);

    ResolverResolverProblema = barra->addMenu(QStringLiteral("&Resolver"));
    ResolverResolverProblema->addAction(ResolverProblema);

    AyudaMenu = barra->addMenu(QStringLiteral("&Ayuda"));
    AyudaMenu->addAction(AyudaAcerdaDe);
}

void TMainForm::CrearBarra() {
    ToolBar1 = new QToolBar(QStringLiteral("ToolBar1"), this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setFixedHeight(40);
    ToolBar1->setStyleSheet(QStringLiteral("QToolBar { border: 1px solid palette(mid); spacing: 0px; padding: 1px; }"));
    addToolBar(Qt::TopToolBarArea, ToolBar1);
    auto boton = [this](QAction* a) {
        ToolBar1->addAction(a);
        if (QWidget* w = ToolBar1->widgetForAction(a)) {
            w->setFixedSize(49, 36);
            w->setFont(FuenteVentana());
        }
    };
    auto separador = [this] {
        auto* hueco = new QWidget(ToolBar1);
        hueco->setFixedSize(8, 36);
        ToolBar1->addWidget(hueco);
    };
    boton(TBNuevo);
    boton(ToolButton3);
    boton(TBGuardar);
    boton(TBImprimir);
    separador();
    boton(TBItems);
    separador();
    boton(TBResolver);
    separador();
    boton(TBCopiar);
    separador();
    boton(TBSalir);
    separador();
}

void TMainForm::CrearPaginas() {
    PageControl1 = new QTabWidget(this);
    setCentralWidget(PageControl1);

    // Data and solution: the grid on the left, the memo filling the rest.
    TSResolucion = new QWidget;
    auto* disposicion = new QHBoxLayout(TSResolucion);
    disposicion->setContentsMargins(0, 0, 0, 0);
    Splitter1 = new QSplitter(Qt::Horizontal, TSResolucion);
    Splitter1->setChildrenCollapsible(false);
    disposicion->addWidget(Splitter1);
    Panel1 = PanelHundido(Splitter1);
    Matriz = new VistaMatriz(modelo_, Panel1);
    Panel1->layout()->addWidget(Matriz);
    Panel3 = PanelHundido(Splitter1);
    Memo1 = new MemoInforme(Panel3);
    Panel3->layout()->addWidget(Memo1);
    Splitter1->addWidget(Panel1);
    Splitter1->addWidget(Panel3);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({254, 1083 - 254});
    connect(Matriz, &VistaMatriz::CeldasDibujadas, this, [this] { MatrizDrawCell(); });
    PageControl1->addTab(TSResolucion, QStringLiteral("Datos y solución"));

    // Consumption rate chart's selector strip; the charts come from GraficosConsumo.
    Panel2 = new QFrame;
    Panel2->setFixedHeight(36);
    Label1 = new QLabel(QStringLiteral("Componente:"), Panel2);
    Label1->move(20, 10);
    EComp = new QLineEdit(QStringLiteral("1"), Panel2);
    EComp->setGeometry(90, 7, 41, 21);
    QFont negrita = FuenteVentana();
    negrita.setBold(true);
    negrita.setPixelSize(13);
    Button1 = new QPushButton(QStringLiteral("+"), Panel2);
    Button1->setGeometry(135, 0, 16, 16);
    Button1->setFont(negrita);
    Button2 = new QPushButton(QStringLiteral("-"), Panel2);
    Button2->setGeometry(135, 18, 16, 16);
    Button2->setFont(negrita);
    for (QPushButton* b : {Button1, Button2}) {
        b->setFocusPolicy(Qt::TabFocus);
        b->setStyleSheet(QStringLiteral("QPushButton { padding: 0px; }"));
    }
    Graficos = new GraficosConsumo(Estado, Generador, EComp, this);
    connect(Button1, &QPushButton::clicked, this, [this] { EjecutarComando(dialogos_, this, [this] { Graficos->Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { EjecutarComando(dialogos_, this, [this] { Graficos->Button2Click(); }); });

    TBGrafVel = new QWidget;
    auto* vel = new QVBoxLayout(TBGrafVel);
    vel->setContentsMargins(0, 0, 0, 0);
    ChartVelCon = Graficos->ChartVelCon();
    vel->addWidget(ChartVelCon);
    PageControl1->addTab(TBGrafVel, QStringLiteral("Gráfico de velocidades de consumo"));

    TSGrafTasa = new QWidget;
    auto* tasa = new QVBoxLayout(TSGrafTasa);
    tasa->setContentsMargins(0, 0, 0, 0);
    tasa->setSpacing(0);
    tasa->addWidget(Panel2);
    ChartTasCon = Graficos->ChartTasCon();
    tasa->addWidget(ChartTasCon, 1);
    PageControl1->addTab(TSGrafTasa, QStringLiteral("Gráfico de tasas de consumo"));
    PageControl1->setCurrentIndex(0);
}

void TMainForm::Conectar(QAction* accion, void (TMainForm::*comando)()) {
    connect(accion, &QAction::triggered, this, [this, comando] { Ejecutar(comando); });
}

void TMainForm::Ejecutar(void (TMainForm::*comando)()) {
    EjecutarComando(dialogos_, this, [this, comando] { (this->*comando)(); });
}

// Start-up: the command-line problem, or an empty grid of 3 products and 4 components.
void TMainForm::FormCreate(const QStringList& argumentos) {
    const bool completo = EjecutarComando(dialogos_, this, [&] {
        if (!argumentos.isEmpty()) {
            FicheroProblema = argumentos.front();
            CargarProblema();
        } else {
            modelo_->FijarFilas(4);
            modelo_->FijarColumnas(6);
            modelo_->Rotular();
        }
        Resuelto = false;
        ActualizarBotones();
    });
    (void)completo;
}

void TMainForm::LeerSeparadorDecimal() {
    const QString punto = QLocale::system().decimalPoint();
    separador_ = punto.isEmpty() ? std::string(".") : punto.toStdString();
}

void TMainForm::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LocaleChange) LeerSeparadorDecimal();
    QMainWindow::changeEvent(evento);
}

// --- Files ---

namespace {

const QString kFiltroProblema = QStringLiteral("Problema de Brisak (*.brk)");
const QString kFiltroSolucion = QStringLiteral("Solución algoritmo de Brisak (*.sol)");
const QString kPlantee = QStringLiteral("Plantee el problema antes de guardarlo.");

// A name typed without an extension gets the dialog's default one.
QString ConExtension(const QString& nombre, const QString& extension) {
    const QString base = nombre.section(QLatin1Char('/'), -1);
    return base.contains(QLatin1Char('.')) ? nombre : nombre + QLatin1Char('.') + extension;
}

}  // namespace

void TMainForm::AbrirProblema() {
    const std::optional<QString> nombre = dialogos_.NombreParaAbrir(this, kFiltroProblema, nombreAbrir_);
    if (!nombre) return;
    nombreAbrir_ = *nombre;
    NuevoProblema();
    FicheroProblema = *nombre;
    CargarProblema();
}

void TMainForm::CargarProblema() {
    LineasDeFichero fichero(RutaDeNombre(FicheroProblema));
    modelo_->Cargar(fichero);
}

void TMainForm::GuardarProblema() {
    if (!FicheroProblema.isEmpty() && MatrizCompleta())
        EscribirProblema();
    else
        GuardarProblemaComo();
}

void TMainForm::ArchivoGrabarProblemaClick() {
    if (!MatrizCompleta()) {
        dialogos_.MostrarInformacion(this, kTituloAplicacion, kPlantee);
        return;
    }
    if (!FicheroProblema.isEmpty())
        EscribirProblema();
    else
        GuardarProblemaComo();
}

void TMainForm::ArchivoGrabarProblemaComoClick() {
    if (MatrizCompleta())
        GuardarProblemaComo();
    else
        dialogos_.MostrarInformacion(this, kTituloAplicacion, kPlantee);
}

void TMainForm::GuardarProblemaComo() {
    const std::optional<QString> nombre =
        dialogos_.NombreParaGuardar(this, kFiltroProblema, QStringLiteral("brk"), nombreGuardarProblema_);
    if (!nombre) return;
    FicheroProblema = ConExtension(*nombre, QStringLiteral("brk"));
    nombreGuardarProblema_ = FicheroProblema;
    EscribirProblema();
}

void TMainForm::EscribirProblema() {
    EscribirLineasFichero(RutaDeNombre(FicheroProblema), modelo_->Matriz().LineasProblema());
}

void TMainForm::GuardarSolucion() {
    if (!FicheroSolucion.isEmpty() && Resuelto)
        EscribirSolucion();
    else
        GuardarSolucionComo();
}

void TMainForm::GuardarSolucionComo() {
    const QString propuesto =
        NombreDeRuta(NombreSolucionPropuesto(RutaDeNombre(FicheroProblema)));
    const std::optional<QString> nombre =
        dialogos_.NombreParaGuardar(this, kFiltroSolucion, QStringLiteral("sol"), propuesto);
    if (!nombre) return;
    FicheroSolucion = ConExtension(*nombre, QStringLiteral("sol"));
    EscribirSolucion();
}

void TMainForm::EscribirSolucion() {
    EscribirLineasFichero(RutaDeNombre(FicheroSolucion), Memo1->Lineas());
}

// --- Random problem ---

void TMainForm::CrearProblemaAleatorio() {
    TFormAleatorio formulario(this);
    if (!dialogos_.MostrarModal(formulario)) return;
    const TextosAleatorios textos = formulario.Textos();
    // Refused before the reset, so the problem on screen is not lost.
    ComprobarComponentesAleatorios(textos);
    NuevoProblema();
    Generador.SembrarAleatorio();
    const ParametrosAleatorios parametros = LeerParametrosAleatorios(textos, separador_);
    modelo_->Generar(parametros, Generador);
}

// --- Enabling ---

bool TMainForm::MatrizCompleta() const { return modelo_->Matriz().Completa(); }

void TMainForm::MatrizDrawCell() {
    const bool completa = MatrizCompleta();
    TBResolver->setEnabled(completa);
    ResolverProblema->setEnabled(completa);
    TBGuardar->setEnabled(completa);
}

void TMainForm::ActualizarBotones() {
    TBImprimir->setEnabled(Resuelto);
    TBCopiar->setEnabled(Resuelto);
}

void TMainForm::ArchivoMenuClick() {
    ArchivoGrabarSolucion->setEnabled(Resuelto);
    ArchivoGrabarSolucionComo->setEnabled(Resuelto);
    ArchivoImprimir->setEnabled(Resuelto);
    const bool completa = MatrizCompleta();
    ArchivoGrabarProblema->setEnabled(completa);
    ArchivoGrabarProblemaComo->setEnabled(completa);
}

// --- Grid commands ---

void TMainForm::NuevoProblema() {
    Memo1->Vaciar();
    TBCopiar->setEnabled(false);
    modelo_->FijarFilas(4);
    modelo_->FijarColumnas(6);
    EComp->setText(QStringLiteral("1"));
    modelo_->Rotular();
    FicheroProblema.clear();
    Resuelto = false;
    ActualizarBotones();
    BorrarSeriesVel();
    BorrarSeriesTasas();
}

void TMainForm::DimensionarProblema() {
    const QString titulo = QStringLiteral("Problema de Brisak");
    const QString productos =
        dialogos_.PedirTexto(this, titulo, QStringLiteral("Número de Productos"), QStringLiteral("3")).value_or(QStringLiteral("3"));
    const QString componentes =
        dialogos_.PedirTexto(this, titulo, QStringLiteral("Número de Componentes"), QStringLiteral("4")).value_or(QStringLiteral("4"));
    const int32_t filas = static_cast<int32_t>(static_cast<uint32_t>(TextoAEntero(productos.toStdString())) + 1u);
    modelo_->FijarFilas(filas);
    const int32_t columnas = static_cast<int32_t>(static_cast<uint32_t>(TextoAEntero(componentes.toStdString())) + 2u);
    modelo_->FijarColumnas(columnas);
    modelo_->Rotular();
}

std::vector<std::string> TMainForm::ProblemaDeMatriz() {
    const MatrizProblema& m = modelo_->Matriz();
    Estado.NProd = m.Filas() - 1;
    Estado.NComp = m.Columnas() - 2;
    return m.LineasProblema();
}

// --- Solve ---

void TMainForm::EjecutarResolucion() {
    std::vector<std::string> informe;
    std::vector<std::string> secuencia;
    Resuelto = false;
    const std::vector<std::string> problema = ProblemaDeMatriz();
    Secuenciar(Estado, problema, informe, secuencia, separador_);
    MostrarSolucion(informe, secuencia);
    GraficoVelocidades();
    GraficoTasas();
    Resuelto = true;
    ActualizarBotones();
}

void TMainForm::MostrarSolucion(std::vector<std::string>& informe, const std::vector<std::string>& secuencia) {
    AnadirSolucion(informe, secuencia);
    Memo1->Vaciar();
    Memo1->ReemplazarLineas(std::move(informe));  // taken line by line, without a copy
}

void TMainForm::GraficoVelocidades() { Graficos->GraficoVelocidades(); }

void TMainForm::GraficoTasas() { Graficos->GraficoTasas(); }

void TMainForm::BorrarSeriesVel() { Graficos->BorrarSeriesVel(); }

void TMainForm::BorrarSeriesTasas() { Graficos->BorrarSeriesTasas(); }

// --- Window commands ---

void TMainForm::CopiarSolucion() {
    Memo1->setFocus();
    Memo1->selectAll();
    Memo1->CopiarTodo();
}

void TMainForm::ElegirFuente() {
    if (auto fuente = dialogos_.ElegirFuente(this, Memo1->font())) Memo1->setFont(*fuente);
}

void TMainForm::ConfigurarImpresora() { dialogos_.ConfigurarImpresora(this, impresora_); }

void TMainForm::Salir() { close(); }

void TMainForm::ImprimirSolucion() { tavelorin::ImprimirSolucion(this, impresora_, *Memo1, dialogos_); }

void TMainForm::MostrarAcercaDe() { dialogos_.MostrarModal(*AboutBox); }

}  // namespace tavelorin
