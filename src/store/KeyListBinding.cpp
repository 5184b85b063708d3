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
    // The category switch lists the folder that the refresh below lists again a moment later, with the
    // same result: the names are kept for it rather than read twice.
    m_keepListing = true;
    if (!chosen.isEmpty())
        selectCategory(m_ui.Combo1->findText(chosen, Qt::MatchExactly | Qt::MatchCaseSensitive));
    m_keepListing = false;

    if (currentCategory().isEmpty()) {
        m_dialogs.messageBox(
            QStringLiteral("Sorry, there is an error. Created the category 'General' to solve the problem."),
            BoxStyle::Information);
        QDir().mkdir(m_paths.category(kFallbackCategory));
        m_ui.Combo1->addItem(kFallbackCategory);
        m_justListed.reset();
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

bool KeyListBinding::listShows(const QStringList& names) const {
    if (m_ui.List1->count() != names.size())
        return false;
    for (int row = 0; row < names.size(); ++row) {
        if (m_ui.List1->item(row)->text() != names.at(row))
            return false;
    }
    return true;
}

void KeyListBinding::RefreshKeyList() {
    QStringList names;
    if (m_justListed && m_justListed->folder == File1.folder())
        names = std::move(m_justListed->names);
    else {
        names = File1.entries();
        names.removeIf([](const QString& name) { return NameRules::isBlank(name); });
    }
    m_justListed.reset();
    if (m_keepListing)
        m_justListed = JustListed{File1.folder(), names};

    {
        const QSignalBlocker block(m_ui.List1);
        if (listShows(names)) {
            // The same entries again (the start-up lists its category twice): the rows stay, and only
            // the selection starts afresh, as after a rebuild.
            m_ui.List1->clearSelection();
            m_ui.List1->setCurrentRow(-1, QItemSelectionModel::Clear);
        } else {
            m_ui.List1->clear();
            // Every row is one line of the same font; measuring each of a hundred thousand names only to
            // size the rows would cost most of the start-up. Short lists keep exact widths (a long name
            // scrolls sideways); long ones take the row size of their last entry.
            m_ui.List1->setUniformItemSizes(names.size() > kExactRowSizesUpTo);
            // In one go: the list and whoever follows its model (the trigger's index) hear one insertion.
            m_ui.List1->addItems(names);
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
