#include "programmodule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace ProgramModule {

const ProgramParts *load(QString *error)
{
    const QDir beside(QCoreApplication::applicationDirPath());
    QString path = beside.absoluteFilePath(QStringLiteral(VELMORA_MODULE_NAME));
    if (!QFileInfo::exists(path))
        path = QDir::cleanPath(beside.absoluteFilePath(QStringLiteral(VELMORA_INSTALLED_MODULE)));
    // Never unloaded: the forms it makes live as long as the program.
    static QLibrary module;
    module.setFileName(path);
    // Every reference bound at once, so that a missing one is told here
    // rather than in the middle of an exercise.
    module.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    using Entry = const ProgramParts *(*)();
    const auto entry = reinterpret_cast<Entry>(module.resolve(kEntry));
    const ProgramParts *parts = entry ? entry() : nullptr;
    if (!parts && error) {
        *error = QStringLiteral("manca una parte del programma, %1 (%2).")
                     .arg(QDir::toNativeSeparators(path), module.errorString());
    }
    return parts;
}

} // namespace ProgramModule
