#pragma once

#include <QString>

#include <functional>

class QWidget;

// The program's manual, beside the program.
QString manualPath();

// Opens a document with the desktop's program for it; every failure is ignored.
void openDocument(QWidget *owner, const QString &path);

// Tests see the paths instead of the desktop opening them; an empty function restores it.
void setDocumentOpener(std::function<void(const QString &)> opener);
