#include "documents.h"

#include "state/appstate.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

std::function<void(const QString &)> &opener()
{
    static std::function<void(const QString &)> custom;
    return custom;
}

} // namespace

QString manualPath()
{
    return appState().ApplicationFolder + QStringLiteral("/Velmora.pdf");
}

void openDocument(QWidget *, const QString &path)
{
    if (opener()) {
        opener()(path);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void setDocumentOpener(std::function<void(const QString &)> custom)
{
    opener() = std::move(custom);
}
