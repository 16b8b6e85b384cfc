#include "editors/ini/ini_conversions.h"

namespace tarnwick::iniconv {

namespace {

// Results beyond this are out of every control's range; it keeps qint64 far from overflow.
constexpr int kMaxDigits = 15;

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// digits × factor for a small positive factor, on decimal digit text.
QByteArray timesSmall(const QByteArray& digits, int factor)
{
    QByteArray out(digits.size() + 12, '0');
    qint64 carry = 0;
    qsizetype o = out.size();
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        const qint64 v = qint64(digits[i] - '0') * factor + carry;
        out[--o] = char('0' + v % 10);
        carry = v / 10;
    }
    while (carry > 0) {
        out[--o] = char('0' + carry % 10);
        carry /= 10;
    }
    return out.mid(o);
}

QByteArray withoutLeadingZeros(const QByteArray& digits)
{
    qsizetype i = 0;
    while (i < digits.size() && digits[i] == '0') ++i;
    return digits.mid(i);
}

} // namespace

std::optional<qint64> roundedTimes(QStringView text, int factor)
{
    const QStringView t = text.trimmed();
    qsizetype p = 0;
    bool negative = false;
    if (p < t.size() && (t[p] == u'+' || t[p] == u'-')) negative = t[p++] == u'-';

    QByteArray digits;
    qsizetype fractionDigits = 0;
    bool seenPoint = false;
    for (; p < t.size(); ++p) {
        if (isDigit(t[p])) {
            digits.append(char(t[p].unicode()));
            if (seenPoint) ++fractionDigits;
        } else if (t[p] == u'.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (digits.isEmpty()) return std::nullopt;

    qint64 exponent = 0;
    if (p < t.size() && (t[p] == u'e' || t[p] == u'E')) {
        ++p;
        bool negativeExponent = false;
        if (p < t.size() && (t[p] == u'+' || t[p] == u'-')) negativeExponent = t[p++] == u'-';
        const qsizetype firstDigit = p;
        for (; p < t.size() && isDigit(t[p]); ++p)
            exponent = qMin<qint64>(exponent * 10 + (t[p].unicode() - u'0'), 1'000'000);
        if (p == firstDigit) return std::nullopt;
        if (negativeExponent) exponent = -exponent;
    }
    if (p != t.size()) return std::nullopt;

    // value × factor = digits × 10^exponent
    digits = withoutLeadingZeros(timesSmall(digits, factor));
    exponent -= fractionDigits;
    if (digits.isEmpty()) return 0;

    QByteArray whole;
    QByteArray fraction;
    if (exponent >= 0) {
        if (digits.size() + exponent > kMaxDigits) return std::nullopt;
        whole = digits + QByteArray(exponent, '0');
    } else if (-exponent <= digits.size()) {
        whole = digits.left(digits.size() + exponent);
        fraction = digits.mid(digits.size() + exponent);
    } else {
        return 0; // below a tenth: the first fraction digit is 0
    }
    whole = withoutLeadingZeros(whole);
    if (whole.size() > kMaxDigits) return std::nullopt;

    qint64 result = whole.isEmpty() ? 0 : whole.toLongLong();
    if (!fraction.isEmpty()) {
        const char first = fraction[0];
        const bool restNonZero = fraction.mid(1).count('0') != fraction.size() - 1;
        const bool up = first > '5' || (first == '5' && (restNonZero || (result % 2) == 1));
        if (up) ++result;
    }
    return negative ? -result : result;
}

QString dividedText(qint64 value, int factor)
{
    int places = 0;
    qint64 scale = 1;
    while (scale % factor != 0 && places < 18) {
        scale *= 10;
        ++places;
    }
    const qint64 scaled = value * (scale / factor);
    const qint64 magnitude = scaled < 0 ? -scaled : scaled;
    QString text = QString::number(magnitude / scale);
    if (places > 0) {
        QString decimals = QString::number(magnitude % scale).rightJustified(places, u'0');
        while (decimals.endsWith(u'0')) decimals.chop(1);
        if (!decimals.isEmpty()) text += u'.' + decimals;
    }
    return scaled < 0 ? u'-' + text : text;
}

const QStringList& sampleRateItems()
{
    static const QStringList items = {
        QStringLiteral("500"),    QStringLiteral("1,000"),  QStringLiteral("2,000"),
        QStringLiteral("4,000"),  QStringLiteral("8,000"),  QStringLiteral("11,025"),
        QStringLiteral("12,000"), QStringLiteral("16,000"), QStringLiteral("24,000"),
        QStringLiteral("25,050"), QStringLiteral("32,000"), QStringLiteral("44,100"),
        QStringLiteral("48,000"), QStringLiteral("56,000"), QStringLiteral("64,000"),
    };
    return items;
}

std::optional<int> sampleRateIndex(const QString& fileText)
{
    QString shown = fileText;
    if (shown.size() == 4) shown.insert(1, u',');
    else if (shown.size() == 5) shown.insert(2, u',');
    const qsizetype i = sampleRateItems().indexOf(shown);
    if (i < 0) return std::nullopt;
    return int(i);
}

QString sampleRateFileText(int index)
{
    if (index < 0 || index >= sampleRateItems().size()) return {};
    return QString(sampleRateItems().at(index)).remove(u',');
}

namespace {

std::optional<int> hexPart(const QString& part)
{
    if (part.isEmpty()) return std::nullopt;
    int value = 0;
    for (const QChar c : part) {
        const int digit = (c >= u'0' && c <= u'9') ? c.unicode() - u'0'
                          : (c >= u'a' && c <= u'f') ? c.unicode() - u'a' + 10
                          : (c >= u'A' && c <= u'F') ? c.unicode() - u'A' + 10
                                                     : -1;
        if (digit < 0) return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

} // namespace

ColourParts colourFromText(const QString& text)
{
    return {hexPart(text.mid(0, 2)), hexPart(text.mid(3, 2)), hexPart(text.right(2))};
}

QString colourText(int red, int green, int blue)
{
    const auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')); };
    return two(red) + u' ' + two(green) + u' ' + two(blue);
}

QString captionHex(int value)
{
    return QString::number(value, 16).toUpper();
}

std::optional<bool> switchFromText(QStringView text)
{
    if (text == u"true") return true;
    if (text == u"false") return false;
    return std::nullopt;
}

QString switchText(bool ticked)
{
    return ticked ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace tarnwick::iniconv
