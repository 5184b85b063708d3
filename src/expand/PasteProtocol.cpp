#include "expand/PasteProtocol.h"

#include "platform/Clipboard.h"
#include "platform/KeySender.h"

bool PasteProtocol::putOnClipboard(const QString& text) {
    if (m_clipboard.clearsBeforeSet())
        m_clipboard.clear();
    return m_clipboard.setText(text);
}

bool PasteProtocol::sendPaste() {
    return m_keys.send(m_keys.pasteKeys());
}

bool PasteProtocol::paste(const QString& text) {
    return putOnClipboard(text) && sendPaste();
}
