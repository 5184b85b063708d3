#include "app/MainWindow.h"

#include "app/AppIcon.h"
#include "app/DateCommands.h"
#include "app/TitleClock.h"
#include "app/WebShortcuts.h"
#include "app/WelcomeText.h"
#include "app/WindowChrome.h"
#include "app/WindowLayout.h"
#include "app/WindowOptions.h"
#include "app/WindowStyle.h"
#include "expand/ClipboardTrigger.h"
#include "expand/DirectInsertion.h"
#include "expand/KeyPicker.h"
#include "platform/ClockText.h"
#include "platform/LabelButton.h"
#include "platform/Platform.h"
#include "platform/TextFile.h"
#include "store/CatIni.h"
#include "store/CategoryManager.h"
#include "store/KeyEditing.h"
#include "store/KeyEditor.h"
#include "store/KeyListBinding.h"
#include "store/LiveStore.h"
#include "tray/TrayController.h"
#include "tray/TrayMenus.h"

#include <QAction>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

namespace {
constexpr int kTriggerIntervalMs = 10;
constexpr int kClockIntervalMs = 1000;
constexpr int kPasteDelayMs = 1000;
constexpr int kCategoryRebuildMs = 1;
} // namespace

MainWindow::MainWindow(Platform& platform, const StorePaths& paths, QWidget* parent)
    : QWidget(parent), m_platform(platform), m_paths(paths) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kAppTitle);
    setWindowIcon(AppIcon::icon());
    buildControls();
    m_keyList = new KeyListBinding({List1, Combo1, Text2, Label6}, m_paths, *m_platform.dialogs,
                                   {[this] { ShowWelcomeText(); }, [this] { m_trigger->switchOn(); }}, this);
    m_trigger = new ClipboardTrigger({List1, Combo1, Text1, Check1, Timer1}, m_platform, m_paths, this);
    m_keyEditing = new KeyEditing(*m_keyList, {List1, Text2, Label6}, *m_platform.dialogs, this);
    connect(Label6, &LabelButton::clicked, m_keyEditing, &KeyEditing::Label6_Click);
    connect(Label4, &LabelButton::clicked, m_keyEditing, &KeyEditing::Label4_Click);
    connect(Label5, &LabelButton::clicked, m_keyEditing, &KeyEditing::Label5_Click);
    connect(Label8, &LabelButton::clicked, m_keyEditing, &KeyEditing::Label8_Click);
    connect(Label11, &LabelButton::clicked, this, &MainWindow::Label11_Click);
    connect(CreaCAT, &QTimer::timeout, this, &MainWindow::CreaCAT_Timer);
    connect(Label2, &LabelButton::clicked, this, &QWidget::close);
    connect(Timer1, &QTimer::timeout, this, &MainWindow::Timer1_Timer);
    // toggled fires once for every change of the value, whether the user clicked or code set it.
    connect(Check1, &QCheckBox::toggled, this, &MainWindow::Check1_Click);
    wireMenus();
    m_live = new LiveStore(*m_keyList, {List1, Combo1, Text2},
                           {[this](bool quiet) { m_trigger->setQuiet(quiet); }, [this] { ShowWelcomeText(); }}, this);
    connect(m_live, &LiveStore::listsChanged, m_tray, &TrayController::followLists);
    m_titleClock = new TitleClock({this, Label1, Label12, List1, OraAggiorna}, *m_platform.clock, this);
    Form_Load();
}

MainWindow::~MainWindow() {
    // The manager points at this window's controls; it must not outlive them.
    delete m_form3.data();
    delete m_picker;
}

void MainWindow::buildControls() {
    // Every control at its design rectangle, in twips; the chrome moves the ones that follow the size.
    using WindowLayout::toPixels;
    const auto twips = [](int left, int top, int width, int height) {
        return toPixels(WindowLayout::TwipRect{left, top, width, height});
    };
    const auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    const auto button = [&](QWidget* parent, const char* name, const QString& caption, const QString& tip,
                            QRect geometry) {
        auto* label = named(new LabelButton(caption, parent), name);
        label->setToolTip(tip);
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(geometry);
        return label;
    };
    const auto titleButton = [&](const char* name, const QString& caption, const QString& tip, int left,
                                 double points) {
        auto* label = button(Picture100, name, caption, tip, twips(left, 0, 375, 375));
        WindowStyle::button(label, WindowStyle::kTitleButtonText, points);
        return label;
    };
    const auto toolButton = [&](const char* name, const QString& caption, const QString& tip, int left, int width,
                                double points) {
        auto* label = button(Picture1, name, caption, tip, twips(left, 0, width, 345));
        WindowStyle::button(label, WindowStyle::kToolbarButtonText, points);
        return label;
    };

    setWindowFlag(Qt::FramelessWindowHint);
    WindowStyle::paint(this, WindowStyle::kWindowBack);

    Picture100 = named(new QWidget(this), "Picture100");
    Picture100->setGeometry(twips(0, 0, WindowLayout::kMinWidth, WindowLayout::kTitleBarHeight));
    WindowStyle::paint(Picture100, WindowStyle::kTitleBarBack);
    Label2 = titleButton("Label2", QStringLiteral("X"), QStringLiteral("Quit"), 0, 14.25);
    Label13 = titleButton("Label13", QStringLiteral("[]"), QStringLiteral("Full Screen / Normal"), 360, 12);
    Label3 = titleButton("Label3", QStringLiteral("-"), QStringLiteral("For Icon"), 720, 14.25);
    Label7 = titleButton("Label7", QStringLiteral("*"), QStringLiteral("In the Tray Bar"), 1080, 21.75);
    Label1 = button(Picture100, "Label1", QStringLiteral(" Wordwisp"), QString(), twips(1560, 0, 2055, 330));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label1->setCursor(Qt::ArrowCursor);
    Label1->setFont(WindowStyle::sans(14.25, true));
    WindowStyle::paint(Label1, WindowStyle::kTitleBarBack, WindowStyle::kTitleText);

    Combo1 = named(new QComboBox(this), "Combo1");
    Combo1->setGeometry(twips(120, 480, 1995, 360));
    Combo1->setFont(WindowStyle::sans(9.75));
    Label11 =
        button(this, "Label11", QStringLiteral("+"), QStringLiteral("Gestione Categorie"), twips(2160, 480, 255, 330));
    WindowStyle::button(Label11, WindowStyle::kToolbarButtonText, 14.25);
    List1 = named(new QListWidget(this), "List1");
    List1->setGeometry(twips(120, 840, 2295, 3995));
    List1->setFont(WindowStyle::sans(9.75));
    Text2 = named(new KeyEditor(this), "Text2");
    Text2->setGeometry(twips(2520, 480, 4730, 4395));
    Text2->setFont(WindowStyle::mono(9.75));

    Picture1 = named(new QWidget(this), "Picture1");
    Picture1->setGeometry(twips(120, 4945, 7080, WindowLayout::kToolbarHeight));
    WindowStyle::paint(Picture1, WindowStyle::kWindowBack);
    Label12 = named(new QLabel(QStringLiteral(" 0"), Picture1), "Label12");
    Label12->setGeometry(twips(0, 0, 600, 330));
    Label12->setFont(WindowStyle::sans(14.25, true));
    WindowStyle::paint(Label12, WindowStyle::kCounterBack, WindowStyle::kToolbarButtonText);
    Label8 = toolButton("Label8", QStringLiteral("R"), QStringLiteral("Rename"), 720, 375, 12);
    Label5 = toolButton("Label5", QStringLiteral("-"), QStringLiteral("Delete"), 1200, 375, 14.25);
    Label4 = toolButton("Label4", QStringLiteral("+"), QStringLiteral("Add"), 1680, 615, 14.25);
    Label9 = toolButton("Label9", QStringLiteral("Menù"), QStringLiteral("Menu"), 2400, 1215, 12);
    // Only a grey backing for the "Enabled" box: not a button, so no hand pointer.
    Label10 = named(new QLabel(Picture1), "Label10");
    Label10->setToolTip(QStringLiteral("About us and info"));
    Label10->setGeometry(twips(3720, 0, 1335, 345));
    WindowStyle::button(Label10, WindowStyle::kToolbarButtonText, 14.25);
    Check1 = named(new QCheckBox(QStringLiteral("Enabled"), Picture1), "Check1");
    Check1->setToolTip(QStringLiteral("Enable or Disable functions Insert text automatically"));
    Check1->setChecked(true);
    Check1->setGeometry(twips(3840, 80, 1095, 240));
    Check1->setFont(WindowStyle::sans(9.75));
    WindowStyle::paint(Check1, WindowStyle::kWindowBack);
    Label14 = toolButton("Label14", QStringLiteral("C"), QStringLiteral("Copy text in clipboard"), 5160, 615, 14.25);
    Label6 = toolButton("Label6", QStringLiteral("Save"), QStringLiteral("Save the text"), 5870, 1215, 12);

    Resizepic = button(this, "Resizepic", QString(), QString(),
                       twips(7110, 5190, WindowLayout::kGripWidth, WindowLayout::kGripHeight));
    Resizepic->setCursor(Qt::SizeFDiagCursor);
    Resizepic->setPixmap(WindowStyle::gripPicture());
    Resizepic->setAlignment(Qt::AlignRight | Qt::AlignBottom);

    Text1 = named(new QLineEdit(this), "Text1");
    Text1->hide();
    AAA = named(new QLineEdit(this), "AAA");
    AAA->hide();
    BBB = named(new QLineEdit(this), "BBB");
    BBB->hide();

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(kTriggerIntervalMs);
    OraAggiorna = named(new QTimer(this), "OraAggiorna");
    OraAggiorna->setInterval(kClockIntervalMs);
    Passa = named(new QTimer(this), "Passa");
    Passa->setInterval(kPasteDelayMs);
    Passa->setSingleShot(true);
    CreaCAT = named(new QTimer(this), "CreaCAT");
    CreaCAT->setInterval(kCategoryRebuildMs);
    CreaCAT->setSingleShot(true);

    m_chrome = new WindowChrome({this, Picture100, Label1, Label13, Label3, Resizepic, Text2, List1, Picture1, Label6},
                                *m_platform.effects, *m_platform.clock, this);
}

void MainWindow::wireMenus() {
    m_menus = new TrayMenus(this);
    m_tray = new TrayController({this, List1, Combo1, Check1}, *m_menus, *m_keyList, m_platform,
                                {[this] { m_chrome->Label3_Click(); },
                                 [this] {
                                     m_chrome->showNormalAgain();
                                     m_options->reapply();
                                 }},
                                this);
    m_insertion = new DirectInsertion({Passa, Text2}, m_platform, *m_trigger, this);
    // A window of its own (no parent), so that it opens where this window is hidden in the tray.
    m_picker = new KeyPicker(m_paths, m_platform, *m_insertion, [this] { return m_keyList->currentCategory(); });
    connect(Label7, &LabelButton::clicked, m_tray, &TrayController::Label7_Click);
    connect(Label9, &LabelButton::clicked, m_tray, &TrayController::Label9_Click);
    connect(Label14, &LabelButton::clicked, m_insertion, &DirectInsertion::Label14_Click);
    connect(m_menus, &TrayMenus::keyChosen, this,
            [this](int index) { m_insertion->Keyw_Click(m_menus->Keyw.at(index)->text()); });
    // Queued, so that the paste goes out once the menu has closed and let go of the keyboard.
    connect(
        m_menus->Data3, &QAction::triggered, this, [this] { m_insertion->Data3_Click(m_tray->previousWindow()); },
        Qt::QueuedConnection);
    connect(m_menus->Fine, &QAction::triggered, this, &MainWindow::Fine_Click);
    auto* dates = new DateCommands({Text2, Label6}, *m_platform.clipboard, *m_platform.clock, this);
    connect(m_menus->Data1, &QAction::triggered, dates, &DateCommands::Data1_Click);
    connect(m_menus->Ora, &QAction::triggered, dates, &DateCommands::Ora_Click);
    connect(m_menus->Data2, &QAction::triggered, dates, &DateCommands::Data2_Click);
    auto* web = new WebShortcuts(this, *m_platform.shell, *m_platform.dialogs, this);
    connect(m_menus->Google, &QAction::triggered, web, &WebShortcuts::Google_Click);
    connect(m_menus->Wikipedia, &QAction::triggered, web, &WebShortcuts::Wikipedia_Click);
    connect(m_menus->Aiuto, &QAction::triggered, web, &WebShortcuts::Aiuto_Click);
    m_options =
        new WindowOptions({this, AAA, BBB, m_menus->PrimoPiano, m_menus->Trasparente}, *m_platform.effects, this);
}

void MainWindow::Form_Load() {
    resize(WindowLayout::toPixels(WindowLayout::kMinWidth), WindowLayout::toPixels(WindowLayout::kMinHeight));
    Text1->clear();
    Label1->setText(ClockText::title(m_platform.clock->now()));
    // Whatever was copied before the start is not the user's request to expand it.
    m_platform.clipboard->clear();
    m_keyList->LoadCategories();
    ShowWelcomeText();
}

void MainWindow::ShowWelcomeText() {
    m_keyList->clearKeySelection();
    Text2->setText(QString());
    const QString year = ClockText::date(m_platform.clock->now().date()).right(4);
    for (const QString& line : WelcomeText::lines(year))
        Text2->appendText(line + TextFile::kLineEnd);
    Text2->moveCaretToEnd();
    if (isVisible())
        Text2->setFocus();
}

void MainWindow::Form_Unload(int& cancel) {
    const QString category = m_keyList->currentCategory();
    if (category.isEmpty()) {
        m_platform.dialogs->messageBox(QStringLiteral("Before exiting, select a category"), BoxStyle::Information);
        cancel = -1;
        return;
    }
    // The process ends whether or not the name could be stored: a read-only store or a full disk must not
    // keep the user from quitting. The write itself is atomic, so the old name survives a failure; the
    // user is told, or the next start would open another category without a word.
    if (!CatIni::write(m_paths.catIni(), category))
        m_platform.dialogs->messageBox(QStringLiteral("Error: The current category could not be saved"),
                                       BoxStyle::Critical);
    // Also when leaving from the tray menu: an icon left behind would stay in the tray, dead.
    m_tray->RemoveTrayIcon();
    m_platform.shell->endProcess();
}

void MainWindow::Fine_Click() {
    close();
}

void MainWindow::Label11_Click() {
    // One manager at a time; it hides this window while it is open.
    if (!m_form3)
        m_form3 = new CategoryManager({this, Combo1, CreaCAT}, m_paths, *m_platform.dialogs);
    m_form3->show();
    m_form3->activateWindow();
}

void MainWindow::CreaCAT_Timer() {
    CreaCAT->stop();
    m_keyList->RefreshCategoryList();
}

void MainWindow::bringBack() {
    if (m_tray->inTray()) {
        m_tray->Mostra_Click();
        return;
    }
    if ((windowState() & Qt::WindowMinimized) || !isVisible())
        m_chrome->showNormalAgain();
    m_platform.effects->bringToFront(this);
}

void MainWindow::OraAggiorna_Timer() {
    m_titleClock->OraAggiorna_Timer();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel != 0)
        event->ignore();
    else
        event->accept();
}

void MainWindow::Timer1_Timer() {
    m_trigger->Timer1_Timer();
}

void MainWindow::Check1_Click() {
    m_trigger->Check1_Click();
}
