#include "app/MainWindow.h"

#include "app/WelcomeText.h"
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

int px(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }
QRect rectTwips(int left, int top, int width, int height) { return {px(left), px(top), px(width), px(height)}; }
} // namespace

MainWindow::MainWindow(Platform& platform, const StorePaths& paths, QWidget* parent)
    : QWidget(parent), m_platform(platform), m_paths(paths) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kAppTitle);
    buildControls();
    m_keyList = new KeyListBinding({List1, Combo1, Text2, Label6}, m_paths, *m_platform.dialogs,
                                   {[this] { ShowWelcomeText(); }, [this] { Timer1->start(); }}, this);
    connect(Label2, &LabelButton::clicked, this, &QWidget::close);
    connect(Timer1, &QTimer::timeout, this, &MainWindow::Timer1_Timer);
    Form_Load();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls() {
    Label2 = new LabelButton(QStringLiteral("X"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setToolTip(QStringLiteral("Quit"));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setGeometry(rectTwips(0, 0, 375, 375));

    Label1 = new QLabel(QStringLiteral(" Wordwisp"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(rectTwips(1560, 0, 4000, 330));

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(rectTwips(120, 480, 1995, 360));

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(rectTwips(120, 840, 2295, 3995));

    Text2 = new KeyEditor(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setGeometry(rectTwips(2520, 480, 4730, 4395));

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->hide();

    Check1 = new QCheckBox(QStringLiteral("Enabled"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setToolTip(QStringLiteral("Enable or Disable functions Insert text automatically"));
    Check1->setChecked(true);
    Check1->setGeometry(rectTwips(120 + 3840, 4945 + 80, 1095, 240));

    Label6 = new LabelButton(QStringLiteral("Save"), this);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setToolTip(QStringLiteral("Save the text"));
    Label6->setAlignment(Qt::AlignCenter);
    Label6->setGeometry(rectTwips(120 + 5870, 4945, 1215, 345));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTriggerIntervalMs);
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

void MainWindow::Fine_Click() { close(); }

void MainWindow::closeEvent(QCloseEvent* event) {
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel != 0)
        event->ignore();
    else
        event->accept();
}

void MainWindow::Timer1_Timer() {
    // The clipboard trigger hooks in here.
}
