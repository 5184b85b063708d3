#include "store/KeyEditing.h"

#include "platform/Dialogs.h"
#include "platform/FileRename.h"
#include "platform/TextFile.h"
#include "store/KeyEditor.h"
#include "store/KeyFile.h"
#include "store/KeyListBinding.h"
#include "store/NameRules.h"
#include "store/StoreFiles.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>

#include <algorithm>

namespace {
const QString kSelectToSave = QStringLiteral("To save a select key on the left");
const QString kSelectKeyword = QStringLiteral("Select a Keyword");
const QString kSaved = QStringLiteral("Salvato!");
const QString kKeyInUse = QStringLiteral("This key is already in use");
const QString kKeyRefused =
    QStringLiteral("Error: The Key is already present, or you have used invalid characters such as \\ / : ?");
const QString kNoCategory = QStringLiteral("Error: Create or select a category first");
const QString kSaveTitle = QStringLiteral("Save a Key");
} // namespace

KeyEditing::KeyEditing(KeyListBinding& binding, Controls controls, Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_binding(binding), m_ui(controls), m_dialogs(dialogs) {}

QString KeyEditing::keyPath(const QString& key) const {
    return m_binding.paths().keyFile(m_binding.currentCategory(), key);
}

void KeyEditing::reportFailure(const QString& text) {
    m_dialogs.messageBox(text, BoxStyle::Critical);
}

bool KeyEditing::mayOverwrite(const QString& key) {
    const KeyListBinding::LoadedKey& loaded = m_binding.loadedKey();
    if (!m_binding.editorShowsLoadedKey() || loaded.key != key || loaded.category != m_binding.currentCategory())
        return true;
    const std::optional<QString> now = KeyFile::readForEditor(keyPath(key));
    if (now == loaded.onDisk)
        return true;
    // Another program wrote or removed the file since it was loaded: the user decides which text wins.
    const QString question =
        now ? QStringLiteral("The key ") + key +
                  QStringLiteral(" was changed by another program since you opened it. Do you want to overwrite it? ")
            : QStringLiteral("The key ") + key +
                  QStringLiteral(" was deleted or renamed by another program. Do you want to save it again? ");
    return m_dialogs.messageBox(question, BoxStyle::YesNoQuestion, kSaveTitle) == BoxAnswer::Yes;
}

void KeyEditing::Label6_Click() {
    QString key = m_binding.selectedKey();
    // A key deleted outside the program while the user was changing its text has left the list, but the
    // text is still in the editor: saving it is the user's way to keep it.
    const KeyListBinding::LoadedKey& loaded = m_binding.loadedKey();
    const bool orphan = key.isEmpty() && m_binding.editorChanged() && loaded.category == m_binding.currentCategory() &&
                        !QFileInfo::exists(keyPath(loaded.key));
    if (orphan)
        key = loaded.key;
    if (key.isEmpty()) {
        m_dialogs.messageBox(kSelectToSave, BoxStyle::Information);
        return;
    }
    if (!mayOverwrite(key))
        return;
    // Written through a temporary file: a full disk or a crash leaves the old text, never half of it.
    if (!TextFile::writeAtomic(keyPath(key), KeyFile::saveFormat(m_ui.Text2->text()))) {
        // The editor keeps the unsaved text, so the user can copy it or try again.
        reportFailure(QStringLiteral("Error: The key ") + key + QStringLiteral(" could not be saved"));
        return;
    }
    if (orphan) {
        // Back in the list, at its end as an added key is, and selected, so that the reload shows it.
        m_ui.List1->addItem(key);
        emit m_binding.keyListChanged();
        const QSignalBlocker block(m_ui.List1);
        m_ui.List1->setCurrentRow(m_ui.List1->count() - 1);
    }
    m_dialogs.messageBox(kSaved, BoxStyle::Information);
    m_ui.List1->setFocus();
    // Reloading shows exactly what is now on disk.
    m_binding.List1_Click();
}

void KeyEditing::Label4_Click() {
    m_ui.Label6->setEnabled(true);
    // Without a category the new file would land in the store root, among files that are no keys.
    if (m_binding.currentCategory().isEmpty()) {
        reportFailure(kNoCategory);
        return;
    }
    QString name;
    for (;;) {
        name = m_dialogs.inputBox(QStringLiteral("Add a new Key"), QStringLiteral("Create a new key"));
        if (name.isEmpty())
            return;
        // As the store's home platform sees it: memo and Memo would be one file there.
        if (!NameRules::clashes(name, m_binding.File1.entries()))
            break;
        m_dialogs.messageBox(kKeyInUse, BoxStyle::Information);
    }
    if (!NameRules::isAcceptable(name) || !StoreFiles::createEmptyKey(keyPath(name))) {
        reportFailure(kKeyRefused);
        return;
    }
    // Only now that the key exists does the editor give up its text for the new, empty key.
    m_ui.Text2->setText(QString());
    // The list is not rebuilt: the new key goes to the end until the next refresh sorts it in.
    m_ui.List1->addItem(name);
    emit m_binding.keyListChanged();
    m_binding.selectKey(m_ui.List1->count() - 1);
}

void KeyEditing::Label5_Click() {
    const QString key = m_binding.selectedKey();
    if (key.isEmpty()) {
        m_dialogs.messageBox(kSelectKeyword, BoxStyle::Information);
        return;
    }
    // Remembered before asking: a declined delete still moves the row the next refresh selects.
    m_binding.ReselectIndex = m_ui.List1->currentRow();
    const int answer =
        m_dialogs.messageBox(QStringLiteral("Do you want to delete the Key ") + key + QStringLiteral("? "),
                             BoxStyle::YesNoQuestion, QStringLiteral("Delete a Key"));
    if (answer != BoxAnswer::Yes)
        return;
    const bool removed = StoreFiles::removeKey(keyPath(key));
    m_ui.Text2->setText(QString());
    m_binding.ReselectIndex = std::max(m_binding.ReselectIndex - 1, 0);
    m_binding.RefreshKeyList();
    if (!removed)
        reportFailure(QStringLiteral("Error: The key ") + key + QStringLiteral(" could not be deleted"));
}

void KeyEditing::Label8_Click() {
    const QString key = m_binding.selectedKey();
    if (key.isEmpty()) {
        m_dialogs.messageBox(kSelectKeyword, BoxStyle::Information);
        return;
    }
    const QString name =
        m_dialogs.inputBox(QStringLiteral("Inserisci un nuovo valore"), QStringLiteral("Rename a Key"), key);
    if (name.isEmpty())
        return;
    // Refused before anything changes: the editor keeps its text and neither key file is touched. Another
    // letter case of the key's own name is no clash.
    if (!NameRules::isAcceptable(name) || NameRules::clashes(name, m_binding.File1.entries(), key)) {
        reportFailure(kKeyRefused);
        return;
    }
    m_ui.Text2->setText(QString());
    const QString from = keyPath(key);
    // Only a key file is renamed; a folder that has taken its place stays where it is.
    const bool isKey = QFileInfo(from).isFile() && !QFileInfo(from).isSymLink();
    const FileRename::Result result =
        isKey ? FileRename::renameNoReplace(from, keyPath(name)) : FileRename::Result::Failed;
    m_binding.RefreshKeyList();
    if (result == FileRename::Result::TargetExists)
        reportFailure(kKeyRefused);
    else if (result != FileRename::Result::Done)
        reportFailure(QStringLiteral("Error: The key ") + key + QStringLiteral(" could not be renamed"));
}
