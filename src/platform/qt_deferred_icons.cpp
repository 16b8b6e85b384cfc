#include "platform/qt_deferred_icons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPointer>
#include <QWidget>

#include <optional>

namespace tarnwick {

namespace {

// Stands in for a standard icon until something needs its pictures; from then on every
// question is answered by the icon the style makes.
class DeferredIconEngine final : public QIconEngine
{
public:
    DeferredIconEngine(const QStyle* style, QStyle::StandardPixmap which, const QWidget* widget)
        : m_style(const_cast<QStyle*>(style)), m_which(which), m_widget(const_cast<QWidget*>(widget))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        // `size` is in device pixels here; the icon takes it in device-independent ones.
        return icon().pixmap(scale == 1.0 ? size : (QSizeF(size) / scale).toSize(), scale, mode, state);
    }
    void addPixmap(const QPixmap& pixmap, QIcon::Mode mode, QIcon::State state) override
    {
        icon().addPixmap(pixmap, mode, state);
    }
    void addFile(const QString& fileName, const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        icon().addFile(fileName, size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    // Qt 6.4 asks for pictures at a pixel ratio through this hook, later versions through
    // scaledPixmap(); both reach the style's icon the same way.
    void virtual_hook(int id, void* data) override
    {
        if (id != QIconEngine::ScaledPixmapHook) return QIconEngine::virtual_hook(id, data);
        auto& ask = *static_cast<QIconEngine::ScaledPixmapArgument*>(data);
        ask.pixmap = scaledPixmap(ask.size, ask.mode, ask.state, ask.scale);
    }
    QString iconName() override { return icon().name(); }
    bool isNull() override { return icon().isNull(); }
    QString key() const override { return QStringLiteral("tarnwick.deferred"); }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    QIcon& icon()
    {
        // The widget asked on behalf of may be gone by now; the style answers without it.
        if (!m_icon) m_icon = m_style ? m_style->standardIcon(m_which, nullptr, m_widget.data()) : QIcon();
        return *m_icon;
    }

    QPointer<QStyle> m_style; // held to ask, never changed
    QStyle::StandardPixmap m_which;
    QPointer<QWidget> m_widget;
    std::optional<QIcon> m_icon; // made on first use
};

} // namespace

DeferredIconStyle::DeferredIconStyle(QStyle* style) : QProxyStyle(style) {}

QIcon DeferredIconStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                      const QWidget* widget) const
{
    // An option is the caller's for the moment of the call only: such icons are made at once.
    if (option) return QProxyStyle::standardIcon(which, option, widget);
    return QIcon(new DeferredIconEngine(baseStyle(), which, widget));
}

void deferStandardIcons()
{
    // The proxy takes the application's style over (it becomes the style's parent), so
    // setStyle() does not delete it when the proxy replaces it.
    QApplication::setStyle(new DeferredIconStyle(QApplication::style()));
}

} // namespace tarnwick
