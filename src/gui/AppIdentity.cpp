#include "gui/AppIdentity.h"

#include <QDirIterator>
#include <QGuiApplication>

namespace AppIdentity {

QIcon Icon()
{
    QIcon icon;
    // One PNG a size, rendered from packaging/icons/quillet.svg at build time.
    QDirIterator sizes(QStringLiteral(":/icons/hicolor"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (sizes.hasNext())
        icon.addFile(sizes.next() + QStringLiteral("/apps/quillet.png"));
    return icon;
}

void ApplyNames()
{
    QGuiApplication::setApplicationName(QStringLiteral("quillet"));
    // No display name: the window system would append it to every title ("Quillet 1.0.0 — Quillet").
    QGuiApplication::setApplicationVersion(QStringLiteral(QUILLET_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tavolan.Quillet"));
}

void Apply()
{
    ApplyNames();
    QGuiApplication::setWindowIcon(Icon());
}

} // namespace AppIdentity
