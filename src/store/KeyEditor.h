#pragma once

#include <QPlainTextEdit>

// The key text editor. Its text uses CR LF between lines, as the key files do; a lone LF that another
// program left in a key file is kept as a line break inside the line, so it survives a save unchanged.
class KeyEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit KeyEditor(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    void appendText(const QString& text);
    void moveCaretToEnd();
    bool caretAtEnd() const;
    // Counts the texts put in by setText(): whoever loaded a text can tell later whether the editor
    // still shows it (perhaps edited by the user) or something else has replaced it since.
    int loads() const { return m_loads; }

    // The conversions between the store's text and the editor document, exposed for their tests.
    static QString toDocument(const QString& text);
    static QString fromDocument(const QString& raw);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_loads = 0;
};
