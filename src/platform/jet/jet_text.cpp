#include "platform/jet/jet_text.h"

namespace kemnoa::jet {

QString decodeJet4Text(const char* data, qsizetype size) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    QString out;
    if (size >= 2 && p[0] == 0xff && p[1] == 0xfe) {
        out.reserve(size);
        bool compressed = true;
        qsizetype i = 2;
        while (i < size) {
            if (p[i] == 0) { // mode switch
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                out.append(QChar(char16_t(p[i])));
                ++i;
            } else {
                if (i + 1 >= size)
                    break;
                out.append(QChar(char16_t(p[i] | (p[i + 1] << 8))));
                i += 2;
            }
        }
        return out;
    }
    out.resize(size / 2);
    auto* d = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < size / 2; ++i)
        d[i] = char16_t(p[2 * i] | (p[2 * i + 1] << 8));
    return out;
}

QByteArray encodeUcs2(const QString& text) {
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    const char16_t* s = reinterpret_cast<const char16_t*>(text.utf16());
    for (qsizetype i = 0; i < text.size(); ++i) {
        out[2 * i] = char(s[i] & 0xff);
        out[2 * i + 1] = char(s[i] >> 8);
    }
    return out;
}

} // namespace kemnoa::jet
