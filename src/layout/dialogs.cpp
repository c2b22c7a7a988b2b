#include "dialogs.h"

#include "state/logcategories.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

class MessageBoxProvider : public Dialogs::Provider
{
public:
    void information(QWidget *parent, const QString &title, const QString &text) override
    {
        QMessageBox::information(parent, title, text, QMessageBox::Ok);
    }

    void error(QWidget *parent, const QString &title, const QString &text) override
    {
        QMessageBox::critical(parent, title, text, QMessageBox::Ok);
    }

    bool question(QWidget *parent, const QString &title, const QString &text, Dialogs::Icon icon) override
    {
        QMessageBox box(icon == Dialogs::Icon::Stop ? QMessageBox::Critical : QMessageBox::Question, title,
            text, QMessageBox::Yes | QMessageBox::No, parent);
        return box.exec() == QMessageBox::Yes;
    }

    bool cautiousQuestion(QWidget *parent, const QString &title, const QString &text) override
    {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }

    Dialogs::Answer questionWithCancel(QWidget *parent, const QString &title, const QString &text) override
    {
        QMessageBox box(QMessageBox::Question, title, text,
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
        // In Italian whether or not Qt's own translations are installed.
        box.button(QMessageBox::Yes)->setText(QStringLiteral("Sì"));
        box.button(QMessageBox::No)->setText(QStringLiteral("No"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("Annulla"));
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        switch (box.exec()) {
        case QMessageBox::Yes:
            return Dialogs::Answer::Yes;
        case QMessageBox::No:
            return Dialogs::Answer::No;
        default:
            return Dialogs::Answer::Cancel;
        }
    }
};

std::unique_ptr<Dialogs::Provider> &current()
{
    static std::unique_ptr<Dialogs::Provider> provider = std::make_unique<MessageBoxProvider>();
    return provider;
}

const QString kTitle = QStringLiteral("Velmora");

} // namespace

namespace Dialogs {

void setProvider(std::unique_ptr<Provider> provider)
{
    current() = provider ? std::move(provider) : std::make_unique<MessageBoxProvider>();
}

void information(QWidget *parent, const QString &text)
{
    qCDebug(lcForms, "message %s", qPrintable(text));
    current()->information(parent, kTitle, text);
}

void error(QWidget *parent, const QString &text)
{
    qCDebug(lcForms, "error %s", qPrintable(text));
    current()->error(parent, kTitle, text);
}

bool question(QWidget *parent, const QString &text, Icon icon)
{
    qCDebug(lcForms, "question %s", qPrintable(text));
    return current()->question(parent, kTitle, text, icon);
}

bool cautiousQuestion(QWidget *parent, const QString &text)
{
    qCDebug(lcForms, "question %s", qPrintable(text));
    return current()->cautiousQuestion(parent, kTitle, text);
}

Answer questionWithCancel(QWidget *parent, const QString &text)
{
    qCDebug(lcForms, "question %s", qPrintable(text));
    return current()->questionWithCancel(parent, kTitle, text);
}

} // namespace Dialogs
