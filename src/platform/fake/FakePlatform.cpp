#include "platform/fake/FakePlatform.h"

bool FakeClipboard::setText(const QString& text) {
    if (refuseSet)
        return false;
    sets.append(text);
    m_text = text;
    if (changeSignal)
        emit changed();
    return true;
}

void FakeClipboard::copyFromOtherApp(const QString& text) {
    m_text = text;
    if (changeSignal)
        emit changed();
}

int FakeDialogs::messageBox(const QString& text, int style, const QString& title) {
    boxes.append({text, style, title});
    if (!answers.isEmpty())
        return answers.dequeue();
    return style == BoxStyle::YesNoQuestion ? BoxAnswer::No : BoxAnswer::Ok;
}

QString FakeDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    inputBoxes.append({prompt, title, defaultText});
    return inputs.isEmpty() ? QString() : inputs.dequeue();
}

FakePlatform::FakePlatform() {
    auto c = std::make_unique<FakeClipboard>();
    auto k = std::make_unique<FakeKeySender>();
    auto d = std::make_unique<FakeDialogs>();
    auto t = std::make_unique<FakeTrayIcon>();
    auto s = std::make_unique<FakeShell>();
    auto ck = std::make_unique<FakeClock>();
    auto e = std::make_unique<FakeWindowEffects>();
    auto f = std::make_unique<FakeWindowFocus>();
    clipboard = c.get();
    keys = k.get();
    dialogs = d.get();
    tray = t.get();
    shell = s.get();
    clock = ck.get();
    effects = e.get();
    focus = f.get();
    m_platform.clipboard = std::move(c);
    m_platform.keys = std::move(k);
    m_platform.dialogs = std::move(d);
    m_platform.tray = std::move(t);
    m_platform.shell = std::move(s);
    m_platform.clock = std::move(ck);
    m_platform.effects = std::move(e);
    m_platform.focus = std::move(f);
}
