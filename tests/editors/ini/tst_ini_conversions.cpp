#include "editors/ini/ini_conversions.h"

#include <QTest>

using namespace tarnwick;

using OptInt = std::optional<qint64>;
Q_DECLARE_METATYPE(OptInt)
using OptIndex = std::optional<int>;
Q_DECLARE_METATYPE(OptIndex)

class TestIniConversions : public QObject
{
    Q_OBJECT
private slots:
    void readNumber_data();
    void readNumber();
    void writeNumber_data();
    void writeNumber();
    void readSampleRate_data();
    void readSampleRate();
    void sampleRateWritesItemWithoutCommas();
    void readColour_data();
    void readColour();
    void writeColour_data();
    void writeColour();
    void readSwitch_data();
    void readSwitch();
};

// File text to slider or list value: step (20 or 10 per unit) and whole numbers (1).
void TestIniConversions::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("factor");
    QTest::addColumn<OptInt>("expected");
    const auto row = [](const char* text, int factor, OptInt expected) {
        QTest::newRow(qPrintable(QStringLiteral("%1 x %2").arg(text).arg(factor))) << QString(text) << factor << expected;
    };
    row("0.25", 20, 5);
    row("1.5", 20, 30);
    row("0.35", 20, 7);
    row("0.025", 20, 0); // a half: to the even neighbour
    row("0.075", 20, 2);
    row("0.0250001", 20, 1);
    row("1.25", 10, 12);
    row("1.35", 10, 14);
    row("2.5", 1, 2);
    row("3.5", 1, 4);
    row("-0.5", 1, 0);
    row("-2.6", 1, -3);
    row(" 12 ", 1, 12);
    row(".5", 20, 10);
    row("5.", 1, 5);
    row("25E-1", 10, 25);
    row("1e-999", 1, 0);
    for (const char* bad : {"1e999999999", "99999999999999999999", "", "abc", "12abc", "1.2.3", "0,5", "-", "1e"})
        row(bad, 1, std::nullopt);
}

void TestIniConversions::readNumber()
{
    QFETCH(QString, text);
    QFETCH(int, factor);
    QFETCH(OptInt, expected);
    QCOMPARE(iniconv::roundedTimes(text, factor), expected);
}

// Slider value to file text (and to the captions).
void TestIniConversions::writeNumber_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("factor");
    QTest::addColumn<QString>("expected");
    const auto row = [](int value, int factor, const char* expected) {
        QTest::newRow(expected) << value << factor << QString(expected);
    };
    row(10, 20, "0.5");
    row(20, 20, "1");
    row(7, 20, "0.35");
    row(1, 20, "0.05");
    row(0, 20, "0");
    row(25, 10, "2.5");
    row(13, 10, "1.3");
    row(30, 1, "30");
    row(-3, 20, "-0.15");
}

void TestIniConversions::writeNumber()
{
    QFETCH(int, value);
    QFETCH(int, factor);
    QFETCH(QString, expected);
    QCOMPARE(iniconv::dividedText(value, factor), expected);
    // What is written reads back as the same value.
    QCOMPARE(iniconv::roundedTimes(expected, factor), OptInt(value));
}

void TestIniConversions::readSampleRate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<OptIndex>("expected");
    const auto row = [](const char* text, OptIndex expected) { QTest::newRow(text) << QString(text) << expected; };
    row("44100", 11);
    row("8000", 4);
    row("500", 0);
    row("25050", 9);
    row("44,100", 11); // already in the shown form
    for (const char* none : {"22050", "441000", "44100.0", ""}) row(none, std::nullopt);
}

void TestIniConversions::readSampleRate()
{
    QFETCH(QString, text);
    QFETCH(OptIndex, expected);
    QCOMPARE(iniconv::sampleRateIndex(text), expected);
}

void TestIniConversions::sampleRateWritesItemWithoutCommas()
{
    const QStringList& items = iniconv::sampleRateItems();
    QCOMPARE(items.size(), 15);
    for (int i = 0; i < items.size(); ++i) {
        const QString written = iniconv::sampleRateFileText(i);
        QVERIFY2(!written.contains(u','), qPrintable(written));
        QCOMPARE(iniconv::sampleRateIndex(written), OptIndex(i));
    }
    QCOMPARE(iniconv::sampleRateFileText(9), QStringLiteral("25050"));
}

void TestIniConversions::readColour_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<OptIndex>("red");
    QTest::addColumn<OptIndex>("green");
    QTest::addColumn<OptIndex>("blue");
    const auto row = [](const char* text, OptIndex r, OptIndex g, OptIndex b) {
        QTest::newRow(text) << QString(text) << r << g << b;
    };
    const OptIndex none;
    row("40 cf 00", 64, 207, 0);
    row("FF 0A 10", 255, 10, 16);
    row("zz 00 ff", none, 0, 255);
    row("40 cf 0g", 64, 207, none);
    row("-1 00 00", none, 0, 0);
    row("", none, none, none);
}

void TestIniConversions::readColour()
{
    QFETCH(QString, text);
    QFETCH(OptIndex, red);
    QFETCH(OptIndex, green);
    QFETCH(OptIndex, blue);
    const auto parts = iniconv::colourFromText(text);
    QCOMPARE(parts.red, red);
    QCOMPARE(parts.green, green);
    QCOMPARE(parts.blue, blue);
}

void TestIniConversions::writeColour_data()
{
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("redCaption");
    QTest::newRow("default") << 64 << 207 << 0 << "40 cf 00" << "40";
    QTest::newRow("small parts") << 15 << 0 << 255 << "0f 00 ff" << "F";
}

void TestIniConversions::writeColour()
{
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    QFETCH(QString, expected);
    QFETCH(QString, redCaption);
    QCOMPARE(iniconv::colourText(red, green, blue), expected);
    QCOMPARE(iniconv::captionHex(red), redCaption);
}

void TestIniConversions::readSwitch_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // 1 ticks, 0 clears, -1 leaves unchanged
    QTest::newRow("true") << "true" << 1;
    QTest::newRow("false") << "false" << 0;
    for (const char* other : {"1", "FALSE", "True", ""}) QTest::newRow(other) << QString(other) << -1;
}

void TestIniConversions::readSwitch()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    const auto ticked = iniconv::switchFromText(text);
    QCOMPARE(ticked ? int(*ticked) : -1, expected);
    if (ticked) QCOMPARE(iniconv::switchText(*ticked), text);
}

QTEST_GUILESS_MAIN(TestIniConversions)
#include "tst_ini_conversions.moc"
