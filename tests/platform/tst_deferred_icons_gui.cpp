#include "platform/qt_deferred_icons.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QTest>

using namespace tarnwick;

// Icons the deferred style hands out must answer and draw as the style's own, at every size,
// mode and pixel ratio a widget asks for.
class TestDeferredIcons : public QObject
{
    Q_OBJECT
private slots:
    void drawsAsTheStylesOwn_data();
    void drawsAsTheStylesOwn();
};

static QImage painted(const QIcon& icon, QSize size, QIcon::Mode mode)
{
    QImage image(size + QSize(6, 6), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    icon.paint(&painter, QRect(QPoint(3, 3), size), Qt::AlignCenter, mode);
    return image;
}

void TestDeferredIcons::drawsAsTheStylesOwn_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("mode");
    QTest::newRow("title menu 16") << int(QStyle::SP_TitleBarMenuButton) << 16 << int(QIcon::Normal);
    QTest::newRow("title close 13 disabled") << int(QStyle::SP_TitleBarCloseButton) << 13 << int(QIcon::Disabled);
    QTest::newRow("title restore 32 active") << int(QStyle::SP_TitleBarNormalButton) << 32 << int(QIcon::Active);
    QTest::newRow("toolbar extension 24") << int(QStyle::SP_ToolBarHorizontalExtensionButton) << 24 << int(QIcon::Normal);
    QTest::newRow("warning 48") << int(QStyle::SP_MessageBoxWarning) << 48 << int(QIcon::Normal);
    QTest::newRow("back arrow 16") << int(QStyle::SP_ArrowBack) << 16 << int(QIcon::Normal);
    QTest::newRow("dialog ok 20 selected") << int(QStyle::SP_DialogOkButton) << 20 << int(QIcon::Selected);
}

void TestDeferredIcons::drawsAsTheStylesOwn()
{
    QFETCH(int, which);
    QFETCH(int, side);
    QFETCH(int, mode);
    QStyle* base = QStyleFactory::create(QStringLiteral("Fusion"));
    QVERIFY(base);
    DeferredIconStyle deferred(base);
    QWidget widget;

    const auto sp = QStyle::StandardPixmap(which);
    const QIcon own = base->standardIcon(sp, nullptr, &widget);
    const QIcon late = deferred.standardIcon(sp, nullptr, &widget);
    const QSize size(side, side);
    const auto m = QIcon::Mode(mode);
    QCOMPARE(late.isNull(), own.isNull());
    QCOMPARE(late.availableSizes(m), own.availableSizes(m));
    QCOMPARE(late.actualSize(size, m), own.actualSize(size, m));
    QCOMPARE(late.name(), own.name());
    QCOMPARE(late.pixmap(size, m).toImage(), own.pixmap(size, m).toImage());
    // A screen at twice the density asks the engine in device pixels.
    const QPixmap lateHigh = late.pixmap(size, 2.0, m);
    const QPixmap ownHigh = own.pixmap(size, 2.0, m);
    QCOMPARE(lateHigh.devicePixelRatio(), ownHigh.devicePixelRatio());
    QCOMPARE(lateHigh.toImage(), ownHigh.toImage());
    QCOMPARE(painted(late, size, m), painted(own, size, m));
    // A copy answers on its own, before and after the first has made its pictures.
    QCOMPARE(QIcon(deferred.standardIcon(sp, nullptr, &widget)).pixmap(size, m).toImage(),
             own.pixmap(size, m).toImage());
}

QTEST_MAIN(TestDeferredIcons)
#include "tst_deferred_icons_gui.moc"
