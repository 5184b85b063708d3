#include "store/LiveStore.h"

#include "store/KeyEditor.h"
#include "store/KeyFile.h"
#include "store/KeyListBinding.h"
#include "store/NameRules.h"
#include "store/StoreListing.h"
#include "store/StoreWatcher.h"

#include <QComboBox>
#include <QFileInfo>
#include <QListWidget>
#include <QSet>
#include <QSignalBlocker>

#include <algorithm>
#include <utility>

namespace {
struct Merged {
    QStringList removed;
    QStringList added;
    bool any() const { return !removed.isEmpty() || !added.isEmpty(); }
};

// The merge below for entries shown in the store's order, as they nearly always are (only Add puts an
// entry at the end): one walk along both lists instead of a set of each, which is what keeps an outside
// change cheap in a category of a hundred thousand keys. The outcome is the same.
template <typename Remove, typename Insert>
void mergeSorted(const QStringList& shown, const QStringList& onDisk, const QString& keep, Remove remove, Insert insert,
                 Merged& merged) {
    QList<int> gone;
    for (qsizetype i = 0, j = 0; i < shown.size();) {
        if (j < onDisk.size() && shown.at(i) == onDisk.at(j)) {
            ++i;
            ++j;
        } else if (j < onDisk.size() && StoreListing::comesBefore(onDisk.at(j), shown.at(i))) {
            ++j;
        } else {
            if (keep.isEmpty() || shown.at(i) != keep)
                gone.append(int(i));
            ++i;
        }
    }
    for (auto it = gone.crbegin(); it != gone.crend(); ++it) {
        merged.removed.append(shown.at(*it));
        remove(*it);
    }
    // What stays, without taking entries out one by one: each would move the rest of the list.
    QStringList kept;
    kept.reserve(shown.size() - gone.size());
    for (qsizetype i = 0, g = 0; i < shown.size(); ++i) {
        if (g < gone.size() && gone.at(g) == i)
            ++g;
        else
            kept.append(shown.at(i));
    }
    // New names go in before the first kept entry they sort before; the entries inserted so far all
    // stand before that one, which gives the row.
    qsizetype pos = 0;
    int inserted = 0;
    for (const QString& name : onDisk) {
        while (pos < kept.size() && StoreListing::comesBefore(kept.at(pos), name))
            ++pos;
        if (pos < kept.size() && kept.at(pos) == name) {
            ++pos;
            continue;
        }
        insert(int(pos) + inserted, name);
        ++inserted;
        merged.added.append(name);
    }
}

// Makes the entries shown (count and text) hold the names on disk (in the store's order): entries that
// went are removed, new names inserted before the first entry they sort before; the rest keep their
// place, including an entry that Add put at the end. The entry `keep` is never removed.
template <typename Text, typename Remove, typename Insert>
Merged merge(int count, Text text, const QStringList& onDisk, const QString& keep, Remove remove, Insert insert) {
    const QSet<QString> wanted(onDisk.begin(), onDisk.end());
    QStringList shown;
    shown.reserve(count);
    for (int i = 0; i < count; ++i)
        shown.append(text(i));
    Merged merged;
    if (std::is_sorted(shown.begin(), shown.end(), &StoreListing::comesBefore)) {
        mergeSorted(shown, onDisk, keep, remove, insert, merged);
        return merged;
    }
    for (int i = count - 1; i >= 0; --i) {
        if (wanted.contains(shown.at(i)) || (!keep.isEmpty() && shown.at(i) == keep))
            continue;
        merged.removed.append(shown.at(i));
        remove(i);
        shown.removeAt(i);
    }
    const QSet<QString> present(shown.begin(), shown.end());
    // The names on disk come sorted, so each new one goes no earlier than the one before it.
    int pos = 0;
    for (const QString& name : onDisk) {
        if (present.contains(name))
            continue;
        while (pos < shown.size() && !StoreListing::comesBefore(name, shown.at(pos)))
            ++pos;
        insert(pos, name);
        shown.insert(pos, name);
        merged.added.append(name);
        ++pos;
    }
    return merged;
}
} // namespace

LiveStore::LiveStore(KeyListBinding& binding, Controls controls, Hooks hooks, QObject* parent)
    : QObject(parent), m_binding(binding), m_ui(controls), m_hooks(std::move(hooks)),
      m_watcher(new StoreWatcher(binding.paths().root(), this)) {
    connect(m_watcher, &StoreWatcher::settled, this, &LiveStore::followStore);
    // Whatever changes the current category or the open key moves the watches with it.
    connect(&m_binding, &KeyListBinding::keyListChanged, this, &LiveStore::rewatch);
    connect(&m_binding, &KeyListBinding::keyLoaded, this, &LiveStore::rewatch);
}

void LiveStore::rewatch() {
    const QString category = m_binding.currentCategory();
    const QString key = m_binding.selectedKey();
    const StorePaths& paths = m_binding.paths();
    m_watcher->follow(category.isEmpty() ? QString() : paths.category(category),
                      category.isEmpty() || key.isEmpty() ? QString() : paths.keyFile(category, key));
}

void LiveStore::followStore(bool categories, bool keys) {
    // The fall-back may show a box, whose event loop can deliver the next burst: it runs afterwards.
    if (m_following) {
        m_againCategories |= categories;
        m_againKeys |= keys;
        return;
    }
    // A store root that has gone as a whole is more likely a drive or a synced folder away for a moment
    // than the user's wish: nothing is made in its place, and the lists stay as they were.
    if (!QFileInfo(m_binding.paths().root()).isDir())
        return;
    m_following = true;
    do {
        m_againCategories = m_againKeys = false;
        if (m_hooks.quietTrigger)
            m_hooks.quietTrigger(true);
        bool listed = categories && followCategories();
        if (keys || listed) {
            listed = followKeys() || listed;
            followOpenKeyText();
        }
        if (m_hooks.quietTrigger)
            m_hooks.quietTrigger(false);
        if (listed)
            emit listsChanged();
        categories = m_againCategories;
        keys = m_againKeys;
    } while (categories || keys);
    m_following = false;
    rewatch();
}

bool LiveStore::followCategories() {
    const QString current = m_binding.currentCategory();
    const StorePaths& paths = m_binding.paths();
    const QStringList onDisk = StoreListing::categories(paths.root());
    if (!current.isEmpty() && !QFileInfo(paths.category(current)).isDir()) {
        const QString renamed = renamedCategory(onDisk);
        if (renamed.isEmpty()) {
            fallBack();
            return true;
        }
        m_binding.renameCurrentCategory(renamed);
        followCategories();
        return true;
    }
    QComboBox* box = m_ui.Combo1;
    const QSignalBlocker block(box);
    const Merged merged = merge(
        box->count(), [box](int i) { return box->itemText(i); }, onDisk, current, [box](int i) { box->removeItem(i); },
        [box](int i, const QString& name) { box->insertItem(i, name); });
    // A selector that was empty selects its first new entry by itself; no category was chosen.
    if (current.isEmpty())
        box->setCurrentIndex(-1);
    return merged.any();
}

QString LiveStore::renamedCategory(const QStringList& onDisk) const {
    // A category renamed outside is one folder gone and one new; it stays current under its new name.
    // Where several are new at once, the one holding the same keys is taken, if only one does. Anything
    // less certain falls back as at start-up.
    QStringList added;
    for (const QString& name : onDisk) {
        if (m_ui.Combo1->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
            added.append(name);
    }
    if (added.size() <= 1)
        return added.isEmpty() ? QString() : added.first();
    QStringList listed;
    for (int row = 0; row < m_ui.List1->count(); ++row)
        listed.append(m_ui.List1->item(row)->text());
    StoreListing::sortNames(listed);
    QString renamed;
    for (const QString& name : std::as_const(added)) {
        QStringList keys;
        for (const QString& key : StoreListing::keys(m_binding.paths().category(name))) {
            if (!NameRules::isBlank(key))
                keys.append(key);
        }
        if (keys != listed)
            continue;
        if (!renamed.isEmpty())
            return QString();
        renamed = name;
    }
    return renamed;
}

void LiveStore::fallBack() {
    // As at start-up: the category that Cat.ini names, failing that 'Generale', made and announced.
    // Text the user had not saved stays in the editor, though no key is selected for it any more.
    const bool keepText = m_binding.editorChanged();
    const QString text = m_ui.Text2->text();
    m_binding.LoadCategories();
    if (keepText) {
        m_binding.clearKeySelection();
        m_ui.Text2->setText(text);
    }
}

bool LiveStore::followKeys() {
    const QString category = m_binding.currentCategory();
    if (category.isEmpty())
        return false;
    QStringList onDisk;
    for (const QString& name : m_binding.File1.entries()) {
        if (!NameRules::isBlank(name))
            onDisk.append(name);
    }
    const QString selected = m_binding.selectedKey();
    const int selectedRow = m_ui.List1->currentRow();
    const KeyListBinding::LoadedKey& loaded = m_binding.loadedKey();
    const bool open = !selected.isEmpty() && m_binding.editorShowsLoadedKey() && loaded.category == category &&
                      loaded.key == selected;
    const bool edited = open && m_binding.editorChanged();

    QListWidget* list = m_ui.List1;
    Merged merged;
    {
        const QSignalBlocker block(list);
        merged = merge(
            list->count(), [list](int i) { return list->item(i)->text(); }, onDisk, QString(),
            [list](int i) { delete list->takeItem(i); },
            [list](int i, const QString& name) { list->insertItem(i, name); });
    }
    if (!merged.any())
        return false;
    // A list that grew past the bound from outside stops measuring every row, as a refresh would.
    list->setUniformItemSizes(list->count() > KeyListBinding::kExactRowSizesUpTo);

    if (!selected.isEmpty() && merged.removed.contains(selected)) {
        // A key renamed outside shows up as one key gone and one new with the same text.
        QString renamed;
        if (open && loaded.onDisk) {
            for (const QString& name : std::as_const(merged.added)) {
                if (KeyFile::readForEditor(m_binding.paths().keyFile(category, name)) != loaded.onDisk)
                    continue;
                if (!renamed.isEmpty()) {
                    renamed.clear();
                    break;
                }
                renamed = name;
            }
        }
        const QList<QListWidgetItem*> found = renamed.isEmpty()
                                                  ? QList<QListWidgetItem*>()
                                                  : list->findItems(renamed, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (!found.isEmpty() && edited) {
            // The user's text stays; a save now goes to the key's new name.
            const QSignalBlocker block(list);
            list->setCurrentItem(found.first());
            m_binding.renameLoadedKey(renamed);
        } else if (!found.isEmpty()) {
            m_binding.selectKey(list->row(found.first()));
        } else if (edited) {
            // Deleted: the user's text stays, and a save offers to write the key again.
            m_binding.clearKeySelection();
        } else if (list->count() > 0) {
            // As after a deletion in the window: the key that stood above it.
            m_binding.selectKey(std::clamp(selectedRow - 1, 0, list->count() - 1));
        } else {
            m_binding.clearKeySelection();
            if (m_hooks.showWelcomeText)
                m_hooks.showWelcomeText();
        }
    }
    emit m_binding.keyListChanged();
    return true;
}

void LiveStore::followOpenKeyText() {
    const QString category = m_binding.currentCategory();
    const QString selected = m_binding.selectedKey();
    const KeyListBinding::LoadedKey& loaded = m_binding.loadedKey();
    if (selected.isEmpty() || loaded.key != selected || loaded.category != category ||
        !m_binding.editorShowsLoadedKey() || m_binding.editorChanged())
        return;
    // Unchanged by the user: the editor shows what the file holds now. Our own save reloaded already,
    // so it compares equal here and nothing moves.
    if (KeyFile::readForEditor(m_binding.paths().keyFile(category, selected)) != loaded.onDisk)
        m_binding.List1_Click();
}
