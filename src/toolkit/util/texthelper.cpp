#include "toolkit/util/texthelper.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>

namespace
{

const QHash<QChar, QString> &latinLetters()
{
    static const QHash<QChar, QString> letters = [] {
        const struct {
            const char16_t *cyrillic;
            const char *latin;
        } lower[] = {
            // clang-format off
            { u"а", "a" }, { u"б", "b" }, { u"в", "v" }, { u"г", "g" }, { u"д", "d" }, { u"е", "e" },
            { u"ё", "e" }, { u"ж", "zh" }, { u"з", "z" }, { u"и", "i" }, { u"й", "y" }, { u"к", "k" },
            { u"л", "l" }, { u"м", "m" }, { u"н", "n" }, { u"о", "o" }, { u"п", "p" }, { u"р", "r" },
            { u"с", "s" }, { u"т", "t" }, { u"у", "u" }, { u"ф", "f" }, { u"х", "h" }, { u"ц", "ts" },
            { u"ч", "ch" }, { u"ш", "sh" }, { u"щ", "sch" }, { u"ъ", "" }, { u"ы", "y" }, { u"ь", "" },
            { u"э", "e" }, { u"ю", "yu" }, { u"я", "ya" },
            // clang-format on
        };
        QHash<QChar, QString> map;
        for (const auto &pair : lower) {
            const QChar letter(pair.cyrillic[0]);
            const QString latin = QString::fromLatin1(pair.latin);
            map.insert(letter, latin);
            QString capital = latin;
            if (!capital.isEmpty())
                capital[0] = capital.at(0).toUpper();
            map.insert(letter.toUpper(), capital);
        }
        return map;
    }();
    return letters;
}

} // namespace

QString TextHelper::pad(const QString &text, const QString &padding, int width)
{
    if (padding.isEmpty() || width <= text.size())
        return text;
    QString result = text;
    while (result.size() < width)
        result.prepend(padding);
    return result;
}

QString TextHelper::zeroPad(qint64 number, int width)
{
    return pad(QString::number(number), "0", width);
}

QString TextHelper::translit(const QString &text)
{
    const QHash<QChar, QString> &letters = latinLetters();
    QString result;
    result.reserve(text.size());
    for (const QChar ch : text) {
        const auto latin = letters.constFind(ch);
        if (latin == letters.constEnd())
            result.append(ch);
        else
            result.append(*latin);
    }
    return result;
}

namespace
{

bool hiddenCharacter(QChar c)
{
    // Printable ASCII, most of what is typed, without the table look-up.
    if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
        return false;
    const QChar::Category category = c.category();
    return (category == QChar::Other_Control || category == QChar::Other_Format) && c.unicode() != 0x200C
        && c.unicode() != 0x200D;
}

} // namespace

QString TextHelper::visibleText(const QString &text)
{
    const auto hidden = hiddenCharacter;
    if (std::none_of(text.cbegin(), text.cend(), hidden))
        return text;
    QString shown;
    shown.reserve(text.size() + 16);
    for (const QChar c : text) {
        if (hidden(c))
            shown += QStringLiteral("<U+%1>").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
        else
            shown += c;
    }
    return shown;
}

QString TextHelper::storedText(const QString &shown)
{
    static const QRegularExpression mark(QStringLiteral("<U\\+([0-9A-F]{4})>"));
    if (!shown.contains(QLatin1String("<U+")))
        return shown;
    QString text;
    int from = 0;
    for (auto it = mark.globalMatch(shown); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QChar c(char16_t(match.captured(1).toUShort(nullptr, 16)));
        text += shown.midRef(from, match.capturedStart() - from);
        text += hiddenCharacter(c) ? QString(c) : match.captured();
        from = match.capturedEnd();
    }
    return text + shown.midRef(from);
}
