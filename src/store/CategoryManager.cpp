#include "store/CategoryManager.h"

#include "platform/Dialogs.h"
#include "platform/FileRename.h"
#include "platform/LabelButton.h"
#include "platform/Twips.h"
#include "store/KeyListBinding.h"
#include "store/NameRules.h"
#include "store/StoreFiles.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTimer>

namespace {
constexpr int kClientWidthTwips = 3990;
constexpr int kClientHeightTwips = 2535;
constexpr int kEscape = 27;

int px(int twips) {
    return Twips::toPixels(twips);
}
QRect rectTwips(int left, int top, int width, int height) {
    return Twips::toPixels(Twips::Rect{left, top, width, height});
}

const QString kCreateRefused =
    QStringLiteral("Error: The category already exists, or you have used invalid characters such as \\ / : ?");
const QString kNoCategory = QStringLiteral("Error: There is no current category");
const QString kButtonStyle = QStringLiteral("background-color: #808080; color: #404040; font: bold 12pt \"Arial\";");
} // namespace

CategoryManager::CategoryManager(MainControls main, StorePaths paths, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_main(main), m_paths(std::move(paths)), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Gestione Categorie"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Every key pressed in the window comes here first, whatever label is under the mouse.
    setFocusPolicy(Qt::StrongFocus);
    buildControls();
    connect(Label9, &LabelButton::clicked, this, &CategoryManager::Label9_Click);
    connect(Label1, &LabelButton::clicked, this, &CategoryManager::Label1_Click);
    connect(Label2, &LabelButton::clicked, this, &CategoryManager::Label2_Click);
    Form_Load();
}

void CategoryManager::buildControls() {
    setFixedSize(px(kClientWidthTwips), px(kClientHeightTwips));
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("#Form3 { background-color: #F2F2F2; }"));

    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(rectTwips(0, 0, 3975, 2535));
    Picture1->setStyleSheet(QStringLiteral("#Picture1 { background-color: #FFFFFF; }"));
    Picture1->setAttribute(Qt::WA_StyledBackground);

    Label3 = new QLabel(QStringLiteral("Categoria Corrente:"), Picture1);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(rectTwips(120, 120, 2265, 285));
    Label3->setStyleSheet(QStringLiteral("color: #000080; font: bold 12pt \"Arial\";"));

    Label4 = new QLabel(QStringLiteral("Cat"), Picture1);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(rectTwips(120, 480, 390, 285));
    Label4->setStyleSheet(QStringLiteral("color: #C00000; font: bold 12pt \"Arial\";"));

    const auto button = [this](const char* name, const QString& caption, int top) {
        auto* label = new LabelButton(caption, Picture1);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(rectTwips(120, top, 3675, 345));
        label->setAlignment(Qt::AlignCenter);
        label->setStyleSheet(kButtonStyle);
        return label;
    };
    Label1 = button("Label1", QStringLiteral("Delete the current category"), 840);
    Label2 = button("Label2", QStringLiteral("Rename the current category"), 1320);
    Label9 = button("Label9", QStringLiteral("Create new category"), 1800);
}

void CategoryManager::Form_Load() {
    const QString current = KeyListBinding::categoryIn(m_main.Combo1);
    Label4->setText(current);
    // The name may be longer than the design width; it grows to the right across the white panel.
    Label4->setMinimumWidth(0);
    Label4->resize(std::max(Label4->sizeHint().width(), px(390)), Label4->height());
    // Over the spot the main window leaves while it is away.
    const QRect mainFrame = m_main.Form1->frameGeometry();
    move(mainFrame.center() - QPoint(width() / 2, height() / 2));
    m_main.Form1->hide();
}

void CategoryManager::Form_Unload() {
    m_main.Form1->show();
}

void CategoryManager::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void CategoryManager::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        Form_KeyPress(kEscape);
    else if (!event->text().isEmpty())
        Form_KeyPress(event->text().at(0).unicode());
    else
        QWidget::keyPressEvent(event);
}

void CategoryManager::Form_KeyPress(int keyAscii) {
    if (keyAscii == kEscape)
        close();
}

QString CategoryManager::workingCategory() const {
    const QString name = Label4->text();
    // An empty name or "." would name the store root itself, ".." the application folder: neither may
    // ever be deleted or renamed from here. Other odd names of folders made outside the program are
    // still categories and can be tidied up here.
    const bool escapes =
        name == QStringLiteral(".") || name == QStringLiteral("..") || name.contains(u'/') || name.contains(u'\\');
    return escapes ? QString() : name;
}

void CategoryManager::requestRebuild() {
    m_main.CreaCAT->start();
}

void CategoryManager::Label9_Click() {
    const QString name =
        m_dialogs.inputBox(QStringLiteral("Add a new category"), QStringLiteral("Create new category"));
    if (name.isEmpty())
        return;
    // mkdir, not mkpath: a missing store root is reported, not silently made again somewhere.
    if (!NameRules::isAcceptable(name) || !QDir().mkdir(m_paths.category(name))) {
        m_dialogs.messageBox(kCreateRefused, BoxStyle::Critical);
        return;
    }
    requestRebuild();
    m_dialogs.messageBox(QStringLiteral("The category ") + name + QStringLiteral(" was created successfully"),
                         BoxStyle::Information);
    close();
}

void CategoryManager::Label1_Click() {
    const QString name = workingCategory();
    if (name.isEmpty()) {
        m_dialogs.messageBox(kNoCategory, BoxStyle::Critical);
        return;
    }
    const int answer = m_dialogs.messageBox(QStringLiteral("Do you want to delete the category ") + name +
                                                QStringLiteral(" permanently? (All keys will be cleared)"),
                                            BoxStyle::YesNoQuestion, QStringLiteral("Delete a category"));
    if (answer != BoxAnswer::Yes)
        return;
    bool keysRemoved = false;
    if (!StoreFiles::removeCategory(m_paths.category(name), keysRemoved)) {
        // Keys that did go are gone from the main window's list too once it is rebuilt.
        if (keysRemoved)
            requestRebuild();
        m_dialogs.messageBox(QStringLiteral("Error: The category ") + name + QStringLiteral(" could not be removed"),
                             BoxStyle::Critical);
        return;
    }
    requestRebuild();
    m_dialogs.messageBox(QStringLiteral("The category ") + name + QStringLiteral(" has been removed successfully"),
                         BoxStyle::Information);
    close();
}

void CategoryManager::Label2_Click() {
    const QString name = workingCategory();
    if (name.isEmpty()) {
        m_dialogs.messageBox(kNoCategory, BoxStyle::Critical);
        return;
    }
    const QString newName =
        m_dialogs.inputBox(QStringLiteral("Enter a new name"), QStringLiteral("Rename a category"), name);
    if (newName.isEmpty())
        return;
    // Never onto another category: on Linux a rename onto an empty folder would quietly replace it.
    if (!NameRules::isAcceptable(newName)) {
        m_dialogs.messageBox(kCreateRefused, BoxStyle::Critical);
        return;
    }
    const QString folder = m_paths.category(name);
    // Only a real category folder is renamed; a file that has taken its name stays as it is.
    const QFileInfo info(folder);
    const FileRename::Result result = info.isDir() && !info.isSymLink()
                                          ? FileRename::renameNoReplace(folder, m_paths.category(newName))
                                          : FileRename::Result::Failed;
    if (result == FileRename::Result::TargetExists) {
        m_dialogs.messageBox(kCreateRefused, BoxStyle::Critical);
        return;
    }
    if (result != FileRename::Result::Done) {
        m_dialogs.messageBox(QStringLiteral("Error: The category ") + name + QStringLiteral(" could not be renamed"),
                             BoxStyle::Critical);
        return;
    }
    requestRebuild();
    m_dialogs.messageBox(QStringLiteral("The category ") + name + QStringLiteral(" has been renamed in ") + newName,
                         BoxStyle::Information);
    close();
}
