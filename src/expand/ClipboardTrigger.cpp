#include "expand/ClipboardTrigger.h"

#include "expand/ExpansionText.h"
#include "platform/Platform.h"
#include "platform/TextFile.h"
#include "store/KeyListBinding.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include <limits>

namespace {
// With change notification Timer1 keeps its role as the trigger's switch (active = on, so every place
// that starts or stops it keeps working), but it must not wake the process a hundred times a second for
// nothing: it runs with the longest interval a timer takes (about 24 days). Should it ever fire, the tick
// only looks at the text already read.
constexpr int kDormantIntervalMs = std::numeric_limits<int>::max();

const QString kPasteWithheld =
    QStringLiteral("Wordwisp put the text of the key on the clipboard but did not paste it: on this desktop it can "
                   "type only into the X11 (XWayland) window you copied from. Press Ctrl+V to paste it.\n\n"
                   "Wordwisp says this once.");
} // namespace

ClipboardTrigger::ClipboardTrigger(Controls controls, Platform& platform, StorePaths paths, QObject* parent)
    : QObject(parent), m_ui(controls), m_platform(platform), m_paths(std::move(paths)),
      m_paste(*platform.clipboard, *platform.keys), m_check(new QTimer(this)) {
    m_check->setSingleShot(true);
    m_check->setInterval(0);
    connect(m_check, &QTimer::timeout, this, [this] {
        if (isOn())
            Timer1_Timer();
    });

    if (m_platform.clipboard->hasChangeSignal())
        m_ui.Timer1->setInterval(kDormantIntervalMs);
    connect(m_platform.clipboard.get(), &Clipboard::changed, this, &ClipboardTrigger::clipboardChanged);

    // Any change of the key list counts, whoever makes it: a refresh, a key added or renamed.
    QAbstractItemModel* keys = m_ui.List1->model();
    connect(keys, &QAbstractItemModel::modelReset, this, &ClipboardTrigger::keyListChanged);
    connect(keys, &QAbstractItemModel::rowsInserted, this, &ClipboardTrigger::keyListChanged);
    connect(keys, &QAbstractItemModel::rowsRemoved, this, &ClipboardTrigger::keyListChanged);
    connect(keys, &QAbstractItemModel::rowsMoved, this, &ClipboardTrigger::keyListChanged);
    connect(keys, &QAbstractItemModel::dataChanged, this, &ClipboardTrigger::keyListChanged);
    connect(keys, &QAbstractItemModel::layoutChanged, this, &ClipboardTrigger::keyListChanged);
    connect(m_ui.Combo1, &QComboBox::currentTextChanged, this, &ClipboardTrigger::categoryChanged);
}

bool ClipboardTrigger::isOn() const {
    return m_ui.Timer1->isActive();
}

void ClipboardTrigger::switchOn() {
    if (m_quiet)
        return;
    m_ui.Timer1->start();
    m_compareDue = true;
    queueCheck();
}

void ClipboardTrigger::switchOff() {
    m_ui.Timer1->stop();
}

void ClipboardTrigger::Check1_Click() {
    if (m_ui.Check1->isChecked())
        switchOn();
    else
        switchOff();
}

void ClipboardTrigger::Timer1_Timer() {
    if (m_expanding)
        return;
    // Without change notification every tick has to look; with it, only an announced change does.
    if (!m_textKnown || !m_platform.clipboard->hasChangeSignal())
        readClipboard();
    if (!m_compareDue)
        return;
    m_compareDue = false;
    ExpandClipboardKeyword();
}

void ClipboardTrigger::readClipboard() {
    QString text = m_platform.clipboard->text();
    m_textKnown = true;
    if (text != m_text) {
        m_text = std::move(text);
        m_compareDue = true;
        m_mirrorStale = true;
        // Once the user copies something else, the guard has done its work: the same text copied later
        // on purpose is the user's request.
        if (m_text != m_ownText)
            m_ownText.clear();
    }
    if (m_mirrorStale) {
        m_ui.Text1->setText(m_text);
        m_mirrorStale = false;
    }
}

void ClipboardTrigger::leavePasteTo(const QString& text) {
    m_pasteLeftFor = text;
    if (text.isEmpty())
        return;
    // Also where the clipboard held this very text already, and no poll would see a change.
    m_compareDue = true;
    queueCheck();
}

void ClipboardTrigger::ExpandClipboardKeyword() {
    const bool pasteLeft = !m_pasteLeftFor.isEmpty() && m_text == m_pasteLeftFor;
    if (m_text.isEmpty() || (m_text == m_ownText && !pasteLeft))
        return;
    if (m_indexStale) {
        QStringList entries;
        entries.reserve(m_ui.List1->count());
        for (int row = 0; row < m_ui.List1->count(); ++row)
            entries.append(m_ui.List1->item(row)->text());
        m_index.rebuild(entries);
        m_indexStale = false;
    }
    const int row = m_index.find(m_text);
    if (row == KeywordIndex::kNoMatch)
        return;

    // Off while the key is read and the clipboard set: setting it lets queued events run, and no tick may
    // start a second expansion meanwhile.
    switchOff();
    m_expanding = true;
    if (pasteLeft)
        m_pasteLeftFor.clear();
    // The file of the entry as listed, blanks and all: trimming would open another key's file, or none.
    const QString key = m_ui.List1->item(row)->text();
    const auto lines = TextFile::readLines(m_paths.keyFile(currentCategory(), key));
    // A key whose file has gone (deleted outside the program) pastes nothing: pasting the empty text
    // would delete the user's selection.
    if (lines) {
        const QString text = ExpansionText::build(*lines, m_platform.clock->now());
        m_ownText = text;
        const bool onClipboard = m_paste.putOnClipboard(text);
        m_ui.Text1->clear();
        m_mirrorStale = true;
        if (onClipboard) {
            if (!pasteLeft) {
                if (m_platform.keys->reachesCopySource())
                    m_paste.sendPaste();
                else
                    withholdPaste();
            }
            emit expanded(key);
        } else {
            qWarning("Wordwisp: the clipboard did not take the text of \"%s\"; nothing pasted", qUtf8Printable(key));
        }
    } else {
        qWarning("Wordwisp: the key file of \"%s\" cannot be read; nothing pasted", qUtf8Printable(key));
    }
    m_expanding = false;
    // Back on without a new comparison of the keyword: it has been dealt with. Whatever changed meanwhile
    // (our own clipboard text, a key list rebuilt while the clipboard was being set) is looked at next.
    m_ui.Timer1->start();
    if (m_compareDue)
        queueCheck();
}

void ClipboardTrigger::withholdPaste() {
    if (m_withholdingSaid)
        return;
    m_withholdingSaid = true;
    // From the event loop: the box waits for the user, and the expansion must finish first.
    QTimer::singleShot(0, this, [this] { m_platform.dialogs->messageBox(kPasteWithheld, BoxStyle::Information); });
}

void ClipboardTrigger::clipboardChanged() {
    m_textKnown = false;
    // Also a repeated copy of the same text: the user asks again.
    m_compareDue = true;
    queueCheck();
}

void ClipboardTrigger::keyListChanged() {
    m_indexStale = true;
    if (m_quiet)
        return;
    m_compareDue = true;
    queueCheck();
}

void ClipboardTrigger::categoryChanged() {
    if (m_quiet)
        return;
    m_compareDue = true;
    queueCheck();
}

void ClipboardTrigger::queueCheck() {
    if (isOn() && !m_check->isActive())
        m_check->start();
}

QString ClipboardTrigger::currentCategory() const {
    return KeyListBinding::categoryIn(m_ui.Combo1);
}
