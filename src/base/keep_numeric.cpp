#include "base/keep_numeric.h"

#include <QLocale>

#include <cmath>

namespace tarnwick {

bool parseNumber(const QString& text, double& value)
{
    QString t = text.trimmed();
    if (t.isEmpty()) return false;
    if (t.startsWith(u'+')) t.remove(0, 1);
    for (QChar c : t)
        if (!(c.isDigit() || c == u'.' || c == u'-' || c == u'e' || c == u'E' || c == u'+'))
            return false; // rules out "inf", "nan" and hexadecimal spellings
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v)) return false;
    value = v;
    return true;
}

bool parseInt16(const QString& text, int& value)
{
    double v = 0;
    if (!parseNumber(text, v)) return false;
    const double r = std::nearbyint(v); // the default rounding mode rounds half to even
    if (r < -32768 || r > 32767) return false;
    value = static_cast<int>(r);
    return true;
}

QString KeepNumeric(const QString& text)
{
    if (text.isEmpty()) return text;
    double v = 0;
    if (!parseNumber(text, v) || v <= 0) return QStringLiteral("1");
    return QString::number(std::trunc(v), 'f', 0);
}

QString settleNumeric(const QString& text, int upperBound)
{
    QString current = text;
    for (;;) {
        QString next = KeepNumeric(current);
        double v = 0;
        if (upperBound > 0 && parseNumber(next, v) && v > upperBound) next = QString::number(upperBound);
        if (next == current) return current;
        current = next;
    }
}

} // namespace tarnwick
