#include "temp_store.h"

#include <QFile>
#include <QTest>

using namespace tarnwick;

class TestSettingsStore : public QObject
{
    Q_OBJECT
private slots:
    void namesIgnoreLetterCase();
};

void TestSettingsStore::namesIgnoreLetterCase()
{
    test::TempStore t;
    QVERIFY(t.store.isPersistent());
    t.store.write(QStringLiteral("Tarnwick\\Settings"), QStringLiteral("3PrimarySound"), QStringLiteral("1"));
    QCOMPARE(t.store.read(QStringLiteral("tarnwick\\settings"), QStringLiteral("3Primarysound")), QStringLiteral("1"));
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settings_store.moc"
