#include "app/MainWindow.h"

#include "app/WelcomeText.h"
#include "expand/ClipboardTrigger.h"
#include "platform/ClockText.h"
#include "platform/LabelButton.h"
#include "platform/Platform.h"
#include "platform/TextFile.h"
#include "store/CatIni.h"
#include "store/KeyEditor.h"
#include "store/KeyListBinding.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

namespace {
constexpr int kTwipsPerPixel = 15;
constexpr int kStartWidthTwips = 7380;
constexpr int kStartHeightTwips = 5445;
constexpr int kTriggerIntervalMs = 10;
constexpr int kClockIntervalMs = 1000;
constexpr int kPasteDelayMs = 1000;
constexpr int kCategoryRebuildMs = 1;

int px(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}
QRect rectTwips(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}
} // namespace

MainWindow::MainWindow(Platform& platform, const StorePaths& paths, QWidget* parent)
    : QWidget(parent), m_platform(platform), m_paths(paths) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kAppTitle);
    buildControls();
    m_keyList = new KeyListBinding({List1, Combo1, Text2, Label6}, m_paths, *m_platform.dialogs,
                                   {[this] { ShowWelcomeText(); }, [this] { m_trigger->switchOn(); }}, this);
    m_trigger = new ClipboardTrigger({List1, Combo1, Text1, Check1, Timer1}, m_platform, m_paths, this);
    connect(Label2, &LabelButton::clicked, this, &QWidget::close);
    connect(Timer1, &QTimer::timeout, this, &MainWindow::Timer1_Timer);
    // toggled fires once for every change of the value, whether the user clicked or code set it.
    connect(Check1, &QCheckBox::toggled, this, &MainWindow::Check1_Click);
    Form_Load();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls() {
    // Every control at its design position; the chrome and the resize rules refine this.
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

    Picture100 = named(new QWidget(this), "Picture100");
    Picture100->setGeometry(rectTwips(0, 0, kStartWidthTwips, 375));
    Label2 = button(Picture100, "Label2", QStringLiteral("X"), QStringLiteral("Quit"), rectTwips(0, 0, 375, 375));
    Label13 = button(Picture100, "Label13", QStringLiteral("[]"), QStringLiteral("Full Screen / Normal"),
                     rectTwips(360, 0, 375, 375));
    Label3 = button(Picture100, "Label3", QStringLiteral("-"), QStringLiteral("For Icon"), rectTwips(720, 0, 375, 375));
    Label7 = button(Picture100, "Label7", QStringLiteral("*"), QStringLiteral("In the Tray Bar"),
                    rectTwips(1080, 0, 375, 375));
    Label1 = button(Picture100, "Label1", QStringLiteral(" Wordwisp"), QString(), rectTwips(1560, 0, 2055, 330));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label1->setCursor(Qt::ArrowCursor);

    Combo1 = named(new QComboBox(this), "Combo1");
    Combo1->setGeometry(rectTwips(120, 480, 1995, 360));
    Label11 = button(this, "Label11", QStringLiteral("+"), QStringLiteral("Gestione Categorie"),
                     rectTwips(2160, 480, 255, 330));
    List1 = named(new QListWidget(this), "List1");
    List1->setGeometry(rectTwips(120, 840, 2295, 3995));
    Text2 = named(new KeyEditor(this), "Text2");
    Text2->setGeometry(rectTwips(2520, 480, 4730, 4395));

    Picture1 = named(new QWidget(this), "Picture1");
    Picture1->setGeometry(rectTwips(120, 4945, 7080, 375));
    Label12 = named(new QLabel(QStringLiteral(" 0"), Picture1), "Label12");
    Label12->setGeometry(rectTwips(0, 0, 600, 330));
    Label8 = button(Picture1, "Label8", QStringLiteral("R"), QStringLiteral("Rename"), rectTwips(720, 0, 375, 345));
    Label5 = button(Picture1, "Label5", QStringLiteral("-"), QStringLiteral("Delete"), rectTwips(1200, 0, 375, 345));
    Label4 = button(Picture1, "Label4", QStringLiteral("+"), QStringLiteral("Add"), rectTwips(1680, 0, 615, 345));
    Label9 = button(Picture1, "Label9", QStringLiteral("Menù"), QString(), rectTwips(2400, 0, 1215, 345));
    Label10 = named(new QLabel(Picture1), "Label10");
    Label10->setToolTip(QStringLiteral("About us and info"));
    Label10->setGeometry(rectTwips(3720, 0, 1335, 345));
    Check1 = named(new QCheckBox(QStringLiteral("Enabled"), Picture1), "Check1");
    Check1->setToolTip(QStringLiteral("Enable or Disable functions Insert text automatically"));
    Check1->setChecked(true);
    Check1->setGeometry(rectTwips(3840, 80, 1095, 240));
    Label14 = button(Picture1, "Label14", QStringLiteral("C"), QStringLiteral("Copy text in clipboard"),
                     rectTwips(5160, 0, 615, 345));
    Label6 = button(Picture1, "Label6", QStringLiteral("Save"), QStringLiteral("Save the text"),
                    rectTwips(5870, 0, 1215, 345));

    Resizepic = button(this, "Resizepic", QString(), QString(), rectTwips(7110, 5190, 270, 255));
    Resizepic->setCursor(Qt::SizeFDiagCursor);

    Text1 = named(new QLineEdit(this), "Text1");
    Text1->hide();

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
}

void MainWindow::Form_Load() {
    resize(px(kStartWidthTwips), px(kStartHeightTwips));
    Text1->clear();
    Label1->setText(ClockText::title(m_platform.clock->now()));
    // Whatever was copied before the start is not the user's request to expand it.
    m_platform.clipboard->clear();
    m_keyList->LoadCategories();
    ShowWelcomeText();
}

void MainWindow::ShowWelcomeText() {
    List1->setCurrentRow(-1, QItemSelectionModel::Clear);
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
    // The process ends whether or not the name could be stored: a read-only store must not keep the
    // user from quitting. The write itself is atomic, so the old name survives a failure.
    CatIni::write(m_paths.catIni(), category);
    m_platform.shell->endProcess();
}

void MainWindow::Fine_Click() {
    close();
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
