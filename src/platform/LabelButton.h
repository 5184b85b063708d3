#pragma once

#include <QLabel>

// A label that acts as a button: the program's windows draw their own flat buttons this way. It reports
// presses and releases too, for the controls that drag (the title label, the resize grip).
class LabelButton : public QLabel {
    Q_OBJECT
public:
    explicit LabelButton(const QString& text = {}, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};
