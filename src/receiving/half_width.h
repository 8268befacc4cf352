#pragma once
// Full-width (wide) to half-width (narrow) conversion of care-label text, as the code page 932
// narrow conversion does it: full-width ASCII letters, digits and signs, the ideographic space,
// katakana (voiced ones split into base and sound mark) and the kana punctuation become their
// single-byte forms. Characters without a narrow form (kanji, hiragana, ヰ, ヵ, ...) stay as they are.

#include <QString>

namespace kemnoa::receiving {

QString toHalfWidth(const QString& text);

} // namespace kemnoa::receiving
