#include "letter_text.h"

#include <QString>
#include <QStringDecoder>

#include <algorithm>

namespace zelmak {

LetterText readLetter(std::string_view bytes) {
    LetterText letter;
    // Stateless: a sequence cut off at the end is an error, not the start of more to come.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError()) {
        letter.latin1.assign(bytes);
        letter.characters = bytes.size();
        return letter;
    }
    letter.encoding = LetterText::Encoding::Utf8;
    letter.characters =
        static_cast<std::size_t>(text.size() - std::count_if(text.begin(), text.end(), [](QChar c) {
                                     return c.isLowSurrogate();
                                 }));
    letter.latin1 = toPaneText(text, &letter.withoutLatin1);
    return letter;
}

std::string toPaneText(QStringView text, std::size_t* withoutLatin1) {
    const QString composed = text.toString().normalized(QString::NormalizationForm_C);
    std::string out;
    out.reserve(static_cast<std::size_t>(composed.size()));
    std::size_t dropped = 0;
    for (qsizetype i = 0; i < composed.size(); ++i) {
        char32_t c = composed[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < composed.size() &&
            composed[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(composed[i], composed[i + 1]);
            ++i;
        }
        if (c <= 0xFF) {
            out += static_cast<char>(static_cast<unsigned char>(c));
        } else if (QChar::category(c) == QChar::Separator_Line ||
                   QChar::category(c) == QChar::Separator_Paragraph) {
            out += '\n';
        } else if (QChar::isSpace(c)) {
            out += ' ';
        } else {
            out += kNoLatin1;
            ++dropped;
        }
    }
    if (withoutLatin1)
        *withoutLatin1 = dropped;
    return out;
}

} // namespace zelmak
