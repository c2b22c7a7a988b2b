#pragma once

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

// The user's own folder for saved records and printouts: dataFolder + the
// user's name, created when missing. Empty, with the reason, when it cannot be made.
QString userDataFolder(QString *error = nullptr);

// Prints on the default printer. With none, says so and offers to save the
// printout, named with its article ("la scheda"), as a PDF file in the
// user's folder; a printout that fails is reported.
void printOrSaveAsPdf(QWidget *owner, const QString &printout, const std::function<bool(QPrinter &)> &print);
