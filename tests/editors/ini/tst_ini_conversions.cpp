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
    const OptInt none;
    QTest::newRow("music 0.25") << "0.25" << 20 << OptInt(5);
    QTest::newRow("music 1") << "1" << 20 << OptInt(20);
    QTest::newRow("music 1.5") << "1.5" << 20 << OptInt(30);
    QTest::newRow("midi 0.35") << "0.35" << 20 << OptInt(7);
    QTest::newRow("half step to even down") << "0.025" << 20 << OptInt(0);
    QTest::newRow("half step to even up") << "0.075" << 20 << OptInt(2);
    QTest::newRow("just above a half") << "0.0250001" << 20 << OptInt(1);
    QTest::newRow("mouse 1.25 is 12.5") << "1.25" << 10 << OptInt(12);
    QTest::newRow("mouse 1.35 is 13.5") << "1.35" << 10 << OptInt(14);
    QTest::newRow("gamma 0.5") << "0.5" << 10 << OptInt(5);
    QTest::newRow("crosshair 7") << "7" << 1 << OptInt(7);
    QTest::newRow("whole 2.5") << "2.5" << 1 << OptInt(2);
    QTest::newRow("whole 3.5") << "3.5" << 1 << OptInt(4);
    QTest::newRow("whole 3.49") << "3.49" << 1 << OptInt(3);
    QTest::newRow("negative half") << "-0.5" << 1 << OptInt(0);
    QTest::newRow("negative") << "-2.6" << 1 << OptInt(-3);
    QTest::newRow("blanks around") << " 12 " << 1 << OptInt(12);
    QTest::newRow("leading point") << ".5" << 20 << OptInt(10);
    QTest::newRow("trailing point") << "5." << 1 << OptInt(5);
    QTest::newRow("exponent") << "1e1" << 1 << OptInt(10);
    QTest::newRow("negative exponent") << "25E-1" << 10 << OptInt(25);
    QTest::newRow("tiny") << "1e-999" << 1 << OptInt(0);
    QTest::newRow("huge exponent") << "1e999999999" << 1 << none;
    QTest::newRow("twenty digits") << "99999999999999999999" << 1 << none;
    QTest::newRow("empty") << "" << 1 << none;
    QTest::newRow("word") << "abc" << 1 << none;
    QTest::newRow("trailing junk") << "12abc" << 1 << none;
    QTest::newRow("two points") << "1.2.3" << 1 << none;
    QTest::newRow("comma decimal") << "0,5" << 20 << none;
    QTest::newRow("sign only") << "-" << 1 << none;
    QTest::newRow("bare exponent") << "1e" << 1 << none;
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
    QTest::newRow("10 x 0.05") << 10 << 20 << "0.5";
    QTest::newRow("20 x 0.05") << 20 << 20 << "1";
    QTest::newRow("7 x 0.05") << 7 << 20 << "0.35";
    QTest::newRow("1 x 0.05") << 1 << 20 << "0.05";
    QTest::newRow("0 x 0.05") << 0 << 20 << "0";
    QTest::newRow("25 x 0.1") << 25 << 10 << "2.5";
    QTest::newRow("30 x 0.1") << 30 << 10 << "3";
    QTest::newRow("13 x 0.1") << 13 << 10 << "1.3";
    QTest::newRow("whole") << 10 << 1 << "10";
    QTest::newRow("negative") << -3 << 20 << "-0.15";
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
    QTest::newRow("44100") << "44100" << OptIndex(11);
    QTest::newRow("8000") << "8000" << OptIndex(4);
    QTest::newRow("500") << "500" << OptIndex(0);
    QTest::newRow("11025") << "11025" << OptIndex(5);
    QTest::newRow("25050") << "25050" << OptIndex(9);
    QTest::newRow("already shown form") << "44,100" << OptIndex(11);
    QTest::newRow("22050 is no item") << "22050" << OptIndex();
    QTest::newRow("six digits") << "441000" << OptIndex();
    QTest::newRow("decimal") << "44100.0" << OptIndex();
    QTest::newRow("empty") << "" << OptIndex();
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
    QTest::newRow("default") << "40 cf 00" << OptIndex(64) << OptIndex(207) << OptIndex(0);
    QTest::newRow("uppercase") << "FF 0A 10" << OptIndex(255) << OptIndex(10) << OptIndex(16);
    QTest::newRow("red not hex") << "zz 00 ff" << OptIndex() << OptIndex(0) << OptIndex(255);
    QTest::newRow("blue half hex") << "40 cf 0g" << OptIndex(64) << OptIndex(207) << OptIndex();
    QTest::newRow("sign is not hex") << "-1 00 00" << OptIndex() << OptIndex(0) << OptIndex(0);
    QTest::newRow("empty") << "" << OptIndex() << OptIndex() << OptIndex();
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
    QTest::newRow("opening") << 64 << 207 << 16 << "40 cf 10" << "40";
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
    QTest::newRow("one") << "1" << -1;
    QTest::newRow("capitals") << "FALSE" << -1;
    QTest::newRow("title case") << "True" << -1;
    QTest::newRow("empty") << "" << -1;
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
