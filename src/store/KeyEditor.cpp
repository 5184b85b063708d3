#include "store/KeyEditor.h"

#include <QKeyEvent>
#include <QTextBlock>

namespace {
constexpr QChar kParagraph = QChar::ParagraphSeparator; // a CR LF of the key file
constexpr QChar kInLineBreak = QChar::LineSeparator;    // a lone LF inside a line
} // namespace

KeyEditor::KeyEditor(QWidget* parent) : QPlainTextEdit(parent) {}

QString KeyEditor::toDocument(const QString& text) {
    QString doc;
    doc.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            doc += kParagraph;
        } else if (c == u'\n') {
            doc += kInLineBreak;
        } else {
            doc += c;
        }
    }
    return doc;
}

QString KeyEditor::fromDocument(const QString& raw) {
    QString text;
    text.reserve(raw.size() + raw.size() / 16);
    for (const QChar c : raw) {
        if (c == kParagraph)
            text += QStringLiteral("\r\n");
        else if (c == kInLineBreak)
            text += u'\n';
        else
            text += c;
    }
    return text;
}

QString KeyEditor::text() const {
    return fromDocument(document()->toRawText());
}

void KeyEditor::setText(const QString& text) {
    ++m_loads;
    // Inserting through a cursor keeps the line separators that setPlainText would turn into paragraphs.
    clear();
    appendText(text);
}

void KeyEditor::appendText(const QString& text) {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(toDocument(text));
}

void KeyEditor::moveCaretToEnd() {
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::End);
    setTextCursor(cursor);
}

bool KeyEditor::caretAtEnd() const {
    return textCursor().atEnd();
}

void KeyEditor::keyPressEvent(QKeyEvent* event) {
    // Shift+Enter would insert an in-line break, which a key file stores as a bare LF; every line break
    // the user types is a real line.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers().testFlag(Qt::ShiftModifier)) {
        textCursor().insertBlock();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}
