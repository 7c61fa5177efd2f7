#include "toolkit/util/searchkey.h"

#include "toolkit/util/texthelper.h"

#include <QVarLengthArray>
#include <QVector>

namespace
{

// Up to two letters each character folds to; zero for none.
struct Folded {
    char16_t first = 0;
    char16_t second = 0;
};

// Covers Latin with its extensions, Greek and Cyrillic, built once from the
// characters' decompositions: a per-character normalisation of a hundred
// thousand names took seconds.
constexpr int TableSize = 0x2000;

const QVector<Folded> &foldTable()
{
    static const QVector<Folded> table = [] {
        QVector<Folded> folded(TableSize);
        for (int code = 0; code < TableSize; ++code) {
            const QChar c = QChar(char16_t(code));
            if (!c.isLetterOrNumber())
                continue;
            // "й" is a letter of its own in Russian, not "и" with a mark.
            if (code == 0x0419 || code == 0x0439) {
                folded[code].first = 0x0439;
                continue;
            }
            QString base = QString(c).normalized(QString::NormalizationForm_KD);
            QString kept;
            for (const QChar part : base) {
                if (part.isLetterOrNumber())
                    kept += part.toLower();
            }
            if (!kept.isEmpty())
                folded[code].first = kept.at(0).unicode();
            if (kept.size() > 1)
                folded[code].second = kept.at(1).unicode();
        }
        // Letters that do not decompose into a plain one and a mark.
        const struct {
            char16_t letter;
            const char *plain;
        } special[] = {
            // clang-format off
            { u'ł', "l" }, { u'Ł', "l" }, { u'ø', "o" }, { u'Ø', "o" }, { u'ß', "ss" }, { u'ẞ', "ss" },
            { u'æ', "ae" }, { u'Æ', "ae" }, { u'œ', "oe" }, { u'Œ', "oe" }, { u'đ', "d" }, { u'Đ', "d" },
            { u'ð', "d" }, { u'Ð', "d" }, { u'þ', "th" }, { u'Þ', "th" }, { u'ı', "i" }, { u'ħ', "h" },
            { u'Ħ', "h" }, { u'ŧ', "t" }, { u'Ŧ', "t" }, { u'ŋ', "n" }, { u'Ŋ', "n" }, { u'ĸ', "k" },
            // clang-format on
        };
        for (const auto &letter : special) {
            Folded &to = folded[letter.letter];
            to.first = char16_t(letter.plain[0]);
            to.second = char16_t(letter.plain[1]);
        }
        return folded;
    }();
    return table;
}

void appendFolded(QString &to, QStringView text)
{
    const QVector<Folded> &table = foldTable();
    // Written in place, room for two letters a character, then cut to what
    // was written: a search text is folded for every row of a list.
    const int start = to.size();
    to.resize(start + 2 * int(text.size()));
    QChar *out = to.data() + start;
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x80) {
            // Most of what is typed, without the table.
            if (code >= 'A' && code <= 'Z')
                *out++ = QChar(char16_t(code + 32));
            else if ((code >= 'a' && code <= 'z') || (code >= '0' && code <= '9'))
                *out++ = c;
        } else if (code < TableSize) {
            const Folded &f = table.at(code);
            if (f.first)
                *out++ = QChar(f.first);
            if (f.second)
                *out++ = QChar(f.second);
        } else if (c.isLetterOrNumber()) {
            *out++ = c.toLower();
        }
    }
    to.resize(int(out - to.constData()));
}

// The keys of a Latin keyboard and of a Russian one, place for place.
constexpr char16_t LatinKeys[] = u"qwertyuiop[]asdfghjkl;'zxcvbnm,.`QWERTYUIOP{}ASDFGHJKL:\"ZXCVBNM<>~";
constexpr char16_t RussianKeys[] = u"йцукенгшщзхъфывапролджэячсмитьбюёЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮЁ";
static_assert(sizeof(LatinKeys) == sizeof(RussianKeys), "one Russian key for each Latin one");

// Each character's counterpart on the other keyboard, or itself.
QChar otherKey(QChar c)
{
    struct Keys {
        char16_t latin[0x80] = {};
        char16_t russian[0x60] = {};
    };
    static const Keys keys = [] {
        Keys k;
        for (int i = 0; LatinKeys[i]; ++i) {
            k.latin[LatinKeys[i]] = RussianKeys[i];
            k.russian[RussianKeys[i] - 0x0400] = LatinKeys[i];
        }
        return k;
    }();
    const char16_t code = c.unicode();
    if (code < 0x80 && keys.latin[code])
        return QChar(keys.latin[code]);
    if (code >= 0x0400 && code < 0x0460 && keys.russian[code - 0x0400])
        return QChar(keys.russian[code - 0x0400]);
    return c;
}

} // namespace

QString SearchKey::ofWord(const QString &word)
{
    QString key;
    key.reserve(word.size());
    appendFolded(key, word);
    return key;
}

QString SearchKey::ofText(const QString &text)
{
    QString key;
    appendText(key, text);
    return key;
}

void SearchKey::appendText(QString &key, const QString &text)
{
    key.reserve(key.size() + text.size() * 6);
    const QStringView all(text);
    int start = 0;
    while (start <= all.size()) {
        int end = int(all.indexOf(QLatin1Char('\n'), start));
        if (end < 0)
            end = int(all.size());
        const QStringView line = all.mid(start, end - start);
        if (start > 0)
            key += QLatin1Char('\n');
        appendFolded(key, line);
        bool hasLetters = false, hasCyrillic = false;
        // On the stack: a name seldom outgrows it, and every line of every row has one.
        QVarLengthArray<QChar, 64> typed(int(line.size()));
        QChar *out = typed.data();
        for (const QChar c : line) {
            hasLetters = hasLetters || c.isLetter();
            hasCyrillic = hasCyrillic || (c.unicode() >= 0x0400 && c.unicode() < 0x0500);
            *out++ = otherKey(c);
        }
        if (hasLetters) {
            key += QLatin1Char('\n');
            appendFolded(key, QStringView(typed.constData(), typed.size()));
        }
        if (hasCyrillic) {
            key += QLatin1Char('\n');
            appendFolded(key, TextHelper::translit(line.toString()));
        }
        start = end + 1;
    }
}
