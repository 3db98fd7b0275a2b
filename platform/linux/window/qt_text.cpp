// The program's Shift-JIS texts, colours and system font, as Qt takes them.
#include <QColor>
#include <cstring>

#include "platform/cp932.h"
#include "platform/linux/window/window_system.h"

QString text_from_cp932(const char* bytes, std::size_t size) {
    return QString::fromStdString(text_for_display(bytes, size));
}

QString text_from_cp932(const char* text) {
    return text != nullptr ? text_from_cp932(text, std::strlen(text)) : QString();
}

QColor color_of(COLORREF color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

const QFont& system_font() {
    static const QFont font = [] {
        QFont chosen(QStringLiteral(u"IPAGothic"));
        chosen.setPixelSize(16);
        chosen.setStyleStrategy(QFont::NoAntialias);
        return chosen;
    }();
    return font;
}
