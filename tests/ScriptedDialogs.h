#pragma once

// Answers the editor's modal pieces from a script, so that no test blocks on a real dialog, and
// records what was asked: the menu's item states at each opening (it closes without a command),
// the questions and the choosers.

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
        // The items offered disabled, in alphabetical order, or "none".
        QString Disabled() const {
            QStringList off;
            for (const auto& [caption, on] : enabled)
                if (!on) off << caption;
            return off.isEmpty() ? QStringLiteral("none") : off.join(QStringLiteral(", "));
        }
    };

    std::function<void()> whileMenuOpen; // runs while the menu is open
    bool yesNoAnswer = false;            // the answer to every question: Yes, or No
    bool okCancelAnswer = false;         // OK, or Cancel
    std::deque<QString> fileAnswers;     // one per chooser; without one, nothing is chosen

    std::vector<MenuOpening> menus;
    QStringList questions; // "title|text" of every question and message
    std::vector<FileRequest> fileRequests;

    QAction* PopupMenu(QMenu& menu, QPoint) override {
        MenuOpening& opening = menus.emplace_back();
        for (QAction* a : menu.actions())
            if (!a->isSeparator()) opening.enabled[a->text()] = a->isEnabled();
        if (whileMenuOpen) whileMenuOpen();
        return nullptr; // closed without a command
    }
    bool AskYesNo(QWidget* parent, const QString& title, const QString& text) override {
        ScriptedDialogs::Inform(parent, title, text);
        return yesNoAnswer;
    }
    bool AskOkCancel(QWidget* parent, const QString& title, const QString& text) override {
        ScriptedDialogs::Inform(parent, title, text);
        return okCancelAnswer;
    }
    void Inform(QWidget*, const QString& title, const QString& text) override {
        questions << title + QLatin1Char('|') + text;
    }
    QString ChooseFile(QWidget*, const FileRequest& request) override {
        fileRequests.push_back(request);
        if (fileAnswers.empty()) return {};
        const QString answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }
};

} // namespace mosaiq::test
