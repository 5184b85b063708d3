#include "expand/KeyPicker.h"

#include "expand/DirectInsertion.h"
#include "expand/ExpansionText.h"
#include "expand/KeywordIndex.h"
#include "platform/Platform.h"
#include "platform/TextFile.h"
#include "store/StoreListing.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
// Texts are read for this long at a time; the keys typed meanwhile wait no longer than this.
constexpr int kReadSliceMs = 12;
// While texts are still arriving, the matches are brought up to date this often, not after every slice:
// at a hundred thousand keys a search from scratch costs about as much as a slice.
constexpr int kRefilterWhileReadingMs = 250;
constexpr int kWidth = 520;
constexpr int kHeight = 360;
const QString kSeparator = QStringLiteral(" / ");
const QString kTextSeparator = QStringLiteral("  \u2014  ");

// The size and modification time of a file, to tell whether a text kept from its last reading still
// holds; nothing where the system cannot say cheaply, and the file is read again.
bool fileStamp(const QString& path, qint64& size, qint64& modifiedNs) {
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    size = qint64(info.st_size);
    modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return true;
#else
    Q_UNUSED(path);
    Q_UNUSED(size);
    Q_UNUSED(modifiedNs);
    return false;
#endif
}

// The first of the names that compares equal with the one asked for, as a copied keyword does.
QString nameLike(const QStringList& names, const QString& asked) {
    KeywordIndex index;
    index.rebuild(names);
    const int row = index.find(asked);
    return row == KeywordIndex::kNoMatch ? QString() : names.at(row);
}
} // namespace

KeyPicker::KeyPicker(const StorePaths& paths, Platform& platform, DirectInsertion& insertion,
                     std::function<QString()> currentCategory, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_paths(paths), m_platform(platform),
      m_insertion(insertion), m_currentCategory(std::move(currentCategory)), m_reader(new QTimer(this)) {
    setObjectName(QStringLiteral("KeyPicker"));
    setWindowTitle(QStringLiteral("Wordwisp: pick a key"));
    resize(kWidth, kHeight);
    auto* layout = new QVBoxLayout(this);
    filterField = new QLineEdit(this);
    filterField->setObjectName(QStringLiteral("filterField"));
    filterField->setPlaceholderText(QStringLiteral("Type part of a key's name or text"));
    matchList = new QListWidget(this);
    matchList->setObjectName(QStringLiteral("matchList"));
    // The filter keeps the keyboard; a click on a row still chooses it.
    matchList->setFocusPolicy(Qt::NoFocus);
    countLabel = new QLabel(this);
    layout->addWidget(filterField);
    layout->addWidget(matchList);
    layout->addWidget(countLabel);
    filterField->installEventFilter(this);
    connect(filterField, &QLineEdit::textChanged, this, [this] { refilter(); });
    connect(matchList, &QListWidget::itemActivated, this, &KeyPicker::choose);
    m_reader->setInterval(0);
    connect(m_reader, &QTimer::timeout, this, &KeyPicker::readTexts);
}

bool KeyPicker::reading() const {
    return m_reader->isActive();
}

void KeyPicker::open(WindowFocus::WindowId previousWindow) {
    m_previous = previousWindow;
    m_catalog.clear();
    const QStringList categories = StoreListing::categories(m_paths.root());
    for (const QString& category : categories) {
        for (const QString& key : StoreListing::keys(m_paths.category(category)))
            m_catalog.add(category, key);
    }
    m_nextText = 0;
    m_keeping.clear();
    m_keeping.reserve(m_catalog.size());
    filterField->blockSignals(true);
    filterField->clear();
    filterField->blockSignals(false);
    refilter();
    if (m_catalog.size() > 0)
        m_reader->start();
    // In the middle of the screen the pointer is on, where the eyes are.
    if (const QScreen* screen = QGuiApplication::screenAt(QCursor::pos())) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    m_platform.effects->bringToFront(this);
    activateWindow();
    filterField->setFocus();
}

void KeyPicker::readTexts() {
    QElapsedTimer slice;
    slice.start();
    while (m_nextText < m_catalog.size() && slice.elapsed() < kReadSliceMs) {
        const KeyCatalog::Entry& entry = m_catalog.entry(m_nextText);
        const QString path = m_paths.keyFile(entry.category, entry.key);
        KeptText kept;
        const bool stamped = fileStamp(path, kept.size, kept.modifiedNs);
        const auto before = m_kept.constFind(path);
        if (stamped && before != m_kept.cend() && before->size == kept.size && before->modifiedNs == kept.modifiedNs) {
            kept.text = before->text;
        } else if (const auto lines = TextFile::readLines(path)) {
            kept.text = ExpansionText::joinKeptLines(*lines);
        } else {
            ++m_nextText;
            continue;
        }
        m_catalog.setText(m_nextText, kept.text);
        if (stamped)
            m_keeping.insert(path, std::move(kept));
        ++m_nextText;
    }
    const bool done = m_nextText >= m_catalog.size();
    if (done) {
        m_reader->stop();
        // Keys that have gone are forgotten with their texts.
        m_kept = std::move(m_keeping);
        m_keeping = {};
    }
    if (done || !m_sinceRefilter.isValid() || m_sinceRefilter.elapsed() >= kRefilterWhileReadingMs)
        refilter(true);
}

void KeyPicker::refilter(bool keepChoice) {
    const int current = matchList->currentRow();
    const int before = keepChoice && current >= 0 && current < m_shown.size() ? m_shown.at(current) : -1;
    m_sinceRefilter.start();
    m_shown = m_catalog.filter(filterField->text(), kMaxRows);
    // One repaint for the rows, not one for each.
    matchList->setUpdatesEnabled(false);
    matchList->clear();
    int keep = m_shown.isEmpty() ? -1 : 0;
    for (int row = 0; row < m_shown.size(); ++row) {
        const KeyCatalog::Entry& entry = m_catalog.entry(m_shown.at(row));
        QString line = entry.category + kSeparator + entry.key;
        if (!entry.firstLine.isEmpty())
            line += kTextSeparator + entry.firstLine;
        matchList->addItem(line);
        // Texts arriving while the user looks at a row must not move the choice away from it.
        if (m_shown.at(row) == before)
            keep = row;
    }
    matchList->setCurrentRow(keep);
    matchList->setUpdatesEnabled(true);
    const qsizetype count = m_catalog.matchCount();
    if (count > m_shown.size())
        countLabel->setText(QStringLiteral("%1 of %2 keys").arg(m_shown.size()).arg(count));
    else
        countLabel->setText(count == 1 ? QStringLiteral("1 key") : QStringLiteral("%1 keys").arg(count));
}

void KeyPicker::step(int rows) {
    if (matchList->count() == 0)
        return;
    matchList->setCurrentRow(qBound(0, matchList->currentRow() + rows, matchList->count() - 1));
}

bool KeyPicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched == filterField && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
            step(-1);
            return true;
        case Qt::Key_Down:
            step(1);
            return true;
        case Qt::Key_PageUp:
            step(-matchList->count());
            return true;
        case Qt::Key_PageDown:
            step(matchList->count());
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            choose();
            return true;
        case Qt::Key_Escape:
            dismiss();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void KeyPicker::dismiss() {
    m_reader->stop();
    hide();
    if (m_previous != 0)
        m_platform.focus->giveFocus(m_previous);
}

void KeyPicker::choose() {
    const int row = matchList->currentRow();
    if (row < 0 || row >= m_shown.size())
        return;
    const KeyCatalog::Entry entry = m_catalog.entry(m_shown.at(row));
    m_reader->stop();
    hide();
    // Read again now: the text as it is at the moment of the paste, with this moment's date and time.
    const auto lines = TextFile::readLines(m_paths.keyFile(entry.category, entry.key));
    if (!lines) {
        qWarning("Wordwisp: the key file of \"%s\" cannot be read; nothing pasted", qUtf8Printable(entry.key));
        return;
    }
    const QString text = ExpansionText::build(*lines, m_platform.clock->now());
    const WindowFocus::WindowId previous = m_previous;
    // From the event loop, once this window has let go of the keyboard.
    QTimer::singleShot(0, this, [this, text, previous] {
        if (!m_insertion.pasteText(text, previous))
            qWarning("Wordwisp: the clipboard did not take the picked key's text; nothing pasted");
    });
}

QString KeyPicker::pasteKey(const QString& key, const QString& category) {
    const QString asked = category.isEmpty() ? m_currentCategory() : category;
    if (asked.isEmpty())
        return QStringLiteral("no category is chosen; name one with --category");
    const QString found = nameLike(StoreListing::categories(m_paths.root()), asked);
    if (found.isEmpty())
        return QStringLiteral("there is no category \"%1\"").arg(asked);
    const QString name = nameLike(StoreListing::keys(m_paths.category(found)), key);
    if (name.isEmpty())
        return QStringLiteral("there is no key \"%1\" in the category \"%2\"").arg(key, found);
    const auto lines = TextFile::readLines(m_paths.keyFile(found, name));
    if (!lines)
        return QStringLiteral("the key file of \"%1\" cannot be read").arg(name);
    if (!m_insertion.pasteText(ExpansionText::build(*lines, m_platform.clock->now()), 0))
        return QStringLiteral("the clipboard did not take the text of \"%1\"").arg(name);
    return QString();
}
