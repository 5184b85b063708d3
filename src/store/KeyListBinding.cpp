#include "store/KeyListBinding.h"

#include "platform/Dialogs.h"
#include "platform/TextFile.h"
#include "store/CatIni.h"
#include "store/KeyEditor.h"
#include "store/KeyFile.h"
#include "store/NameRules.h"
#include "store/StoreListing.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>

namespace {
const QString kFallbackCategory = QStringLiteral("Generale");
} // namespace

QStringList FileListing::entries() const {
    return StoreListing::keys(m_folder);
}

KeyListBinding::KeyListBinding(Controls controls, StorePaths paths, Dialogs& dialogs, Hooks hooks, QObject* parent)
    : QObject(parent), m_ui(controls), m_paths(std::move(paths)), m_dialogs(dialogs), m_hooks(std::move(hooks)) {
    connect(m_ui.Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    // The selection, not the current row: a mouse press moves the current row before it selects.
    connect(m_ui.List1, &QListWidget::itemSelectionChanged, this, [this] {
        if (!selectedKey().isEmpty())
            List1_Click();
    });
}

QString KeyListBinding::categoryIn(const QComboBox* selector) {
    return selector->currentIndex() < 0 ? QString() : selector->currentText();
}

QString KeyListBinding::selectedKey() const {
    const QList<QListWidgetItem*> selected = m_ui.List1->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

bool KeyListBinding::editorShowsLoadedKey() const {
    return !m_loaded.key.isEmpty() && m_loaded.load == m_ui.Text2->loads();
}

bool KeyListBinding::editorChanged() const {
    return editorShowsLoadedKey() && m_ui.Text2->text() != m_loaded.shown;
}

void KeyListBinding::renameCurrentCategory(const QString& name) {
    const int index = m_ui.Combo1->currentIndex();
    if (index < 0)
        return;
    if (m_loaded.category == currentCategory())
        m_loaded.category = name;
    {
        const QSignalBlocker block(m_ui.Combo1);
        m_ui.Combo1->setItemText(index, name);
    }
    File1.setFolder(m_paths.category(name));
}

void KeyListBinding::clearKeySelection() {
    const QSignalBlocker block(m_ui.List1);
    m_ui.List1->clearSelection();
    m_ui.List1->setCurrentRow(-1, QItemSelectionModel::Clear);
}

void KeyListBinding::selectCategory(int index) {
    {
        const QSignalBlocker block(m_ui.Combo1);
        m_ui.Combo1->setCurrentIndex(index);
    }
    if (index >= 0 && index < m_ui.Combo1->count())
        Combo1_Click();
}

void KeyListBinding::selectKey(int row) {
    if (row < 0 || row >= m_ui.List1->count())
        return;
    {
        const QSignalBlocker block(m_ui.List1);
        m_ui.List1->setCurrentRow(row);
    }
    List1_Click();
}

void KeyListBinding::LoadCategories() {
    const QString stored = TextFile::read(m_paths.catIni()).value_or(QString());

    m_ui.Combo1->clear();
    // A missing store root is made first: the fallback category below must really exist when we say so.
    QDir().mkpath(m_paths.root());
    const QStringList categories = StoreListing::categories(m_paths.root());
    m_ui.Combo1->addItems(categories);
    {
        // A combo box selects its first entry by itself; only the stored name may be selected here.
        const QSignalBlocker block(m_ui.Combo1);
        m_ui.Combo1->setCurrentIndex(-1);
    }

    const QString chosen = CatIni::chooseCategory(stored, categories);
    if (!chosen.isEmpty())
        selectCategory(m_ui.Combo1->findText(chosen, Qt::MatchExactly | Qt::MatchCaseSensitive));

    if (currentCategory().isEmpty()) {
        m_dialogs.messageBox(
            QStringLiteral("Sorry, there is an error. Created the category 'General' to solve the problem."),
            BoxStyle::Information);
        QDir().mkdir(m_paths.category(kFallbackCategory));
        m_ui.Combo1->addItem(kFallbackCategory);
        selectCategory(m_ui.Combo1->findText(kFallbackCategory, Qt::MatchExactly | Qt::MatchCaseSensitive));
        return;
    }
    File1.setFolder(m_paths.category(currentCategory()));
    RefreshKeyList();
}

void KeyListBinding::List1_Click() {
    m_ui.Label6->setEnabled(true);
    m_ui.Text2->setText(QString());
    const QString key = selectedKey();
    if (key.isEmpty())
        return;
    // A file that cannot be read leaves the editor empty; the user sees that the key holds nothing usable.
    std::optional<QString> onDisk = KeyFile::readForEditor(m_paths.keyFile(currentCategory(), key));
    m_ui.Text2->setText(onDisk.value_or(QString()));
    m_loaded = {currentCategory(), key, std::move(onDisk), m_ui.Text2->text(), m_ui.Text2->loads()};
    emit keyLoaded();
    if (!NameRules::isBlank(m_ui.Text2->text())) {
        m_ui.Text2->setFocus();
        m_ui.Text2->moveCaretToEnd();
    }
}

void KeyListBinding::RefreshKeyList() {
    {
        const QSignalBlocker block(m_ui.List1);
        m_ui.List1->clear();
        for (const QString& name : File1.entries()) {
            if (!NameRules::isBlank(name))
                m_ui.List1->addItem(name);
        }
    }
    emit keyListChanged();
    selectKey(ReselectIndex);
    if (m_hooks.switchTriggerOn)
        m_hooks.switchTriggerOn();
}

void KeyListBinding::Combo1_Click() {
    m_ui.Text2->setText(QString());
    // Without a category there is no folder to list: the store root's own files are no keys. A category
    // whose folder has gone lists nothing rather than the keys of the one before.
    const QString category = currentCategory();
    File1.setFolder(category.isEmpty() ? QString() : m_paths.category(category));
    // The old list would only load a key of the old category under the new folder, text the refresh
    // replaces at once; the list just takes the focus here.
    if (m_ui.List1->count() > 0)
        m_ui.List1->setFocus();
    RefreshKeyList();
    if (m_ui.List1->count() == 0 && m_hooks.showWelcomeText)
        m_hooks.showWelcomeText();
}

void KeyListBinding::RefreshCategoryList() {
    m_ui.Combo1->clear();
    m_ui.Combo1->addItems(StoreListing::categories(m_paths.root()));
    // Whatever was current before, the first category of the rebuilt list becomes current.
    selectCategory(0);
    m_ui.List1->clear();
    // With no category left there is no folder to list: the store root's own files are no keys.
    const QString category = currentCategory();
    File1.setFolder(category.isEmpty() ? QString() : m_paths.category(category));
    RefreshKeyList();
    // Nothing is left of the keys that the editor may still show from a category that is gone.
    if (category.isEmpty() && m_hooks.showWelcomeText)
        m_hooks.showWelcomeText();
}
