#include "platform/text/cp932.h"

#include <cerrno>
#include <iconv.h>

namespace kemnoa::text {
namespace {

// One iconv descriptor per call: cheap enough, and safe if ever used from more than one thread.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return cd_; }

private:
    iconv_t cd_;
};

// Converts in place as far as possible; returns false at an invalid or unmappable sequence,
// leaving in/inLeft at that sequence.
bool convertSome(iconv_t cd, char*& in, size_t& inLeft, QByteArray& out) {
    char buffer[4096];
    while (inLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<qsizetype>(sizeof buffer - dstLeft));
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            return false;
        }
    }
    return true;
}

} // namespace

QByteArray toCp932(const QString& text, bool* lossless) {
    if (lossless)
        *lossless = true;
    QByteArray out;
    if (text.isEmpty())
        return out;
    Converter conv("CP932", "UTF-16LE");
    if (!conv.valid())
        return text.toLatin1();
    QByteArray src(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    char* in = src.data();
    size_t inLeft = static_cast<size_t>(src.size());
    out.reserve(text.size() * 2);
    while (!convertSome(conv.handle(), in, inLeft, out)) {
        if (lossless)
            *lossless = false;
        out.append('?');
        // Skip one character: a surrogate pair is two code units.
        const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(in[0]) |
                                                    (static_cast<unsigned char>(in[1]) << 8));
        const size_t skip = (unit >= 0xD800 && unit < 0xDC00 && inLeft >= 4) ? 4 : 2;
        in += skip;
        inLeft -= skip;
        iconv(conv.handle(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

namespace {
QString decode(const QByteArray& bytes, bool strict, bool* ok) {
    *ok = true;
    QString result;
    if (bytes.isEmpty())
        return result;
    Converter conv("UTF-16LE", "CP932");
    if (!conv.valid()) {
        *ok = false;
        return result;
    }
    QByteArray src = bytes;
    char* in = src.data();
    size_t inLeft = static_cast<size_t>(src.size());
    QByteArray out;
    out.reserve(bytes.size() * 2);
    while (!convertSome(conv.handle(), in, inLeft, out)) {
        *ok = false;
        if (strict)
            return {};
        const char16_t replacement = 0xFFFD;
        out.append(reinterpret_cast<const char*>(&replacement), 2);
        ++in;
        --inLeft;
        iconv(conv.handle(), nullptr, nullptr, nullptr, nullptr);
    }
    result = QString(reinterpret_cast<const QChar*>(out.constData()), out.size() / 2);
    return result;
}
} // namespace

QString fromCp932(const QByteArray& bytes) {
    bool ok = true;
    return decode(bytes, false, &ok);
}

std::optional<QString> fromCp932Strict(const QByteArray& bytes) {
    bool ok = true;
    QString s = decode(bytes, true, &ok);
    if (!ok)
        return std::nullopt;
    return s;
}

qsizetype cp932Length(const QString& text) {
    return toCp932(text).size();
}

} // namespace kemnoa::text
