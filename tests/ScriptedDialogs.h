#pragma once

// Answers the editor's modal pieces from a script, so that no test blocks on a real dialog, and
// records what was asked: the menu's item states when it opened, the questions and the choosers.

#include "Dialogs.h"

#include <QAction>
#include <QMenu>
#include <QStringList>

#include <deque>
#include <functional>
#include <map>

namespace mosaiq::test {

class ScriptedDialogs : public Dialogs {
public:
    struct MenuOpening {
        std::map<QString, bool> enabled; // item caption -> enabled
        QStringList captions;            // items in order, separators as "-"
    };

    // What the next menu opening does: choose the item with this caption (an empty text closes
    // the menu without a command). Without a script the menu is closed.
    std::deque<QString> menuChoices;
    // Something to do while the menu is open, before the choice is made.
    std::function<void()> whileMenuOpen;
    std::deque<bool> yesNoAnswers;    // default: No
    std::deque<bool> okCancelAnswers; // default: Cancel
    std::deque<QString> fileAnswers;  // default: cancelled (empty path)

    std::vector<MenuOpening> menus;
    QStringList questions; // "title|text" of every question and message
    std::vector<FileRequest> fileRequests;

    QAction* PopupMenu(QMenu& menu, QPoint) override {
        MenuOpening opening;
        for (QAction* a : menu.actions()) {
            opening.captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
            if (!a->isSeparator()) opening.enabled[a->text()] = a->isEnabled();
        }
        menus.push_back(opening);
        if (whileMenuOpen) whileMenuOpen();
        if (menuChoices.empty()) return nullptr;
        const QString choice = menuChoices.front();
        menuChoices.pop_front();
        for (QAction* a : menu.actions()) {
            if (!a->isSeparator() && a->text() == choice && a->isEnabled()) {
                a->trigger();
                return a;
            }
        }
        return nullptr;
    }
    bool AskYesNo(QWidget*, const QString& title, const QString& text) override {
        questions << title + QLatin1Char('|') + text;
        return Take(yesNoAnswers, false);
    }
    bool AskOkCancel(QWidget*, const QString& title, const QString& text) override {
        questions << title + QLatin1Char('|') + text;
        return Take(okCancelAnswers, false);
    }
    void Inform(QWidget*, const QString& title, const QString& text) override {
        questions << title + QLatin1Char('|') + text;
    }
    QString ChooseFile(QWidget*, const FileRequest& request) override {
        fileRequests.push_back(request);
        return Take(fileAnswers, QString());
    }

private:
    template <class T> static T Take(std::deque<T>& answers, T fallback) {
        if (answers.empty()) return fallback;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace mosaiq::test
