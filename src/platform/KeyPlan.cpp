#include "platform/KeyPlan.h"

#include <QStringList>

namespace {
bool needs(const KeyPlan::Stroke& stroke, KeyPlan::Modifier modifier) {
    switch (modifier) {
    case KeyPlan::Modifier::Ctrl:
        return stroke.ctrl;
    case KeyPlan::Modifier::Shift:
        return stroke.shift;
    case KeyPlan::Modifier::Alt:
        return stroke.alt;
    case KeyPlan::Modifier::Other:
        break;
    }
    return false;
}
} // namespace

QList<KeyPlan::Event> KeyPlan::plan(const QList<HeldKey>& held, const QList<Stroke>& strokes,
                                    const ModifierCodes& codes) {
    // A held modifier stays down only when every stroke wants it; otherwise it is lifted throughout.
    QList<HeldKey> kept;
    QList<HeldKey> lifted;
    for (const HeldKey& key : held) {
        bool all = !strokes.isEmpty();
        for (const Stroke& stroke : strokes)
            all = all && needs(stroke, key.modifier);
        (all ? kept : lifted).append(key);
    }
    auto isKept = [&](unsigned code) {
        for (const HeldKey& key : kept) {
            if (key.code == code)
                return true;
        }
        return false;
    };
    // Our own key for a modifier: one the user does not hold. None when the user holds them all; the
    // held one then does the job.
    auto ownCode = [&](const QList<unsigned>& candidates) -> unsigned {
        for (const unsigned code : candidates) {
            if (code != 0 && !isKept(code))
                return code;
        }
        return 0;
    };

    QList<Event> events;
    for (const HeldKey& key : lifted)
        events.append({key.code, false});
    const struct {
        Modifier modifier;
        unsigned code;
    } own[] = {{Modifier::Ctrl, ownCode(codes.ctrl)},
               {Modifier::Alt, ownCode(codes.alt)},
               {Modifier::Shift, ownCode(codes.shift)}};
    for (const Stroke& stroke : strokes) {
        QList<unsigned> pressed;
        for (const auto& m : own) {
            if (needs(stroke, m.modifier) && m.code != 0) {
                events.append({m.code, true});
                pressed.prepend(m.code);
            }
        }
        events.append({stroke.code, true});
        events.append({stroke.code, false});
        for (const unsigned code : pressed)
            events.append({code, false});
    }
    for (auto it = lifted.crbegin(); it != lifted.crend(); ++it)
        events.append({it->code, true});
    return events;
}

QString KeyPlan::pasteKeysFor(const QStringList& windowClass) {
    // Instance or class names as terminals set them in WM_CLASS, compared without case.
    static const QStringList terminals{QStringLiteral("gnome-terminal"),
                                       QStringLiteral("gnome-terminal-server"),
                                       QStringLiteral("xfce4-terminal"),
                                       QStringLiteral("lxterminal"),
                                       QStringLiteral("mate-terminal"),
                                       QStringLiteral("tilix"),
                                       QStringLiteral("terminator"),
                                       QStringLiteral("guake"),
                                       QStringLiteral("tilda"),
                                       QStringLiteral("sakura"),
                                       QStringLiteral("terminology"),
                                       QStringLiteral("qterminal"),
                                       QStringLiteral("xterm"),
                                       QStringLiteral("uxterm"),
                                       QStringLiteral("urxvt"),
                                       QStringLiteral("rxvt"),
                                       QStringLiteral("konsole"),
                                       QStringLiteral("kitty"),
                                       QStringLiteral("alacritty"),
                                       QStringLiteral("wezterm"),
                                       QStringLiteral("st-256color"),
                                       QStringLiteral("foot"),
                                       QStringLiteral("yakuake"),
                                       QStringLiteral("cool-retro-term"),
                                       QStringLiteral("x-terminal-emulator"),
                                       QStringLiteral("org.gnome.console"),
                                       QStringLiteral("kgx"),
                                       QStringLiteral("vte"),
                                       QStringLiteral("ptyxis")};
    for (const QString& name : windowClass) {
        // Wayland app ids are often reverse domain names (org.kde.konsole): their last part is the name.
        if (terminals.contains(name, Qt::CaseInsensitive) ||
            terminals.contains(name.section(QLatin1Char('.'), -1), Qt::CaseInsensitive))
            return QStringLiteral("^+v");
    }
    return QStringLiteral("^v");
}
