#pragma once

#include <QString>

#include <memory>

class QWidget;

// Message boxes titled "Velmora". Tests put a recording provider in place of
// the real modal dialogs.
namespace Dialogs {

enum class Icon { Question, Stop };

enum class Answer { Yes, No, Cancel };

class Provider
{
public:
    virtual ~Provider() = default;
    virtual void information(QWidget *parent, const QString &title, const QString &text) = 0;
    // The same with the error icon.
    virtual void error(QWidget *parent, const QString &title, const QString &text)
    {
        information(parent, title, text);
    }
    // Yes (true) or No (false).
    virtual bool question(QWidget *parent, const QString &title, const QString &text, Icon icon) = 0;
    // The same with No as the default button, for what cannot be undone.
    virtual bool cautiousQuestion(QWidget *parent, const QString &title, const QString &text)
    {
        return question(parent, title, text, Icon::Question);
    }
    // "Sì", "No" or "Annulla": Esc cancels.
    virtual Answer questionWithCancel(QWidget *parent, const QString &title, const QString &text)
    {
        return question(parent, title, text, Icon::Question) ? Answer::Yes : Answer::No;
    }
};

// Takes ownership; nullptr restores the real dialogs.
void setProvider(std::unique_ptr<Provider> provider);

void information(QWidget *parent, const QString &text);
void error(QWidget *parent, const QString &text);
bool question(QWidget *parent, const QString &text, Icon icon = Icon::Question);
// Yes or No, No being the default button: an Enter pressed in haste keeps things as they are.
bool cautiousQuestion(QWidget *parent, const QString &text);
// Sì, No or Annulla, for a choice that can still be called off.
Answer questionWithCancel(QWidget *parent, const QString &text);

} // namespace Dialogs
